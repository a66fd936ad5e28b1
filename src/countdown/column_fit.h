#pragma once

#include <vector>

// Fitting side-by-side blocks of text into the window's width by making
// their font smaller; no window needed, so the rule is tested on its own.
namespace layout {

// A block of text held at one point of its width: anchor 0 puts its left
// edge on x, 0.5 its centre and 1 its right edge.
struct RowBlock {
  double x;
  double anchor;
  double width;
};

// Clear space kept between neighbouring columns, in twips.
inline constexpr double kColumnGap = 120;
// Smaller than this a number cannot be read at all; the fit stops there.
inline constexpr double kSmallestPoints = 6;

// The largest font size, at most `points` and in steps of 0.1 pt, at which
// the blocks, their widths measured at `points` and growing in proportion
// to the size, keep `gap` twips between neighbours and lie within
// 0..windowWidth. Blocks sharing the same x form one column, as wide as the
// widest of them. A row that already fits keeps `points` exactly.
double fitRowFontSize(double windowWidth, std::vector<RowBlock> blocks, double points,
                      double gap = kColumnGap);

}  // namespace layout
