// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;
class TeacherClass;

// The teacher's board: where learners join (address, room and password, in
// type large enough for a projector), who is there and ready, each learner's
// answer to each problem (answered, then marked once the teacher's screen
// has shown the total), the tally per problem and the ranking; the class
// exported as CSV. Redrawn a moment after each change, not at every message.
class BoardWindow : public QWidget {
 public:
  explicit BoardWindow(TeacherClass& teacher);

  // Writes the board as CSV; false when the file cannot be written.
  bool exportCsv(const QString& path) const;
  QTableWidget* table() const { return table_; }

 private:
  void refresh();

  TeacherClass& teacher_;
  QLabel* address_;
  QLabel* status_;
  QLabel* ranking_;
  QTableWidget* table_;
  QPushButton* export_;
  QPushButton* close_;
  QTimer soon_;
};
