// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

#include "history/problem_record.h"

// The history as CSV: UTF-8, a header row, one problem a row, oldest first.
// Numbers are separated by spaces; an answer not given is an empty field.
void writeHistoryCsv(const QList<ProblemRecord>& problems, QTextStream& out);
// The rows of a file written by writeHistoryCsv; nothing when it is not one.
std::optional<QList<ProblemRecord>> readHistoryCsv(const QString& text);

// One problem as the fields of its row, and back (nothing when the fields are no such row).
QStringList problemFields(const ProblemRecord& r);
std::optional<ProblemRecord> problemFromFields(const QStringList& fields);
// One line of CSV fields, quoted where needed and without a line end; and back.
QString csvLine(const QStringList& fields);
QStringList splitCsvLine(const QString& line);

struct ExportOptions {
  bool partial = false;  // a history that cannot be read fully: write what it holds
};

// Writes the history in the user's data directory to `target` ("-" for
// standard output); tells `err` what went wrong. The history is only read:
// it is never moved, created or repaired. A regular file (or a new one) is
// replaced whole by a rename; a FIFO or a character device is written in
// place; anything else is refused. Returns the process exit code: 0 when the
// whole history was written.
int exportHistoryToFile(const QString& target, QTextStream& err, ExportOptions options = {});
// The same from a given history file.
int exportHistoryToFile(const QString& historyPath, const QString& target, QTextStream& err,
                        ExportOptions options = {});
