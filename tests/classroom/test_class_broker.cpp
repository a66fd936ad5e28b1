// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "classroom/class_protocol.h"
#include "classroom/mqtt_client.h"
#include "classroom/private_broker.h"
#include "rows.h"

// The class's transport against a real Mosquitto, started as the teacher's
// program starts its own (here on the loopback interface): the password and
// the access list, QoS 1 on persistent sessions across the teacher's absence
// and a restart of the broker, and the last will of a learner that vanishes.

using namespace classproto;

namespace {

const QString kRoom = QStringLiteral("room");

// Everything one client received, in order, each message once: at QoS 1 a
// message the broker did not see acknowledged before a restart comes again.
struct Inbox {
  QStringList topics;
  QList<QByteArray> payloads;
  bool has(const QByteArray& payload) const { return payloads.contains(payload); }
  void take(const QString& t, const QByteArray& p) { has(p) || (topics << t, payloads << p, 1); }
};
using Client = std::pair<std::unique_ptr<MqttClient>, Inbox*>;

}  // namespace

class ClassBrokerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<PrivateBroker> broker_;
  std::vector<std::unique_ptr<Inbox>> inboxes_;

  // A started client, and what it receives.
  Client client(const QString& id, const PrivateBroker::Login& login, const QStringList& subs) {
    MqttClient::Options o;
    o.broker.host = "127.0.0.1", o.broker.port = broker_->port();
    o.broker.user = login.user, o.broker.password = login.password;
    o.clientId = id, o.subscriptions = subs;
    auto c = std::make_unique<MqttClient>(o);
    Inbox* box = inboxes_.emplace_back(std::make_unique<Inbox>()).get();
    connect(c.get(), &MqttClient::messageReceived, this, std::bind_front(&Inbox::take, box));
    c->start();
    return {std::move(c), box};
  }

 private slots:
  void initTestCase() {
    broker_ = std::make_unique<PrivateBroker>(kRoom);
    broker_->setLoopbackOnly(true);
    QString why;
    QVERIFY2(broker_->start(&why), qPrintable(why));
  }
  void cleanupTestCase() { broker_.reset(); }

  // Who may publish where, as an observer with every right sees it: a
  // refused message is checked by a permitted one sent after it.
  void accessList_data() {
    columns<bool, QString, bool>("asTeacher", "topic", "delivered");
    QTest::newRow("the teacher's drill") << true << drillTopic(kRoom) << true;
    QTest::newRow("a learner's drill") << false << drillTopic(kRoom) << false;
    QTest::newRow("a learner as the teacher") << false << teacherTopic(kRoom) << false;
    QTest::newRow("its own answer") << false << learnerTopic(kRoom, "ken", "answer") << true;
    QTest::newRow("another's answer") << false << learnerTopic(kRoom, "amy", "answer") << false;
    QTest::newRow("another's clock answer") << false << clockTopic(kRoom, "amy") << false;
  }
  void accessList() {
    auto [asTeacher, topic] = fetch<bool, QString>("asTeacher", "topic");
    const auto [observer, seen] = client("observer", broker_->teacher(), {"pelatto/room/#"});
    // A learner subscribed to everything still reads only what is meant for it.
    const auto [learnerAmy, amy] = client("amy", broker_->learner(), {"pelatto/room/#"});
    const auto& login = asTeacher ? broker_->teacher() : broker_->learner();
    const auto sender = client(asTeacher ? "teacher" : "ken", login, {}).first;
    QTRY_VERIFY_WITH_TIMEOUT(
        observer->connected() && learnerAmy->connected() && sender->connected(), 10000);
    QTest::qWait(100);  // the subscriptions are in place
    QVERIFY(sender->publish(topic, "probe", 1));
    QVERIFY(sender->publish(learnerTopic(kRoom, "ken", "presence"), "marker", 1));
    if (asTeacher) QVERIFY(sender->publish(drillTopic(kRoom), "marker", 1));
    QTRY_VERIFY_WITH_TIMEOUT(seen->has("marker"), 10000);
    QTEST(seen->has("probe"), "delivered");
    QVERIFY(!amy->topics.contains(learnerTopic(kRoom, "ken", "presence")));
    if (asTeacher) QTRY_VERIFY_WITH_TIMEOUT(amy->has("probe"), 10000);
  }

  void wrongPassword() {
    const auto c = client("ken", {"learner", "not-the-password"}, {}).first;
    QSignalSpy refused(c.get(), &MqttClient::refused);
    QVERIFY(refused.wait(10000));
    QVERIFY(!c->connected());
  }

  // Answers sent while the teacher is away wait for it at the broker; those
  // sent while the broker restarts wait in the learner and go out when it is
  // back; nothing is lost, and a learner that vanishes is told by its will.
  void nothingLost() {
    const auto [teacher, inbox] = client("teacher-1", broker_->teacher(), {learnersFilter(kRoom)});
    const auto ken = client("ken", broker_->learner(), {}).first;
    QTRY_VERIFY_WITH_TIMEOUT(teacher->connected() && ken->connected(), 10000);
    QTest::qWait(100);
    const QString answers = learnerTopic(kRoom, "ken", "answer");

    teacher->stop();
    for (const char* a : {"a1", "a2", "a3"}) QVERIFY(ken->publish(answers, a, 1));
    QTRY_COMPARE_WITH_TIMEOUT(ken->unacknowledged(), 0, 10000);
    teacher->start();
    QTRY_VERIFY_WITH_TIMEOUT(inbox->has("a3"), 10000);

    broker_->stop();
    QTRY_VERIFY_WITH_TIMEOUT(!ken->connected() && !teacher->connected(), 10000);
    for (const char* a : {"b1", "b2"}) QVERIFY(ken->publish(answers, a, 1));
    QVERIFY(ken->unacknowledged() == 2);
    QString why;
    QVERIFY2(broker_->restart(&why), qPrintable(why));
    QTRY_VERIFY_WITH_TIMEOUT(inbox->has("b2"), 15000);
    QCOMPARE(inbox->payloads, (QList<QByteArray>{"a1", "a2", "a3", "b1", "b2"}));

    // A learner's program that dies: mosquitto_sub stands in for it.
    QProcess sue;
    sue.start(
        "mosquitto_sub",
        {"-h", "127.0.0.1", "-p", QString::number(broker_->port()), "-u", "learner", "-P",
         broker_->learner().password, "-i", "sue", "-t", drillTopic(kRoom), "--will-topic",
         learnerTopic(kRoom, "sue", "presence"), "--will-payload", "gone", "--will-qos", "1"});
    QVERIFY(sue.waitForStarted());
    QTest::qWait(500);
    sue.kill(), sue.waitForFinished();
    QTRY_VERIFY_WITH_TIMEOUT(inbox->has("gone"), 10000);
  }
};

QTEST_GUILESS_MAIN(ClassBrokerTest)
#include "test_class_broker.moc"
