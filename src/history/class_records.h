#pragma once

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

class QSqlQuery;

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
