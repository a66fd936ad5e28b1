// SPDX-License-Identifier: GPL-3.0-or-later
#include "grades/grade_marking.h"

#include "grades/ladder.h"

QString verdict(int correct) {
  if (correct >= 7) return QStringLiteral("合格");
  if (correct >= 5) return QStringLiteral("準合格");
  return QStringLiteral("不合格");
}

QString highestPassed(const Ladder& ladder, const QList<GradeTestRecord>& tests) {
  qsizetype best = -1;
  for (const GradeTestRecord& t : tests) {
    if (t.ladder != ladder.name || t.result != QStringLiteral("合格")) continue;
    for (qsizetype k = best + 1; k < ladder.grades.size(); ++k)
      if (ladder.grades[k].name == t.grade) best = k;
  }
  return best < 0 ? QString() : ladder.grades[best].name;
}
