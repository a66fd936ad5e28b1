// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/refresh_grid.h"

#include <algorithm>
#include <cstdlib>

namespace pf {

namespace {
std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b < 0 ? 1 : 0); }
}  // namespace

void RefreshGrid::presented(std::int64_t atNs, std::int64_t periodNs, std::int64_t meantNs) {
  if (periodNs <= 0) return;
  delayNs_ = -1;
  periodNs_ = periodNs;
  anchorNs_ = atNs;
  if (meantNs > 0 && atNs > meantNs + periodNs / 2)
    framesAhead_ = std::min(framesAhead_ + 1, kMostFramesAhead);
}

void RefreshGrid::presentedOnTimer(std::int64_t atNs, std::int64_t periodNs, std::int64_t sentNs) {
  if (atNs <= sentNs) return;
  periodNs_ = std::max<std::int64_t>(periodNs, 1);
  delays_[nextDelay_++ % delays_.size()] = atNs - sentNs;
  auto sorted = delays_;
  const auto n = static_cast<std::ptrdiff_t>(std::min(nextDelay_, sorted.size()));
  std::nth_element(sorted.begin(), sorted.begin() + n / 2, sorted.begin() + n);
  const std::int64_t median = sorted[static_cast<std::size_t>(n / 2)];
  // Kept while the median stays within half a frame of it, so that a number
  // and its blank are sent with the same lead and stand the same time.
  if (delayNs_ < 0 || std::llabs(median - delayNs_) > periodNs_ / 2) delayNs_ = median;
}

TickStages::Slot RefreshGrid::slot(std::int64_t dueNs, std::int64_t nowNs) const {
  if (!known()) return {std::max(dueNs, nowNs), std::max(dueNs, nowNs)};
  if (delayNs_ >= 0) {
    const std::int64_t send = std::max(dueNs - delayNs_, nowNs);
    return {send, send + delayNs_};
  }
  const std::int64_t t = periodNs_;
  std::int64_t seen = anchorNs_ + floorDiv(dueNs - anchorNs_ + t / 2, t) * t;
  std::int64_t send = seen - framesAhead_ * t + kAfterRefreshNs;
  // Up to half a frame after the ideal moment still reaches that refresh.
  if (nowNs > send + t / 2) {
    const std::int64_t frames = floorDiv(nowNs - send - t / 2, t) + 1;
    seen += frames * t;
    send += frames * t;
  }
  return {std::max(send, nowNs), seen};
}

}  // namespace pf
