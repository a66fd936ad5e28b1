// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

#include "grades/ladder_files.h"

class QTreeWidget;
class QPlainTextEdit;

// Lists every ladder's grades with what each sets, the official time and the
// time its test really takes; also any ladder file that could not be read.
// Enter, a double click or "選ぶ" picks the grade under the cursor.
class GradeChooser : public QWidget {
 public:
  GradeChooser(QWidget* mainWindow, const LadderSet& ladders);

  std::function<void(const Ladder&, const Grade&)> onChosen;

  void open();
  QTreeWidget* list() const { return list_; }
  // Picks the grade under the cursor, if it is a grade.
  void choose();

 private:
  const LadderSet& ladders_;
  QTreeWidget* list_;
  QPlainTextEdit* problems_;
};
