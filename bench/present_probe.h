// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every commit of one window's Wayland surface, with the refresh the
// compositor says it reached the screen on. Built into the benchmark
// itself, it sees the program's commits from outside the program's own
// code: it wraps libwayland's request call (the executable exports its
// own wl_proxy_marshal_flags) and asks the compositor's presentation-time
// feedback just before each commit.

#include <QWindow>
#include <cstdint>
#include <vector>

#include "platform/wayland_presentation.h"

struct Commit {
  std::int64_t sentNs = 0, shownNs = 0, periodNs = 0;
};

// Starts watching the window's surface; false where there is no Wayland
// presentation-time.
bool watchCommits(QWindow* window);
// Every commit so far, in order, with what the compositor reported.
std::vector<Commit> commits();
