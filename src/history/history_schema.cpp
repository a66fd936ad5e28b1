// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_schema.h"

#include "history/class_records.h"

namespace history_schema {

namespace {

// Never edit a step once released: files in the field were built by it.
const QList<QStringList>& steps() {
  static const QList<QStringList> all{
      // 1: the problems.
      {QStringLiteral("CREATE TABLE problems ("
                      " id INTEGER PRIMARY KEY,"
                      " at_ms INTEGER NOT NULL,"  // UTC milliseconds since 1970
                      " longest INTEGER NOT NULL, shortest INTEGER NOT NULL,"
                      " mix INTEGER NOT NULL, terms INTEGER NOT NULL,"
                      " pace INTEGER NOT NULL, extension INTEGER NOT NULL,"
                      " grouping INTEGER NOT NULL, mode TEXT NOT NULL,"
                      " run_length INTEGER NOT NULL, run_position INTEGER NOT NULL,"
                      " numbers TEXT NOT NULL, total INTEGER NOT NULL,"
                      " answer INTEGER, mark TEXT NOT NULL, aborted INTEGER NOT NULL,"
                      " kind TEXT NOT NULL, test_id INTEGER NOT NULL, series_ms REAL NOT NULL)"),
       QStringLiteral("CREATE INDEX problems_at ON problems(at_ms)")},
      // 2: grade tests, and the lookups of the progress window.
      {QStringLiteral("CREATE TABLE grade_tests ("
                      " id INTEGER PRIMARY KEY, started_ms INTEGER NOT NULL,"
                      " ladder TEXT NOT NULL, grade TEXT NOT NULL,"
                      " problems INTEGER NOT NULL, correct INTEGER NOT NULL,"
                      " result TEXT NOT NULL)"),
       // Each summary of the progress window reads one of these alone.
       QStringLiteral("CREATE INDEX problems_day ON problems(at_ms, aborted, mark)"),
       QStringLiteral("CREATE INDEX problems_pace ON problems(longest, aborted, pace, mark)"),
       QStringLiteral("CREATE INDEX problems_fastest ON problems(mark, aborted, longest, pace)")},
      // 3: the classes a teacher held.
      class_records::schemaStep(),
  };
  return all;
}

}  // namespace

int currentVersion() { return static_cast<int>(steps().size()); }

QStringList step(int from) { return steps().value(from); }

}  // namespace history_schema
