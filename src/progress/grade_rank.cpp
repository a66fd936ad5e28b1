// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/grade_rank.h"

#include <QRegularExpression>

double gradeRank(const QString& grade) {
  static const QString kanji = QStringLiteral("〇一二三四五六七八九");
  QString g = grade.trimmed().normalized(QString::NormalizationForm_KC);
  const bool provisional = g.startsWith(QStringLiteral("準"));
  if (provisional) g.remove(0, 1);
  const bool dan = g.endsWith(QStringLiteral("段"));
  const bool kyu = g.endsWith(QStringLiteral("級"));
  if (!dan && !kyu) return -1000;
  g.chop(1);
  int n = 0;
  if (g == QStringLiteral("初")) {
    n = 1;
  } else if (bool ok = false; n = g.toInt(&ok), !ok) {
    // Kanji numerals up to 九十九: 十, 二十, 十五, 二十三.
    n = 0;
    int tens = 0, units = 0;
    for (const QChar c : g) {
      if (c == QChar(u'十')) {
        tens = units == 0 ? 1 : units;
        units = 0;
      } else if (const qsizetype d = kanji.indexOf(c); d >= 0) {
        units = static_cast<int>(d);
      } else {
        return -1000;
      }
    }
    n = tens * 10 + units;
  }
  return (dan ? 100 + n : 100 - n) - (provisional ? 0.5 : 0);
}

QString highestPassed(const QList<GradeTestRecord>& tests) {
  QString best;
  for (const GradeTestRecord& t : tests)
    if (t.result == QStringLiteral("合格") &&
        (best.isEmpty() || gradeRank(t.grade) > gradeRank(best)))
      best = t.grade;
  return best;
}
