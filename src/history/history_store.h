// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "history/history_writer.h"
#include "history/problem_record.h"
#include "host/records.h"

// The learner's history in an SQLite file, as the window's thread sees it.
// Writes are queued here and handed to the writer thread by flush(), which
// returns at once; the writer commits them one transaction each and keeps
// what it cannot write yet (locked, read-only, full) for the next hand-over.
// Reads first wait a few seconds at most for the writes handed over, then
// read through a connection of this thread. Trouble with the file is told
// once per kind through the notice hook, on this thread.
class HistoryStore {
 public:
  using Notice = std::function<void(const QString&)>;

  explicit HistoryStore(QString path, Notice notice = {});
  // Hands over what is queued and waits a few seconds at most for it to be written.
  ~HistoryStore();
  HistoryStore(const HistoryStore&) = delete;
  HistoryStore& operator=(const HistoryStore&) = delete;

  // <data directory>/history.sqlite, where the data directory is the user's
  // application data location (XDG_DATA_HOME/Pelatto on Linux).
  static QString defaultPath();
  const QString& path() const { return path_; }
  void setNotice(Notice notice) { notice_ = std::move(notice); }
  // How long a write or a read waits for another program's lock before
  // giving up (the write keeps its record for later).
  void setBusyTimeoutMs(int ms);

  void add(const ProblemRecord& record) { outbox_.push_back(record); }
  void setAnswer(qint64 id, std::optional<qint64> answer, ProblemRecord::Mark mark);
  void putGradeTest(const GradeTestRecord& test) { outbox_.push_back(test); }
  void putClass(const ClassItem& item) { outbox_.push_back(item); }
  // Hands the queue to the writer thread and returns at once. False when the
  // writer is known to keep items it could not write, or the file is newer.
  bool flush();
  // Waits for the writer to go through everything handed over, giving up
  // after ms without a commit; returns whether it did. Notices it had are
  // told before returning.
  bool waitForWrites(int ms = 3000) const;
  // Items not yet written, as far as the writer last reported.
  qsizetype queued() const;
  // Transactions committed by the writer, for tests and benchmarks.
  long commits() const { return writer_.status().commits; }
  // Times flush() handed something over.
  long handOvers() const { return handOvers_; }
  // False once the file turned out to be from a newer version.
  bool recording() const { return writer_.status().recording; }
  // The thread that writes the file, and what it last reported.
  const QThread* writerThread() const { return &writer_; }
  HistoryWriter::Status writerStatus() const { return writer_.status(); }

  using Filter = ProblemFilter;
  // The problem in the current row of a query over the problems table.
  static ProblemRecord problemFrom(const QSqlQuery& q);
  // What the file holds; empty when it cannot be read.
  QList<ProblemRecord> problems(const Filter& filter) const;
  QList<GradeTestRecord> gradeTests() const;
  // This thread's connection, for the progress window's summaries; invalid
  // when the file cannot be read.
  QSqlDatabase database() const;

 private:
  void tellNotices() const;
  void closeReader() const;

  QString path_;
  QString reader_;  // the connection's name
  Notice notice_;
  int busyTimeoutMs_ = 200;
  std::vector<HistoryItem> outbox_;
  long handOvers_ = 0;
  mutable int readerMovedAside_ = -1;  // the writer's count when the reader opened
  QObject context_;                    // receives the writer's notices on this thread
  mutable HistoryWriter writer_;       // stopped before the context goes
};
