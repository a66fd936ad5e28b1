// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class AnswerSheet;
class DrillPort;

// The answer sheet of an answer-later run, on the window: a line with the
// problem the next typed answer goes to ("第6問") and the digits typed so
// far, and every problem of the run with its answer, five to a column, the
// current one framed. A click on a problem goes there. It keeps clear of
// everything the window shows (and, while a drill runs, of where numbers
// may flash) in a corner of the display, as small as it must be; where the
// whole sheet finds no room, the line of the current problem stays up alone.
class SheetView : public QWidget {
 public:
  SheetView(DrillPort& port, AnswerSheet& sheet);

  void refresh();
  // Whether the problems are shown, not only the current one.
  bool whole() const { return whole_; }
  // Where problem k stands on the sheet, in its own coordinates; empty when not shown.
  QRect problemRect(int k) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  struct Metrics {
    QSize size;
    int head = 0;    // height of the line of the current problem
    int number = 0;  // width of a problem's number
    int cell = 0;    // width of a problem with its answer
    int gap = 0;     // between the columns of problems
    int box = 0;     // width of the box with the typed digits
    int row = 0;
  };
  Metrics measure(double points, bool whole) const;
  QString answerText(int k) const;
  void describe();

  DrillPort& port_;
  AnswerSheet& sheet_;
  double points_ = 12;
  bool whole_ = true;
  Metrics m_;
};
