#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <variant>

#include "history/history_api.h"
#include "history/problem_record.h"

// The learner's history in an SQLite file. Writes are queued in memory and
// go to the file when flush() is called, one transaction each, on the
// calling thread. A file that cannot be written (locked, read-only, full)
// keeps the queue for a later flush; a damaged file is renamed aside and a
// new one started; a file from a newer version is left alone and nothing is
// written to it. Each kind of trouble is told once through the notice hook.
class HistoryStore {
 public:
  using Notice = std::function<void(const QString&)>;

  explicit HistoryStore(QString path, Notice notice = {});
  ~HistoryStore();
  HistoryStore(const HistoryStore&) = delete;
  HistoryStore& operator=(const HistoryStore&) = delete;

  // <data directory>/history.sqlite, where the data directory is the user's
  // application data location (XDG_DATA_HOME/Pelatto on Linux).
  static QString defaultPath();
  const QString& path() const { return path_; }
  void setNotice(Notice notice) { notice_ = std::move(notice); }
  // How long a write waits for another program's lock before keeping its
  // record for later.
  void setBusyTimeoutMs(int ms) { busyTimeoutMs_ = ms; }

  void add(const ProblemRecord& record);
  void setAnswer(qint64 id, std::optional<qint64> answer, ProblemRecord::Mark mark);
  void putGradeTest(const GradeTestRecord& test);
  // Writes the queue in order; returns whether all of it was written.
  bool flush();
  qsizetype queued() const { return queue_.size(); }
  // Transactions committed by this store, for tests and benchmarks.
  long commits() const { return commits_; }
  // False once the file turned out to be from a newer version.
  bool recording() const { return state_ != State::Newer; }

  struct Filter {
    int digits = 0;  // longest digit count; 0 for any
    int terms = 0;   // 0 for any
    int limit = -1;  // newest first when limited, oldest first otherwise
  };
  // What the file holds; empty when it cannot be read.
  QList<ProblemRecord> problems(const Filter& filter) const;
  QList<GradeTestRecord> gradeTests() const;
  // The open connection, for the progress window's summaries; invalid when
  // the file cannot be read.
  QSqlDatabase database() const;

 private:
  struct AnswerUpdate {
    qint64 id;
    std::optional<qint64> answer;
    ProblemRecord::Mark mark;
  };
  using Item = std::variant<ProblemRecord, AnswerUpdate, GradeTestRecord>;
  enum class State { Closed, Open, Newer };
  enum class Trouble { Locked, ReadOnly, Full, Damaged, Newer, Other };

  bool ensureOpen() const;
  bool ensureChecked();
  // These return 0, an SQLite result code, or -1 for a newer file.
  int openFile(QString* detail) const;
  int migrate(QSqlDatabase& db, int from, QString* detail) const;
  int tryWrite(const Item& item, QString* detail);
  void close() const;
  bool moveAside() const;
  // Sorts a failure out; returns whether to try again at once.
  bool handle(int sqliteCode, const QString& detail) const;
  void tell(Trouble trouble, const QString& text) const;

  QString path_;
  QString connection_;
  Notice notice_;
  int busyTimeoutMs_ = 200;
  std::deque<Item> queue_;
  mutable State state_ = State::Closed;
  mutable std::set<Trouble> told_;
  long commits_ = 0;
  mutable bool checked_ = false;  // the file passed its check this session
};
