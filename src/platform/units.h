#pragma once

#include <cstdint>

class QColor;

namespace pf {

// Positions and sizes are in twips; a logical pixel is 15 twips (96 dpi).
inline constexpr double kTwipsPerPixel = 15.0;

// Integer widget geometry: the nearest pixel, halves away from zero.
int toPixels(double twips);
double toTwips(int pixels);

// Colours are held as 0x00BBGGRR, red in the low byte.
using Colour = std::int32_t;

QColor toQColor(Colour c);
Colour fromQColor(const QColor& c);

}  // namespace pf
