#pragma once

#include <cstdint>

namespace pf {

// The deadlines of one periodic timer: absolute times on the monotonic clock
// in nanoseconds, on the grid of the timer's start, so a late wake-up never
// shifts the ticks that follow.
class TickSchedule {
 public:
  TickSchedule(std::int64_t startNs, std::int64_t intervalNs)
      : start_(startNs), interval_(intervalNs) {}

  std::int64_t deadline() const { return start_ + index_ * interval_; }
  std::int64_t interval() const { return interval_; }
  // When to wake for the next tick: the lead before its deadline, but never
  // more than a quarter of the interval, so ticks keep their order.
  std::int64_t wakeAt(std::int64_t leadNs) const;
  // Moves past the tick that is run now. A grid point that has already
  // passed as well would run back to back with this one, so it is passed
  // over; returns how many were.
  int advance(std::int64_t nowNs);
  // Ticks passed over so far.
  long skipped() const { return skipped_; }

 private:
  std::int64_t start_, interval_;
  std::int64_t index_ = 1;
  long skipped_ = 0;
};

// What to do after a tick's change has been painted, before it is shown.
struct FlushStep {
  enum Kind { Now, Sleep, WaitInLoop } kind;
  std::int64_t untilNs;  // for Sleep: the deadline; for WaitInLoop: when to come back
};
// The last finalWaitNs before the deadline are slept precisely on the spot;
// anything longer is spent back in the event loop. A deadline already past
// is flushed at once.
FlushStep planFlush(std::int64_t nowNs, std::int64_t deadlineNs, std::int64_t finalWaitNs);

}  // namespace pf
