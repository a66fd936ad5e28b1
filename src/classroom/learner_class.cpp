// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/learner_class.h"

#include <QRandomGenerator>

#include "classroom/class_banner.h"
#include "classroom/class_numbers.h"
#include "host/drill_port.h"
#include "host/records.h"
#include "platform/clock.h"

using classproto::Message;
using Type = Message::Type;

namespace {

// Clock questions per burst, and their spacing.
constexpr int kAsks = 12;
constexpr int kAskEveryMs = 25;
// Without answers, a question now and then until the teacher is there.
constexpr int kRetryMs = 500;
// Outside a run, a burst every few seconds keeps the estimate fresh; after a
// series, one within the answer wait.
constexpr int kIdleEveryMs = 3000;
constexpr int kAfterSeriesMs = 1000;
// A problem whose start is this far gone when it arrives is left for the next.
constexpr qint64 kLatestStartNs = 1'000'000'000;
// A teacher gone this long has left the class.
constexpr int kTeacherBackMs = 10'000;
// A broker unreachable this long means the class is over.
constexpr int kGiveUpMs = 30'000;

}  // namespace

LearnerClass::LearnerClass(DrillPort& port, Setup setup, HistoryApi* history)
    : port_(port), setup_(std::move(setup)), history_(history) {
  connect(&clockTimer_, &QTimer::timeout, this, [this] {
    if (asksLeft_ <= 0) {  // the pause after a burst is over
      if (inRun_) {
        clockTimer_.stop();  // in a run, the next burst comes after the next series
        return;
      }
      asksLeft_ = kAsks;
    }
    clockTimer_.setInterval(kAskEveryMs);
    Message ask{.type = Type::ClockAsk, .from = setup_.name};
    ask.t1 = port_.clock().nowNs();
    publish("clock", ask, 0);
    // Then a pause: short until the teacher answers, longer once ready.
    if (--asksLeft_ <= 0) clockTimer_.setInterval(state_ == State::Ready ? kIdleEveryMs : kRetryMs);
  });
  teacherGone_.setSingleShot(true);
  teacherGone_.setInterval(kTeacherBackMs);
  connect(&teacherGone_, &QTimer::timeout, this,
          [this] { leave(QStringLiteral("先生との接続が切れたので、教室を離れました。")); });
  lostTimer_.setSingleShot(true);
  lostTimer_.setInterval(kGiveUpMs);
  connect(&lostTimer_, &QTimer::timeout, this,
          [this] { leave(QStringLiteral("教室との接続が切れたので、教室を離れました。")); });
}

LearnerClass::~LearnerClass() { leave(); }

bool LearnerClass::join(QString* why) {
  if (!classproto::validName(setup_.room) || !classproto::validName(setup_.name)) {
    *why = QStringLiteral(
        "a room's or learner's name is 1 to 32 characters without blanks, '/', '+' or '#'");
    return false;
  }
  own_ = port_.settings();
  MqttClient::Options o;
  o.broker = setup_.broker;
  if (o.broker.user.isEmpty()) o.broker.user = QStringLiteral("learner");
  if (!setup_.password.isEmpty()) o.broker.password = setup_.password;
  // The access list knows a learner by its client id: its name.
  o.clientId = setup_.name;
  o.subscriptions = classproto::learnerSubscriptions(setup_.room, setup_.name);
  o.will = MqttClient::Will{
      classproto::learnerTopic(setup_.room, setup_.name, "presence"),
      classproto::encode(Message{.type = Type::Presence, .from = setup_.name, .state = "gone"})};
  client_ = std::make_unique<MqttClient>(o);
  connect(client_.get(), &MqttClient::messageReceived, this, &LearnerClass::onMessage);
  connect(client_.get(), &MqttClient::connectedChanged, this, [this](bool up) {
    if (!up) {
      lostTimer_.start();
      emit changed();
      return;
    }
    lostTimer_.stop();
    if (state_ == State::Ready) {
      sayReady();
    } else {
      setState(State::Waiting);
      publish("presence", Message{.type = Type::Presence, .from = setup_.name, .state = "joined"},
              1, true);
    }
    askClock();
    emit changed();
  });
  connect(client_.get(), &MqttClient::refused, this, [this](const QString& reason) {
    // Out of libmosquitto's call before the client is stopped.
    QTimer::singleShot(0, this, [this, reason] {
      leave(QStringLiteral("教室に入れませんでした（%1）。名前とパスワードを確かめてください。")
                .arg(reason));
    });
  });
  banner_ = std::make_unique<ClassBanner>(port_, true);
  banner_->setText(QStringLiteral("教室「%1」に参加中（%2）：先生の画面に合わせて出題されます")
                       .arg(setup_.room, setup_.name));
  if (history_) history_->setContext({RecordContext::Kind::Class, setup_.room, 0});
  port_.subscribe(this);
  client_->start();
  lostTimer_.start();
  return true;
}

void LearnerClass::leave(const QString& why) {
  if (state_ == State::Left) return;
  const bool joined = client_ != nullptr;
  setState(State::Left);
  clockTimer_.stop();
  lostTimer_.stop();
  teacherGone_.stop();
  if (pendingStart_) port_.clock().cancelCall(pendingStart_);
  pendingStart_ = 0;
  if (!joined) return;
  port_.unsubscribe(this);
  publish("presence", Message{.type = Type::Presence, .from = setup_.name, .state = "left"}, 1,
          true);
  client_->stop();
  banner_.reset();
  if (history_) history_->setContext({});
  if (inRun_) port_.pressAbort();
  inRun_ = false;
  applying_ = true;
  port_.applySettings(own_);
  applying_ = false;
  if (!why.isEmpty()) note(why);
  emit left(why);
}

void LearnerClass::setState(State s) {
  if (s == state_) return;
  state_ = s;
  emit changed();
}

void LearnerClass::note(const QString& text) {
  if (notice) notice(text);
}

void LearnerClass::publish(const char* what, const Message& m, int qos, bool retain) {
  if (client_)
    client_->publish(classproto::learnerTopic(setup_.room, setup_.name, what),
                     classproto::encode(m), qos, retain);
}

// Ready, with the clock estimate for the board.
void LearnerClass::sayReady() {
  Message ready{.type = Type::Presence, .from = setup_.name, .state = "ready"};
  ready.offsetNs = offset_.offsetNs().value_or(0);
  ready.roundTripNs = std::max<qint64>(1, offset_.roundTripNs());
  publish("presence", ready, 1, true);
}

void LearnerClass::askClock(int afterMs) {
  asksLeft_ = kAsks;
  clockTimer_.start(std::max(afterMs, kAskEveryMs));
}

void LearnerClass::onMessage(const QString& topic, const QByteArray& payload) {
  // The answer's arrival is read first.
  const qint64 arrived = port_.clock().nowNs();
  const classproto::Decoded d = classproto::decode(setup_.room, topic, payload);
  if (!d.message) {
    dropped_.count(d.drop);
    return;
  }
  if (d.message->type == Type::ClockReply) {
    const Message& r = *d.message;
    offset_.add(r.t1, r.t2, r.t3, arrived);
    if (state_ != State::Ready && offset_.samples() >= kAsks / 2) {
      setState(State::Ready);
      sayReady();
    }
    return;
  }
  handle(*d.message);
}

void LearnerClass::handle(const Message& m) {
  switch (m.type) {
    case Type::Presence:
      if (m.state == QLatin1String("open")) {
        teacherOpen_ = true;
        teacherGone_.stop();
        if (state_ != State::Ready) askClock();
      } else if (m.state == QLatin1String("gone")) {
        // The broker also says so when it is itself restarted: a teacher back
        // in a moment is still the class.
        if (teacherOpen_ && !teacherGone_.isActive()) teacherGone_.start();
      } else if (teacherOpen_) {
        // A closed class met at joining is an old one: the learner waits for the next.
        QTimer::singleShot(0, this, [this] {
          leave(QStringLiteral("先生が教室を閉じたので、教室を離れました。"));
        });
      }
      break;
    case Type::Settings:
      teacher_ = m.settings;
      applyTeacher(m.settings);
      break;
    case Type::Problem:
      follow(m);
      break;
    case Type::Reveal:
      if (inRun_ && m.run == run_ && port_.settings().mode != AnswerMode::Automatic)
        port_.pressAnswer();
      break;
    case Type::Hold:
    case Type::Resume:
      if (!inRun_ || m.run != run_) break;
      // Held and resumed on the teacher's instant, so the timers restart on its grid.
      port_.clock().callAt(offset_.toLocal(m.atNs), [this, hold = m.type == Type::Hold] {
        if (inRun_ && held_ != hold) port_.pressHold();
      });
      break;
    case Type::Abort:
      if (inRun_ && m.run == run_) port_.pressAbort();
      break;
    default:
      break;
  }
}

// The panel as the teacher set it, with the learner's own colours and, in a
// run joined late, the problems that are left of it.
void LearnerClass::applyTeacher(const DrillSettings& teacher) {
  DrillSettings s = teacher;
  const DrillSettings mine = port_.settings();
  s.textColour = mine.textColour;
  s.backColour = mine.backColour;
  if (inRun_) s.runLength = std::max(1, teacher.runLength - firstIndex_);
  applying_ = true;
  port_.applySettings(s);
  applying_ = false;
}

void LearnerClass::follow(const Message& m) {
  if (inRun_ && m.run == run_) {
    // The teacher made the rest of the run again after a change of the panel.
    if (m.plan != plan_) {
      plan_ = m.plan;
      if (const auto draws = class_numbers::draws(port_.settings(), m.problems, m.run))
        port_.scriptDraws(*draws);
    }
    return;
  }
  if (inRun_) port_.pressAbort();  // a run this learner missed the end of
  if (state_ != State::Ready || !port_.canStart()) return;
  const qint64 start = offset_.toLocal(m.startNs);
  if (port_.clock().nowNs() - start > kLatestStartNs) return;  // joins the next problem
  DrillSettings s = m.settings;
  s.runLength = static_cast<int>(m.problems.size());
  applyTeacher(s);
  const auto draws = class_numbers::draws(port_.settings(), m.problems, m.run);
  if (!draws) return;
  run_ = m.run;
  plan_ = m.plan;
  firstIndex_ = m.index;
  basePosition_ = m.position;
  if (pendingStart_) port_.clock().cancelCall(pendingStart_);
  pendingStart_ = port_.clock().callAt(start, [this, draws = *draws] {
    pendingStart_ = 0;
    port_.scriptDraws(draws);
    pressing_ = true;
    port_.pressStart();
    pressing_ = false;
  });
}

void LearnerClass::onDrillEvent(const DrillEvent& e) {
  using K = DrillEvent::Kind;
  switch (e.kind) {
    case K::Started:
      if (!pressing_) {
        note(QStringLiteral("教室では、先生がスタートします。"));
        port_.pressAbort();
        break;
      }
      inRun_ = true;
      held_ = false;
      clockTimer_.stop();
      position_ = basePosition_;
      break;
    case K::CountdownEnded:
      if (inRun_) position_ = basePosition_ + e.index;
      break;
    case K::SeriesEnded:
      // Between problems, while nothing is timed but the wait; each learner
      // at its own moment, after the answers typed at once have gone.
      askClock(QRandomGenerator::global()->bounded(kAfterSeriesMs, 4 * kAfterSeriesMs));
      break;
    case K::Held:
      held_ = true;
      break;
    case K::Resumed:
      held_ = false;
      break;
    case K::RunEnded:
    case K::Aborted:
      inRun_ = false;
      askClock(kIdleEveryMs);
      break;
    case K::SettingsChanged:
      // Whatever moved the panel, the teacher's settings stay.
      if (!applying_ && teacher_ && port_.canStart()) applyTeacher(*teacher_);
      break;
    case K::Closed:
      leave();
      break;
    default:
      break;
  }
}

void LearnerClass::sendAnswer(int problem, std::optional<qint64> typed, bool final) {
  Message m{.type = Type::Answer, .from = setup_.name, .position = basePosition_ + problem};
  m.typed = typed;
  m.final = final;
  m.atNs = offset_.toTeacher(port_.clock().nowNs());
  publish("answer", m, 1);
}

void LearnerClass::onAnswerCommitted(int problem, double typed) {
  if (basePosition_ > 0) sendAnswer(problem, static_cast<qint64>(typed), false);
}

void LearnerClass::onAnswerMarked(const MarkedAnswer& a) {
  if (basePosition_ > 0)
    sendAnswer(a.problem, a.typed ? std::optional(static_cast<qint64>(*a.typed)) : std::nullopt,
               true);
}
