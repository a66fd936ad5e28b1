// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/screen_space.h"

namespace space {

namespace {
constexpr int kMargin = 8;  // pixels between the corner items and the edges
}  // namespace

bool fits(const QRect& r, const QRect& area, const QList<QRect>& taken) {
  if (!area.contains(r)) return false;
  for (const QRect& t : taken)
    if (t.intersects(r)) return false;
  return true;
}

std::optional<QPoint> freeCorner(const QRect& area, QSize size, const QList<QRect>& taken,
                                 std::initializer_list<Corner> order) {
  const QRect inside = area.adjusted(kMargin, kMargin, -kMargin, -kMargin);
  const int right = inside.right() + 1 - size.width();
  const int bottom = inside.bottom() + 1 - size.height();
  for (Corner c : order) {
    const QPoint at = c == Corner::BottomLeft    ? QPoint(inside.left(), bottom)
                      : c == Corner::BottomRight ? QPoint(right, bottom)
                      : c == Corner::TopRight    ? QPoint(right, inside.top())
                                                 : inside.topLeft();
    if (fits(QRect(at, size), inside, taken)) return at;
  }
  return std::nullopt;
}

}  // namespace space
