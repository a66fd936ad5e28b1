#include "platform/tick_runner.h"

#include <algorithm>

#include "platform/timer.h"

namespace pf {

void TickRunner::arm(Timer& timer, std::int64_t intervalNs, std::int64_t nowNs) {
  const std::int64_t start = tickTime_.value_or(nowNs);
  armed_.insert_or_assign(&timer, Entry{TickSchedule(start, intervalNs), ++seq_});
}

void TickRunner::disarm(Timer& timer) { armed_.erase(&timer); }

Timer* TickRunner::earliest() const {
  auto best = armed_.end();
  for (auto it = armed_.begin(); it != armed_.end(); ++it) {
    if (best == armed_.end()) {
      best = it;
      continue;
    }
    const std::int64_t a = it->second.schedule.dueAt(), b = best->second.schedule.dueAt();
    if (a < b || (a == b && it->second.seq < best->second.seq)) best = it;
  }
  return best == armed_.end() ? nullptr : best->first;
}

TickStages::Slot TickRunner::slotOf(const Entry& e, std::int64_t nowNs) const {
  const std::int64_t due = e.schedule.dueAt();
  return stages_ ? stages_->slot(due, nowNs) : TickStages::Slot{due, due};
}

std::optional<std::int64_t> TickRunner::nextRun(std::int64_t nowNs) const {
  Timer* timer = earliest();
  if (!timer) return std::nullopt;
  return slotOf(armed_.at(timer), nowNs).sendAt;
}

std::optional<std::int64_t> TickRunner::nextWake(std::int64_t nowNs) const {
  Timer* timer = earliest();
  if (!timer) return std::nullopt;
  const Entry& e = armed_.at(timer);
  return slotOf(e, nowNs).sendAt - std::min(kLeadNs, e.schedule.interval() / 4);
}

std::int64_t TickRunner::ahead() const {
  if (!paintAhead_ || paintCount_ == 0) return paintAhead_ ? kLeastAheadNs : 0;
  // The third longest of the recent ones: one slow paint does not move every tick.
  std::array<std::int64_t, 16> recent = paints_;
  const std::size_t n = std::min(paintCount_, recent.size());
  const std::size_t k = n > 3 ? n - 3 : n - 1;
  std::nth_element(recent.begin(), recent.begin() + static_cast<std::ptrdiff_t>(k),
                   recent.begin() + static_cast<std::ptrdiff_t>(n));
  return std::clamp(recent[k] + kLeastAheadNs, kLeastAheadNs, kMostAheadNs);
}

bool TickRunner::runDue(std::int64_t nowNs, const std::function<std::int64_t()>& clockNs,
                        const std::function<void(std::int64_t)>& waitUntil) {
  Timer* timer = earliest();
  if (!timer) return false;
  Entry& entry = armed_.at(timer);
  const TickStages::Slot slot = slotOf(entry, nowNs);
  if (slot.sendAt > nowNs + ahead()) return false;
  TickTrace trace;
  trace.timer = timer;
  trace.deadline = entry.schedule.deadline();
  trace.due = entry.schedule.dueAt();
  trace.shown = std::max(slot.seenAt, nowNs);
  // When it was meant to run: its due time, should it come later.
  trace.plannedWake = std::min(slot.sendAt, trace.due);
  trace.woke = nowNs;
  // Moved on before the handler runs, so that the handler's own changes to
  // the timer win.
  const TickSchedule before = entry.schedule;
  entry.schedule.advance(std::max(trace.due, trace.shown));
  const std::uint64_t seq = entry.seq = ++seq_;
  trace.shifted = entry.schedule.shifted();
  if (stages_) stages_->collect();
  tickTime_ = trace.deadline;
  seenTime_ = trace.shown;
  timer->fire();
  tickTime_.reset();
  seenTime_.reset();
  trace.handlerDone = clockNs();
  if (stages_) stages_->paint();
  trace.painted = clockNs();
  paints_[paintCount_++ % paints_.size()] = trace.painted - trace.woke;
  if (waitUntil && trace.painted < slot.sendAt) waitUntil(slot.sendAt);
  if (stages_) stages_->show(trace.shown);
  trace.flushed = clockNs();
  // A change that took long to reach the screen (the display server held
  // up its paint) still stands its gap before the next one.
  const auto again = armed_.find(timer);
  if (again != armed_.end() && again->second.seq == seq &&
      trace.flushed > std::max(trace.due, trace.shown)) {
    again->second.schedule = before;
    again->second.schedule.advance(trace.flushed);
  }
  if (onTrace) onTrace(trace);
  return true;
}

}  // namespace pf
