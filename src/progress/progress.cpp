// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/progress.h"

#include <QKeySequence>

#include "host/feature_host.h"
#include "host/shortcuts.h"
#include "host/window_menu.h"
#include "progress/progress_window.h"

Progress::Progress(FeatureHost& host) : host_(host) {
  const ShortcutInfo& entry = shortcutInfo(shortcut::Progress);
  host.menu().add(entry.japanese, QKeySequence(entry.key), [this] { open(); });
}

Progress::~Progress() = default;

void Progress::open() {
  if (!window_) {
    window_ = std::make_unique<ProgressWindow>(host_);
    window_->handOnKeys(host_.port().widget());
  }
  window_->open();
}
