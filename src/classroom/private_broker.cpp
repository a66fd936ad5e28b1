// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/private_broker.h"

#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

bool writeFile(const QString& path, const QString& text) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) >= 0 &&
         f.flush();
}

// mosquitto_passwd makes the file (in the user's own folder); the password is
// on its command line only for the moment it runs.
bool addLogin(const QString& file, const PrivateBroker::Login& login, bool create, QString* why) {
  QStringList args{QStringLiteral("-b"), file, login.user, login.password};
  if (create) args.prepend(QStringLiteral("-c"));
  QProcess p;
  p.start(QStringLiteral("mosquitto_passwd"), args);
  if (p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
    return true;
  *why = QStringLiteral("mosquitto_passwd failed: %1")
             .arg(QString::fromLocal8Bit(p.readAllStandardError()).trimmed() + p.errorString());
  return false;
}

QString userName() {
  const passwd* pw = getpwuid(getuid());
  return pw ? QString::fromLocal8Bit(pw->pw_name) : QStringLiteral("root");
}

bool listening(int port) {
  QTcpSocket probe;
  probe.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
  return probe.waitForConnected(200);
}

}  // namespace

PrivateBroker::PrivateBroker(QString room, QObject* parent)
    : QObject(parent), room_(std::move(room)) {
  process_.setProcessChannelMode(QProcess::MergedChannels);
  // The broker ends with the program, however the program ends.
  process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
  connect(&process_, &QProcess::finished, this, [this] {
    if (stopping_) return;
    QString why;
    if (++restarts_ > 5 || !launch(&why))
      emit failed(why.isEmpty() ? QStringLiteral("the broker keeps stopping") : why);
  });
}

PrivateBroker::~PrivateBroker() { stop(); }

QString PrivateBroker::configuration(int port, const QString& folder, bool loopbackOnly) {
  const QString dir = QDir(folder).absolutePath();
  return QStringLiteral(
             "# Made by Pelatto for one class; remade at every start.\n"
             "listener %1%3\n"
             "# Started by root, Mosquitto would turn into its own user, who cannot\n"
             "# read this folder: it stays whoever started it.\n"
             "user %4\n"
             "allow_anonymous false\n"
             "password_file %2/passwords\n"
             "acl_file %2/acl\n"
             "# Sessions and queued messages survive a restart of the broker.\n"
             "persistence true\n"
             "persistence_location %2/\n"
             "autosave_interval 2\n"
             "# No message of a class comes near this; anything larger is refused.\n"
             "max_packet_size 65536\n"
             "max_queued_messages 10000\n"
             "set_tcp_nodelay true\n"
             "log_dest stderr\n"
             "log_type error\n"
             "log_type warning\n")
      .arg(port)
      .arg(dir, loopbackOnly ? QStringLiteral(" 127.0.0.1") : QString(), userName());
}

QString PrivateBroker::accessList(const QString& room) {
  return QStringLiteral(
             "# The teacher runs the class: everything under the room.\n"
             "user teacher\n"
             "topic readwrite pelatto/%1/#\n"
             "\n"
             "# Learners read the drill, the teacher's presence and their own clock\n"
             "# answers, and write only under their own name (their client id).\n"
             "user learner\n"
             "topic read pelatto/%1/drill\n"
             "topic read pelatto/%1/teacher\n"
             "pattern read pelatto/%1/clock/%c\n"
             "pattern write pelatto/%1/learner/%c/#\n")
      .arg(room);
}

QString PrivateBroker::newPassword() {
  static const QString letters = QStringLiteral("abcdefghjkmnpqrstuvwxyz23456789");
  QString out;
  for (int k = 0; k < 8; ++k)
    out += letters[static_cast<qsizetype>(QRandomGenerator::system()->bounded(letters.size()))];
  return out;
}

int PrivateBroker::freePort() {
  QTcpServer server;
  return server.listen(QHostAddress::Any, 0) ? server.serverPort() : 0;
}

QString PrivateBroker::hostAddress() {
  for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
    const auto flags = i.flags();
    if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
        flags.testFlag(QNetworkInterface::IsLoopBack))
      continue;
    for (const QNetworkAddressEntry& e : i.addressEntries())
      if (e.ip().protocol() == QAbstractSocket::IPv4Protocol) return e.ip().toString();
  }
  return QStringLiteral("127.0.0.1");
}

QString PrivateBroker::program() {
  QString found = QStandardPaths::findExecutable(QStringLiteral("mosquitto"));
  if (found.isEmpty())
    found = QStandardPaths::findExecutable(
        QStringLiteral("mosquitto"),
        {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin")});
  return found;
}

bool PrivateBroker::start(QString* why) {
  if (program().isEmpty()) {
    *why = QStringLiteral("Mosquitto is not installed (Debian package mosquitto)");
    return false;
  }
  dir_ = std::make_unique<QTemporaryDir>(
      QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
          .filePath(QStringLiteral("pelatto-class-XXXXXX")));
  if (!dir_->isValid()) {
    *why = QStringLiteral("cannot make a folder for the broker: %1").arg(dir_->errorString());
    return false;
  }
  teacher_ = {QStringLiteral("teacher"), newPassword() + newPassword()};
  learner_ = {QStringLiteral("learner"), newPassword()};
  const QString passwords = dir_->filePath(QStringLiteral("passwords"));
  if (!writeFile(dir_->filePath(QStringLiteral("acl")), accessList(room_))) {
    *why = QStringLiteral("cannot write the broker's access list");
    return false;
  }
  if (!addLogin(passwords, teacher_, true, why) || !addLogin(passwords, learner_, false, why))
    return false;
  // Another program may take the port between the look and the broker's
  // start; then another port is tried.
  for (int attempt = 0; attempt < 5; ++attempt) {
    port_ = freePort();
    if (port_ && launch(why)) return true;
  }
  return false;
}

bool PrivateBroker::launch(QString* why) {
  const QString conf = dir_->filePath(QStringLiteral("mosquitto.conf"));
  if (!writeFile(conf, configuration(port_, dir_->path(), loopbackOnly_))) {
    *why = QStringLiteral("cannot write %1").arg(conf);
    return false;
  }
  stopping_ = false;
  process_.start(program(), {QStringLiteral("-c"), conf});
  if (!process_.waitForStarted(3000)) {
    *why = QStringLiteral("cannot start Mosquitto: %1").arg(process_.errorString());
    return false;
  }
  QElapsedTimer waited;
  waited.start();
  while (process_.state() == QProcess::Running && waited.elapsed() < 5000) {
    if (listening(port_)) return true;
    QThread::msleep(20);
  }
  *why = QStringLiteral("Mosquitto did not start: %1")
             .arg(QString::fromLocal8Bit(process_.readAll()).trimmed());
  stopping_ = true;
  process_.kill();
  process_.waitForFinished(1000);
  return false;
}

void PrivateBroker::stop() {
  if (process_.state() == QProcess::NotRunning) return;
  stopping_ = true;
  // SIGTERM: the broker saves its sessions before it ends.
  process_.terminate();
  if (!process_.waitForFinished(3000)) {
    process_.kill();
    process_.waitForFinished(1000);
  }
}

bool PrivateBroker::restart(QString* why) {
  stop();
  return launch(why);
}
