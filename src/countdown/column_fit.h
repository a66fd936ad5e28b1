// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <vector>

// Fitting side-by-side blocks of text into the window by making their font
// smaller; no window needed, so the rule is tested on its own.
namespace layout {

// A block of text held at one point of its width: anchor 0 puts its left
// edge on x, 0.5 its centre and 1 its right edge. Twips; widths and heights
// are measured at the row's font size and grow in proportion to it.
struct RowBlock {
  double x;
  double anchor;
  double width;
  double after = 0;   // kept free on its right, for what a feature shows beside it
  double top = 0;     // its top edge, which stays where it is
  double height = 0;  // 0: not limited downwards
};

// Clear space kept between neighbouring columns, in twips.
inline constexpr double kColumnGap = 120;
// Smaller than this a number cannot be read at all; the fit stops there.
inline constexpr double kSmallestPoints = 6;

// What a feature asks to keep beside the answer columns: room on the right
// of each column, in twips per point of that column's font, and a line the
// columns end above (twips from the window's top; 0 for none). With room
// asked for, the columns may also move apart (see fitRow).
struct ColumnRoom {
  std::array<double, 4> after{};
  double bottom = 0;
  bool asked() const { return bottom > 0 || after != std::array<double, 4>{}; }
};

struct RowFit {
  double points;
  std::vector<double> x, top;  // each block's place, in the order given
};

// The largest font size, at most `points` and in steps of 0.1 pt, at which
// the blocks keep `gap` twips between neighbours (each with its room after
// it), lie within 0..windowWidth and, when `bottom` > 0, end above it and
// above the block below them in their column. Blocks
// sharing the same x form one column, as wide as the widest of them. A row
// that already fits keeps `points` and its places exactly. With `spread`, a
// row that does not fit where it stands is spread evenly over the window
// instead, when that leaves it larger; a single row of three or four
// columns may also become two rows, the first two columns above the others
// (as the longest totals stand).
RowFit fitRow(double windowWidth, const std::vector<RowBlock>& blocks, double points,
              double bottom = 0, bool spread = false, double gap = kColumnGap);

}  // namespace layout
