// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"

#include <algorithm>

namespace pf {

void VirtualClock::arm(Timer& timer, int intervalMs) { runner_.arm(timer, intervalMs * kMs, now_); }

void VirtualClock::disarm(Timer& timer) { runner_.disarm(timer); }

// One tick: woken its lead ahead, as the program's clock is, then run when due.
bool VirtualClock::step(std::int64_t endNs) {
  const auto clockNs = [this] { return now_; };
  for (bool woken = false;; woken = true) {
    const std::int64_t from = std::max(now_, blockedUntil_);
    const auto at = woken ? runner_.nextRun(from) : runner_.nextWake(from);
    if (!at || std::max(from, *at) > endNs) return false;
    now_ = std::max(from, *at);
    if (runner_.runDue(now_, clockNs)) return true;
    if (woken) return false;
  }
}

long VirtualClock::advance(std::int64_t ms) {
  const std::int64_t end = now_ + ms * kMs;
  long ticks = 0;
  while (step(end)) ++ticks;
  now_ = end;
  return ticks;
}

}  // namespace pf
