// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/number_text.h"

#include <cmath>

QString numberText(double value) { return QString::number(static_cast<qint64>(value)); }

// Zero-filled groups are built from the right and the leading zeros and
// separators trimmed, so a length that is a multiple of three loses the
// extra all-zero group in front.
QString groupDigits(const QString& digits) {
  QString grouped;
  const qsizetype g = digits.length() / 3;
  for (qsizetype j = 1; j <= g; ++j) {
    const double a = digits.right(3 * j + 3).toDouble();
    const double b = digits.right(3 * j).toDouble();
    const double v = (a - b) / std::pow(10.0, static_cast<double>(3 * j));
    grouped = numberText(v).rightJustified(3, QLatin1Char('0')) + QLatin1Char(',') + grouped;
  }
  grouped += digits.right(3);
  qsizetype start = 0;
  while (start < grouped.length() &&
         (grouped[start] == QLatin1Char('0') || grouped[start] == QLatin1Char(',')))
    ++start;
  return grouped.mid(start);
}
