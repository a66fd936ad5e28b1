// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

// 教室に参加: the class's address, room, the learner's name and the room's
// password. The address, room and name are remembered in the user's
// configuration directory; the password, when the learner asks, in the
// desktop's keyring (Secret Service or KWallet, through QtKeychain), never
// in a file. Without a keyring it is simply not remembered.
class JoinDialog : public QDialog {
 public:
  explicit JoinDialog(QWidget* parent);

  QString url() const;
  QString room() const;
  QString name() const;
  QString password() const;
  // Remembers what was entered (the password only if asked to).
  void remember();

 private:
  QLineEdit* url_;
  QLineEdit* room_;
  QLineEdit* name_;
  QLineEdit* password_;
  QCheckBox* keep_;
};
