// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

#include "platform/tick_runner.h"

namespace pf {

class Timer;

// Where timers get their ticks from: the precise clock in the program
// (platform/precise_clock.h), a virtual clock in tests.
class Clock {
 public:
  virtual ~Clock() = default;
  // Starts (or restarts) periodic ticks every intervalMs from now.
  virtual void arm(Timer& timer, int intervalMs) = 0;
  virtual void disarm(Timer& timer) = 0;
  // A reading that changes over time; mixed into the random source.
  virtual std::uint64_t reading() const = 0;
  // Monotonic time in nanoseconds; inside a tick's handler, that tick's own
  // time on its timer's grid.
  virtual std::int64_t nowNs() const = 0;
  // Inside a tick's handler: when its change is seen on the screen (later
  // than its own time when the tick came late); elsewhere now.
  virtual std::int64_t shownNs() const { return nowNs(); }
  // Calls act once at deadlineNs, a time of nowNs(), or at once when that
  // has passed. Inside act nowNs() reads the deadline, as in a tick's
  // handler, so timers started there tick on its grid; what act changes on
  // screen is shown at the deadline, like a tick's change. A timer started
  // in a call that came late runs the ticks it has missed back to back
  // until it is on time. Returns an id for cancelCall().
  virtual std::uint64_t callAt(std::int64_t deadlineNs, std::function<void()> act) = 0;
  virtual void cancelCall(std::uint64_t id) = 0;
};

// Deterministic time for tests: nothing happens until advance() is called,
// which runs every due tick in order, earliest first, ties in arming order,
// through the same stages as the program's clock.
class VirtualClock final : public Clock {
 public:
  void arm(Timer& timer, int intervalMs) override;
  void disarm(Timer& timer) override;
  std::uint64_t reading() const override { return static_cast<std::uint64_t>(now()); }
  std::int64_t nowNs() const override { return runner_.tickTime().value_or(now_); }
  std::int64_t shownNs() const override { return runner_.seenTime().value_or(now_); }
  std::uint64_t callAt(std::int64_t deadlineNs, std::function<void()> act) override {
    return runner_.call(deadlineNs, std::move(act));
  }
  void cancelCall(std::uint64_t id) override { runner_.cancel(id); }

  // Milliseconds since the clock began.
  std::int64_t now() const { return now_ / kMs; }
  // Runs all ticks due up to now + ms; returns the number of ticks run.
  long advance(std::int64_t ms);
  // Runs ticks one at a time until pred() holds or limitMs has passed;
  // returns whether pred() held.
  template <class Pred>
  bool advanceUntil(Pred pred, std::int64_t limitMs) {
    const std::int64_t end = now_ + limitMs * kMs;
    while (!pred()) {
      if (!step(end)) {
        now_ = end;
        return pred();
      }
    }
    return true;
  }
  // Holds the program up for ms from now, as a late wake-up does: ticks due
  // meanwhile run when it is over.
  void stall(std::int64_t ms) { blockedUntil_ = now_ + ms * kMs; }
  bool idle() const { return runner_.idle(); }

 private:
  static constexpr std::int64_t kMs = 1'000'000;
  bool step(std::int64_t endNs);

  std::int64_t now_ = 0;
  std::int64_t blockedUntil_ = 0;
  TickRunner runner_;
};

}  // namespace pf
