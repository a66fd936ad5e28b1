// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

#include "answers/marks.h"
#include "engine/drill_events.h"

// What the problems about to be drilled belong to.
struct RecordContext {
  enum class Kind { Practice, Replay, Test, Class };
  Kind kind = Kind::Practice;
  QString grade;      // the grade of a test
  qint64 testId = 0;  // the grade test or class the problems belong to, 0 outside them
};

// One problem as the learner met it, as the history keeps it.
struct ProblemRecord {
  using Mark = ::Mark;

  qint64 id = 0;  // chosen when the problem begins, unique across running copies
  QDateTime at;   // when its countdown ended
  DrillSettings settings;
  int runPosition = 0;    // the problem's place in its run, from 0
  QList<qint64> numbers;  // in the order they were shown
  qint64 total = 0;
  std::optional<qint64> answer;  // what the learner typed, if anything
  Mark mark = Mark::None;
  bool aborted = false;  // stopped before its total
  RecordContext::Kind kind = RecordContext::Kind::Practice;
  qint64 testId = 0;
  double seriesMs = 0;  // first number's appearance to the last one's disappearance

  bool operator==(const ProblemRecord&) const = default;
};

// One grade test as the learner took it.
struct GradeTestRecord {
  qint64 id = 0;  // given by the history when the test begins
  QDateTime startedAt;
  QString ladder;  // the ladder's name, e.g. the bundled dan ladder
  QString grade;   // e.g. "十段"
  int problems = 10;
  int correct = 0;
  QString result;  // "合格", "準合格", "不合格", or "中断" when abandoned
};

// The classes a teacher held, in the teacher's history: one row per class,
// and one per learner and problem with that learner's answer. The teacher's
// own problems are kept with the others, as kind "class", their test_id the
// class's id; a learner's history keeps its own class problems the same way.
struct ClassSessionRecord {
  qint64 id = 0;
  QDateTime startedAt;
  QString room;
  int problems = 0;  // shown so far
  int learners = 0;  // who took part
};
struct ClassAnswerRecord {
  qint64 session = 0;
  int position = 0;  // the problem's number in the class, from 1
  QString learner;
  qint64 total = 0;
  std::optional<qint64> answer;
  QString mark;              // "correct", "wrong" or "none"
  double boardDelayMs = -1;  // from the learner's Enter to the teacher's board; -1 unknown
};

// A new id for a problem, test or class: random, positive, so two running
// copies never clash in practice.
qint64 newRecordId();

// Summaries of the history, each read in one pass of the file.
struct DayCount {
  QDate day;
  int problems = 0;  // finished problems
  int answered = 0;  // of those, with a typed answer
  int correct = 0;
};
struct PaceAccuracy {
  int pace = 0;  // hundredths of a second
  int answered = 0;
  int correct = 0;
};
struct ProblemFilter {
  int digits = 0;  // longest digit count; 0 for any
  int terms = 0;   // 0 for any
  int limit = -1;  // newest first when limited, oldest first otherwise
};

// The history as the other features see it. Every call returns at once and
// never fails the caller: a store that cannot write keeps what it has and
// has already told the learner once. Reads see every problem finished so
// far; what cannot be read reads as nothing. As it stands it keeps nothing.
class HistoryApi {
 public:
  virtual ~HistoryApi() = default;
  // What the problems from the next start on are tagged with.
  virtual RecordContext context() const { return {}; }
  // Tags the problems from the next start on, until changed again.
  virtual void setContext(const RecordContext&) {}
  // Begins a grade test; returns its id (0 when nothing could be stored).
  virtual qint64 beginGradeTest(const GradeTestRecord&) { return 0; }
  // Stores the result of a test begun before (same id).
  virtual void finishGradeTest(const GradeTestRecord&) {}
  // Every stored grade test, newest first.
  virtual QList<GradeTestRecord> gradeTests() const { return {}; }
  // Stores (or updates) a class and a learner's answer in it.
  virtual void putClass(const ClassSessionRecord&) {}
  virtual void putClassAnswer(const ClassAnswerRecord&) {}

  // The problem recorded last, of this session or before; nothing without one.
  virtual std::optional<ProblemRecord> lastProblem() const { return std::nullopt; }
  virtual QList<ProblemRecord> problems(const ProblemFilter&) const { return {}; }
  // Each of the `days` calendar days up to `today`, empty days included.
  virtual QList<DayCount> problemsPerDay(const QDate& today, int days) const;
  // Per pace, fastest first, for problems of `digits` longest digits.
  virtual QList<PaceAccuracy> accuracyByPace(int) const { return {}; }
  // The fastest pace of a correctly answered problem, per longest digit count.
  virtual QMap<int, int> fastestCorrectPace() const { return {}; }
  // The longest digit count of the newest problem; 1 without any.
  virtual int latestDigits() const { return 1; }
  // Writes the whole history as CSV to path; false, with why, when it could not.
  virtual bool exportTo(const QString&, QString* why) {
    *why = QStringLiteral("no history");
    return false;
  }
};
