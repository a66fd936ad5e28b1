// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMap>

#include "progress/grade_rank.h"

class QChart;

// The progress window's charts, each made afresh from its summary.
QChart* dayCountChart(const QList<DayCount>& days);
QChart* correctShareChart(const QList<DayCount>& days);
QChart* paceAccuracyChart(const QList<PaceAccuracy>& paces, int digits);
QChart* fastestPaceChart(const QMap<int, int>& fastest);
