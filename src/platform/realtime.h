// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace pf {

// The system calls behind real-time scheduling of the timing thread (the
// program's one user-interface thread); tests put their own in.
struct SchedulerCalls {
  // Switches the calling thread to SCHED_FIFO at the priority (0: back to
  // normal scheduling); returns whether the system allowed it.
  std::function<bool(int priority)> setFifo;
  // The highest real-time priority RLIMIT_RTPRIO grants without privilege.
  std::function<int()> priorityLimit;
  // Limits the CPU time a real-time thread may use without blocking; past
  // it the thread falls back to normal scheduling instead of hanging the
  // machine.
  std::function<void(long softMs, long hardMs)> setWatchdog;
  std::function<void(unsigned long ns)> setTimerSlack;
  // Asks a system service (the desktop's rtkit) for real-time scheduling
  // when the process has no right to take it itself.
  std::function<bool(int priority)> askService;

  static SchedulerCalls system();
};

enum class Scheduling { Normal, RealTime };

// Asks for real-time scheduling at the priority, or at the lower one the
// resource limit grants, or from the system service. Refused, the thread stays normal with a timer
// slack of 1 ns, the best its sleeps can get; nothing is reported.
Scheduling raiseTimingThread(const SchedulerCalls& calls, int priority);
void lowerTimingThread(const SchedulerCalls& calls);

}  // namespace pf
