// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "answers/answer_events.h"
#include "engine/drill_events.h"

// The learner's typed answers for the problems of one run, and their
// marking when the totals are shown. Plain logic: the drill's events and the
// typed keys go in, MarkedAnswer comes out to every AnswerListener, and the
// on-screen field, sheet and marks only reflect this state.
//
// Typing is taken from the first number of a problem until that problem's
// total is shown. The digits in the field always belong to one problem,
// current(): the problem being flashed, until the next one's countdown ends.
// The end of an answer wait commits them. In an answer-later run the run is
// an answer sheet: the learner may go to any problem that has begun (after
// the run, any problem of it) to fill in or correct its answer; after the
// run the sheet starts at the first problem without an answer after the
// last one answered, and each Enter goes on to the next problem without one.
class AnswerSheet : public DrillListener {
 public:
  // At most the digits of the longest total, so every typed value is exact.
  static constexpr int kMaxDigits = 16;

  struct Problem {
    std::optional<double> total;  // known once its series ended
    std::optional<double> typed;
    bool marked = false;  // its total was shown and announced
  };
  // What of this run the window shows now.
  enum class Showing { Nothing, Total, Columns };

  void subscribe(AnswerListener* listener);
  void unsubscribe(AnswerListener* listener);
  // Called after every change of what the field, the sheet or the marks show.
  void setOnChanged(std::function<void()> changed) { changed_ = std::move(changed); }

  void onDrillEvent(const DrillEvent& event) override;

  // Whether a digit key now goes into the field.
  bool accepting() const;
  // The learner's keys; each returns whether it was taken.
  bool typeDigit(int digit);
  bool erase();
  bool commit();
  // The answer sheet of an answer-later run: going to another problem
  // commits the field to the current one first. Each returns whether it
  // was taken.
  bool moveTo(int problem);
  bool step(int by);
  // Removes the current problem's answer (the field empty).
  bool clearAnswer();

  const QString& field() const { return field_; }
  const std::vector<Problem>& problems() const { return problems_; }
  // The problem the field's digits are for; -1 before the first number.
  int current() const { return current_; }
  Showing showing() const { return showing_; }
  int shownProblem() const { return shownProblem_; }
  // Whether the learner typed anything in this run: marks are shown only then.
  bool used() const { return used_; }
  int markedCount() const;
  int correctCount() const;
  // Every problem of a finished run has been marked.
  bool complete() const;

  // Whether the answer sheet is up: an answer-later run until its columns are shown.
  bool sheetShown() const;
  // The problems on the sheet: those of the run, as far as known.
  int sheetSize() const;
  // Whether the learner may go to the problem: it has begun, or the run is over.
  bool reachable(int problem) const;

 private:
  void reset();
  void commitField();
  void mark(int problem, double total);
  // The first problem without an answer after `after`, round the sheet; -1 when none.
  int nextUnanswered(int after) const;
  void tell(const std::function<void(AnswerListener*)>& what);
  // Tells every listener of the committed answers whose totals were not shown.
  void tellStopped();
  Problem& at(int problem);
  void changed();

  std::vector<AnswerListener*> listeners_;
  std::function<void()> changed_;
  std::vector<Problem> problems_;
  QString field_;
  int current_ = -1;
  int begun_ = 0;          // problems whose countdown has ended
  int planned_ = 0;        // the run length at the start
  bool active_ = false;    // between a start and the abort or the next start
  bool later_ = false;     // an answer-later run
  bool flashing_ = false;  // the first number of the current problem has come
  bool runOver_ = false;   // the hand-over found no further problem
  bool used_ = false;
  Showing showing_ = Showing::Nothing;
  int shownProblem_ = -1;
};
