#pragma once

#include <cstdint>
#include <functional>
#include <map>

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
  // Monotonic time in nanoseconds.
  virtual std::int64_t nowNs() const = 0;
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
// which runs every due tick in order, earliest first, ties in arming order.
class VirtualClock final : public Clock {
 public:
  void arm(Timer& timer, int intervalMs) override;
  void disarm(Timer& timer) override;
  std::uint64_t reading() const override { return static_cast<std::uint64_t>(now_); }
  std::int64_t nowNs() const override { return now_ * 1'000'000; }
  // Virtual time counts whole milliseconds: a deadline between two runs at the later one.
  std::uint64_t callAt(std::int64_t deadlineNs, std::function<void()> act) override;
  void cancelCall(std::uint64_t id) override { calls_.erase(id); }

  std::int64_t now() const { return now_; }
  // Runs all ticks due up to now + ms; returns the number of ticks run.
  long advance(std::int64_t ms);
  // Runs ticks one at a time until pred() holds or limitMs has passed;
  // returns whether pred() held.
  template <class Pred>
  bool advanceUntil(Pred pred, std::int64_t limitMs) {
    const std::int64_t end = now_ + limitMs;
    while (!pred()) {
      if (!step(end)) {
        now_ = end;
        return pred();
      }
    }
    return true;
  }
  bool idle() const { return armed_.empty() && calls_.empty(); }

 private:
  struct Entry {
    std::int64_t due;
    std::uint64_t seq;
    int interval;
  };
  bool step(std::int64_t end);

  std::int64_t now_ = 0;
  std::uint64_t seq_ = 0;
  std::map<Timer*, Entry> armed_;
  struct Call {
    std::int64_t due;
    std::uint64_t seq;
    std::function<void()> act;
  };
  std::map<std::uint64_t, Call> calls_;  // by id
};

}  // namespace pf
