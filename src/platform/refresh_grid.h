// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "platform/tick_runner.h"

namespace pf {

// The display's refreshes as the compositor reports them: when a frame was
// shown and the refresh period. A change due at some moment is seen on the
// refresh nearest it; it is sent just after the refresh a frame (or as many
// as the compositor turns out to need) before, which gives the compositor a
// whole frame to pick it up, so the change never lands a frame early or
// late because it was sent near a frame's edge. A compositor that shows
// frames on a timer of its own rather than the display's refresh (weston's
// headless output) has no refreshes to aim at: there a change is sent as
// long ahead of its due time as the last frames took to be shown (their
// median, changed only when it moves by more than half a frame, so that a
// number and its blank nearly always go with the same lead).
class RefreshGrid {
 public:
  bool known() const { return periodNs_ > 0; }
  std::int64_t periodNs() const { return periodNs_; }
  // A frame shown at atNs with the period; meantNs: the refresh it was sent
  // for (0 when not known). A frame shown later than meant sends the later
  // changes a frame earlier.
  void presented(std::int64_t atNs, std::int64_t periodNs, std::int64_t meantNs);
  // The same frame on a compositor without refreshes: sent at sentNs.
  void presentedOnTimer(std::int64_t atNs, std::int64_t periodNs, std::int64_t sentNs);
  // When to send a change due at dueNs, not before nowNs, and the refresh
  // it is seen on; a change too late for its refresh goes to the next one.
  TickStages::Slot slot(std::int64_t dueNs, std::int64_t nowNs) const;

  static constexpr std::int64_t kAfterRefreshNs = 1'000'000;
  static constexpr int kMostFramesAhead = 3;

 private:
  std::int64_t anchorNs_ = 0, periodNs_ = 0;
  int framesAhead_ = 1;
  // Without refreshes: the times from sending to being shown of the last
  // frames, as a ring.
  std::array<std::int64_t, 15> delays_{};
  std::size_t nextDelay_ = 0;
  std::int64_t delayNs_ = -1;
};

}  // namespace pf
