// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace pf {

// The face every control uses.
inline const QString kFormFace = QStringLiteral("ＭＳ Ｐゴシック");

// Maps the Windows face to installed Japanese fonts of similar metrics.
void installFontSubstitutes();
QFont formFont(double points, bool bold);

}  // namespace pf
