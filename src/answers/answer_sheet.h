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
// on-screen field and marks (AnswerOverlay) only reflect this state.
//
// Typing is taken from the first number of a problem until that problem's
// total is shown. A problem's digits belong to it until the next problem's
// countdown ends; after the run (answers shown later) each Enter fills the
// next problem still without an answer, in order.
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
  // Called after every change of what the field or the marks show.
  void setOnChanged(std::function<void()> changed) { changed_ = std::move(changed); }

  void onDrillEvent(const DrillEvent& event) override;

  // Whether a digit key now goes into the field.
  bool accepting() const;
  // The learner's keys; each returns whether it was taken.
  bool typeDigit(int digit);
  bool erase();
  bool commit();

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

 private:
  void reset();
  void commitField();
  void mark(int problem, double total);
  // Tells every listener of the committed answers whose totals were not shown.
  void tellStopped();
  void tellEach(void (AnswerListener::*tell)(const MarkedAnswer&), const MarkedAnswer& answer);
  void moveToFirstUnanswered();
  Problem& at(int problem);
  void changed();

  std::vector<AnswerListener*> listeners_;
  std::function<void()> changed_;
  std::vector<Problem> problems_;
  QString field_;
  int current_ = -1;
  bool active_ = false;    // between a start and the abort or the next start
  bool flashing_ = false;  // the current problem's numbers have begun
  bool runOver_ = false;   // the hand-over found no further problem
  bool used_ = false;
  Showing showing_ = Showing::Nothing;
  int shownProblem_ = -1;
};
