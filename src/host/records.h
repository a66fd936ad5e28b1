#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

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
  // Stores (or updates) a class and a learner's answer in it.
  virtual void putClass(const ClassSessionRecord& session) = 0;
  virtual void putClassAnswer(const ClassAnswerRecord& answer) = 0;
};
