// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/drill_recorder.h"

#include <QTimer>
#include <algorithm>
#include <cmath>

using K = DrillEvent::Kind;

// From the first number's appearance to the blank (or the end) that took the
// last one away, to the microsecond.
double DrillRecorder::seriesMs(const Problem& p, std::int64_t endNs) {
  if (p.record.numbers.isEmpty()) return 0;
  const std::int64_t off = p.lastOffNs >= 0 ? p.lastOffNs : endNs;
  return static_cast<double>(std::llround(static_cast<double>(off - p.firstNs) / 1e3)) / 1e3;
}

void DrillRecorder::markAnswer(ProblemRecord& r) {
  r.mark = markOf(r.answer ? std::optional<double>(*r.answer) : std::nullopt, r.total);
}

DrillRecorder::DrillRecorder(HistoryStore& store) : store_(store) {}

DrillRecorder::Problem* DrillRecorder::inRun(int position) {
  for (Problem& p : run_problems_)
    if (p.record.runPosition == position) return &p;
  return nullptr;
}

void DrillRecorder::onDrillEvent(const DrillEvent& e) {
  switch (e.kind) {
    case K::Started:
      writeNow();
      run_ = next_;
      run_problems_.clear();
      current_.reset();
      running_ = true;
      break;
    case K::CountdownEnded: {
      current_.emplace();
      ProblemRecord& r = current_->record;
      r.id = newRecordId();
      r.at = wallClock_();
      // The history keeps the drill's settings, not the colours or the dial's speed.
      r.settings = DrillSettings{};
      for (auto field : {&DrillSettings::longest, &DrillSettings::shortest, &DrillSettings::mix,
                         &DrillSettings::terms, &DrillSettings::pace, &DrillSettings::extension,
                         &DrillSettings::runLength})
        r.settings.*field = e.settings.*field;
      // Before its bar is first moved the window reports a run length of 0; the run is one problem.
      r.settings.runLength = std::max(1, r.settings.runLength);
      r.settings.grouping = e.settings.grouping;
      r.settings.mode = e.settings.mode;
      r.runPosition = e.index;
      r.kind = run_.kind;
      r.testId = run_.testId;
      break;
    }
    case K::NumberShown:
      if (!current_ || current_->ended) break;
      if (current_->record.numbers.isEmpty()) current_->firstNs = e.shownNs;
      current_->record.numbers << std::llround(e.value);
      current_->lastOffNs = -1;
      break;
    case K::Blanked:
      if (current_ && !current_->ended && !current_->record.numbers.isEmpty())
        current_->lastOffNs = e.shownNs;
      break;
    case K::SeriesEnded:
      if (!current_ || current_->ended) break;
      current_->ended = true;
      current_->record.total = std::llround(e.value);
      current_->record.seriesMs = seriesMs(*current_, e.shownNs);
      last_ = current_->record;
      run_problems_ << *current_;
      current_.reset();
      break;
    case K::AnswerRevealed:
      if (Problem* p = inRun(e.index)) p->shown = true;
      writeSoon();
      break;
    case K::ColumnsShown:
      for (Problem& p : run_problems_) p.shown = true;
      writeSoon();
      break;
    case K::NextProblem:
      writeSoon();
      break;
    case K::RunEnded:
      running_ = false;
      writeSoon();
      break;
    case K::Aborted:
      stopRun(e.shownNs);
      writeSoon();
      break;
    case K::Closed:
      if (running_) stopRun(e.shownNs);
      writeNow();
      break;
    default:
      break;
  }
}

void DrillRecorder::onAnswerMarked(const MarkedAnswer& a) {
  Problem* p = inRun(a.problem);
  if (!p) return;
  p->shown = true;
  ProblemRecord& r = p->record;
  if (a.typed) r.answer = std::llround(*a.typed);
  r.mark = markOf(a.typed, a.total);
  if (last_ && last_->id == r.id) last_ = r;
  if (p->stored) store_.setAnswer(r.id, r.answer, r.mark);
  writeSoon();
}

void DrillRecorder::onAnswerStopped(const MarkedAnswer& a) {
  Problem* p =
      current_ && current_->record.runPosition == a.problem ? &*current_ : inRun(a.problem);
  if (!p || !a.typed) return;
  p->record.answer = std::llround(*a.typed);
  markAnswer(p->record);
  p->stored = false;
  if (last_ && last_->id == p->record.id) last_ = p->record;
}

void DrillRecorder::stopRun(std::int64_t timeNs) {
  running_ = false;
  if (current_ && !current_->ended && !current_->record.numbers.isEmpty()) {
    Problem p = *current_;
    p.ended = true;
    p.record.seriesMs = seriesMs(p, timeNs);
    for (qint64 n : p.record.numbers) p.record.total += n;
    run_problems_ << p;
  }
  current_.reset();
  for (Problem& p : run_problems_) {
    if (p.shown || p.record.aborted) continue;
    p.record.aborted = true;
    markAnswer(p.record);
    p.stored = false;  // handed over again, whole
  }
}

void DrillRecorder::writeSoon() {
  if (writeQueued_) return;
  writeQueued_ = true;
  // After the current handler and every listener of its event: a typed
  // answer told for the same total is then already in the record.
  QTimer::singleShot(0, &guard_, [this] {
    writeQueued_ = false;
    writeNow();
  });
}

void DrillRecorder::writeNow() {
  if (flashing()) return;
  for (Problem& p : run_problems_) {
    if (!p.ended || p.stored) continue;
    store_.add(p.record);
    p.stored = true;
  }
  store_.flush();
}
