// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "platform/tick_schedule.h"

namespace pf {

class Timer;

// When one tick's stages happened, on the clock's time base in nanoseconds.
struct TickTrace {
  const Timer* timer = nullptr;
  std::int64_t deadline = 0;     // its own time on the grid
  std::int64_t due = 0;          // when its change was due on screen
  std::int64_t shown = 0;        // when it was meant to be seen (the refresh, on a compositor)
  std::int64_t plannedWake = 0;  // when the clock meant to run it
  std::int64_t woke = 0, handlerDone = 0, painted = 0, flushed = 0;
  long shifted = 0;  // grid points this timer's grid has moved on by so far
};

// What becomes of the changes a tick's handler makes; the frame presenter
// in the program, nothing on the virtual clock.
class TickStages {
 public:
  virtual ~TickStages() = default;
  // Around a tick's handler: what it changes is noted, then painted.
  virtual void collect() = 0;
  virtual void paint() = 0;
  // Sends what was painted to the screen, meant to be seen at seenNs.
  virtual void show(std::int64_t seenNs) = 0;
  // When to send a change due at dueNs (not before nowNs), and when it is
  // then seen: the refresh nearest its due time where the display's
  // refreshes are known, else both the due time.
  struct Slot {
    std::int64_t sendAt, seenAt;
  };
  virtual Slot slot(std::int64_t dueNs, std::int64_t nowNs) const {
    return {std::max(dueNs, nowNs), std::max(dueNs, nowNs)};
  }
};

// The order of a tick's stages, on any time base: a tick runs when it is
// due, never before (so a hold or an abort that came first stops it), its
// handler sees the tick's own grid time, and its change is painted and sent
// to the screen at once. Both clocks run their timers through it.
//
// With `paintAhead`, a tick runs as much before its send time as its handler
// and paint have lately taken, and its change is sent at the send time
// itself: the paint's cost is not added to the number's time, while a hold
// or an abort pressed before the tick ran still stops it.
class TickRunner {
 public:
  explicit TickRunner(TickStages* stages = nullptr, bool paintAhead = false)
      : stages_(stages), paintAhead_(paintAhead) {}

  // Starts a timer's grid: from the running tick's grid time inside a
  // handler, so timers started there stay on that grid, else from nowNs.
  void arm(Timer& timer, std::int64_t intervalNs, std::int64_t nowNs);
  void disarm(Timer& timer);
  // A call of act at deadlineNs, run, painted and sent like a tick; timers
  // started in it stay on its grid, catching up on what they missed should
  // it come late. Returns its id.
  std::uint64_t call(std::int64_t deadlineNs, std::function<void()> act);
  void cancel(std::uint64_t id) { calls_.erase(id); }
  bool idle() const { return armed_.empty() && calls_.empty(); }

  // When the earliest tick is to run; none while nothing is armed.
  std::optional<std::int64_t> nextRun(std::int64_t nowNs) const;
  // When to wake for it: the lead before it runs, at most a quarter of its
  // interval, so ticks keep their order.
  std::optional<std::int64_t> nextWake(std::int64_t nowNs) const;
  static constexpr std::int64_t kLeadNs = 6'000'000;
  // How long before its send time a tick runs: a little more than most of
  // the recent handlers and paints took, within bounds; 0 without paintAhead.
  std::int64_t ahead() const;
  static constexpr std::int64_t kLeastAheadNs = 300'000, kMostAheadNs = 4'000'000;
  // Runs the earliest tick if it is due by nowNs + ahead() (ties in arming
  // order), with its paint, waits with waitUntil for its send time should
  // the paint be done early, and sends it; returns whether one ran. clockNs
  // reads the time base for the trace.
  bool runDue(std::int64_t nowNs, const std::function<std::int64_t()>& clockNs,
              const std::function<void(std::int64_t)>& waitUntil = {});

  // Inside a handler: the tick's grid time and when its change is seen.
  std::optional<std::int64_t> tickTime() const { return tickTime_; }
  std::optional<std::int64_t> seenTime() const { return seenTime_; }
  // Where each tick's change ended up; for measurements.
  std::function<void(const TickTrace&)> onTrace;

 private:
  struct Entry {
    TickSchedule schedule;
    std::uint64_t seq;
  };
  struct Call {
    std::int64_t deadline;
    std::function<void()> act;
  };
  // The next tick or call: a timer, or a call's id (also its arming order).
  struct Next {
    Timer* timer = nullptr;
    std::uint64_t call = 0;
    std::int64_t due = 0, deadline = 0, interval = 0;
    std::uint64_t seq = 0;
    explicit operator bool() const { return timer || call; }
  };
  Next earliest() const;
  TickStages::Slot slotOf(const Next& n, std::int64_t nowNs) const;

  TickStages* stages_;
  bool paintAhead_;
  std::array<std::int64_t, 16> paints_{};  // the last handlers and paints, ns
  std::size_t paintCount_ = 0;
  std::map<Timer*, Entry> armed_;
  std::map<std::uint64_t, Call> calls_;
  std::uint64_t seq_ = 0;
  bool inLateCall_ = false;
  std::optional<std::int64_t> tickTime_, seenTime_;
};

}  // namespace pf
