#include "platform/tick_schedule.h"

#include <algorithm>

namespace pf {

std::int64_t TickSchedule::wakeAt(std::int64_t leadNs) const {
  return deadline() - std::clamp<std::int64_t>(leadNs, 0, interval_ / 4);
}

int TickSchedule::advance(std::int64_t nowNs) {
  ++index_;
  int passed = 0;
  if (deadline() <= nowNs) {
    passed = static_cast<int>((nowNs - deadline()) / interval_) + 1;
    index_ += passed;
  }
  skipped_ += passed;
  return passed;
}

FlushStep planFlush(std::int64_t nowNs, std::int64_t deadlineNs, std::int64_t finalWaitNs) {
  if (nowNs >= deadlineNs) return {FlushStep::Now, nowNs};
  if (deadlineNs - nowNs <= finalWaitNs) return {FlushStep::Sleep, deadlineNs};
  return {FlushStep::WaitInLoop, deadlineNs - finalWaitNs};
}

}  // namespace pf
