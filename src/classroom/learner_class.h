// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

#include "answers/answer_events.h"
#include "classroom/class_protocol.h"
#include "classroom/clock_offset.h"
#include "classroom/mqtt_client.h"
#include "engine/drill_events.h"

class ClassBanner;
class DrillPort;
class HistoryApi;

// A learner's side of a class. While in it, the panel follows the teacher's
// and is locked; the learner types answers as usual. Each problem comes
// with the moment its countdown began on the teacher's clock: mapped to this
// machine's monotonic clock through the estimated offset, the start button
// is pressed at exactly that moment, so the countdown and every number run
// on the teacher's schedule; the numbers are the teacher's, handed to the
// window as the draws it makes them from. Answers go to the teacher as they
// are typed and again as marked. Leaving, or the teacher closing the class,
// restores the learner's own settings.
class LearnerClass : public QObject, private DrillListener, public AnswerListener {
  Q_OBJECT
 public:
  struct Setup {
    BrokerAddress broker;  // the user, if any, comes from the address; "learner" otherwise
    QString room;
    QString name;
    QString password;
  };
  // Waiting: connected, the clock not yet estimated (or no teacher yet).
  enum class State { Connecting, Waiting, Ready, Left };

  LearnerClass(DrillPort& port, Setup setup, HistoryApi* history);
  ~LearnerClass() override;

  bool join(QString* why);
  // Says goodbye to the class and restores the learner's own settings.
  void leave(const QString& why = {});

  State state() const { return state_; }
  const Setup& setup() const { return setup_; }
  const ClockOffset& clock() const { return offset_; }
  const classproto::DropCounts& dropped() const { return dropped_; }
  // The class position of the problem on screen (0 before the first).
  int position() const { return position_; }

  // How the learner is told something in passing.
  std::function<void(const QString&)> notice;

  void onAnswerMarked(const MarkedAnswer& answer) override;
  void onAnswerCommitted(int problem, double typed) override;

 signals:
  void changed();
  // The class ended for this learner; why, for the learner.
  void left(const QString& why);

 private:
  void onDrillEvent(const DrillEvent& event) override;
  void onMessage(const QString& topic, const QByteArray& payload);
  void handle(const classproto::Message& m);
  void follow(const classproto::Message& problem);
  void applyTeacher(const DrillSettings& teacher);
  // A burst of clock questions, starting after afterMs.
  void askClock(int afterMs = 0);
  void sayReady();
  void sendAnswer(int problem, std::optional<qint64> typed, bool final);
  void publish(const char* what, const classproto::Message& m, int qos, bool retain = false);
  void setState(State s);
  void note(const QString& text);

  DrillPort& port_;
  Setup setup_;
  HistoryApi* history_;
  std::unique_ptr<MqttClient> client_;
  std::unique_ptr<ClassBanner> banner_;
  ClockOffset offset_;
  classproto::DropCounts dropped_;
  State state_ = State::Connecting;
  DrillSettings own_;                     // the learner's settings before the class
  std::optional<DrillSettings> teacher_;  // the teacher's last settings
  bool teacherOpen_ = false;
  QTimer clockTimer_;  // paces a burst of clock questions
  int asksLeft_ = 0;
  QTimer lostTimer_;    // gives up on a broker gone for long
  QTimer teacherGone_;  // gives up on a teacher gone for long
  std::uint64_t pendingStart_ = 0;
  bool pressing_ = false;  // the class itself presses start
  bool applying_ = false;  // the class itself sets the panel
  bool inRun_ = false;
  bool held_ = false;
  qint64 run_ = 0;
  int plan_ = 0;
  int firstIndex_ = 0;    // the teacher's index of this run's first problem
  int basePosition_ = 0;  // the class position of this run's first problem
  int position_ = 0;
};
