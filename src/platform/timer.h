// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace pf {

class Clock;

// The classic interval timer: ticks while enabled with a non-zero interval.
// Assigning the interval restarts it for a full interval, and so does
// enabling it again; no partial time is kept.
class Timer {
 public:
  Timer(Clock& clock, bool enabled, int interval);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool Enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  int Interval() const { return interval_; }
  void setInterval(int ms);
  bool running() const { return enabled_ && interval_ > 0; }

  std::function<void()> onTimer;
  void fire();

 private:
  void rearm();

  Clock& clock_;
  bool enabled_;
  int interval_;
};

}  // namespace pf
