// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace pf {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Shared with the signal handler: only plain values of these types are safe there.
volatile std::sig_atomic_t firstSignal = 0;
int pipeEnds[2] = {-1, -1};

extern "C" void onQuitSignal(int sig) {
  const int saved = errno;
  if (firstSignal == 0) firstSignal = sig;
  const char byte = static_cast<char>(sig);
  // A full pipe already holds a signal the loop has not read yet.
  [[maybe_unused]] const ssize_t n = write(pipeEnds[1], &byte, 1);
  errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  // The pipe and the handlers stay for the life of the process: the handler
  // may run at any moment, also after this object is gone.
  if (pipeEnds[0] < 0 && pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
    std::perror("pelatto: signals cannot be handled");
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    char bytes[16];
    while (read(pipeEnds[0], bytes, sizeof bytes) > 0) {
    }
    if (called_) return;
    called_ = true;
    if (onSignal_) onSignal_();
  });
  struct sigaction action = {};
  action.sa_handler = onQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : kSignals) sigaction(sig, &action, nullptr);
}

QuitSignals::~QuitSignals() {
  // Until the process ends, a further signal only marks how it is to end.
  notifier_.reset();
}

int QuitSignals::received() { return firstSignal; }

void QuitSignals::endAsReceived() {
  const int sig = firstSignal;
  if (sig == 0) return;
  std::fflush(nullptr);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

}  // namespace pf
