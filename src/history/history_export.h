#pragma once

#include <QList>
#include <QString>
#include <QTextStream>

#include "history/problem_record.h"

// The history as CSV: UTF-8, a header row, one problem a row, oldest first.
// Numbers are separated by spaces; an answer not given is an empty field.
void writeHistoryCsv(const QList<ProblemRecord>& problems, QTextStream& out);
// The rows of a file written by writeHistoryCsv; nothing when it is not one.
std::optional<QList<ProblemRecord>> readHistoryCsv(const QString& text);

// Writes the history in the user's data directory to `path`; tells `err`
// what went wrong. Returns the process exit code: 0 when the file was written.
int exportHistoryToFile(const QString& path, QTextStream& err);
// The same from a given history file.
int exportHistoryToFile(const QString& historyPath, const QString& path, QTextStream& err);
