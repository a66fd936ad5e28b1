// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "platform/qcolour.h"

namespace pf {

// Positions and sizes are in twips; a logical pixel is 15 twips (96 dpi).
inline constexpr double kTwipsPerPixel = 15.0;

// Integer widget geometry: the nearest pixel, halves away from zero.
int toPixels(double twips);
double toTwips(int pixels);

}  // namespace pf
