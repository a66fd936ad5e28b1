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

  void start(const QString& dir, const QStringList& args, qint64 offset = 0,
             const QString& typing = "none") {
    offsetNs = offset;
    process.setEnvironment(QProcess::systemEnvironment()
                           << "PELATTO_TEST_CLOCK_OFFSET_NS=" + QString::number(offset));
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] {
      while (process.canReadLine()) lines << QString::fromUtf8(process.readLine()).trimmed();
    });
    process.start(QCoreApplication::applicationDirPath() + "/class_member",
                  QStringList{"--data", dir, "--type", typing, "--"} + args);
  }
  void send(const QString& command) { process.write((command + "\n").toUtf8()); }
  bool quit() { return send("quit"), process.waitForFinished(10000); }
  QStringList starting(const QString& p) const { return lines.filter(QRegularExpression("^" + p)); }
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
    QTest::addColumn<QString>("panel");  // longest, shortest, terms, mix
    QTest::newRow("one digit") << "hscl1=1 hscl2=1 hscl6=5 hscl3=0";
    QTest::newRow("a mix of 3 to 7") << "hscl1=7 hscl2=3 hscl6=9 hscl3=4";
    QTest::newRow("neighbouring counts, all shorter") << "hscl1=5 hscl2=4 hscl6=6 hscl3=6";
    QTest::newRow("14 digits, mixed") << "hscl1=14 hscl2=1 hscl6=30 hscl3=10";
  }
  void numbersThroughTheWindow() {
    QFETCH(QString, panel);
    Harness h;
    h.play(panel + " hscl5=10 hscl7=3");
    std::mt19937 random(qHash(panel));
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
    h.play("cmdStart 200000");
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
      QString allowed;
      for (const QKeySequence& k :
           QKeySequence::listFromString("5; Return; Shift+F10; F5; Space; Ctrl+R"))
        allowed += QString::number(ClassBanner::keyAllowed(k[0].key(), k[0].keyboardModifiers()));
      QCOMPARE(allowed, "111000");
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
                   "--password", password});
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
    QVERIFY(teacher.quit());
    for (Member& l : learners) {
      QTRY_VERIFY_WITH_TIMEOUT(!l.starting("L left").isEmpty(), 10000);
      QVERIFY(l.quit());
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
