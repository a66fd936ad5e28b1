// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>

namespace pf {

// The ticks of one periodic timer: absolute times on the monotonic clock in
// nanoseconds, on the grid of the timer's start. A tick that comes late
// (the thread was held up) is never passed over: the grid points a stall
// covered are run one after another, each shown for at least a gap, until
// the timer is back on its grid, so a timer whose ticks alternate (a number
// and its blank) keeps its phase and its end. Only a stall of more than two
// intervals moves the grid on, by whole pairs of intervals.
class TickSchedule {
 public:
  TickSchedule(std::int64_t startNs, std::int64_t intervalNs)
      : start_(startNs), interval_(intervalNs) {}

  // The next tick's own time on the grid: what the clock reads in its handler.
  std::int64_t deadline() const { return start_ + index_ * interval_; }
  // When the next tick's change is due on screen: its grid time, or while
  // catching up, a gap after the change before it.
  std::int64_t dueAt() const { return std::max(deadline(), floor_); }
  std::int64_t interval() const { return interval_; }
  // When to wake for the next tick: the lead before it is due, but never
  // more than a quarter of the interval, so ticks keep their order.
  std::int64_t wakeAt(std::int64_t leadNs) const;
  // Moves past the tick whose change went to the screen at shownNs.
  void advance(std::int64_t shownNs);
  // Grid points the grid has moved on by after long stalls.
  long shifted() const { return shifted_; }
  // For a timer started at a moment that had already passed (a call that
  // came late): the ticks it missed run back to back, without a gap and
  // without moving the grid, until it is on time.
  void catchUpFully() { fully_ = true; }

  // What a late change stands at least: one frame at 60 Hz, so that a blank
  // shown late is seen; at most half the interval, so catching up gains.
  static constexpr std::int64_t kCatchUpGapNs = 17'000'000;
  std::int64_t gap() const { return std::min(kCatchUpGapNs, interval_ / 2); }

 private:
  std::int64_t start_, interval_;
  std::int64_t index_ = 1;
  std::int64_t floor_ = 0;
  long shifted_ = 0;
  bool fully_ = false;
};

// What to do before a tick that is not yet due: back to the event loop
// while it is far, a bounded precise sleep for its last fraction, nothing
// when it is due.
struct FlushStep {
  enum Kind { Now, Sleep, WaitInLoop } kind;
  std::int64_t untilNs;  // for Sleep: the due time; for WaitInLoop: when to come back
};
FlushStep planFlush(std::int64_t nowNs, std::int64_t dueNs, std::int64_t finalWaitNs);

}  // namespace pf
