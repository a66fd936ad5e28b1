// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QObject>
#include <functional>
#include <optional>

#include "answers/answer_events.h"
#include "engine/drill_events.h"
#include "history/history_store.h"

// Collects each problem from what the learner sees and hands it to the store
// once its total has been shown, or at the latest when the next problem's
// countdown starts, the run ends or it is aborted. A problem stopped (abort,
// the window closing) before its total was shown is kept as aborted, with
// the numbers shown so far and any answer the learner had committed.
// Nothing is handed over while numbers are flashing: the store gets each
// problem from the event loop after the handler that showed the total has
// finished, and its writer thread commits it without holding up the window.
class DrillRecorder : public DrillListener, public AnswerListener {
 public:
  explicit DrillRecorder(HistoryStore& store);

  // The wall clock that dates each problem; tests give one that follows virtual time.
  void setWallClock(std::function<QDateTime()> now) { wallClock_ = std::move(now); }
  // Tags the problems from the next start on.
  void setContext(const RecordContext& context) { next_ = context; }
  const RecordContext& context() const { return next_; }
  // Whether numbers are on their way: between a countdown's end and the series' end.
  bool flashing() const { return current_ && !current_->ended; }
  // The last problem that reached its total, in this session.
  std::optional<ProblemRecord> lastProblem() const { return last_; }

  void onDrillEvent(const DrillEvent& event) override;
  void onAnswerMarked(const MarkedAnswer& answer) override;
  void onAnswerStopped(const MarkedAnswer& answer) override;

  // Hands every finished problem to the store's writer, unless flashing.
  void writeNow();

 private:
  struct Problem {
    ProblemRecord record;
    bool ended = false;   // reached its total, or stopped
    bool shown = false;   // its total was shown
    bool stored = false;  // handed to the store as it is now
    std::int64_t firstNs = 0, lastOffNs = -1;
  };
  static double seriesMs(const Problem& p, std::int64_t endNs);
  static void markAnswer(ProblemRecord& r);
  // The drill stopped: the problems of the run whose totals were not shown are aborted.
  void stopRun(std::int64_t timeNs);
  void writeSoon();
  Problem* inRun(int position);

  HistoryStore& store_;
  RecordContext next_, run_;
  std::optional<Problem> current_;
  QList<Problem> run_problems_;  // this run's problems, for answers marked late
  std::optional<ProblemRecord> last_;
  std::function<QDateTime()> wallClock_ = [] { return QDateTime::currentDateTime(); };
  QObject guard_;  // ends pending deferred writes with the recorder
  bool writeQueued_ = false;
  bool running_ = false;  // between a start and the run's end or abort
};
