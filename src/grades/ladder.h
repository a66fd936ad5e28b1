// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One grade of a ladder: what its test sets and how long a series lasts.
struct Grade {
  QString name;  // e.g. "十段"
  int digits = 1;
  int terms = 2;
  int officialMs = 0;  // the whole series, first appearance to last disappearance
};

// A named list of grades, easiest first, read from one ladder file.
struct Ladder {
  QString name;
  QString file;  // where it was read from
  QList<Grade> grades;
};

// What is wrong with a ladder file, where.
struct LadderError {
  QString file;
  int line = 0;  // 1-based; 0 when the whole file is at fault
  QString message;
  QString text() const;  // "file:line: message"
};

struct LadderParse {
  std::optional<Ladder> ladder;  // nothing when any line is wrong
  QList<LadderError> errors;
};

// What a ladder may hold; beyond these bounds it is left out with a message,
// so that no file can slow the start. A real ladder has a few dozen grades.
inline constexpr int kMaxGrades = 1000;
inline constexpr int kMaxLineChars = 1000;
inline constexpr qint64 kMaxLadderBytes = 1 << 20;
// Mistakes told per file; one is enough to leave the ladder out.
inline constexpr int kMaxMistakesTold = 20;

// Reads a ladder file's text, in time linear in its length. Every wrong
// line is reported (up to kMaxMistakesTold); one wrong line leaves the whole
// ladder out, so a test never runs from a half-read file.
LadderParse parseLadder(const QString& text, const QString& file);

// The pace bar's range, hundredths of a second per number.
inline constexpr int kSlowestPace = 300;
inline constexpr int kFastestPace = 10;

// The pace that makes a series (drill_timing::seriesMs, no extension) last
// nearest to officialMs. Two paces are
// never equally near: (terms - 1/2) x 10 ms is an odd number of 5 ms steps,
// so no whole number of milliseconds falls half-way; the rounding is half up
// all the same. Nothing when the nearest pace is off the bar.
std::optional<int> paceFor(int terms, int officialMs);

// Seconds as the learner reads them: "3", "2.8", "3.045".
QString secondsText(int ms);
