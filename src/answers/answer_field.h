#pragma once

#include <QObject>

class AnswerSheet;
class DrillPort;
class QKeyEvent;
class QLabel;

// The small field that shows what the learner types, and the keys that fill
// it: digits (main row and keypad) while the sheet takes them, Backspace and
// Enter only while the field holds digits. Every other key, and these keys
// at other times, reach the window as before.
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
