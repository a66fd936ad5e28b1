// SPDX-License-Identifier: GPL-3.0-or-later
#include "countdown/column_fit.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace layout {

namespace {

// Columns from left to right, each the indices of its blocks from the top
// down; blocks on the same x (and anchor) share a column.
using Columns = std::vector<std::vector<std::size_t>>;

Columns columnsOf(const std::vector<RowBlock>& blocks) {
  std::vector<std::size_t> order(blocks.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return blocks[a].x != blocks[b].x ? blocks[a].x < blocks[b].x : blocks[a].top < blocks[b].top;
  });
  Columns columns;
  for (std::size_t k : order) {
    const RowBlock& b = blocks[k];
    if (!columns.empty() && blocks[columns.back().front()].x == b.x &&
        blocks[columns.back().front()].anchor == b.anchor)
      columns.back().push_back(k);
    else
      columns.push_back({k});
  }
  return columns;
}

// A column as wide as its widest block, with the largest room after it.
struct Extent {
  double anchor = 0, width = 0, after = 0;
};
Extent extentOf(const std::vector<RowBlock>& blocks, const std::vector<std::size_t>& column) {
  Extent e{blocks[column.front()].anchor, 0, 0};
  for (std::size_t k : column) {
    e.width = std::max(e.width, blocks[k].width);
    e.after = std::max(e.after, blocks[k].after);
  }
  return e;
}

// Each limit bounds the scale s that multiplies every size.
struct Scale {
  double s = 1;
  void limit(double room, double sizePerScale) {
    if (sizePerScale > 0) s = std::min(s, room / sizePerScale);
  }
};

double scaleInPlace(double windowWidth, const std::vector<RowBlock>& blocks, const Columns& columns,
                    double gap) {
  Scale scale;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const Extent c = extentOf(blocks, columns[k]);
    const double x = blocks[columns[k].front()].x;
    scale.limit(x, c.anchor * c.width);
    scale.limit(windowWidth - x, (1 - c.anchor) * c.width + c.after);
    if (k + 1 < columns.size()) {
      const Extent next = extentOf(blocks, columns[k + 1]);
      scale.limit(blocks[columns[k + 1].front()].x - x - gap,
                  (1 - c.anchor) * c.width + c.after + next.anchor * next.width);
    }
  }
  return scale.s;
}

// Each block ends above `bottom` and above the next block below it.
double scaleAbove(const std::vector<RowBlock>& blocks, const Columns& columns, double bottom) {
  Scale scale;
  if (bottom <= 0) return scale.s;
  for (const auto& column : columns)
    for (std::size_t k = 0; k < column.size(); ++k) {
      const RowBlock& b = blocks[column[k]];
      scale.limit((k + 1 < column.size() ? blocks[column[k + 1]].top : bottom) - b.top, b.height);
    }
  return scale.s;
}

double scaledPoints(double points, double scale) {
  if (scale >= 1) return points;
  // A hair above the exact product keeps 27.5 from becoming 27.4.
  const double fitted = std::floor(points * scale * 10 + 1e-9) / 10;
  return std::clamp(fitted, kSmallestPoints, points);
}

// The columns spread evenly over the window: the largest scale, and the
// places at a given scale. With `stack`, the blocks of a column stand one
// below the other from the first one's top, a gap apart.
struct Spread {
  const std::vector<RowBlock>& blocks;
  Columns columns;
  double windowWidth, bottom, gap;
  bool stack;

  double scale() const {
    double total = 0;
    for (const auto& c : columns) total += extentOf(blocks, c).width + extentOf(blocks, c).after;
    const auto n = static_cast<double>(columns.size());
    Scale s;
    s.limit(windowWidth - gap * (n + 1), total);
    if (!stack) return std::min(s.s, scaleAbove(blocks, columns, bottom));
    for (const auto& c : columns) {
      double height = 0;
      for (std::size_t k : c) height += blocks[k].height;
      const double top = blocks[c.front()].top;
      if (bottom > 0) s.limit(bottom - top - gap * static_cast<double>(c.size() - 1), height);
    }
    return s.s;
  }

  void place(double s, RowFit& fit) const {
    double total = 0;
    for (const auto& c : columns) total += extentOf(blocks, c).width + extentOf(blocks, c).after;
    // What the columns leave free goes evenly between them and the edges.
    const double free = (windowWidth - total * s) / static_cast<double>(columns.size() + 1);
    double left = free;
    for (const auto& c : columns) {
      const Extent e = extentOf(blocks, c);
      double top = blocks[c.front()].top;
      for (std::size_t k : c) {
        fit.x[k] = left + e.anchor * e.width * s;
        if (stack) fit.top[k] = top, top += blocks[k].height * s + gap;
      }
      left += (e.width + e.after) * s + free;
    }
  }
};

}  // namespace

RowFit fitRow(double windowWidth, const std::vector<RowBlock>& blocks, double points, double bottom,
              bool spread, double gap) {
  RowFit fit{points, {}, {}};
  for (const RowBlock& b : blocks) fit.x.push_back(b.x), fit.top.push_back(b.top);
  const Columns columns = columnsOf(blocks);
  const double inPlace = std::min(scaleAbove(blocks, columns, bottom),
                                  scaleInPlace(windowWidth, blocks, columns, gap));
  if (inPlace >= 1) return fit;
  fit.points = scaledPoints(points, inPlace);
  if (!spread) return fit;
  // Spread in the same rows; and a single row of three or four columns also
  // two above two, the way the longest totals stand.
  std::vector<Spread> ways{{blocks, columns, windowWidth, bottom, gap, false}};
  const bool oneRow =
      std::all_of(columns.begin(), columns.end(), [](const auto& c) { return c.size() == 1; });
  if (oneRow && columns.size() >= 3) {
    Columns pairs;
    for (std::size_t k = 0; k < columns.size(); k += 2)
      pairs.push_back(k + 1 < columns.size()
                          ? std::vector<std::size_t>{columns[k][0], columns[k + 1][0]}
                          : columns[k]);
    ways.push_back({blocks, pairs, windowWidth, bottom, gap, true});
  }
  double best = inPlace;
  const Spread* chosen = nullptr;
  for (const Spread& way : ways)
    if (const double s = way.scale(); s > best) best = s, chosen = &way;
  if (!chosen) return fit;
  fit.points = scaledPoints(points, best);
  chosen->place(fit.points / points, fit);
  return fit;
}

}  // namespace layout
