// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "classroom/class_board.h"
#include "classroom/class_protocol.h"
#include "classroom/clock_offset.h"
#include "rows.h"

// The classroom's rules without a broker or a window: the messages and what
// is dropped, the clock offset from four timestamps, and the teacher's board.

using namespace classproto;
using Type = Message::Type;
using Exchanges = QList<QList<qint64>>;  // up, down, teacher's own time (µs)
Q_DECLARE_METATYPE(Message)

namespace {

const QString kRoom = QStringLiteral("4年2組");

Message problem() {
  Message m{.type = Type::Problem, .run = 7, .index = 1, .position = 12, .plan = 2};
  m.startNs = 9'007'199'254'740'993, m.problems = {{123, 45, 678}, {99999999999999, 10, 1}};
  m.settings.longest = 3, m.settings.shortest = 2, m.settings.mix = 1, m.settings.terms = 3;
  m.settings.pace = 10, m.settings.runLength = 3, m.settings.mode = AnswerMode::Later;
  return m;
}

}  // namespace

class ClassRulesTest : public QObject {
  Q_OBJECT
 private slots:
  // Every type comes back as it went, times beyond a double's precision included.
  void roundTrip_data() {
    columns<QString, Message>("topic", "message");
    const QString ken = QStringLiteral("けん");
    Message presence{.type = Type::Presence, .from = ken, .state = "ready"};
    presence.offsetNs = -1'234'567'890'123, presence.roundTripNs = 250'000;
    Message answer{.type = Type::Answer, .from = ken, .position = 3, .atNs = 5, .final = true};
    const Message unanswered = answer;
    answer.typed = 1'234'567'890'123'456;
    Message reply{.type = Type::ClockReply, .t1 = 1, .t2 = -2, .t3 = 3};
    QTest::newRow("problem") << drillTopic(kRoom) << problem();
    QTest::newRow("settings") << drillTopic(kRoom)
                              << Message{.type = Type::Settings, .settings = problem().settings};
    QTest::newRow("hold") << drillTopic(kRoom) << Message{.type = Type::Hold, .run = 3, .atNs = 42};
    QTest::newRow("teacher gone") << teacherTopic(kRoom)
                                  << Message{.type = Type::Presence, .state = "gone"};
    QTest::newRow("ready") << learnerTopic(kRoom, ken, "presence") << presence;
    QTest::newRow("answer") << learnerTopic(kRoom, ken, "answer") << answer;
    QTest::newRow("no answer") << learnerTopic(kRoom, ken, "answer") << unanswered;
    QTest::newRow("clock reply") << clockTopic(kRoom, ken) << reply;
  }
  void roundTrip() {
    auto [topic, message] = fetch<QString, Message>("topic", "message");
    const Decoded d = decode(kRoom, topic, encode(message));
    QCOMPARE(std::pair(d.drop, d.message), std::pair(Drop::None, std::optional(message)));
  }

  // Whatever a hostile or broken client sends is dropped, and counted by why.
  void dropped() {
    const QString ofKen = learnerTopic(kRoom, "ken", "answer");
    const QString drill = drillTopic(kRoom);
    const QByteArray answer =
        R"({"v":1,"type":"answer","from":"ken","position":1,"final":false,"at":"5","typed":12})";
    const auto answerWith = [&](const char* from, const char* to) {
      return QByteArray(answer).replace(from, to);
    };
    const auto problemWith = [](const char* from, const char* to) {
      return encode(problem()).replace(from, to);
    };
    const auto check = [](const char* name, const QString& topic, const QByteArray& p, Drop drop) {
      const Decoded d = decode(kRoom, topic, p);
      QCOMPARE(std::tuple(QString(name), int(d.drop), d.message.has_value()),
               std::tuple(QString(name), int(drop), drop == Drop::None));
    };
    check("well formed", ofKen, answer, Drop::None);
    check("not JSON", ofKen, "{\"v\":1,", Drop::Malformed);
    check("an array", ofKen, "[1]", Drop::Malformed);
    check("oversized", ofKen, QByteArray(answer).append(kMaxBytes, ' '), Drop::Oversized);
    check("version 2", ofKen, answerWith("\"v\":1", "\"v\":2"), Drop::UnknownVersion);
    check("no version", ofKen, answerWith("\"v\":1,", ""), Drop::UnknownVersion);
    check("unknown type", ofKen, answerWith("answer", "score"), Drop::Malformed);
    check("in another's name", ofKen, answerWith("\"ken\"", "\"amy\""), Drop::Impersonating);
    check("a learner's drill", ofKen, problemWith("\"index\"", "\"from\":\"ken\",\"index\""),
          Drop::Impersonating);
    check("a learner as the teacher", drill,
          R"({"v":1,"type":"abort","from":"ken","run":1,"index":0})", Drop::Impersonating);
    check("an answer on the drill topic", drill, answerWith(",\"from\":\"ken\"", ""),
          Drop::Malformed);
    check("another room", "pelatto/other/learner/ken/answer", answer, Drop::Malformed);
    check("a fractional answer", ofKen, answerWith("12}", "1.5}"), Drop::Malformed);
    check("a time as a number", ofKen, answerWith("\"5\"", "5"), Drop::Malformed);
    check("a 15-digit number", drill, problemWith("678", "100000000000000"), Drop::Malformed);
    check("a mix above the terms", drill, problemWith("\"mix\":1", "\"mix\":4"), Drop::Malformed);
    check("problems beyond the run", drill, problemWith("\"run\":3", "\"run\":2"), Drop::Malformed);
    check("a presence it cannot have", learnerTopic(kRoom, "ken", "presence"),
          R"({"v":1,"type":"presence","from":"ken","state":"open"})", Drop::Malformed);
    check("a name with a wildcard", QString("pelatto/%1/learner/k+n/answer").arg(kRoom),
          answerWith("ken", "k+n"), Drop::Malformed);
  }

  // Uneven delays: the exchange with the smallest round trip is trusted, so
  // the estimate is off by at most half of that round trip, and exact when
  // its two ways took equally long. Old exchanges are forgotten.
  void clockOffset_data() {
    // of the estimate, µs
    columns<Exchanges, qint64, qint64>("exchanges", "error", "roundTrip");
    QTest::newRow("symmetric") << Exchanges{{300, 300, 10}} << 0LL << 600LL;
    QTest::newRow("the quickest of uneven ones")
        << Exchanges{{4000, 900, 5}, {250, 150, 3000}, {900, 5000, 1}} << 50LL << 400LL;
    QTest::newRow("a slow link's lucky exchange")
        << Exchanges{{35000, 21000, 0}, {5200, 5000, 0}, {30000, 9000, 0}} << 100LL << 10200LL;
    Exchanges stale{{10, 10, 0}};
    for (int k = 0; k < int(ClockOffset::kKept); ++k) stale << QList<qint64>{700, 500, 0};
    QTest::newRow("a stale quick one forgotten") << stale << 100LL << 1200LL;
  }
  void clockOffset() {
    QFETCH(Exchanges, exchanges);
    const qint64 offset = 987'654'321'000, us = 1000;  // the teacher's clock is ahead
    ClockOffset c;
    qint64 t = 1'000'000'000;
    for (const QList<qint64>& e : exchanges) {
      const qint64 t1 = t, t2 = t1 + e[0] * us + offset, t3 = t2 + e[2] * us;
      QVERIFY(c.add(t1, t2, t3, t3 - offset + e[1] * us));
      t += 50'000'000;
    }
    QVERIFY(!c.add(t, t + offset, t + offset - 1, t + 1));  // the teacher answered before asking
    QTEST((c.offsetNs().value_or(0) - offset) / us, "error");
    QTEST(c.roundTripNs() / us, "roundTrip");
    QCOMPARE(c.toLocal(c.toTeacher(t)), t);
  }

  // Three learners through two problems: answers live and final, marks only
  // after the reveal, one who joined late, one who left; tally, ranking, CSV.
  void board() {
    ClassBoard b;
    int changes = 0;
    b.changed = [&] { ++changes; };
    b.presence("amy", ClassBoard::State::Ready, 5, 400);
    b.presence("ken", ClassBoard::State::Ready);
    b.problemStarted(1, {12, 30}), b.problemTotal(1, 42);
    b.answer("amy", 1, 42, false, 3'000'000);
    b.answer("ken", 1, 41, false, -1);
    QCOMPARE(b.mark(*b.learner("amy"), 1), std::optional(ClassBoard::Mark::Pending));
    b.answer("ken", 1, 40, true, -1);
    b.answer("ken", 1, 41, false, -1);  // a late copy of the answer typed before
    b.revealed(1);
    b.presence("sue, jr", ClassBoard::State::Joined);
    b.problemStarted(2, {5, 5}), b.problemTotal(2, 10);
    b.answer("amy", 2, 10, true, -1);
    b.answer("ken", 2, std::nullopt, true, -1);
    b.answer("sue, jr", 2, 10, true, 1'500'000);
    b.presence("ken", ClassBoard::State::Gone), b.revealed(2);

    QCOMPARE(b.tally(2).correct * 100 + b.tally(2).wrong * 10 + b.tally(2).unanswered, 201);
    QStringList ranking;
    for (const ClassBoard::Rank& r : b.ranking())
      ranking << QString("%1 %2 %3/%4").arg(r.rank).arg(r.name).arg(r.correct).arg(r.answered);
    QCOMPARE(ranking, QStringList({"1 amy 2/2", "2 sue, jr 1/1", "3 ken 0/1"}));
    QCOMPARE(b.answersReceived(), 5);
    QCOMPARE(b.learner("ken")->state, ClassBoard::State::Gone);
    QCOMPARE(b.csv(),
             "position,numbers,total,learner,answer,mark,board_delay_ms\r\n"
             "1,12 30,42,amy,42,correct,3.0\r\n"
             "1,12 30,42,ken,40,wrong,\r\n"
             "2,5 5,10,amy,10,correct,\r\n"
             "2,5 5,10,ken,,none,\r\n"
             "2,5 5,10,\"sue, jr\",10,correct,1.5\r\n");
    QVERIFY(changes >= 16);
  }
};

QTEST_GUILESS_MAIN(ClassRulesTest)
#include "test_class_rules.moc"
