// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_queries.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QVariant>

// Each summary is one query over the problems' covering indexes, so a long
// history costs one pass of the file, not of the window.
namespace history_queries {

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

}  // namespace history_queries
