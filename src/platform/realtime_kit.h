// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace pf {

// Asks the desktop's RealtimeKit service (over the system bus) to make the
// calling thread real-time, the way sound servers get their priority
// without special rights. rtkit only serves processes whose CPU-time limit
// for real-time threads is no more than its own, so that limit is lowered
// first. Returns whether the thread is real-time now; after one refusal or
// a missing service it is not asked again in this run.
bool askRealtimeKit(int priority);

}  // namespace pf
