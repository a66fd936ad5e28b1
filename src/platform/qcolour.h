// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

#include "platform/colour.h"

namespace pf {

// A held colour as Qt paints it, and back.
inline QColor toQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
inline Colour fromQColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

}  // namespace pf
