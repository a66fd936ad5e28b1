// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_file.h"

#include <sys/stat.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cstdio>

#include "history/history_journal.h"
#include "history/history_schema.h"

namespace {

// SQLite's primary result codes that matter here.
constexpr int kBusy = 5, kLocked = 6, kReadOnly = 8, kCorrupt = 11, kFull = 13, kConstraint = 19,
              kMismatch = 20, kRange = 25, kNotADb = 26;

int sqliteCode(const QSqlError& e) { return e.nativeErrorCode().toInt() & 0xff; }

QString newConnectionName() {
  static std::atomic<int> count{0};
  return QStringLiteral("pelatto-history-%1").arg(++count);
}

bool exec(QSqlDatabase& db, const QString& sql, int* code = nullptr, QString* detail = nullptr) {
  QSqlQuery q(db);
  if (q.exec(sql)) return true;
  if (code) *code = sqliteCode(q.lastError());
  if (detail) *detail = q.lastError().text();
  return false;
}

std::pair<quint64, quint64> identityOf(const QString& path) {
  struct stat st {};
  if (stat(QFile::encodeName(path).constData(), &st) != 0) return {};
  return {st.st_dev, st.st_ino};
}

// A name beside `path` that no file has yet: path, suffix, the date and time.
QString freeNameBeside(const QString& path, const QString& suffix) {
  const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString name = path + suffix + stamp;
  for (int n = 2; QFileInfo::exists(name); ++n)
    name = path + suffix + QStringLiteral("%1-%2").arg(stamp).arg(n);
  return name;
}

// Text columns are NOT NULL; an empty text is stored as such.
QVariant text(const QString& s) { return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s); }

}  // namespace

HistoryFile::HistoryFile(QString path, Notice notice)
    : path_(std::move(path)), connection_(newConnectionName()), notice_(std::move(notice)) {}

HistoryFile::~HistoryFile() { close(); }

void HistoryFile::setBusyTimeoutMs(int ms) {
  if (ms == busyTimeoutMs_) return;
  busyTimeoutMs_ = ms;
  if (state_ != State::Open) return;
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  exec(db, QStringLiteral("PRAGMA busy_timeout = %1").arg(ms));
}

bool HistoryFile::prepare() {
  checkStillThere();
  if (!ensureOpen() || !ensureChecked()) return false;
  takeJournal();
  return true;
}

bool HistoryFile::flush() {
  if (state_ == State::Newer) return queue_.empty();
  checkStillThere();
  while (!queue_.empty()) {
    if (!ensureOpen() || !ensureChecked()) return false;
    QString detail;
    int code = tryWrite(queue_.front(), &detail);
    // A file found damaged while writing is renamed aside; the item goes to the new file.
    if (code == kCorrupt || code == kNotADb)
      if (handle(code, detail) && ensureOpen()) code = tryWrite(queue_.front(), &detail);
    if (code == kConstraint || code == kMismatch || code == kRange) {
      // An item the file refuses would block every later one for good.
      qWarning("pelatto: a history item was refused and dropped (%s)", qPrintable(detail));
    } else if (code != 0) {
      handle(code, detail);
      // A file opened read-only stays so for its connection: the next flush opens it afresh.
      if (code != kBusy && code != kLocked) close();
      return false;
    } else {
      ++commits_;
      if (committed_) committed_(commits_);
    }
    queue_.pop_front();
  }
  finishJournal();
  return true;
}

void HistoryFile::checkStillThere() {
  if (state_ != State::Open || identityOf(path_) == identity_) return;
  close();
  checked_ = false;
  ++movedAside_;
  // A log that another connection still holds belongs to the removed file, not to a new one.
  if (!QFileInfo::exists(path_)) moveSideFiles(freeNameBeside(path_, QStringLiteral(".removed-")));
  tell(Trouble::Removed,
       QStringLiteral("成績の記録ファイル %1 が消されたか移されたので、新しいファイルを作って"
                      "記録を続けます。")
           .arg(QDir::toNativeSeparators(path_)));
}

void HistoryFile::takeJournal() {
  const QString journal = journalPath(path_);
  if (journalTaken_ || !QFileInfo::exists(journal)) return;
  journalTaken_ = true;
  JournalRead read = readJournal(journal);
  journal_ = {static_cast<int>(read.items.size()), read.unreadable};
  for (auto it = read.items.rbegin(); it != read.items.rend(); ++it)
    queue_.push_front(std::move(*it));
}

void HistoryFile::finishJournal() {
  if (!journalTaken_ || journalDone_ || !queue_.empty()) return;
  journalDone_ = true;
  const QString journal = journalPath(path_);
  // Everything it held is in the history now; a journal with lines that
  // could not be read is kept for the learner to look at.
  QString text =
      QStringLiteral("前回の終了までに書き込めなかった成績 %1 件を、記録に取り込みました。")
          .arg(journal_.items);
  if (journal_.unreadable == 0) {
    QFile::remove(journal);
  } else {
    const QString aside = freeNameBeside(journal, QStringLiteral(".unread-"));
    QFile::rename(journal, aside);
    text += QStringLiteral("読めなかった %1 行は %2 に残してあります。")
                .arg(journal_.unreadable)
                .arg(QDir::toNativeSeparators(aside));
  }
  std::fprintf(stderr, "pelatto: %s\n", qPrintable(text));
  tell(Trouble::Recovered, text);
}

QString HistoryFile::keepWhatIsLeft() {
  if (queue_.empty() || state_ == State::Newer) return {};
  const QString journal = journalPath(path_);
  std::deque<HistoryItem> keep;
  // A journal the file never opened to take in keeps its items, before these.
  if (!journalTaken_ && QFileInfo::exists(journal)) {
    JournalRead earlier = readJournal(journal);
    if (earlier.unreadable > 0)
      QFile::rename(journal, freeNameBeside(journal, QStringLiteral(".unread-")));
    for (HistoryItem& item : earlier.items) keep.push_back(std::move(item));
  }
  for (HistoryItem& item : queue_) keep.push_back(item);
  QString why;
  const QString where = QDir::toNativeSeparators(path_);
  if (!writeJournal(journal, keep, &why))
    return QStringLiteral(
               "%1 records of this session could not be written to the history %2, nor kept in "
               "%3 (%4); they are lost")
        .arg(queue_.size())
        .arg(where, QDir::toNativeSeparators(journal), why);
  return QStringLiteral(
             "%1 records of this session could not be written to the history %2; they are kept "
             "in %3 and will be written to the history at the next start")
      .arg(queue_.size())
      .arg(where, QDir::toNativeSeparators(journal));
}

bool HistoryFile::ensureOpen() {
  if (state_ == State::Open) return true;
  if (state_ == State::Newer) return false;
  // A damaged file is renamed aside and a fresh one started, once.
  for (int attempt = 0; attempt < 2; ++attempt) {
    QString detail;
    const int code = openFile(&detail);
    if (code == 0) {
      state_ = State::Open;
      identity_ = identityOf(path_);
      return true;
    }
    close();
    if (code < 0 || !handle(code, detail)) return false;
  }
  return false;
}

int HistoryFile::openFile(QString* detail) {
  close();
  QDir().mkpath(QFileInfo(path_).absolutePath());
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
  db.setDatabaseName(path_);
  db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_));
  const auto failed = [&](const QSqlError& e) {
    *detail = e.text();
    return std::max(1, sqliteCode(e));
  };
  if (!db.open()) return failed(db.lastError());
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) return failed(q.lastError());
  const int version = q.value(0).toInt();
  if (version > history_schema::currentVersion()) {
    state_ = State::Newer;
    tell(Trouble::Newer,
         QStringLiteral("成績の記録ファイル %1 は新しい版の Pelatto で作られています。"
                        "ファイルはそのままにし、今回の成績は記録しません。")
             .arg(QDir::toNativeSeparators(path_)));
    return -1;
  }
  q.finish();
  return migrate(version, detail);
}

bool HistoryFile::ensureChecked() {
  // The whole file is read through once a session, before the first write,
  // so that nothing is added to a damaged file; reading needs no such check.
  if (checked_) return true;
  QString detail;
  int code = 0;
  {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!q.exec(QStringLiteral("PRAGMA quick_check(1)")) || !q.next()) {
      code = std::max(1, sqliteCode(q.lastError()));
      detail = q.lastError().text();
    } else if (q.value(0).toString() != QLatin1String("ok")) {
      code = kCorrupt;
      detail = q.value(0).toString();
    }
  }
  if (code == 0) {
    // One writer and its readers: the write-ahead log makes each commit a
    // short append, so a problem is safe almost as soon as it is handed over.
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    exec(db, QStringLiteral("PRAGMA journal_mode = WAL"));
    return checked_ = true;
  }
  return handle(code, detail) && ensureOpen() && ensureChecked();
}

int HistoryFile::migrate(int from, QString* detail) {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  for (int version = from; version < history_schema::currentVersion(); ++version) {
    int code = 0;
    bool ok = exec(db, QStringLiteral("BEGIN IMMEDIATE"), &code, detail);
    for (const QString& sql : history_schema::step(version))
      ok = ok && exec(db, sql, &code, detail);
    ok = ok && exec(db, QStringLiteral("PRAGMA user_version = %1").arg(version + 1), &code, detail);
    ok = ok && exec(db, QStringLiteral("COMMIT"), &code, detail);
    if (!ok) {
      exec(db, QStringLiteral("ROLLBACK"));
      return std::max(1, code);
    }
  }
  return 0;
}

void HistoryFile::close() {
  if (!QSqlDatabase::contains(connection_)) return;
  QSqlDatabase::database(connection_, false).close();
  QSqlDatabase::removeDatabase(connection_);
  if (state_ == State::Open) state_ = State::Closed;
}

bool HistoryFile::moveAside() {
  close();
  const QString aside = freeNameBeside(path_, QStringLiteral(".corrupt-"));
  if (!QFile::rename(path_, aside)) return false;
  checked_ = false;
  ++movedAside_;
  moveSideFiles(aside);
  tell(Trouble::Damaged,
       QStringLiteral(
           "成績の記録ファイルが壊れていたので %1 に移し、新しいファイルで記録を続けます。")
           .arg(QDir::toNativeSeparators(aside)));
  return true;
}

void HistoryFile::moveSideFiles(const QString& aside) {
  for (const char* suffix : {"-journal", "-wal", "-shm"})
    if (QFileInfo::exists(path_ + QLatin1String(suffix)))
      QFile::rename(path_ + QLatin1String(suffix), aside + QLatin1String(suffix));
}

bool HistoryFile::handle(int code, const QString& detail) {
  const QString where = QDir::toNativeSeparators(path_);
  const QString later =
      QStringLiteral(
          "成績は覚えておき、書き込めるようになったら書き込みます。終了までに書き込めな"
          "ければ、横の %1 に残して次の起動時に取り込みます。")
          .arg(QFileInfo(journalPath(path_)).fileName());
  switch (code) {
    case kBusy:
    case kLocked:
      tell(Trouble::Locked, QStringLiteral("成績の記録ファイル %1 はほかのプログラムが使用中です"
                                           "（Pelatto をもう一つ開いていませんか）。")
                                    .arg(where) +
                                later);
      return false;
    case kReadOnly:
      tell(Trouble::ReadOnly,
           QStringLiteral("成績の記録ファイル %1 に書き込めません（読み取り専用）。").arg(where) +
               later);
      return false;
    case kFull:
      tell(Trouble::Full,
           QStringLiteral("ディスクがいっぱいで成績を記録できません（%1）。").arg(where) + later);
      return false;
    case kCorrupt:
    case kNotADb:
      if (moveAside()) return true;
      [[fallthrough]];
    default:
      tell(Trouble::Other,
           QStringLiteral("成績の記録ファイル %1 を使えません（%2）。").arg(where, detail) + later);
      return false;
  }
}

void HistoryFile::tell(Trouble trouble, const QString& text) {
  if (!told_.insert(trouble).second) return;
  if (notice_) notice_(text);
}

void prepareProblemInsert(QSqlQuery& q, const ProblemRecord& r) {
  q.prepare(QStringLiteral(
      "INSERT OR REPLACE INTO problems VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
  const DrillSettings& s = r.settings;
  for (const QVariant& v :
       {QVariant(r.id),
        QVariant(r.at.toMSecsSinceEpoch()),
        QVariant(s.longest),
        QVariant(s.shortest),
        QVariant(s.mix),
        QVariant(s.terms),
        QVariant(s.pace),
        QVariant(s.extension),
        QVariant(s.grouping ? 1 : 0),
        QVariant(modeName(s.mode)),
        QVariant(s.runLength),
        QVariant(r.runPosition),
        text(numbersText(r.numbers)),
        QVariant(r.total),
        r.answer ? QVariant(*r.answer) : QVariant(QMetaType::fromType<qint64>()),
        QVariant(storedMarkName(r.mark)),
        QVariant(r.aborted ? 1 : 0),
        QVariant(kindName(r.kind)),
        QVariant(r.testId),
        QVariant(r.seriesMs)})
    q.addBindValue(v);
}

int HistoryFile::tryWrite(const HistoryItem& item, QString* detail) {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  QSqlQuery q(db);
  if (const auto* r = std::get_if<ProblemRecord>(&item)) {
    prepareProblemInsert(q, *r);
  } else if (const auto* u = std::get_if<AnswerUpdate>(&item)) {
    q.prepare(QStringLiteral("UPDATE problems SET answer = ?, mark = ? WHERE id = ?"));
    q.addBindValue(u->answer ? QVariant(*u->answer) : QVariant(QMetaType::fromType<qint64>()));
    q.addBindValue(storedMarkName(u->mark));
    q.addBindValue(u->id);
  } else if (const auto* c = std::get_if<ClassItem>(&item)) {
    class_records::prepareWrite(q, *c);
  } else {
    const auto& t = std::get<GradeTestRecord>(item);
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO grade_tests VALUES (?,?,?,?,?,?,?)"));
    for (const QVariant& v :
         {QVariant(t.id), QVariant(t.startedAt.toMSecsSinceEpoch()), text(t.ladder), text(t.grade),
          QVariant(t.problems), QVariant(t.correct), text(t.result)})
      q.addBindValue(v);
  }
  int code = 0;
  bool ok = exec(db, QStringLiteral("BEGIN IMMEDIATE"), &code, detail);
  if (ok && !q.exec()) ok = false, code = sqliteCode(q.lastError()), *detail = q.lastError().text();
  ok = ok && exec(db, QStringLiteral("COMMIT"), &code, detail);
  if (ok) return 0;
  exec(db, QStringLiteral("ROLLBACK"));
  return std::max(1, code);
}
