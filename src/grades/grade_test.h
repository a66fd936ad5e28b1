// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <memory>
#include <optional>

#include "answers/answer_events.h"
#include "engine/drill_events.h"
#include "grades/ladder.h"
#include "host/records.h"

class DrillPort;
class GradeWindow;

// One grade test at a time: sets the panel to the grade, starts the run of
// ten when the learner presses "始める", collects the marked answers, and
// records the test. A setting the grade fixes, moved before the answers are
// marked, ends the test as abandoned; the drill itself goes on as usual.
class GradeTest : public DrillListener, public AnswerListener {
 public:
  enum class State { Idle, Ready, Running, Marking };

  // history may be null: the test then runs and shows its result unrecorded.
  GradeTest(DrillPort& port, HistoryApi* history);
  ~GradeTest() override;

  // Sets the panel to the grade and shows the test's window. A test in
  // progress is abandoned first.
  void prepare(const Ladder& ladder, const Grade& grade);
  // The "始める" button: the panel once more to the grade, then the start.
  void start();

  State state() const { return state_; }
  // The test as recorded so far (the last one once it is over).
  const GradeTestRecord& record() const { return record_; }
  GradeWindow& window() const { return *window_; }

  // The panel a grade's test runs with, from the current one.
  static DrillSettings settingsFor(const Grade& grade, DrillSettings from);
  // Whether every value the grade fixes is still as the grade set it.
  static bool keepsGrade(const DrillSettings& s, const Grade& grade);

  void onDrillEvent(const DrillEvent& event) override;
  void onAnswerMarked(const MarkedAnswer& answer) override;

 private:
  int correctSoFar() const;
  void finish();
  void abandon(const QString& why);
  void end(const QString& outcome, const QString& detail);

  DrillPort& port_;
  HistoryApi* history_;
  std::unique_ptr<GradeWindow> window_;
  State state_ = State::Idle;
  bool started_ = false;  // the run's Started was heard
  bool closing_ = false;  // the window is closing: nothing more to show
  Ladder ladder_;
  Grade grade_;
  GradeTestRecord record_;
  QList<std::optional<bool>> answers_;  // per problem: correct or not, once marked
};
