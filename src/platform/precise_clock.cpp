#include "platform/precise_clock.h"

#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <map>
#include <optional>

#include "platform/frame_presenter.h"
#include "platform/realtime.h"
#include "platform/tick_schedule.h"
#include "platform/timer.h"

namespace pf {

namespace {

std::int64_t monotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

timespec toTimespec(std::int64_t ns) {
  return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

}  // namespace

struct PreciseClock::Impl {
  struct Entry {
    TickSchedule schedule;
    std::uint64_t seq;
  };

  int fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  std::unique_ptr<QSocketNotifier> notifier;
  std::map<Timer*, Entry> armed;
  std::uint64_t seq = 0;
  std::int64_t logicalNow = -1;
  std::optional<TickTrace> pending;  // painted, waiting for its deadline
  bool inProcess = false;
  SchedulerCalls calls = SchedulerCalls::system();
  bool raised = false;
  PreciseClock* owner = nullptr;

  std::pair<Timer*, Entry*> earliest() {
    std::pair<Timer*, Entry*> best{nullptr, nullptr};
    for (auto& [t, e] : armed) {
      const Entry* b = best.second;
      if (!b || e.schedule.deadline() < b->schedule.deadline() ||
          (e.schedule.deadline() == b->schedule.deadline() && e.seq < b->seq))
        best = {t, &e};
    }
    return best;
  }

  void setAlarm(std::optional<std::int64_t> at) {
    itimerspec when{};
    if (at) when.it_value = toTimespec(std::max<std::int64_t>(*at, 1));
    timerfd_settime(fd, TFD_TIMER_ABSTIME, &when, nullptr);
  }

  // Sets the alarm for whatever comes next: a pending flush or the next
  // tick's wake-up; with nothing armed, no alarm and normal scheduling.
  void reschedule() {
    if (inProcess) return;
    if (pending) {
      setAlarm(pending->deadline - kFinalWaitNs);
      return;
    }
    const auto [timer, entry] = earliest();
    if (!timer) {
      setAlarm(std::nullopt);
      if (raised) lowerTimingThread(calls);
      raised = false;
      return;
    }
    setAlarm(entry->schedule.wakeAt(kLeadNs));
  }

  void runTick(Timer* timer, Entry& entry, std::int64_t now) {
    TickTrace trace;
    trace.timer = timer;
    trace.deadline = entry.schedule.deadline();
    trace.plannedWake = entry.schedule.wakeAt(kLeadNs);
    trace.woke = now;
    // Moved on before the handler runs, so that the handler's own changes
    // to the timer win.
    entry.schedule.advance(now);
    entry.seq = ++seq;
    trace.skipped = entry.schedule.skipped();
    FramePresenter& presenter = FramePresenter::instance();
    presenter.beginCollecting();
    logicalNow = trace.deadline;
    timer->fire();
    logicalNow = -1;
    trace.handlerDone = monotonicNs();
    presenter.paint();
    trace.painted = monotonicNs();
    if (!pending || trace.deadline > pending->deadline) pending = trace;
  }

  void show() {
    FramePresenter& presenter = FramePresenter::instance();
    presenter.show();
    TickTrace trace = *pending;
    trace.flushed = monotonicNs();
    pending.reset();
    presenter.release();
    if (owner->onTrace) owner->onTrace(trace);
  }

  void process() {
    inProcess = true;
    for (;;) {
      const std::int64_t now = monotonicNs();
      auto [timer, entry] = earliest();
      if (pending) {
        // Ticks due at the same time are shown together.
        if (timer && entry->schedule.deadline() <= pending->deadline) {
          runTick(timer, *entry, now);
          continue;
        }
        const FlushStep step = planFlush(now, pending->deadline, kFinalWaitNs);
        if (step.kind == FlushStep::WaitInLoop) break;
        if (step.kind == FlushStep::Sleep) {
          const timespec until = toTimespec(step.untilNs);
          while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
          }
        }
        show();
        continue;
      }
      if (!timer || entry->schedule.wakeAt(kLeadNs) > now) break;
      runTick(timer, *entry, now);
    }
    inProcess = false;
    reschedule();
  }
};

PreciseClock::PreciseClock() : impl_(std::make_unique<Impl>()) {
  impl_->owner = this;
  impl_->notifier = std::make_unique<QSocketNotifier>(impl_->fd, QSocketNotifier::Read);
  QObject::connect(impl_->notifier.get(), &QSocketNotifier::activated, [this] {
    std::uint64_t expirations = 0;
    if (read(impl_->fd, &expirations, sizeof expirations) < 0) {
      // Nothing to read: a spurious wake-up; process() finds nothing due.
    }
    impl_->process();
  });
}

PreciseClock::~PreciseClock() {
  impl_->notifier.reset();
  // A change painted but not yet due is shown now rather than held forever.
  if (impl_->pending) {
    FramePresenter::instance().show();
    FramePresenter::instance().release();
  }
  if (impl_->raised) lowerTimingThread(impl_->calls);
  close(impl_->fd);
}

void PreciseClock::arm(Timer& timer, int intervalMs) {
  const std::int64_t start = nowNs();
  impl_->armed.insert_or_assign(
      &timer, Impl::Entry{TickSchedule(start, std::int64_t{intervalMs} * 1'000'000), ++impl_->seq});
  if (!impl_->raised) {
    raiseTimingThread(impl_->calls, kPriority);
    impl_->raised = true;
  }
  impl_->reschedule();
}

void PreciseClock::disarm(Timer& timer) {
  impl_->armed.erase(&timer);
  impl_->reschedule();
}

std::uint64_t PreciseClock::reading() const { return static_cast<std::uint64_t>(monotonicNs()); }

std::int64_t PreciseClock::nowNs() const {
  return impl_->logicalNow >= 0 ? impl_->logicalNow : monotonicNs();
}

}  // namespace pf
