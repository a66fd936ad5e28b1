// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

#include "host/records.h"

class QSqlQuery;

using ClassItem = std::variant<ClassSessionRecord, ClassAnswerRecord>;

namespace class_records {

// The statements of the history file's step that adds the classes' tables.
QStringList schemaStep();
// Prepares q to insert (or replace) the item.
void prepareWrite(QSqlQuery& q, const ClassItem& item);
// What the file holds; empty when it cannot be read.
QList<ClassSessionRecord> sessions(const QSqlDatabase& db);
QList<ClassAnswerRecord> answers(const QSqlDatabase& db, qint64 session);

}  // namespace class_records
