// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace pf {

// SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, a service being
// stopped, Ctrl+C in the terminal) become a call on the event loop, so that
// the program ends as it does when the window is closed, with everything
// written. The handler only writes the signal's number into a pipe; the
// event loop reads it and calls `onSignal` once. Later signals are noted and
// otherwise ignored: the close is already under way and has its own time
// limits. One instance at a time.
class QuitSignals final : public QObject {
 public:
  explicit QuitSignals(std::function<void()> onSignal);
  ~QuitSignals() override;
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  // The first signal received, 0 while none was.
  static int received();
  // Ends the process as that signal's default action would, so that the
  // caller sees how it ended (a shell reports 143 for SIGTERM). Does nothing
  // when no signal was received. Call it last, after everything is written.
  static void endAsReceived();

 private:
  std::function<void()> onSignal_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool called_ = false;
};

}  // namespace pf
