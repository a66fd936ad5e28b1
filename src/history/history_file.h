// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlQuery>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <variant>

#include "history/class_records.h"
#include "history/problem_record.h"
#include "host/records.h"

// A typed answer that reached a problem already handed over.
struct AnswerUpdate {
  qint64 id;
  std::optional<qint64> answer;
  ProblemRecord::Mark mark;
};
// One write of the history: a problem, an answer to one, a grade test, or a class.
using HistoryItem = std::variant<ProblemRecord, AnswerUpdate, GradeTestRecord, ClassItem>;

// What a recovery journal taken in held.
struct JournalCount {
  int items = 0;
  int unreadable = 0;  // lines that were no item
};

// Prepares q to insert (or replace) r in the problems table.
void prepareProblemInsert(QSqlQuery& q, const ProblemRecord& r);

// The writing side of the learner's history file, used by one thread only
// (the writer's): the items queued here go to the file when flush() is
// called, one transaction each, through SQLite's write-ahead log. A file
// that cannot be written (locked, read-only, full) keeps the queue for a
// later flush, and what is still queued at the end of the session goes to
// the recovery journal beside it, which the next session takes in first; a
// damaged file is renamed aside and a new one started, and so is a file
// removed while the program runs; a file from a newer version is left alone
// and nothing is written to it. Each kind of trouble is told once through
// the notice hook.
class HistoryFile {
 public:
  using Notice = std::function<void(const QString&)>;

  HistoryFile(QString path, Notice notice);
  ~HistoryFile();
  HistoryFile(const HistoryFile&) = delete;
  HistoryFile& operator=(const HistoryFile&) = delete;

  // How long a write waits for another program's lock before keeping its
  // record for later.
  void setBusyTimeoutMs(int ms);
  // Called after every commit with the count so far.
  void setCommitHook(std::function<void(long)> hook) { committed_ = std::move(hook); }
  void push(HistoryItem item) { queue_.push_back(std::move(item)); }
  // Writes the queue in order; returns whether all of it was written.
  bool flush();
  // Opens the file, bringing its tables up to date, checks it once a
  // session, and queues first what the recovery journal holds; false when it
  // cannot be opened or is from a newer version.
  bool prepare();
  // At the end of the session: what is still queued goes to the recovery
  // journal. Returns what to tell on standard error (empty when all was written).
  QString keepWhatIsLeft();
  qsizetype queued() const { return static_cast<qsizetype>(queue_.size()); }
  long commits() const { return commits_; }
  // False once the file turned out to be from a newer version.
  bool recording() const { return state_ != State::Newer; }
  // How many damaged files were moved aside and removed ones started anew: a
  // reader reopens when it changes.
  int movedAside() const { return movedAside_; }

 private:
  enum class State { Closed, Open, Newer };
  enum class Trouble { Locked, ReadOnly, Full, Damaged, Removed, Newer, Recovered, Other };

  bool ensureOpen();
  bool ensureChecked();
  // These return 0, an SQLite result code, or -1 for a newer file.
  int openFile(QString* detail);
  int migrate(int from, QString* detail);
  int tryWrite(const HistoryItem& item, QString* detail);
  void close();
  bool moveAside();
  // Renames what SQLite keeps beside the file (journal, log) to sit beside `aside`.
  void moveSideFiles(const QString& aside);
  // A file removed or replaced since it was opened is closed, to be started anew.
  void checkStillThere();
  void takeJournal();
  void finishJournal();
  // Sorts a failure out; returns whether to try again at once.
  bool handle(int sqliteCode, const QString& detail);
  void tell(Trouble trouble, const QString& text);

  QString path_;
  QString connection_;
  Notice notice_;
  std::function<void(long)> committed_;
  int busyTimeoutMs_ = 200;
  std::deque<HistoryItem> queue_;
  State state_ = State::Closed;
  std::set<Trouble> told_;
  long commits_ = 0;
  int movedAside_ = 0;
  bool checked_ = false;                    // the file passed its check this session
  std::pair<quint64, quint64> identity_{};  // device and inode of the file opened
  bool journalTaken_ = false;               // the journal's items were queued
  bool journalDone_ = false;                // and written, and the journal put away
  JournalCount journal_;
};
