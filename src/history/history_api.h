#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// What the problems about to be drilled belong to.
struct RecordContext {
  enum class Kind { Practice, Replay, Test, Class };
  Kind kind = Kind::Practice;
  QString grade;      // the grade of a test
  qint64 testId = 0;  // the grade test or class the problems belong to, 0 outside them
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

// The history as the other features see it. Every call returns at once and
// never fails the caller: a store that cannot write keeps what it has and
// has already told the learner once.
class HistoryApi {
 public:
  virtual ~HistoryApi() = default;
  // Tags the problems from the next start on, until changed again.
  virtual void setContext(const RecordContext& context) = 0;
  // Begins a grade test; returns its id (0 when nothing could be stored).
  virtual qint64 beginGradeTest(const GradeTestRecord& test) = 0;
  // Stores the result of a test begun before (same id).
  virtual void finishGradeTest(const GradeTestRecord& test) = 0;
  // Every stored grade test, newest first.
  virtual QList<GradeTestRecord> gradeTests() const = 0;
};
