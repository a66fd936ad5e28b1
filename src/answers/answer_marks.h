// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPointer>
#include <QRect>
#include <array>

#include "countdown/column_fit.h"

class AnswerSheet;
class DrillPort;
class QLabel;

// The marks of a run whose learner typed answers: one beside the shown total,
// one beside each total in the answer columns, and "n / m" for a run of
// several problems. They follow what they stand beside and go when it goes.
// A column's marks are set in proportion to its font, in room the columns
// keep for them (columnRoom), so that they shrink with the columns.
class AnswerMarks {
 public:
  static constexpr int kColumnLines = 20;

  AnswerMarks(DrillPort& port, AnswerSheet& sheet);
  ~AnswerMarks();
  AnswerMarks(const AnswerMarks&) = delete;
  AnswerMarks& operator=(const AnswerMarks&) = delete;

  void refresh();
  // The room the answer columns keep for these marks; none when nothing was typed.
  layout::ColumnRoom columnRoom() const;

  QLabel* totalMark() const { return total_; }
  QLabel* columnMark(int problem) const { return lines_.at(static_cast<std::size_t>(problem)); }
  QLabel* score() const { return score_; }

 private:
  void placeTotalMark(QList<QRect>& taken);
  void placeColumnMarks(QList<QRect>& taken);
  void placeScore(QList<QRect>& taken);
  QLabel* newLabel(const QString& name);

  DrillPort& port_;
  AnswerSheet& sheet_;
  QList<QPointer<QLabel>> all_;  // first: the others are made into it
  QLabel* total_;
  std::array<QLabel*, kColumnLines> lines_{};
  QLabel* score_;
};
