// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_writer.h"

#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>

namespace {

// How long closing waits for the last problems to reach the file while the
// writer makes no progress (a disk that hangs), and how long its last write
// waits for another program's lock: what it cannot write by then goes to the
// recovery journal, so that the window never lingers.
constexpr int kCloseWaitMs = 5000, kCloseLockWaitMs = 100;

}  // namespace

HistoryWriter::HistoryWriter(QString path) : path_(std::move(path)) {
  setObjectName(QStringLiteral("pelatto-history"));
  door_.moveToThread(this);
  start();
}

HistoryWriter::~HistoryWriter() {
  {
    std::unique_lock lock(mutex_);
    // A history that was never used is not created on the way out. One that
    // was gets a last try, which waits longer for another copy's commit.
    if (asked_ > 0) {
      busyTimeoutMs_ = std::min(busyTimeoutMs_, kCloseLockWaitMs);
      ask();
    }
    waitFor(lock, asked_, kCloseWaitMs);
  }
  quit();
  wait();
}

void HistoryWriter::run() {
  HistoryFile file(path_, [this](const QString& text) {
    {
      const std::lock_guard lock(mutex_);
      notices_ << text;
    }
    emit noticed();
  });
  file.setCommitHook([this](long commits) {
    {
      const std::lock_guard lock(mutex_);
      status_.commits = commits;
    }
    served_.notify_all();
  });
  file_ = &file;
  exec();
  file_ = nullptr;
  const QString kept = file.keepWhatIsLeft();
  if (!kept.isEmpty()) std::fprintf(stderr, "pelatto: %s\n", qPrintable(kept));
}

void HistoryWriter::open() {
  const std::lock_guard lock(mutex_);
  ask();
}

void HistoryWriter::setBusyTimeoutMs(int ms) {
  const std::lock_guard lock(mutex_);
  busyTimeoutMs_ = ms;
}

void HistoryWriter::post(std::vector<HistoryItem> items) {
  const std::lock_guard lock(mutex_);
  for (HistoryItem& item : items) inbox_.push_back(std::move(item));
  ask();
}

void HistoryWriter::ask() {
  ++asked_;
  QMetaObject::invokeMethod(
      &door_, [this] { serve(); }, Qt::QueuedConnection);
}

bool HistoryWriter::waitIdle(int ms) {
  std::unique_lock lock(mutex_);
  // Nothing handed over yet: the file is opened for the reader.
  if (asked_ == 0) ask();
  return waitFor(lock, asked_, ms);
}

bool HistoryWriter::waitFor(std::unique_lock<std::mutex>& lock, long ticket, int ms) {
  // A long queue is waited for as long as it moves; a stuck lock only for ms.
  for (long seen = status_.commits; done_ < ticket; seen = status_.commits)
    if (!served_.wait_for(lock, std::chrono::milliseconds(ms),
                          [&] { return done_ >= ticket || status_.commits != seen; }))
      return false;
  return true;
}

HistoryWriter::Status HistoryWriter::status() const {
  const std::lock_guard lock(mutex_);
  Status s = status_;
  s.waiting = static_cast<qsizetype>(inbox_.size());
  return s;
}

QStringList HistoryWriter::takeNotices() {
  const std::lock_guard lock(mutex_);
  return std::exchange(notices_, {});
}

void HistoryWriter::serve() {
  std::vector<HistoryItem> items;
  long ticket = 0;
  int busyMs = 0;
  {
    const std::lock_guard lock(mutex_);
    // An earlier call already went through everything asked for.
    if (done_ >= asked_) return;
    items.swap(inbox_);
    ticket = asked_;
    busyMs = busyTimeoutMs_;
  }
  file_->setBusyTimeoutMs(busyMs);
  for (HistoryItem& item : items) file_->push(std::move(item));
  QElapsedTimer clock;
  clock.start();
  const bool readable = file_->prepare();
  file_->flush();
  const double writeMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  {
    const std::lock_guard lock(mutex_);
    done_ = ticket;
    status_.kept = file_->queued();
    status_.commits = file_->commits();
    status_.recording = file_->recording();
    status_.readable = readable;
    status_.movedAside = file_->movedAside();
    status_.writeMs = writeMs;
  }
  served_.notify_all();
}
