// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/teacher_class.h"

#include "classroom/class_numbers.h"
#include "classroom/private_broker.h"
#include "host/drill_port.h"
#include "host/records.h"
#include "platform/clock.h"

using classproto::Message;
using Type = Message::Type;

TeacherClass::TeacherClass(DrillPort& port, Setup setup, HistoryApi* history)
    : port_(port), setup_(std::move(setup)), history_(history) {
  board_.changed = [this] { emit changed(); };
}

TeacherClass::~TeacherClass() { close(); }

bool TeacherClass::open(QString* why) {
  if (!classproto::validName(setup_.room)) {
    *why = QStringLiteral("a room's name is 1 to 32 characters without blanks, '/', '+' or '#'");
    return false;
  }
  BrokerAddress address;
  if (setup_.broker) {
    address = *setup_.broker;
  } else {
    broker_ = std::make_unique<PrivateBroker>(setup_.room);
    if (!broker_->start(why)) return false;
    address.host = QStringLiteral("127.0.0.1");
    address.port = broker_->port();
    address.user = broker_->teacher().user;
    address.password = broker_->teacher().password;
    setup_.password = broker_->learner().password;
    connect(broker_.get(), &PrivateBroker::failed, this, [this] { emit changed(); });
  }
  MqttClient::Options o;
  o.broker = address;
  // Nobody can take over the teacher's session without knowing its name.
  o.clientId = QStringLiteral("teacher-%1").arg(random_.generate64(), 16, 16, QLatin1Char('0'));
  o.subscriptions = {classproto::learnersFilter(setup_.room)};
  o.will = MqttClient::Will{classproto::teacherTopic(setup_.room),
                            classproto::encode(Message{.type = Type::Presence, .state = "gone"})};
  client_ = std::make_unique<MqttClient>(o);
  connect(client_.get(), &MqttClient::messageReceived, this, &TeacherClass::onMessage);
  connect(client_.get(), &MqttClient::connectedChanged, this, [this](bool up) {
    if (up) {
      publish(classproto::teacherTopic(setup_.room),
              Message{.type = Type::Presence, .state = "open"}, 1, true);
      sendDrill(Message{.type = Type::Settings, .settings = port_.settings()}, true);
    }
    emit changed();
  });
  connect(client_.get(), &MqttClient::refused, this, [this](const QString&) { emit changed(); });
  client_->start();

  session_.id = newRecordId();
  session_.startedAt = QDateTime::currentDateTime();
  storeSession();
  if (history_) history_->setContext({RecordContext::Kind::Class, setup_.room, session_.id});
  port_.subscribe(this);
  open_ = true;
  return true;
}

void TeacherClass::close() {
  if (!open_) return;
  open_ = false;
  port_.unsubscribe(this);
  if (history_) history_->setContext({});
  storeSession();
  publish(classproto::teacherTopic(setup_.room), Message{.type = Type::Presence, .state = "closed"},
          1, true);
  client_->stop();
  if (broker_) broker_->stop();
  emit changed();
}

QString TeacherClass::address() const {
  if (!broker_) return setup_.broker ? setup_.broker->url() : QString();
  return QStringLiteral("mqtt://%1:%2").arg(PrivateBroker::hostAddress()).arg(broker_->port());
}

QString TeacherClass::joinLine() const {
  return QStringLiteral("%1 %2 %3")
      .arg(address(), setup_.room,
           setup_.password.isEmpty() ? QStringLiteral("-") : setup_.password);
}

void TeacherClass::publish(const QString& topic, const Message& m, int qos, bool retain) {
  if (client_) client_->publish(topic, classproto::encode(m), qos, retain);
}

void TeacherClass::sendDrill(Message m, bool retain) {
  publish(classproto::drillTopic(setup_.room), m, 1, retain);
}

bool TeacherClass::sameMaking(const DrillSettings& a, const DrillSettings& b) {
  return a.longest == b.longest && a.shortest == b.shortest && a.mix == b.mix && a.terms == b.terms;
}

// Makes the run's problems from `from` on under these settings and hands
// the teacher's window their draws.
void TeacherClass::plan(int from, const DrillSettings& settings) {
  Run& r = *run_;
  r.settings = settings;
  r.settings.runLength = std::clamp(settings.runLength, 1, 20);
  r.problems = r.problems.mid(0, from);
  r.problems += class_numbers::make(r.settings, r.settings.runLength - from,
                                    [this] { return class_numbers::gridDraw(random_.generate()); });
  ++r.plan;
  if (const auto draws = class_numbers::draws(r.settings, r.problems.mid(from), r.id))
    port_.scriptDraws(*draws);
}

void TeacherClass::sendProblem(int index, qint64 startNs) {
  const Run& r = *run_;
  if (index >= r.problems.size()) return;
  Message m{.type = Type::Problem, .settings = r.settings};
  m.run = r.id;
  m.index = index;
  m.position = r.base + index;
  m.plan = r.plan;
  m.startNs = startNs;
  m.problems = r.problems.mid(index);
  board_.problemStarted(m.position, r.problems[index]);
  sendDrill(m);
}

void TeacherClass::onDrillEvent(const DrillEvent& e) {
  using K = DrillEvent::Kind;
  switch (e.kind) {
    case K::Started: {
      run_ = Run{++lastRun_, nextPosition_, 0, e.settings, {}};
      plan(0, e.settings);
      nextPosition_ += static_cast<int>(run_->problems.size());
      sendProblem(0, e.timeNs);
      break;
    }
    case K::NextProblem:
      if (!run_) break;
      // The panel changed how numbers are made during the run: the rest is made again.
      if (!sameMaking(e.settings, run_->settings) ||
          e.settings.runLength > run_->settings.runLength) {
        plan(e.index, e.settings);
        nextPosition_ =
            std::max(nextPosition_, run_->base + static_cast<int>(run_->problems.size()));
      }
      sendProblem(e.index, e.timeNs);
      break;
    case K::SeriesEnded:
      if (run_) board_.problemTotal(run_->base + e.index, static_cast<qint64>(e.value));
      break;
    case K::AnswerRevealed:
      if (!run_) break;
      board_.revealed(run_->base + e.index);
      sendDrill(Message{.type = Type::Reveal, .run = run_->id, .index = e.index});
      storeMarks();
      break;
    case K::ColumnsShown:
      if (!run_) break;
      for (int k = 0; k < e.index; ++k) board_.revealed(run_->base + k);
      sendDrill(Message{.type = Type::Reveal, .run = run_->id, .index = std::max(0, e.index - 1)});
      storeMarks();
      break;
    case K::Held:
    case K::Resumed:
      if (run_)
        sendDrill(Message{.type = e.kind == K::Held ? Type::Hold : Type::Resume,
                          .run = run_->id,
                          .atNs = e.timeNs});
      break;
    case K::Aborted:
      if (run_) sendDrill(Message{.type = Type::Abort, .run = run_->id});
      break;
    case K::SettingsChanged:
      sendDrill(Message{.type = Type::Settings, .settings = e.settings}, true);
      break;
    case K::Closed:
      close();
      break;
    default:
      break;
  }
}

void TeacherClass::onMessage(const QString& topic, const QByteArray& payload) {
  // The clock is read first, before anything else delays the answer.
  const qint64 received = port_.clock().nowNs();
  const classproto::Decoded d = classproto::decode(setup_.room, topic, payload);
  if (!d.message) {
    dropped_.count(d.drop);
    emit changed();
    return;
  }
  const Message& m = *d.message;
  switch (m.type) {
    case Type::ClockAsk: {
      Message reply{.type = Type::ClockReply, .t1 = m.t1, .t2 = received};
      reply.t3 = port_.clock().nowNs();
      publish(classproto::clockTopic(setup_.room, m.from), reply, 0);
      break;
    }
    case Type::Presence: {
      using S = ClassBoard::State;
      const S state = m.state == QLatin1String("ready")  ? S::Ready
                      : m.state == QLatin1String("left") ? S::Left
                      : m.state == QLatin1String("gone") ? S::Gone
                                                         : S::Joined;
      board_.presence(m.from, state, m.offsetNs, m.roundTripNs);
      break;
    }
    case Type::Answer:
      board_.answer(m.from, m.position, m.typed, m.final, m.final ? -1 : received - m.atNs);
      if (m.final) storeMarks();
      break;
    default:
      break;
  }
}

// Every marked answer not yet in the teacher's history goes there.
void TeacherClass::storeMarks() {
  if (!history_) return;
  bool added = false;
  for (const ClassBoard::Learner& l : board_.learners())
    for (auto a = l.answers.cbegin(); a != l.answers.cend(); ++a) {
      const std::optional<ClassBoard::Mark> mark = board_.mark(l, a.key());
      const QString key = QStringLiteral("%1/%2").arg(a.key()).arg(l.name);
      if (!a->final || !mark || *mark == ClassBoard::Mark::Pending || stored_.contains(key))
        continue;
      const auto p =
          std::find_if(board_.problems().cbegin(), board_.problems().cend(),
                       [&](const ClassBoard::Problem& x) { return x.position == a.key(); });
      ClassAnswerRecord r{session_.id,
                          a.key(),
                          l.name,
                          p->total.value_or(0),
                          a->typed,
                          storedMarkName(ClassBoard::settled(*mark)),
                          a->latencyNs >= 0 ? a->latencyNs / 1e6 : -1};
      history_->putClassAnswer(r);
      stored_.insert(key);
      added = true;
    }
  if (added) storeSession();
}

void TeacherClass::storeSession() {
  if (!history_) return;
  int taking = 0;
  for (const ClassBoard::Learner& l : board_.learners()) taking += !l.answers.isEmpty();
  history_->putClass(ClassSessionRecord{session_.id, session_.startedAt, setup_.room,
                                        static_cast<int>(board_.problems().size()), taking});
}
