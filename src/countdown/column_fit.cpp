#include "countdown/column_fit.h"

#include <algorithm>
#include <cmath>

namespace layout {

namespace {

// Columns from left to right; blocks on the same x share a column.
std::vector<RowBlock> columnsOf(std::vector<RowBlock> blocks) {
  std::sort(blocks.begin(), blocks.end(),
            [](const RowBlock& a, const RowBlock& b) { return a.x < b.x; });
  std::vector<RowBlock> columns;
  for (const RowBlock& b : blocks) {
    if (!columns.empty() && columns.back().x == b.x && columns.back().anchor == b.anchor)
      columns.back().width = std::max(columns.back().width, b.width);
    else
      columns.push_back(b);
  }
  return columns;
}

}  // namespace

double fitRowFontSize(double windowWidth, std::vector<RowBlock> blocks, double points, double gap) {
  const std::vector<RowBlock> columns = columnsOf(std::move(blocks));
  // Each limit bounds the scale s that multiplies every width.
  double scale = 1;
  const auto limit = [&scale](double room, double widthPerScale) {
    if (widthPerScale > 0) scale = std::min(scale, room / widthPerScale);
  };
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const RowBlock& c = columns[k];
    limit(c.x, c.anchor * c.width);
    limit(windowWidth - c.x, (1 - c.anchor) * c.width);
    if (k + 1 < columns.size()) {
      const RowBlock& next = columns[k + 1];
      limit(next.x - c.x - gap, (1 - c.anchor) * c.width + next.anchor * next.width);
    }
  }
  if (scale >= 1) return points;
  // A hair above the exact product keeps 27.5 from becoming 27.4.
  const double fitted = std::floor(points * scale * 10 + 1e-9) / 10;
  return std::clamp(fitted, kSmallestPoints, points);
}

}  // namespace layout
