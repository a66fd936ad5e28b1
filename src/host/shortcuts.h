// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

class DrillPort;
class WindowMenu;

// The window's keys. None is a digit, Backspace, Enter, Space or Tab, so
// typing an answer and pressing a focused button stay what they were; Esc
// only while the window fills the screen.
struct ShortcutInfo {
  QString key;       // as QKeySequence reads it
  QString japanese;  // the menu text
  QString english;   // for --help
};

namespace shortcut {
enum Id {
  Start,
  Hold,
  Answer,
  Abort,
  FullScreen,
  LeaveFullScreen,
  Menu,
  Progress,
  Replay,
  Grades,
  Count
};
}

const std::vector<ShortcutInfo>& shortcutList();
const ShortcutInfo& shortcutInfo(shortcut::Id id);

// Start, hold/resume, answer and abort in the menu, each a press of its
// button and enabled exactly when that button is.
void addDrillShortcuts(WindowMenu& menu, DrillPort& port);
