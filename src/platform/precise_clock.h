// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/clock.h"

namespace pf {

// The program's clock: every timer's deadlines lie on the grid of its start
// on the monotonic clock. A timerfd wakes the user-interface thread a lead
// before a tick; the wait is spent in the event loop, where input comes
// first, and its last fraction is slept on the spot. When the tick is due
// its handler runs and its change is painted and sent to the screen at
// once: a hold or an abort pressed before then stops the tick. On a
// compositor that reports its refreshes, a tick is due the moment that puts
// its change on the refresh nearest its deadline. While a timer is armed
// the thread asks for real-time scheduling; at idle nothing wakes. A call
// at a given time runs and is shown like a tick. In tests the environment's
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
  std::int64_t shownNs() const override;
  std::uint64_t callAt(std::int64_t deadlineNs, std::function<void()> act) override;
  void cancelCall(std::uint64_t id) override;

  // Called after every tick has been sent to the screen; for measurements.
  std::function<void(const TickTrace&)> onTrace;

  static constexpr std::int64_t kLeadNs = TickRunner::kLeadNs;
  static constexpr std::int64_t kFinalWaitNs = 500'000;
  static constexpr int kPriority = 10;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace pf
