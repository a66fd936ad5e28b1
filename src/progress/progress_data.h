#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QString>

#include "host/records.h"

// Summaries of the history for the progress window, read with SQL so that
// a long history costs one pass of the database each, not of the window.
struct DayCount {
  QDate day;
  int problems = 0;  // finished problems
  int answered = 0;  // of those, with a typed answer
  int correct = 0;
};
// Each of the `days` calendar days up to `today`, empty days included.
QList<DayCount> problemsPerDay(const QSqlDatabase& db, const QDate& today, int days);

struct PaceAccuracy {
  int pace = 0;  // hundredths of a second
  int answered = 0;
  int correct = 0;
};
// Per pace, fastest first, for problems of `digits` longest digits.
QList<PaceAccuracy> accuracyByPace(const QSqlDatabase& db, int digits);
// The fastest pace of a correctly answered problem, per longest digit count.
QMap<int, int> fastestCorrectPace(const QSqlDatabase& db);
// The longest digit count of the newest problem; 1 without any.
int latestDigits(const QSqlDatabase& db);

// Orders grade names: dan above kyu, a higher dan or a lower kyu above,
// a "準" grade just below its full grade; names it cannot read rank lowest.
double gradeRank(const QString& grade);
// The highest grade whose test result was "合格"; empty when none.
QString highestPassed(const QList<GradeTestRecord>& tests);
