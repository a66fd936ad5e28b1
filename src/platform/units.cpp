// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/units.h"

#include <cmath>

namespace pf {

int toPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

double toTwips(int pixels) { return pixels * kTwipsPerPixel; }

}  // namespace pf
