// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include "host/records.h"

// Orders grade names: dan above kyu, a higher dan or a lower kyu above,
// a "準" grade just below its full grade; names it cannot read rank lowest.
double gradeRank(const QString& grade);
// The highest grade whose test result was "合格"; empty when none.
QString highestPassed(const QList<GradeTestRecord>& tests);
