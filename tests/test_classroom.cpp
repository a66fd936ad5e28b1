// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProcess>
#include <QTemporaryDir>
#include <random>

#include "classroom/class_banner.h"
#include "classroom/class_numbers.h"
#include "classroom/class_protocol.h"
#include "classroom/mqtt_client.h"
#include "classroom/private_broker.h"
#include "harness.h"
#include "history/class_records.h"
#include "history/history_store.h"
#include "shell/window_port.h"

// A class as it runs: the teacher's numbers through the window's own number
// making, then a teacher and three learners as separate processes on a real
// Mosquitto, the learners' clocks set off on purpose, the broker restarted in
// the middle of a run and hostile messages sent to the teacher.

namespace {

// One member of the class: tests/class_member and the lines it prints.
struct Member {
  QProcess process;
  QStringList lines;
  qint64 offsetNs = 0;

  void start(const QString& dir, const QStringList& args, qint64 offset,
             const QString& typing = "none") {
    offsetNs = offset;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PELATTO_TEST_CLOCK_OFFSET_NS", QString::number(offset));
    process.setProcessEnvironment(env);
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] {
      while (process.canReadLine()) lines << QString::fromUtf8(process.readLine()).trimmed();
    });
    process.start(QCoreApplication::applicationDirPath() + "/class_member",
                  QStringList{"--data", dir, "--type", typing, "--"} + args);
  }
  void send(const QString& command) { process.write((command + "\n").toUtf8()); }
  QStringList starting(const QString& prefix) const {
    return lines.filter(QRegularExpression("^" + prefix));
  }
  // The last board line's field k (learners, ready, answers, dropped, finals).
  int board(int k) const {
    const QStringList b = starting("B ");
    return b.isEmpty() ? 0 : b.last().split(' ').value(k + 1).toInt();
  }
  // Every number shown: its value and when it was due, on the shared clock.
  QList<QPair<qint64, qint64>> numbers() const {
    QList<QPair<qint64, qint64>> out;
    for (const QString& l : starting("E NumberShown "))
      out << qMakePair(l.split(' ')[3].toLongLong(), l.split(' ')[4].toLongLong() - offsetNs);
    return out;
  }
};

}  // namespace

class ClassroomTest : public QObject {
  Q_OBJECT
 private slots:
  // The teacher's numbers, as draws, give exactly those numbers in a window.
  void numbersThroughTheWindow_data() {
    QTest::addColumn<QList<int>>("panel");  // longest, shortest, mix, terms
    QTest::newRow("one digit") << QList<int>{1, 1, 0, 5};
    QTest::newRow("a mix of 3 to 7") << QList<int>{7, 3, 4, 9};
    QTest::newRow("neighbouring counts, all shorter") << QList<int>{5, 4, 6, 6};
    QTest::newRow("14 digits, mixed") << QList<int>{14, 1, 10, 30};
  }
  void numbersThroughTheWindow() {
    QFETCH(QList<int>, panel);
    Harness h;
    h.play(QString::asprintf("hscl1=%d hscl2=%d hscl6=%d hscl3=%d hscl5=10 hscl7=3", panel[0],
                             panel[1], panel[3], panel[2]));
    std::mt19937 random(panel[0] * 100 + panel[2]);
    const DrillSettings s = h->currentSettings();
    const QList<QList<qint64>> problems =
        class_numbers::make(s, 3, [&] { return class_numbers::gridDraw(random()); });
    h->rnd.script(*class_numbers::draws(s, problems, 1));
    struct : DrillListener {
      QList<qint64> shown;
      void onDrillEvent(const DrillEvent& e) override {
        if (e.kind == DrillEvent::Kind::NumberShown) shown << static_cast<qint64>(e.value);
      }
    } numbers;
    h->events.subscribe(&numbers);
    Harness::click(h->cmdStart);
    h.clock.advance(200'000);
    QCOMPARE(numbers.shown, problems[0] + problems[1] + problems[2]);
  }

  // In a class a learner's panel takes no clicks and the drill's keys do
  // nothing; digits, Backspace, Enter and the menu still reach the window.
  void lockedPanel() {
    Harness h;
    {
      WindowPort port(*h.f);
      ClassBanner banner(port, true);
      Harness::click(h->cmdStart);
      QTest::keyClick(h->hscl6.bar(), Qt::Key_Right);
      QVERIFY(!h->tmr1.running());
      QCOMPARE(h->kazu, 5);
      const auto allowed = [](Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return ClassBanner::keyAllowed(key, m);
      };
      QVERIFY(allowed(Qt::Key_5) && allowed(Qt::Key_Return) &&
              allowed(Qt::Key_F10, Qt::ShiftModifier));
      QVERIFY(!allowed(Qt::Key_F5) && !allowed(Qt::Key_Space) &&
              !allowed(Qt::Key_R, Qt::ControlModifier));
    }
    Harness::click(h->cmdStart);  // out of the class, the same click starts
    QVERIFY(h->tmr1.running());
  }

  void classOfFour() {
    QTemporaryDir dir;
    PrivateBroker broker("room");
    broker.setLoopbackOnly(true);
    QString why;
    QVERIFY2(broker.start(&why), qPrintable(why));
    const QString url = QString("mqtt://127.0.0.1:%1").arg(broker.port());
    const QString password = broker.learner().password;
    const auto login = [&](const QString& user, const QString& pass) {
      return QString("mqtt://%1:%2@127.0.0.1:%3").arg(user, pass).arg(broker.port());
    };

    Member teacher, learners[3];
    teacher.start(dir.filePath("teacher"),
                  {"--teach", "room", "--broker", login("teacher", broker.teacher().password),
                   "--password", password},
                  0);
    const qint64 offsets[] = {3'700'000'000, -2'300'000'000, 250'000'123};
    for (int k = 0; k < 3; ++k)
      learners[k].start(dir.filePath(QString("learner%1").arg(k)),
                        {"--join", url, "--room", "room", "--name", QString("L%1").arg(k),
                         "--password", password},
                        offsets[k], k == 2 ? "wrong" : "right");
    QTRY_COMPARE_WITH_TIMEOUT(teacher.board(1), 3, 20000);
    teacher.send("settings longest=2 shortest=2 terms=3 pace=10 runLength=2 answerMode=automatic");
    teacher.send("start");

    // The broker goes while the first series flashes, so the learners'
    // answers are typed with no broker; it is back two seconds later.
    QTRY_VERIFY2_WITH_TIMEOUT(!teacher.starting("E NumberShown").isEmpty(),
                              qPrintable(teacher.lines.join('\n')), 20000);
    broker.stop();
    QTest::qWait(2000);
    QVERIFY2(broker.restart(&why), qPrintable(why));

    // Hostile messages from a learner's login: each dropped and counted.
    MqttClient::Options o;
    o.broker = *parseBrokerUrl(login("learner", password)), o.clientId = "mallory";
    MqttClient mallory(o);
    mallory.start();
    QTRY_VERIFY_WITH_TIMEOUT(mallory.connected(), 10000);
    const QString own = classproto::learnerTopic("room", "mallory", "answer");
    const QByteArray answer =
        R"({"v":1,"type":"answer","from":"L0","position":1,"final":true,"at":"0","typed":1})";
    mallory.publish(own, answer, 1);  // in another's name
    mallory.publish(own, "{]", 1);
    mallory.publish(own, QByteArray(answer).replace("\"v\":1", "\"v\":9"), 1);
    mallory.publish(own, QByteArray(40'000, 'x'), 1);
    mallory.publish(classproto::drillTopic("room"), "{}", 1);  // refused by the broker
    QTRY_COMPARE_WITH_TIMEOUT(teacher.board(3), 4, 10000);

    QTRY_VERIFY_WITH_TIMEOUT(!teacher.starting("E RunEnded").isEmpty(), 60000);
    QTRY_COMPARE_WITH_TIMEOUT(teacher.board(4), 6, 10000);
    teacher.send("answers");
    teacher.send("csv " + dir.filePath("board.csv"));
    QTRY_VERIFY_WITH_TIMEOUT(!teacher.starting("C ").isEmpty(), 10000);
    const QStringList answers = teacher.starting("A L");
    QCOMPARE(answers.size(), 6);
    for (const QString& a : answers) QCOMPARE(a.split(' ')[4], a.startsWith("A L2") ? "2" : "1");
    QCOMPARE(teacher.starting("C ").first(), "C 1");

    // Every learner showed the teacher's numbers, each due within 1 ms of the teacher's.
    const QList<QPair<qint64, qint64>> expected = teacher.numbers();
    QCOMPARE(expected.size(), 6);
    for (Member& l : learners) {
      QList<QPair<qint64, qint64>> seen = l.numbers();
      for (qsizetype k = 0; k < std::min(seen.size(), expected.size()); ++k)
        if (std::abs(seen[k].second - expected[k].second) <= 1'000'000)
          seen[k].second = expected[k].second;
      QCOMPARE(seen, expected);
    }

    // Leaving: the teacher closes, the learners are told and leave.
    teacher.send("quit");
    QVERIFY(teacher.process.waitForFinished(10000));
    for (Member& l : learners) {
      QTRY_VERIFY_WITH_TIMEOUT(!l.starting("L left").isEmpty(), 10000);
      l.send("quit");
      QVERIFY(l.process.waitForFinished(10000));
    }

    // The class in the teacher's history and in the learners'.
    const HistoryStore taught(dir.filePath("teacher/history.sqlite"));
    const QList<ClassSessionRecord> sessions = class_records::sessions(taught.database());
    QCOMPARE(sessions.size(), 1);
    QCOMPARE(class_records::answers(taught.database(), sessions[0].id).size(), 6);
    for (const char* who : {"teacher", "learner0"}) {
      const QList<ProblemRecord> p =
          HistoryStore(dir.filePath(who) + "/history.sqlite").problems({});
      QCOMPARE(p.size(), 2);
      QCOMPARE(p[0].kind, RecordContext::Kind::Class);
      QCOMPARE(p[1].mark, QString(who) == "teacher" ? ProblemRecord::Mark::None
                                                    : ProblemRecord::Mark::Correct);
    }
  }
};

PELATTO_TEST_MAIN(ClassroomTest)
#include "test_classroom.moc"
