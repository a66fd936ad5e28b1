// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace pf {

// Dynamic properties on the QScrollBar of every pf::ScrollBar: its classic
// minimum and maximum. Qt's own range is [0, |Max - Min|] with 0 at the left,
// so assistive technology would otherwise hear Qt's position, not the setting.
inline constexpr char kClassicMinProperty[] = "pelattoClassicMin";
inline constexpr char kClassicMaxProperty[] = "pelattoClassicMax";

// Makes assistive technology read and set the scroll bars in the setting's
// own values (digit count 9 reads 9 whichever way the bar runs). Call once,
// after the application object exists and before any window is shown.
void installAccessibility();

}  // namespace pf
