// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

class DrillPort;
class QLabel;
class QWidget;

// A banner in a corner of the window while it takes part in a class: the
// teacher's shows where learners join, a learner's that the teacher runs the
// drill. For a learner the panel is locked as well: it takes no clicks, wheel
// turns or keys, and the drill's own keys (start, hold, answer, abort,
// replay, grade tests) do nothing. What the learner still does: type answers
// (digits, Backspace, Enter), open the window's menu (right click, Shift+F10,
// the menu key) to leave the class, the progress window and full screen.
class ClassBanner : public QObject {
 public:
  ClassBanner(DrillPort& port, bool lockPanel);
  ~ClassBanner() override;
  ClassBanner(const ClassBanner&) = delete;
  ClassBanner& operator=(const ClassBanner&) = delete;

  void setText(const QString& text);
  // Whether a key still reaches the window in a class.
  static bool keyAllowed(int key, Qt::KeyboardModifiers modifiers);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void place();

  DrillPort& port_;
  QWidget* window_;
  bool lock_;
  QPointer<QLabel> banner_;
  QObject watching_;  // ends the layout watch with the banner
};
