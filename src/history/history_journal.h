// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <deque>
#include <vector>

#include "history/history_file.h"

// What the history could not take before the program ended (a folder in
// its place, a full disk, a lock held to the end), kept in a text file
// beside it until a later start takes it in: "<history>.recovery".
// UTF-8 CSV lines: a first line naming the format, then one item a line:
// "problem" and the fields of its export row; "answer", id, answer, mark;
// "test" and a grade test's fields.
QString journalPath(const QString& historyPath);

// Replaces the journal with `items` (through a file renamed over it); false
// with the reason in `why` when it could not be written.
bool writeJournal(const QString& path, const std::deque<HistoryItem>& items, QString* why);

struct JournalRead {
  std::vector<HistoryItem> items;
  int unreadable = 0;  // lines that are no item (the file is then kept)
};
JournalRead readJournal(const QString& path);
