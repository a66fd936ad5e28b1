// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/records.h"

#include <QRandomGenerator>

qint64 newRecordId() {
  return static_cast<qint64>(QRandomGenerator::global()->generate64() >> 2) + 1;
}

QList<DayCount> HistoryApi::problemsPerDay(const QDate& today, int days) const {
  QList<DayCount> out;
  for (int k = 0; k < days; ++k) out << DayCount{today.addDays(k + 1 - days)};
  return out;
}
