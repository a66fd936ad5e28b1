#include "platform/precise_clock.h"

#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>

#include "platform/frame_presenter.h"
#include "platform/realtime.h"
#include "platform/tick_schedule.h"
#include "platform/timer.h"

namespace pf {

namespace {

// Tests run several copies with deliberately different clocks: the
// program's time is the system's monotonic clock plus this offset.
const std::int64_t kOffsetNs = qEnvironmentVariable("PELATTO_TEST_CLOCK_OFFSET_NS").toLongLong();

std::int64_t monotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec + kOffsetNs;
}

// The system's time for one of the program's; never 0, which would disarm a timerfd.
timespec toTimespec(std::int64_t ns) {
  ns = std::max<std::int64_t>(ns - kOffsetNs, 1);
  return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

}  // namespace

struct PreciseClock::Impl {
  struct Entry {
    TickSchedule schedule;
    std::uint64_t seq;
    // Started in a call whose time had gone: its passed ticks run back to
    // back until it is on time, so it ends on the grid of that time.
    bool catchUp = false;
  };
  struct Call {
    std::int64_t deadline;
    std::function<void()> act;
  };
  // What runs next: a timer's tick or a call (by its id, which is also its arming order).
  struct Next {
    Timer* timer = nullptr;
    Entry* entry = nullptr;
    std::uint64_t call = 0;
    std::int64_t deadline = 0, wake = 0;
    explicit operator bool() const { return timer || call; }
  };

  int fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  std::unique_ptr<QSocketNotifier> notifier;
  std::map<Timer*, Entry> armed;
  std::map<std::uint64_t, Call> calls;
  std::uint64_t seq = 0;
  std::int64_t logicalNow = -1;
  std::optional<TickTrace> pending;  // painted, waiting for its deadline
  bool inProcess = false;
  bool inCall = false;
  SchedulerCalls scheduler = SchedulerCalls::system();
  bool raised = false;
  PreciseClock* owner = nullptr;

  Next earliest() {
    Next best;
    std::uint64_t bestSeq = 0;
    const auto better = [&](std::int64_t deadline, std::uint64_t s) {
      return !best || deadline < best.deadline || (deadline == best.deadline && s < bestSeq);
    };
    for (auto& [t, e] : armed)
      if (better(e.schedule.deadline(), e.seq)) {
        best = Next{t, &e, 0, e.schedule.deadline(), e.schedule.wakeAt(kLeadNs)};
        bestSeq = e.seq;
      }
    for (const auto& [id, c] : calls)
      if (better(c.deadline, id)) {
        best = Next{nullptr, nullptr, id, c.deadline, c.deadline - kLeadNs};
        bestSeq = id;
      }
    return best;
  }

  void setAlarm(std::optional<std::int64_t> at) {
    itimerspec when{};
    if (at) when.it_value = toTimespec(*at);
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
    if (armed.empty() && raised) {
      lowerTimingThread(scheduler);
      raised = false;
    }
    const Next next = earliest();
    setAlarm(next ? std::optional(next.wake) : std::nullopt);
  }

  void runTick(const Next& next, std::int64_t now) {
    TickTrace trace;
    trace.timer = next.timer;
    trace.deadline = next.deadline;
    trace.plannedWake = next.wake;
    trace.woke = now;
    std::function<void()> act;
    if (next.timer) {
      // Moved on before the handler runs, so that the handler's own changes
      // to the timer win.
      Entry& e = *next.entry;
      e.schedule.advance(e.catchUp ? trace.deadline : now);
      e.catchUp = e.catchUp && e.schedule.deadline() <= now;
      e.seq = ++seq;
      trace.skipped = e.schedule.skipped();
    } else {
      // Taken out first: the call may make another.
      act = std::move(calls.extract(next.call).mapped().act);
    }
    FramePresenter& presenter = FramePresenter::instance();
    presenter.beginCollecting();
    logicalNow = trace.deadline;
    inCall = !next.timer;
    if (next.timer)
      next.timer->fire();
    else
      act();
    inCall = false;
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
      const Next next = earliest();
      if (pending) {
        // Ticks due at the same time are shown together.
        if (next && next.deadline <= pending->deadline) {
          runTick(next, now);
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
      if (!next || next.wake > now) break;
      runTick(next, now);
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
  if (impl_->raised) lowerTimingThread(impl_->scheduler);
  close(impl_->fd);
}

void PreciseClock::arm(Timer& timer, int intervalMs) {
  const std::int64_t start = nowNs();
  impl_->armed.insert_or_assign(
      &timer, Impl::Entry{TickSchedule(start, std::int64_t{intervalMs} * 1'000'000), ++impl_->seq,
                          impl_->inCall});
  if (!impl_->raised) {
    raiseTimingThread(impl_->scheduler, kPriority);
    impl_->raised = true;
  }
  impl_->reschedule();
}

void PreciseClock::disarm(Timer& timer) {
  impl_->armed.erase(&timer);
  impl_->reschedule();
}

std::uint64_t PreciseClock::callAt(std::int64_t deadlineNs, std::function<void()> act) {
  const std::uint64_t id = ++impl_->seq;
  impl_->calls.emplace(id, Impl::Call{deadlineNs, std::move(act)});
  impl_->reschedule();
  return id;
}

void PreciseClock::cancelCall(std::uint64_t id) {
  impl_->calls.erase(id);
  impl_->reschedule();
}

std::uint64_t PreciseClock::reading() const { return static_cast<std::uint64_t>(monotonicNs()); }

std::int64_t PreciseClock::nowNs() const {
  return impl_->logicalNow >= 0 ? impl_->logicalNow : monotonicNs();
}

}  // namespace pf
