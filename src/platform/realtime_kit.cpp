// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/realtime_kit.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <algorithm>
#include <optional>

namespace pf {

namespace {

const char* const kService = "org.freedesktop.RealtimeKit1";
const char* const kPath = "/org/freedesktop/RealtimeKit1";
// The request is made when a drill starts; a slow or absent service must not
// hold up the countdown for long.
constexpr int kCallTimeoutMs = 250;

std::optional<qlonglong> property(QDBusConnection& bus, const char* name) {
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Properties", "Get");
  call << QString(kService) << QString(name);
  const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
    return std::nullopt;
  bool ok = false;
  const qlonglong v = reply.arguments().first().value<QDBusVariant>().variant().toLongLong(&ok);
  return ok ? std::optional(v) : std::nullopt;
}

// rtkit wants the hard limit at or below its own; the soft limit stays below
// the hard one so that the program's own watchdog (SIGXCPU) acts before the
// kernel's SIGKILL.
void fitCpuLimit(qlonglong maxUs) {
  rlimit r{};
  if (getrlimit(RLIMIT_RTTIME, &r) != 0) return;
  const auto cap = static_cast<rlim_t>(maxUs);
  if (r.rlim_max == RLIM_INFINITY || r.rlim_max > cap) r.rlim_max = cap;
  r.rlim_cur = std::min(r.rlim_cur, r.rlim_max / 2);
  setrlimit(RLIMIT_RTTIME, &r);
}

}  // namespace

bool askRealtimeKit(int priority) {
  static bool refused = false;
  if (refused) return false;
  QDBusConnection bus = QDBusConnection::systemBus();
  const std::optional<qlonglong> maxPriority =
      bus.isConnected() ? property(bus, "MaxRealtimePriority") : std::nullopt;
  const std::optional<qlonglong> maxUs =
      maxPriority ? property(bus, "RTTimeUSecMax") : std::nullopt;
  if (!maxPriority || !maxUs || *maxPriority < 1 || *maxUs < 2) {
    refused = true;
    return false;
  }
  fitCpuLimit(*maxUs);
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kService, "MakeThreadRealtime");
  call << QVariant::fromValue(static_cast<qulonglong>(syscall(SYS_gettid)))
       << QVariant::fromValue(static_cast<uint>(std::min<qlonglong>(priority, *maxPriority)));
  const bool granted =
      bus.call(call, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
  refused = !granted;
  return granted;
}

}  // namespace pf
