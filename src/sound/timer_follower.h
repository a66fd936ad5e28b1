// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The ticks of one of the window's interval timers, followed from outside:
// started at a moment with an interval, frozen by a hold, and restarted for
// a full interval by the resume, as the timer itself is. Tick 1 is the
// first one after the start.
class TimerFollower {
 public:
  void start(std::int64_t atNs, std::int64_t intervalNs);
  void hold(std::int64_t atNs);
  void resume(std::int64_t atNs);

  bool running() const { return running_; }
  bool held() const { return held_; }
  // Ticks that have fired by atNs (a tick due exactly then included).
  std::int64_t ticksBy(std::int64_t atNs) const;
  // When tick n fires, as far as can be told now (not while held).
  std::int64_t timeOf(std::int64_t n) const;
  std::int64_t intervalNs() const { return interval_; }

 private:
  std::int64_t segmentStart_ = 0;  // the start or the last resume
  std::int64_t ticksBefore_ = 0;   // ticks fired before that
  std::int64_t interval_ = 1;
  bool running_ = false;
  bool held_ = false;
};
