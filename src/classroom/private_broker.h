// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// A Mosquitto of the teacher's own for one room, for a class without a
// school's broker. Its folder in the user's runtime directory (private to the
// user) holds a generated configuration, a password file made with
// mosquitto_passwd and an access list: the teacher may do anything under the
// room's topics, a learner reads the drill and writes only under its own name
// (its client id). It listens on a free port on every interface, keeps
// sessions and queued messages across a restart, is started again should it
// stop on its own, and ends with the program.
class PrivateBroker : public QObject {
  Q_OBJECT
 public:
  struct Login {
    QString user;
    QString password;
  };

  explicit PrivateBroker(QString room, QObject* parent = nullptr);
  ~PrivateBroker() override;

  // Writes the folder and starts the broker, waiting a moment for it to
  // listen; false with the reason when it cannot.
  bool start(QString* why);
  void stop();
  // Stops and starts the broker again on the same port with the same
  // folder, as a crash and restart would; for tests and benchmarks.
  bool restart(QString* why);
  bool running() const { return process_.state() == QProcess::Running; }
  // Listens on the loopback interface only: for tests and benchmarks.
  void setLoopbackOnly(bool only) { loopbackOnly_ = only; }

  int port() const { return port_; }
  QString folder() const { return dir_ ? dir_->path() : QString(); }
  const Login& teacher() const { return teacher_; }
  // The room's password is the learners' one.
  const Login& learner() const { return learner_; }

  // The text of the files the broker is started with.
  static QString configuration(int port, const QString& folder, bool loopbackOnly = false);
  static QString accessList(const QString& room);
  // A password that is easy to read out and type: 8 letters and digits
  // without look-alikes.
  static QString newPassword();
  // A port no program listens on now, on every interface; 0 when none is found.
  static int freePort();
  // Where learners reach this machine: its first IPv4 address on a network
  // that is up, else the loopback address.
  static QString hostAddress();
  // The broker's program, found also where PATH does not reach (/usr/sbin).
  static QString program();

 signals:
  // The broker stopped on its own and could not be started again.
  void failed(const QString& why);

 private:
  bool launch(QString* why);

  QString room_;
  std::unique_ptr<QTemporaryDir> dir_;
  QProcess process_;
  int port_ = 0;
  Login teacher_, learner_;
  bool stopping_ = false;
  bool loopbackOnly_ = false;
  int restarts_ = 0;
};
