// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>
#include <initializer_list>
#include <optional>

// Finding room for the answers' own widgets beside what the window shows
// (DrillPort's layout questions). Rectangles in pixels of the window's
// client area.
namespace space {

// Whether a rectangle lies inside `area` and overlaps nothing in `taken`.
bool fits(const QRect& r, const QRect& area, const QList<QRect>& taken);

enum class Corner { BottomLeft, BottomRight, TopRight, TopLeft };

// The first corner of `area` (kept a margin inside), in the order given,
// where something of `size` fits; nothing when none does.
std::optional<QPoint> freeCorner(const QRect& area, QSize size, const QList<QRect>& taken,
                                 std::initializer_list<Corner> order = {
                                     Corner::BottomLeft, Corner::BottomRight, Corner::TopRight,
                                     Corner::TopLeft});

}  // namespace space
