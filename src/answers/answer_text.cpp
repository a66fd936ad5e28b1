#include "answers/answer_text.h"

#include <QColor>

#include "engine/number_text.h"

namespace answers {

QString shownNumber(QString digits, bool grouping) {
  if (grouping)
    for (qsizetype k = digits.size() - 3; k > 0; k -= 3) digits.insert(k, QLatin1Char(','));
  return digits;
}

QString cssColour(pf::Colour c) { return pf::toQColor(c).name(QColor::HexRgb); }

MarkText markText(const AnswerSheet::Problem& p, bool grouping) {
  if (!p.typed) return {QStringLiteral("未回答"), QStringLiteral("未回答"), {}};
  const QString typed = shownNumber(numberText(*p.typed), grouping);
  const QString description = QStringLiteral("あなたの答 ") + typed;
  if (p.total && *p.typed == *p.total)
    return {QStringLiteral("○"), QStringLiteral("正解"), description};
  return {QStringLiteral("× ") + typed, QStringLiteral("不正解"), description};
}

QString problemName(int k) { return QStringLiteral("第%1問").arg(k + 1); }

QString scoreText(int correct, int problems) {
  return QStringLiteral("%1 / %2").arg(correct).arg(problems);
}

}  // namespace answers
