// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fonts.h"

#include <QStringList>

namespace pf {

void installFontSubstitutes() {
  // Monapo keeps MS PGothic's narrow digits; IPA P Gothic is the fallback.
  const QStringList candidates{QStringLiteral("Monapo"), QStringLiteral("IPAPGothic"),
                               QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP")};
  QFont::insertSubstitutions(kFormFace, candidates);
  QFont::insertSubstitutions(QStringLiteral("MS PGothic"), candidates);
}

QFont formFont(double points, bool bold) {
  QFont f(kFormFace);
  f.setPointSizeF(points);
  f.setWeight(bold ? QFont::Bold : QFont::Normal);
  return f;
}

}  // namespace pf
