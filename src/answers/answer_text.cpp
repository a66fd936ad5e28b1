// SPDX-License-Identifier: GPL-3.0-or-later
#include "answers/answer_text.h"

#include <QColor>

#include "answers/marks.h"
#include "engine/number_text.h"

namespace answers {

QString cssColour(pf::Colour c) { return pf::toQColor(c).name(QColor::HexRgb); }

QString shownNumber(const QString& digits, bool grouping) {
  return grouping ? groupDigits(digits) : digits;
}

QString answerText(double typed, bool grouping) { return shownNumber(numberText(typed), grouping); }

MarkText markText(const AnswerSheet::Problem& p, bool grouping) {
  const Mark mark = p.total ? markOf(p.typed, *p.total) : p.typed ? Mark::Wrong : Mark::None;
  if (!p.typed) return {markSymbol(mark), markSpoken(mark), {}};
  const QString typed = answerText(*p.typed, grouping);
  const QString description = QStringLiteral("あなたの答 ") + typed;
  if (mark == Mark::Correct) return {markSymbol(mark), markSpoken(mark), description};
  return {markSymbol(mark) + QLatin1Char(' ') + typed, markSpoken(mark), description};
}

QString problemName(int k) { return QStringLiteral("第%1問").arg(k + 1); }

QString scoreText(int correct, int problems) {
  return QStringLiteral("%1 / %2").arg(correct).arg(problems);
}

}  // namespace answers
