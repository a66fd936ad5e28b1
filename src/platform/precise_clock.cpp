// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/precise_clock.h"

#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QtGlobal>
#include <cerrno>
#include <optional>

#include "platform/frame_presenter.h"
#include "platform/realtime.h"
#include "platform/tick_schedule.h"

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

void sleepUntil(std::int64_t ns) {
  const timespec until = toTimespec(ns);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

}  // namespace

struct PreciseClock::Impl {
  int fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  std::unique_ptr<QSocketNotifier> notifier;
  TickRunner runner{&FramePresenter::instance(), true};
  bool inProcess = false;
  SchedulerCalls calls = SchedulerCalls::system();
  bool raised = false;

  void setAlarm(std::optional<std::int64_t> at) {
    itimerspec when{};
    if (at) when.it_value = toTimespec(std::max<std::int64_t>(*at, 1));
    timerfd_settime(fd, TFD_TIMER_ABSTIME, &when, nullptr);
  }

  // The next wake-up: the lead before the next tick, or once that has
  // passed, the start of the wait's last fraction; with nothing armed, no
  // alarm and normal scheduling.
  void reschedule() {
    if (inProcess) return;
    const std::int64_t now = monotonicNs();
    const auto wake = runner.nextWake(now);
    if (!wake) {
      setAlarm(std::nullopt);
      if (raised) lowerTimingThread(calls);
      raised = false;
      return;
    }
    setAlarm(*wake > now ? *wake : *runner.nextRun(now) - runner.ahead() - kFinalWaitNs);
  }

  void process() {
    inProcess = true;
    for (;;) {
      const std::int64_t now = monotonicNs();
      const auto run = runner.nextRun(now);
      if (!run) break;
      // Input until then is handled first, so a hold pressed before it stops the tick.
      const std::int64_t start = *run - runner.ahead();
      const FlushStep step = planFlush(now, start, kFinalWaitNs);
      if (step.kind == FlushStep::WaitInLoop) break;
      if (step.kind == FlushStep::Sleep) sleepUntil(step.untilNs);
      runner.runDue(std::max(monotonicNs(), start), monotonicNs, sleepUntil);
    }
    inProcess = false;
    reschedule();
  }
};

PreciseClock::PreciseClock() : impl_(std::make_unique<Impl>()) {
  impl_->runner.onTrace = [this](const TickTrace& t) {
    if (onTrace) onTrace(t);
  };
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
  if (impl_->raised) lowerTimingThread(impl_->calls);
  close(impl_->fd);
}

void PreciseClock::arm(Timer& timer, int intervalMs) {
  impl_->runner.arm(timer, std::int64_t{intervalMs} * 1'000'000, monotonicNs());
  if (!impl_->raised) {
    raiseTimingThread(impl_->calls, kPriority);
    impl_->raised = true;
  }
  impl_->reschedule();
}

void PreciseClock::disarm(Timer& timer) {
  impl_->runner.disarm(timer);
  impl_->reschedule();
}

std::uint64_t PreciseClock::callAt(std::int64_t deadlineNs, std::function<void()> act) {
  const std::uint64_t id = impl_->runner.call(deadlineNs, std::move(act));
  impl_->reschedule();
  return id;
}

void PreciseClock::cancelCall(std::uint64_t id) {
  impl_->runner.cancel(id);
  impl_->reschedule();
}

std::uint64_t PreciseClock::reading() const { return static_cast<std::uint64_t>(monotonicNs()); }

std::int64_t PreciseClock::nowNs() const {
  return impl_->runner.tickTime().value_or(monotonicNs());
}

std::int64_t PreciseClock::shownNs() const {
  return impl_->runner.seenTime().value_or(monotonicNs());
}

}  // namespace pf
