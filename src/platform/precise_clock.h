#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/clock.h"

namespace pf {

// When one tick's stages happened, on the monotonic clock in nanoseconds.
struct TickTrace {
  const Timer* timer = nullptr;
  std::int64_t deadline = 0;     // when its change is due on screen
  std::int64_t plannedWake = 0;  // the deadline less the lead
  std::int64_t woke = 0, handlerDone = 0, painted = 0, flushed = 0;
  long skipped = 0;  // grid points this timer has passed over so far
};

// The program's clock: every timer's deadlines lie on the grid of its start
// on the monotonic clock. A timerfd wakes the user-interface thread a short
// lead before a deadline; the tick's handler runs and its change is painted
// into the window's back buffer; at the deadline itself the change goes to
// the screen. While a timer is armed the thread asks for real-time
// scheduling; at idle nothing is armed and nothing wakes. A call at a
// given time runs and is shown like a tick. In tests the environment's
// PELATTO_TEST_CLOCK_OFFSET_NS shifts every time the clock gives and takes.
class PreciseClock final : public Clock {
 public:
  PreciseClock();
  ~PreciseClock() override;
  void arm(Timer& timer, int intervalMs) override;
  void disarm(Timer& timer) override;
  std::uint64_t reading() const override;
  // Inside a tick's handler: that tick's deadline, so timers started there
  // stay on the grid of the one that ticked.
  std::int64_t nowNs() const override;
  std::uint64_t callAt(std::int64_t deadlineNs, std::function<void()> act) override;
  void cancelCall(std::uint64_t id) override;

  // Called after every tick has been shown; for measurements.
  std::function<void(const TickTrace&)> onTrace;

  static constexpr std::int64_t kLeadNs = 6'000'000;
  static constexpr std::int64_t kFinalWaitNs = 500'000;
  static constexpr int kPriority = 10;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace pf
