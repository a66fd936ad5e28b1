// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QSqlDatabase>

#include "host/records.h"

// The summaries the progress window shows (see HistoryApi), read with SQL.
namespace history_queries {

QList<DayCount> problemsPerDay(const QSqlDatabase& db, const QDate& today, int days);
QList<PaceAccuracy> accuracyByPace(const QSqlDatabase& db, int digits);
QMap<int, int> fastestCorrectPace(const QSqlDatabase& db);
int latestDigits(const QSqlDatabase& db);

}  // namespace history_queries
