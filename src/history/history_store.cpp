// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_store.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTimer>
#include <QVariant>
#include <atomic>

#include "history/history_journal.h"

namespace {

// Long enough for the window's first paint, short of any learner's first problem.
constexpr int kOpenAfterStartMs = 500;

QString newReaderName() {
  static std::atomic<int> count{0};
  return QStringLiteral("pelatto-history-reader-%1").arg(++count);
}

}  // namespace

ProblemRecord HistoryStore::problemFrom(const QSqlQuery& q) {
  ProblemRecord r;
  r.id = q.value(0).toLongLong();
  r.at = QDateTime::fromMSecsSinceEpoch(q.value(1).toLongLong());
  DrillSettings& s = r.settings;
  s.longest = q.value(2).toInt();
  s.shortest = q.value(3).toInt();
  s.mix = q.value(4).toInt();
  s.terms = q.value(5).toInt();
  s.pace = q.value(6).toInt();
  s.extension = q.value(7).toInt();
  s.grouping = q.value(8).toBool();
  s.mode = modeFromName(q.value(9).toString());
  s.runLength = q.value(10).toInt();
  r.runPosition = q.value(11).toInt();
  r.numbers = numbersFromText(q.value(12).toString());
  r.total = q.value(13).toLongLong();
  if (!q.value(14).isNull()) r.answer = q.value(14).toLongLong();
  r.mark = markFromStoredName(q.value(15).toString());
  r.aborted = q.value(16).toBool();
  r.kind = kindFromName(q.value(17).toString());
  r.testId = q.value(18).toLongLong();
  r.seriesMs = q.value(19).toDouble();
  return r;
}

HistoryStore::HistoryStore(QString path, Notice notice)
    : path_(path), reader_(newReaderName()), notice_(std::move(notice)), writer_(path) {
  QObject::connect(
      &writer_, &HistoryWriter::noticed, &context_, [this] { tellNotices(); },
      Qt::QueuedConnection);
  // A history never used is not created, and nothing is created for it. An
  // existing one is opened (checked, brought up to date, its recovery file
  // taken in) once the window is up, not while it starts.
  if (QFileInfo::exists(path_) || QFileInfo::exists(journalPath(path_)))
    QTimer::singleShot(kOpenAfterStartMs, &context_, [this] { writer_.open(); });
}

HistoryStore::~HistoryStore() {
  flush();
  closeReader();
}

QString HistoryStore::defaultPath() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
         QStringLiteral("/history.sqlite");
}

void HistoryStore::setBusyTimeoutMs(int ms) {
  busyTimeoutMs_ = ms;
  writer_.setBusyTimeoutMs(ms);
}

void HistoryStore::setAnswer(qint64 id, std::optional<qint64> answer, ProblemRecord::Mark mark) {
  outbox_.push_back(AnswerUpdate{id, answer, mark});
}

bool HistoryStore::flush() {
  if (!outbox_.empty()) {
    writer_.post(std::exchange(outbox_, {}));
    ++handOvers_;
  }
  const HistoryWriter::Status s = writer_.status();
  return s.recording && s.kept == 0;
}

bool HistoryStore::waitForWrites(int ms) const {
  const bool done = writer_.waitIdle(ms);
  tellNotices();
  return done;
}

qsizetype HistoryStore::queued() const {
  const HistoryWriter::Status s = writer_.status();
  return static_cast<qsizetype>(outbox_.size()) + s.waiting + s.kept;
}

void HistoryStore::tellNotices() const {
  for (const QString& text : writer_.takeNotices())
    if (notice_) notice_(text);
}

QSqlDatabase HistoryStore::database() const {
  // A lock held elsewhere must not hang the window: after the wait the file is read as it is.
  waitForWrites();
  const HistoryWriter::Status s = writer_.status();
  if (!s.recording || !s.readable) {
    closeReader();
    return {};
  }
  // A damaged file was moved aside since the reader opened it: the new one is read.
  if (s.movedAside != readerMovedAside_) closeReader();
  if (!QSqlDatabase::contains(reader_)) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), reader_);
    db.setDatabaseName(path_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_));
    if (!db.open()) {
      db = {};
      closeReader();
      return {};
    }
    readerMovedAside_ = s.movedAside;
  }
  return QSqlDatabase::database(reader_, false);
}

void HistoryStore::closeReader() const {
  if (!QSqlDatabase::contains(reader_)) return;
  QSqlDatabase::database(reader_, false).close();
  QSqlDatabase::removeDatabase(reader_);
}

QList<ProblemRecord> HistoryStore::problems(const Filter& filter) const {
  QList<ProblemRecord> out;
  QSqlDatabase db = database();
  if (!db.isValid()) return out;
  QString sql = QStringLiteral("SELECT * FROM problems WHERE 1");
  if (filter.digits > 0) sql += QStringLiteral(" AND longest = %1").arg(filter.digits);
  if (filter.terms > 0) sql += QStringLiteral(" AND terms = %1").arg(filter.terms);
  sql += filter.limit >= 0 ? QStringLiteral(" ORDER BY at_ms DESC, id LIMIT %1").arg(filter.limit)
                           : QStringLiteral(" ORDER BY at_ms, id");
  QSqlQuery q(db);
  q.setForwardOnly(true);
  if (!q.exec(sql)) return out;
  while (q.next()) out << problemFrom(q);
  return out;
}

QList<GradeTestRecord> HistoryStore::gradeTests() const {
  QList<GradeTestRecord> out;
  QSqlDatabase db = database();
  if (!db.isValid()) return out;
  QSqlQuery q(db);
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("SELECT * FROM grade_tests ORDER BY started_ms DESC, id DESC")))
    return out;
  while (q.next()) {
    GradeTestRecord t;
    t.id = q.value(0).toLongLong();
    t.startedAt = QDateTime::fromMSecsSinceEpoch(q.value(1).toLongLong());
    t.ladder = q.value(2).toString();
    t.grade = q.value(3).toString();
    t.problems = q.value(4).toInt();
    t.correct = q.value(5).toInt();
    t.result = q.value(6).toString();
    out << t;
  }
  return out;
}
