// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>
#include <QThread>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "history/history_file.h"

// The thread that writes the learner's history, so that the window's thread
// never waits on SQLite or the disk. It owns the file's writing connection
// (a connection belongs to the thread that opened it) and keeps the items it
// could not write yet. The window's thread hands items over with post() and
// returns at once; everything shared between the threads passes through the
// mailbox below, under its mutex, and the noticed() signal.
class HistoryWriter final : public QThread {
  Q_OBJECT
 public:
  // What the writer last reported, after going through everything handed to it.
  struct Status {
    qsizetype kept = 0;     // items the writer could not write yet
    qsizetype waiting = 0;  // items handed over that the writer has not taken yet
    long commits = 0;       // transactions committed
    bool recording = true;  // false once the file turned out to be from a newer version
    bool readable = false;  // the file was open after the last hand-over
    int movedAside = 0;     // damaged files moved aside so far
    double writeMs = 0;     // the last hand-over's opening and writing, for benchmarks
  };

  explicit HistoryWriter(QString path);
  // Writes what was handed over (waiting a few seconds at most), keeps what
  // it could not write in the recovery journal, then stops.
  ~HistoryWriter() override;

  void setBusyTimeoutMs(int ms);
  // Opens and checks the file and takes in a recovery journal, in the
  // background, so that the first write of the session (even one made while
  // closing) only writes.
  void open();
  // Hands items over and returns at once; the writer writes them in order,
  // one transaction each, after those it still keeps.
  void post(std::vector<HistoryItem> items);
  // Waits until the writer has gone through everything handed over so far
  // (at the first call, until it has opened the file), giving up after ms
  // without a commit; returns whether it had.
  bool waitIdle(int ms);
  Status status() const;
  // Notices about trouble with the file, each kind once, oldest first.
  QStringList takeNotices();

 signals:
  // A notice is waiting; connect with a queued connection.
  void noticed();

 protected:
  void run() override;

 private:
  void ask();  // with the mutex held
  bool waitFor(std::unique_lock<std::mutex>& lock, long ticket, int ms);
  void serve();

  const QString path_;
  QObject door_;                 // lives on the writer's thread: queued calls enter here
  HistoryFile* file_ = nullptr;  // the writer's thread only

  mutable std::mutex mutex_;  // guards the mailbox
  std::condition_variable served_;
  std::vector<HistoryItem> inbox_;
  long asked_ = 0, done_ = 0;  // hand-overs asked for and gone through
  int busyTimeoutMs_ = 200;
  Status status_;
  QStringList notices_;
};
