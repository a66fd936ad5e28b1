#include "countdown/column_fit.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace layout {

namespace {

// Columns from left to right; blocks on the same x share a column.
std::vector<RowBlock> columnsOf(std::vector<RowBlock> blocks) {
  std::sort(blocks.begin(), blocks.end(),
            [](const RowBlock& a, const RowBlock& b) { return a.x < b.x; });
  std::vector<RowBlock> columns;
  for (const RowBlock& b : blocks) {
    if (!columns.empty() && columns.back().x == b.x && columns.back().anchor == b.anchor) {
      columns.back().width = std::max(columns.back().width, b.width);
      columns.back().after = std::max(columns.back().after, b.after);
    } else {
      columns.push_back(b);
    }
  }
  return columns;
}

// Each limit bounds the scale s that multiplies every size.
struct Scale {
  double s = 1;
  void limit(double room, double sizePerScale) {
    if (sizePerScale > 0) s = std::min(s, room / sizePerScale);
  }
};

double scaleInPlace(double windowWidth, const std::vector<RowBlock>& columns, double gap) {
  Scale scale;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const RowBlock& c = columns[k];
    scale.limit(c.x, c.anchor * c.width);
    scale.limit(windowWidth - c.x, (1 - c.anchor) * c.width + c.after);
    if (k + 1 < columns.size()) {
      const RowBlock& next = columns[k + 1];
      scale.limit(next.x - c.x - gap,
                  (1 - c.anchor) * c.width + c.after + next.anchor * next.width);
    }
  }
  return scale.s;
}

double scaleAbove(const std::vector<RowBlock>& blocks, double bottom) {
  Scale scale;
  if (bottom > 0)
    for (const RowBlock& b : blocks) scale.limit(bottom - b.top, b.height);
  return scale.s;
}

double scaledPoints(double points, double scale) {
  if (scale >= 1) return points;
  // A hair above the exact product keeps 27.5 from becoming 27.4.
  const double fitted = std::floor(points * scale * 10 + 1e-9) / 10;
  return std::clamp(fitted, kSmallestPoints, points);
}

}  // namespace

RowFit fitRow(double windowWidth, const std::vector<RowBlock>& blocks, double points, double bottom,
              bool spread, double gap) {
  RowFit fit{points, {}};
  for (const RowBlock& b : blocks) fit.x.push_back(b.x);
  const std::vector<RowBlock> columns = columnsOf(blocks);
  const double above = scaleAbove(blocks, bottom);
  const double inPlace = std::min(above, scaleInPlace(windowWidth, columns, gap));
  if (inPlace >= 1) return fit;
  double total = 0;
  for (const RowBlock& c : columns) total += c.width + c.after;
  const auto n = static_cast<double>(columns.size());
  // Spread, the row keeps a gap at either edge of the window too.
  const double spreadScale = std::min(above, total > 0 ? (windowWidth - gap * (n + 1)) / total : 1);
  if (!spread || spreadScale <= inPlace) {
    fit.points = scaledPoints(points, inPlace);
    return fit;
  }
  fit.points = scaledPoints(points, spreadScale);
  const double s = fit.points / points;
  // What the row leaves free goes evenly between the columns and the edges.
  const double free = (windowWidth - total * s) / (n + 1);
  std::map<double, double> placed;
  double left = free;
  for (const RowBlock& c : columns) {
    placed[c.x] = left + c.anchor * c.width * s;
    left += (c.width + c.after) * s + free;
  }
  for (std::size_t k = 0; k < blocks.size(); ++k) fit.x[k] = placed[blocks[k].x];
  return fit;
}

}  // namespace layout
