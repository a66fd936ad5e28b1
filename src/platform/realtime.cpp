// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/realtime.h"

#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

#include "platform/realtime_kit.h"

namespace pf {

namespace {

constexpr long kWatchdogSoftMs = 200;
constexpr long kWatchdogHardMs = 2000;

std::atomic<pid_t> fifoThread{0};

pid_t currentThread() { return static_cast<pid_t>(syscall(SYS_gettid)); }

// A thread without the right to change its policy freely may not clear
// SCHED_RESET_ON_FORK once set, so normal scheduling keeps the flag.
int toNormal(pid_t tid) {
  sched_param p{};
  p.sched_priority = 0;
  return sched_setscheduler(tid, SCHED_OTHER | SCHED_RESET_ON_FORK, &p);
}

void remember(pid_t tid) {
  pid_t none = 0;
  fifoThread.compare_exchange_strong(none, tid);
}

// Past the watchdog's soft limit: the timing thread goes back to normal
// scheduling for good, and the program runs on.
void onCpuLimit(int) {
  const pid_t tid = fifoThread.exchange(-1);
  if (tid > 0) toNormal(tid);
}

}  // namespace

SchedulerCalls SchedulerCalls::system() {
  SchedulerCalls c;
  c.setFifo = [](int priority) {
    const pid_t tid = currentThread();
    if (priority <= 0) {
      if (toNormal(0) != 0) return false;
      if (fifoThread.load() == tid) fifoThread.store(0);
      return true;
    }
    if (fifoThread.load() < 0) return false;  // the watchdog fired once
    sched_param p{};
    p.sched_priority = priority;
    if (sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &p) != 0) return false;
    remember(tid);
    return true;
  };
  c.askService = [](int priority) {
    if (fifoThread.load() < 0 || !askRealtimeKit(priority)) return false;
    remember(currentThread());
    return true;
  };
  c.priorityLimit = [] {
    rlimit r{};
    if (getrlimit(RLIMIT_RTPRIO, &r) != 0) return 0;
    return static_cast<int>(std::min<rlim_t>(r.rlim_cur, 99));
  };
  c.setWatchdog = [](long softMs, long hardMs) {
    struct sigaction sa {};
    sa.sa_handler = onCpuLimit;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGXCPU, &sa, nullptr);
    rlimit r{};
    getrlimit(RLIMIT_RTTIME, &r);
    const auto us = [](long ms) { return static_cast<rlim_t>(ms) * 1000; };
    if (r.rlim_max == RLIM_INFINITY || r.rlim_max > us(hardMs)) r.rlim_max = us(hardMs);
    r.rlim_cur = std::min(us(softMs), r.rlim_max);
    setrlimit(RLIMIT_RTTIME, &r);
  };
  c.setTimerSlack = [](unsigned long ns) { prctl(PR_SET_TIMERSLACK, ns, 0, 0, 0); };
  return c;
}

Scheduling raiseTimingThread(const SchedulerCalls& calls, int priority) {
  calls.setTimerSlack(1);
  calls.setWatchdog(kWatchdogSoftMs, kWatchdogHardMs);
  if (calls.setFifo(priority)) return Scheduling::RealTime;
  const int granted = std::min(priority, calls.priorityLimit());
  if (granted > 0 && granted < priority && calls.setFifo(granted)) return Scheduling::RealTime;
  if (calls.askService && calls.askService(priority)) return Scheduling::RealTime;
  return Scheduling::Normal;
}

void lowerTimingThread(const SchedulerCalls& calls) { calls.setFifo(0); }

}  // namespace pf
