// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

class QObject;
class QWidget;

namespace pf {

// What a watch reports: a widget shown, hidden, moved or resized, or a
// widget enabled or disabled.
enum class WatchFor { Layout, Enabled };

// Calls `changed` after each such change of one of `widgets`, on the
// widget's own event, until `owner` is destroyed.
void watchWidgets(QObject* owner, const std::vector<QWidget*>& widgets, WatchFor what,
                  std::function<void()> changed);

}  // namespace pf
