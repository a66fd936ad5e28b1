// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/class_records.h"

#include <QSqlQuery>
#include <QVariant>

namespace class_records {

QStringList schemaStep() {
  return {QStringLiteral("CREATE TABLE class_sessions ("
                         " id INTEGER PRIMARY KEY, started_ms INTEGER NOT NULL,"
                         " room TEXT NOT NULL, problems INTEGER NOT NULL,"
                         " learners INTEGER NOT NULL)"),
          QStringLiteral("CREATE TABLE class_answers ("
                         " session_id INTEGER NOT NULL, position INTEGER NOT NULL,"
                         " learner TEXT NOT NULL, total INTEGER NOT NULL, answer INTEGER,"
                         " mark TEXT NOT NULL, board_delay_ms REAL,"
                         " PRIMARY KEY (session_id, position, learner))")};
}

void prepareWrite(QSqlQuery& q, const ClassItem& item) {
  if (const auto* s = std::get_if<ClassSessionRecord>(&item)) {
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO class_sessions VALUES (?,?,?,?,?)"));
    for (const QVariant& v : {QVariant(s->id), QVariant(s->startedAt.toMSecsSinceEpoch()),
                              QVariant(s->room), QVariant(s->problems), QVariant(s->learners)})
      q.addBindValue(v);
    return;
  }
  const auto& a = std::get<ClassAnswerRecord>(item);
  q.prepare(QStringLiteral("INSERT OR REPLACE INTO class_answers VALUES (?,?,?,?,?,?,?)"));
  const QVariant none(QMetaType::fromType<qint64>());
  for (const QVariant& v :
       {QVariant(a.session), QVariant(a.position), QVariant(a.learner), QVariant(a.total),
        a.answer ? QVariant(*a.answer) : none, QVariant(a.mark),
        a.boardDelayMs >= 0 ? QVariant(a.boardDelayMs) : QVariant(QMetaType::fromType<double>())})
    q.addBindValue(v);
}

QList<ClassSessionRecord> sessions(const QSqlDatabase& db) {
  QList<ClassSessionRecord> out;
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("SELECT id, started_ms, room, problems, learners FROM class_sessions"
                             " ORDER BY started_ms DESC")))
    return out;
  while (q.next())
    out << ClassSessionRecord{q.value(0).toLongLong(),
                              QDateTime::fromMSecsSinceEpoch(q.value(1).toLongLong()),
                              q.value(2).toString(), q.value(3).toInt(), q.value(4).toInt()};
  return out;
}

QList<ClassAnswerRecord> answers(const QSqlDatabase& db, qint64 session) {
  QList<ClassAnswerRecord> out;
  QSqlQuery q(db);
  q.prepare(
      QStringLiteral("SELECT position, learner, total, answer, mark, board_delay_ms"
                     " FROM class_answers WHERE session_id = ? ORDER BY position, learner"));
  q.addBindValue(session);
  if (!q.exec()) return out;
  while (q.next()) {
    ClassAnswerRecord a;
    a.session = session;
    a.position = q.value(0).toInt();
    a.learner = q.value(1).toString();
    a.total = q.value(2).toLongLong();
    if (!q.value(3).isNull()) a.answer = q.value(3).toLongLong();
    a.mark = q.value(4).toString();
    a.boardDelayMs = q.value(5).isNull() ? -1 : q.value(5).toDouble();
    out << a;
  }
  return out;
}

}  // namespace class_records
