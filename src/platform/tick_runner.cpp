// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tick_runner.h"

#include <algorithm>

#include "platform/timer.h"

namespace pf {

void TickRunner::arm(Timer& timer, std::int64_t intervalNs, std::int64_t nowNs) {
  const std::int64_t start = tickTime_.value_or(nowNs);
  Entry entry{TickSchedule(start, intervalNs), ++seq_};
  if (inLateCall_) entry.schedule.catchUpFully();
  armed_.insert_or_assign(&timer, entry);
}

void TickRunner::disarm(Timer& timer) { armed_.erase(&timer); }

std::uint64_t TickRunner::call(std::int64_t deadlineNs, std::function<void()> act) {
  const std::uint64_t id = ++seq_;
  calls_.emplace(id, Call{deadlineNs, std::move(act)});
  return id;
}

TickRunner::Next TickRunner::earliest() const {
  Next best;
  const auto better = [&best](std::int64_t due, std::uint64_t seq) {
    return !best || due < best.due || (due == best.due && seq < best.seq);
  };
  for (const auto& [timer, e] : armed_)
    if (better(e.schedule.dueAt(), e.seq))
      best =
          Next{timer, 0, e.schedule.dueAt(), e.schedule.deadline(), e.schedule.interval(), e.seq};
  for (const auto& [id, c] : calls_)
    if (better(c.deadline, id)) best = Next{nullptr, id, c.deadline, c.deadline, 4 * kLeadNs, id};
  return best;
}

TickStages::Slot TickRunner::slotOf(const Next& n, std::int64_t nowNs) const {
  return stages_ ? stages_->slot(n.due, nowNs) : TickStages::Slot{n.due, n.due};
}

std::optional<std::int64_t> TickRunner::nextRun(std::int64_t nowNs) const {
  const Next next = earliest();
  if (!next) return std::nullopt;
  return slotOf(next, nowNs).sendAt;
}

std::optional<std::int64_t> TickRunner::nextWake(std::int64_t nowNs) const {
  const Next next = earliest();
  if (!next) return std::nullopt;
  return slotOf(next, nowNs).sendAt - std::min(kLeadNs, next.interval / 4);
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
  const Next next = earliest();
  if (!next) return false;
  const TickStages::Slot slot = slotOf(next, nowNs);
  if (slot.sendAt > nowNs + ahead()) return false;
  TickTrace trace;
  trace.timer = next.timer;
  trace.deadline = next.deadline;
  trace.due = next.due;
  trace.shown = std::max(slot.seenAt, nowNs);
  // When it was meant to run: its due time, should it come later.
  trace.plannedWake = std::min(slot.sendAt, trace.due);
  trace.woke = nowNs;
  std::function<void()> act;
  std::optional<TickSchedule> before;
  std::uint64_t seq = 0;
  if (next.timer) {
    // Moved on before the handler runs, so that the handler's own changes
    // to the timer win.
    Entry& entry = armed_.at(next.timer);
    before = entry.schedule;
    entry.schedule.advance(std::max(trace.due, trace.shown));
    seq = entry.seq = ++seq_;
    trace.shifted = entry.schedule.shifted();
  } else {
    // Taken out first: the call may make another.
    act = std::move(calls_.extract(next.call).mapped().act);
  }
  if (stages_) stages_->collect();
  tickTime_ = trace.deadline;
  seenTime_ = trace.shown;
  inLateCall_ = !next.timer && trace.shown > trace.deadline;
  if (next.timer)
    next.timer->fire();
  else
    act();
  inLateCall_ = false;
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
  const auto again = next.timer ? armed_.find(next.timer) : armed_.end();
  if (again != armed_.end() && again->second.seq == seq &&
      trace.flushed > std::max(trace.due, trace.shown)) {
    again->second.schedule = *before;
    again->second.schedule.advance(trace.flushed);
  }
  if (onTrace) onTrace(trace);
  return true;
}

}  // namespace pf
