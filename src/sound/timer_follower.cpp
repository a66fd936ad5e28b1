// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/timer_follower.h"

#include <algorithm>

void TimerFollower::start(std::int64_t atNs, std::int64_t intervalNs) {
  segmentStart_ = atNs;
  ticksBefore_ = 0;
  interval_ = std::max<std::int64_t>(intervalNs, 1);
  running_ = true;
  held_ = false;
}

void TimerFollower::hold(std::int64_t atNs) {
  if (!running_ || held_) return;
  ticksBefore_ = ticksBy(atNs);
  held_ = true;
}

void TimerFollower::resume(std::int64_t atNs) {
  if (!running_ || !held_) return;
  segmentStart_ = atNs;
  held_ = false;
}

std::int64_t TimerFollower::ticksBy(std::int64_t atNs) const {
  if (held_ || atNs < segmentStart_) return ticksBefore_;
  return ticksBefore_ + (atNs - segmentStart_) / interval_;
}

std::int64_t TimerFollower::timeOf(std::int64_t n) const {
  return segmentStart_ + (n - ticksBefore_) * interval_;
}
