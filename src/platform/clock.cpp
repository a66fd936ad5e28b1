#include "platform/clock.h"

#include "platform/timer.h"

namespace pf {

void VirtualClock::arm(Timer& timer, int intervalMs) {
  armed_[&timer] = Entry{now_ + intervalMs, ++seq_, intervalMs};
}

void VirtualClock::disarm(Timer& timer) { armed_.erase(&timer); }

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
