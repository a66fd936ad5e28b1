// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/display_presets.h"

#include <algorithm>
#include <array>

namespace {

// Presets 1 to 7, ungrouped and grouped; presets 1 and 2 are the same both ways.
constexpr std::array<std::array<DisplayPreset, 2>, 7> kPresets{{
    {{{2800, 250, 2000, 180}, {2800, 250, 2000, 180}}},
    {{{2300, 200, 1800, 150}, {2300, 200, 1800, 150}}},
    {{{2100, 180, 1800, 140}, {1900, 160, 1800, 130}}},
    {{{1700, 140, 1600, 110}, {1500, 120, 1600, 110}}},
    {{{1400, 110, 1300, 90}, {1200, 90, 1300, 80}}},
    {{{1200, 90, 1100, 80}, {1100, 80, 1100, 70}}},
    {{{1000, 80, 900, 70}, {900, 70, 900, 70}}},
}};

}  // namespace

int presetForDigits(int digits) {
  if (digits > 12) return 7;
  if (digits > 10) return 6;
  if (digits > 8) return 5;
  if (digits > 6) return 4;
  if (digits > 4) return 3;
  if (digits == 4) return 2;
  return 1;
}

DisplayPreset displayPreset(int preset, bool grouped) {
  return kPresets.at(static_cast<std::size_t>(std::clamp(preset, 1, 7) - 1))[grouped ? 1 : 0];
}
