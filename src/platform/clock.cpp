#include "platform/clock.h"

#include <algorithm>

#include "platform/timer.h"

namespace pf {

void VirtualClock::arm(Timer& timer, int intervalMs) {
  armed_[&timer] = Entry{now_ + intervalMs, ++seq_, intervalMs};
}

void VirtualClock::disarm(Timer& timer) { armed_.erase(&timer); }

std::uint64_t VirtualClock::callAt(std::int64_t deadlineNs, std::function<void()> act) {
  const std::int64_t due = std::max(now_, (deadlineNs + 999'999) / 1'000'000);
  const std::uint64_t id = ++seq_;
  calls_[id] = Call{due, id, std::move(act)};
  return id;
}

bool VirtualClock::step(std::int64_t end) {
  Timer* next = nullptr;
  const Entry* best = nullptr;
  for (const auto& [t, e] : armed_) {
    if (e.due > end) continue;
    if (!best || e.due < best->due || (e.due == best->due && e.seq < best->seq)) {
      best = &e;
      next = t;
    }
  }
  const Call* call = nullptr;
  for (const auto& [id, c] : calls_)
    if (c.due <= end && (!call || c.due < call->due || (c.due == call->due && c.seq < call->seq)))
      call = &c;
  if (call &&
      (!best || call->due < best->due || (call->due == best->due && call->seq < best->seq))) {
    now_ = call->due;
    // Taken out first: the call may arm another.
    const std::function<void()> act = std::move(calls_.extract(call->seq).mapped().act);
    act();
    return true;
  }
  if (!next) return false;
  now_ = best->due;
  // Re-armed before the handler runs, so that the handler's own changes win.
  armed_[next] = Entry{now_ + best->interval, ++seq_, best->interval};
  next->fire();
  return true;
}

long VirtualClock::advance(std::int64_t ms) {
  const std::int64_t end = now_ + ms;
  long ticks = 0;
  while (step(end)) ++ticks;
  now_ = end;
  return ticks;
}

}  // namespace pf
