// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include "host/records.h"

struct Ladder;

// A test is ten problems, each worth ten points.
inline constexpr int kTestProblems = 10;
inline constexpr int kPointsPerProblem = 10;

// "合格" from 7 correct, "準合格" at 5 or 6, "不合格" below.
QString verdict(int correct);
inline const QString kAbandoned = QStringLiteral("中断");

// The hardest grade of the ladder the learner has passed, or "" for none.
QString highestPassed(const Ladder& ladder, const QList<GradeTestRecord>& tests);
