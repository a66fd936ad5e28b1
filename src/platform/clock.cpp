#include "platform/clock.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>

#include "platform/timer.h"

namespace pf {

struct EventLoopClock::Impl {
  std::map<Timer*, std::unique_ptr<QTimer>> timers;
};

EventLoopClock::EventLoopClock() : impl_(std::make_unique<Impl>()) {}
EventLoopClock::~EventLoopClock() = default;

void EventLoopClock::arm(Timer& timer, int intervalMs) {
  auto& q = impl_->timers[&timer];
  if (!q) {
    q = std::make_unique<QTimer>();
    q->setTimerType(Qt::PreciseTimer);
    QObject::connect(q.get(), &QTimer::timeout, [&timer] {
      timer.fire();
      // What the tick changed goes to the screen now, not after whatever
      // else is queued: a 50 ms flash has no time to wait.
      QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    });
  }
  q->start(intervalMs);
}

void EventLoopClock::disarm(Timer& timer) {
  auto it = impl_->timers.find(&timer);
  if (it != impl_->timers.end()) it->second->stop();
}

std::uint64_t EventLoopClock::reading() const {
  return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

std::int64_t EventLoopClock::nowNs() const {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void VirtualClock::arm(Timer& timer, int intervalMs) {
  armed_[&timer] = Entry{now_ + intervalMs, ++seq_, intervalMs};
}

void VirtualClock::disarm(Timer& timer) { armed_.erase(&timer); }

bool VirtualClock::step(std::int64_t end) {
  Timer* next = nullptr;
  const Entry* best = nullptr;
  for (const auto& [t, e] : armed_) {
    if (e.due > end) continue;
    if (!best || e.due < best->due || (e.due == best->due && e.seq < best->seq)) {
      best = &e;
      next = t;
    }
  }
  if (!next) return false;
  now_ = best->due;
  // Re-armed before the handler runs, so that the handler's own changes win.
  armed_[next] = Entry{now_ + best->interval, ++seq_, best->interval};
  next->fire();
  return true;
}

long VirtualClock::advance(std::int64_t ms) {
  const std::int64_t end = now_ + ms;
  long ticks = 0;
  while (step(end)) ++ticks;
  now_ = end;
  return ticks;
}

}  // namespace pf
