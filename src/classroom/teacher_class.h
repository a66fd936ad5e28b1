// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QObject>
#include <QRandomGenerator>
#include <QSet>
#include <memory>
#include <optional>

#include "classroom/class_board.h"
#include "classroom/class_protocol.h"
#include "classroom/mqtt_client.h"
#include "engine/drill_events.h"

class DrillPort;
class HistoryApi;
class PrivateBroker;

// The teacher's side of a class. The teacher's window is the normal window:
// its panel sets the drill and its start button starts every problem. At
// each start this makes the run's numbers, hands the teacher's own window
// the draws for them and sends the learners the problem with the moment its
// countdown began on the teacher's clock; it answers the learners' clock
// questions, forwards the reveal, hold and abort, gathers the answers on the
// board and keeps the class in the teacher's history.
class TeacherClass : public QObject, private DrillListener {
  Q_OBJECT
 public:
  struct Setup {
    QString room;
    std::optional<BrokerAddress> broker;  // a school's broker; none: one of our own
    QString password;  // with a school's broker, the learners' password to show, if any
  };

  // history may be null: the class then goes unrecorded.
  TeacherClass(DrillPort& port, Setup setup, HistoryApi* history);
  ~TeacherClass() override;

  // Starts the broker (unless a school's) and the connection; false with the reason.
  bool open(QString* why);
  // Tells the learners the class is over, then disconnects and stops the broker.
  void close();
  // How the teacher is told something in passing.
  std::function<void(const QString&)> notice;

  bool isOpen() const { return open_; }
  const QString& room() const { return setup_.room; }
  // What learners need: the broker's address, the room and its password.
  QString address() const;
  const QString& password() const { return setup_.password; }
  QString joinLine() const;
  qint64 sessionId() const { return session_.id; }

  const ClassBoard& board() const { return board_; }
  const classproto::DropCounts& dropped() const { return dropped_; }
  bool connected() const { return client_ && client_->connected(); }
  PrivateBroker* broker() const { return broker_.get(); }

 signals:
  // The board, the connection or the counts changed.
  void changed();

 private:
  struct Run {
    qint64 id = 0;
    int base = 0;  // the class position of its first problem
    int plan = 0;
    DrillSettings settings;
    QList<QList<qint64>> problems;
  };

  void onDrillEvent(const DrillEvent& event) override;
  void onMessage(const QString& topic, const QByteArray& payload);
  void publish(const QString& topic, const classproto::Message& m, int qos, bool retain = false);
  void sendDrill(classproto::Message m, bool retain = false);
  void plan(int from, const DrillSettings& settings);
  void sendProblem(int index, qint64 startNs);
  void storeMarks();
  void storeSession();
  static bool sameMaking(const DrillSettings& a, const DrillSettings& b);

  DrillPort& port_;
  Setup setup_;
  HistoryApi* history_;
  std::unique_ptr<PrivateBroker> broker_;
  std::unique_ptr<MqttClient> client_;
  ClassBoard board_;
  classproto::DropCounts dropped_;
  std::optional<Run> run_;
  int nextPosition_ = 1;
  qint64 lastRun_ = 0;
  struct {
    qint64 id = 0;
    QDateTime startedAt;
  } session_;
  QSet<QString> stored_;  // learner and position of the answers already in the history
  QRandomGenerator random_{QRandomGenerator::securelySeeded()};
  bool open_ = false;
};
