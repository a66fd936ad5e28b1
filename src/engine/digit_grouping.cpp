#include <cmath>

#include "engine/number_text.h"
#include "shell/frm_pelatto.h"

QString numberText(double value) { return QString::number(static_cast<qint64>(value)); }

// Puts "," between groups of three digits from the right: zero-filled
// groups are built and the leading zeros and separators trimmed.
void frmPelatto::GroupDigits() {
  suuKug.clear();
  const qsizetype g = suuRet.length() / 3;
  for (qsizetype j = 1; j <= g; ++j) {
    const double a = suuRet.right(3 * j + 3).toDouble();
    const double b = suuRet.right(3 * j).toDouble();
    const double v = (a - b) / std::pow(10.0, static_cast<double>(3 * j));
    suuKug = numberText(v).rightJustified(3, QLatin1Char('0')) + QLatin1Char(',') + suuKug;
  }
  suuKug += suuRet.right(3);
  qsizetype start = 0;
  while (start < suuKug.length() &&
         (suuKug[start] == QLatin1Char('0') || suuKug[start] == QLatin1Char(',')))
    ++start;
  suuKug.remove(0, start);
}
