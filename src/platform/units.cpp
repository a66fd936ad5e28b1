#include "platform/units.h"

#include <QColor>
#include <cmath>

namespace pf {

int toPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

double toTwips(int pixels) { return pixels * kTwipsPerPixel; }

QColor toQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

Colour fromQColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

}  // namespace pf
