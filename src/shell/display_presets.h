// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the flashed number (lbl1) and the total (lbl2) stand and how large
// they are: tops as offsets above half the window's outer height (twips),
// font sizes in points.
struct DisplayPreset {
  double lbl1Offset, lbl1Points, lbl2Offset, lbl2Points;
  bool operator==(const DisplayPreset&) const = default;
};

// The preset, 1 to 7, that a longest digit count takes: 1 to 3 digits
// preset 1, 4 digits preset 2, then one preset for each two digits.
int presetForDigits(int digits);

// The layout of a preset; from preset 3 on, grouped digits get a smaller
// variant, so that the longer text still fits.
DisplayPreset displayPreset(int preset, bool grouped);
