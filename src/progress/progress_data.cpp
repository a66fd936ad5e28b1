#include "progress/progress_data.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QVariant>

QList<DayCount> problemsPerDay(const QSqlDatabase& db, const QDate& today, int days) {
  QList<DayCount> out;
  const QDate first = today.addDays(1 - days);
  for (int k = 0; k < days; ++k) out << DayCount{first.addDays(k)};
  if (!db.isValid()) return out;
  QSqlQuery q(db);
  q.setForwardOnly(true);
  q.prepare(
      QStringLiteral("SELECT date(at_ms / 1000, 'unixepoch', 'localtime') AS day, count(*),"
                     " sum(mark != 'none'), sum(mark = 'correct') FROM problems"
                     " WHERE at_ms >= ? AND aborted = 0 GROUP BY day"));
  q.addBindValue(first.startOfDay().toMSecsSinceEpoch());
  if (!q.exec()) return out;
  while (q.next()) {
    const qint64 k = first.daysTo(QDate::fromString(q.value(0).toString(), Qt::ISODate));
    if (k < 0 || k >= days) continue;
    out[k].problems = q.value(1).toInt();
    out[k].answered = q.value(2).toInt();
    out[k].correct = q.value(3).toInt();
  }
  return out;
}

QList<PaceAccuracy> accuracyByPace(const QSqlDatabase& db, int digits) {
  QList<PaceAccuracy> out;
  if (!db.isValid()) return out;
  QSqlQuery q(db);
  q.setForwardOnly(true);
  q.prepare(QStringLiteral(
      "SELECT pace, count(*), sum(mark = 'correct') FROM problems"
      " WHERE longest = ? AND aborted = 0 AND mark != 'none' GROUP BY pace ORDER BY pace"));
  q.addBindValue(digits);
  if (!q.exec()) return out;
  while (q.next()) out << PaceAccuracy{q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt()};
  return out;
}

QMap<int, int> fastestCorrectPace(const QSqlDatabase& db) {
  QMap<int, int> out;
  if (!db.isValid()) return out;
  QSqlQuery q(db);
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("SELECT longest, min(pace) FROM problems"
                             " WHERE mark = 'correct' AND aborted = 0 GROUP BY longest")))
    return out;
  while (q.next()) out.insert(q.value(0).toInt(), q.value(1).toInt());
  return out;
}

int latestDigits(const QSqlDatabase& db) {
  if (!db.isValid()) return 1;
  QSqlQuery q(db);
  if (q.exec(QStringLiteral("SELECT longest FROM problems ORDER BY at_ms DESC LIMIT 1")) &&
      q.next())
    return q.value(0).toInt();
  return 1;
}

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
