// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// The history file's tables. Version n of the file is what the first n
// steps build; PRAGMA user_version holds n. A file at an earlier version is
// brought up to date one step at a time, each step in its own transaction.
namespace history_schema {

int currentVersion();
// The statements that take a file from version `from` to from + 1.
QStringList step(int from);

}  // namespace history_schema
