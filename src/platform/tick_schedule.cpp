// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/tick_schedule.h"

namespace pf {

std::int64_t TickSchedule::wakeAt(std::int64_t leadNs) const {
  return dueAt() - std::clamp<std::int64_t>(leadNs, 0, interval_ / 4);
}

void TickSchedule::advance(std::int64_t shownNs) {
  ++index_;
  fully_ = fully_ && deadline() <= shownNs;
  if (fully_) return;
  floor_ = shownNs + gap();
  const std::int64_t behind = floor_ - deadline();
  const std::int64_t pair = 2 * interval_;
  if (behind > pair) {
    const std::int64_t pairs = (behind - 1) / pair;
    start_ += pairs * pair;
    shifted_ += static_cast<long>(2 * pairs);
  }
}

FlushStep planFlush(std::int64_t nowNs, std::int64_t dueNs, std::int64_t finalWaitNs) {
  if (nowNs >= dueNs) return {FlushStep::Now, nowNs};
  if (dueNs - nowNs <= finalWaitNs) return {FlushStep::Sleep, dueNs};
  return {FlushStep::WaitInLoop, dueNs - finalWaitNs};
}

}  // namespace pf
