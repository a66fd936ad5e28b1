// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/readouts.h"

#include <cstdlib>

QString shortForm(int hundredths) {
  QString s = QString::number(hundredths / 100);
  const int frac = hundredths % 100;
  if (frac != 0) {
    QString decimals = QString::number(frac).rightJustified(2, QLatin1Char('0'));
    if (decimals.endsWith(QLatin1Char('0'))) decimals.chop(1);
    s += QLatin1Char('.') + decimals;
  }
  return s.left(4);
}

QString extendedPaceText(int tyo) { return QString::number(tyo + 1) + QStringLiteral("秒毎"); }

QString paceText(int hayasa, int tyo) {
  if (hayasa == 300) return QStringLiteral("３秒毎");
  if (hayasa == 200) return QStringLiteral("２秒毎");
  if (hayasa == 100) return QStringLiteral("１秒毎");
  if (tyo <= 1) return shortForm(hayasa) + QStringLiteral("毎");
  return extendedPaceText(tyo);
}

QString extensionPaceText(int hayasa, int tyo) {
  if (tyo <= 1) return shortForm(hayasa) + QStringLiteral("秒毎");
  return extendedPaceText(tyo);
}

QString problemTimeText(int tyo, int kazu, int hayasa) {
  if (tyo <= 1) return shortForm(kazu * hayasa) + QStringLiteral("秒");
  return QStringLiteral("約") + QString::number((tyo + 1) * kazu);
}

bool extensionUsable(int hayasa) { return std::abs(hayasa - 200) <= 3; }

QString mixText(int kon) { return QStringLiteral("混-") + QString::number(kon); }
