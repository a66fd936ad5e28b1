// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

#include "answers/marks.h"
#include "engine/drill_events.h"
#include "host/records.h"

// Names as the database and the exported file write them.
QString modeName(AnswerMode mode);
AnswerMode modeFromName(const QString& name);
QString kindName(RecordContext::Kind kind);
RecordContext::Kind kindFromName(const QString& name);
QString numbersText(const QList<qint64>& numbers);  // "12 7 345"
QList<qint64> numbersFromText(const QString& text);
