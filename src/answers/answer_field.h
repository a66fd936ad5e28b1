// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class AnswerSheet;
class DrillPort;
class QKeyEvent;
class QLabel;

// The keys of typed answers, and the small field that shows the digits
// outside an answer-later run (there the answer sheet shows them). Digits
// (main row and keypad) go in while the sheet takes them; Backspace and
// Enter, and in an answer-later run Up and Down, only while the field holds
// digits; + and - (the next and the previous problem) and Delete (the
// current problem's answer removed) while the answer sheet is up. Every
// other key, and these keys at other times, reach the window as before.
class AnswerField : public QObject {
 public:
  AnswerField(DrillPort& port, AnswerSheet& sheet);
  ~AnswerField() override;
  AnswerField(const AnswerField&) = delete;
  AnswerField& operator=(const AnswerField&) = delete;

  // Shows, fills and places the field after a change of the sheet.
  void refresh();
  QLabel* label() const { return label_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Whether the key is the field's; `act` carries it out.
  bool takeKey(const QKeyEvent* key, bool act);

  DrillPort& port_;
  AnswerSheet& sheet_;
  QLabel* label_;
};
