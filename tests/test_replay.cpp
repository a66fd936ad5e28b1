#include <QSettings>
#include <QTemporaryDir>

#include "harness.h"
#include "history/history.h"
#include "history/replay_draws.h"
#include "settings/remembered_settings.h"
#include "settings/remembered_values.h"
#include "shell/drill_port.h"

// A recorded problem flashed again: the draws worked out from its numbers
// make exactly those numbers through the window's own number making.

namespace {

// Random panel settings with a mix in most of them.
QString randomPanel(QRandomGenerator& g) {
  const int longest = g.bounded(1, 15), shortest = g.bounded(1, longest + 1);
  const int terms = g.bounded(2, 31);
  return QStringLiteral("hscl6=%1 hscl1=%2 hscl2=%3 hscl3=%4")
      .arg(terms)
      .arg(longest)
      .arg(shortest)
      .arg(g.bounded(0, terms + 1));
}

struct Numbers : DrillListener {
  QList<qint64> shown;
  int ended = 0;
  void onDrillEvent(const DrillEvent& e) override {
    if (e.kind == DrillEvent::Kind::NumberShown) shown << static_cast<qint64>(e.value);
    if (e.kind == DrillEvent::Kind::SeriesEnded) ++ended;
  }
};

}  // namespace

class ReplayTest : public QObject {
  Q_OBJECT
 private slots:
  // Many random panels and seeds: the worked-out draws give back the very
  // numbers, and every one of them is used.
  void drawsGiveTheSameNumbers() {
    Harness h;
    QRandomGenerator g(20261207);
    for (int round = 0; round < 400; ++round) {
      h.play(randomPanel(g));
      const QList<qint64> numbers = makeProblem(*h.f);
      const auto draws = replayDraws(DrillPort(*h.f).settings(), numbers);
      QVERIFY2(draws, qPrintable(QString::number(round)));
      h->rnd.script(*draws);
      QCOMPARE(makeProblem(*h.f), numbers);
      QVERIFY(!h->rnd.scripted());
    }
  }

  // Numbers the making rule cannot give are refused, not replayed wrongly.
  void impossibleNumbers_data() {
    QTest::addColumn<QString>("panel");  // longest, shortest, mix
    QTest::addColumn<QList<qint64>>("numbers");
    QTest::newRow("a shorter number without a mix") << "3 1 0" << QList<qint64>{123, 45, 678};
    QTest::newRow("mix of two but one shorter") << "3 1 2" << QList<qint64>{123, 4, 678};
    QTest::newRow("two of the shortest count") << "4 2 2" << QList<qint64>{12, 34, 5678};
    QTest::newRow("14 digits off the draw grid")
        << "14 14 0" << QList<qint64>{10000000000001, 10000000000001};
    QTest::newRow("zero") << "1 1 0" << QList<qint64>{0, 1};
  }
  void impossibleNumbers() {
    QFETCH(QString, panel);
    QFETCH(QList<qint64>, numbers);
    const QStringList p = panel.split(' ');
    DrillSettings s;
    s.longest = p[0].toInt(), s.shortest = p[1].toInt(), s.mix = p[2].toInt();
    QVERIFY(!replayDraws(s, numbers));
  }

  // From a recorded drill on the window: the replay shows the same numbers
  // at the same settings and is recorded as a replay, also when asked for in
  // the hand-over right after an automatic reveal; the panel then holds the
  // replay's settings, but the remembered ones stay the learner's, whose
  // settings come back at the next start; that drill is random again.
  void replayOnTheWindow_data() {
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("then");  // the learner's changes before the replay
    QTest::addColumn<bool>("handOver");
    QTest::newRow("default") << ""
                             << "hscl6=7 hscl1=3 chk1" << false;
    QTest::newRow("in the hand-over") << ""
                                      << "" << true;
    QTest::newRow("mixed, fast, grouped") << "hscl6=12 hscl1=7 hscl2=3 hscl3=5 hscl5=10 chk1"
                                          << "hscl5=50" << false;
    QTest::newRow("answer-later run") << "hscl6=4 hscl1=9 hscl2=8 hscl3=4 hscl7=3 optKaite"
                                      << "hscl7=5" << false;
  }
  void replayOnTheWindow() {
    QFETCH(QString, panel);
    QFETCH(QString, then);
    QFETCH(bool, handOver);
    QTemporaryDir dir;
    Harness h(7);
    DrillPort port(*h.f);
    History history(port, dir.filePath("history.sqlite"));
    RememberedSettings remembered(port, false, dir.filePath("pelatto.conf"));
    remembered.apply();
    QStringList notices;
    history.setNotice([&](const QString& t) { notices << t; });
    Numbers seen;
    port.subscribe(&seen);
    h.play(panel + " cmdStart");
    if (handOver)
      h.clock.advanceUntil([&] { return h->lbl2.Visible(); }, 600'000);
    else
      h.clock.advanceUntil([&] { return !h->events.inDrill(); }, 600'000);
    QCOMPARE(h->tmr4.Interval() != 0, handOver);
    QCoreApplication::processEvents();
    const ProblemRecord original = *history.recorder().lastProblem();
    h.play(then);
    const DrillSettings own = port.settings();

    seen.shown.clear();
    QVERIFY(history.replayLast());
    h.clock.advanceUntil([&] { return !h->events.inDrill(); }, 600'000);
    QCoreApplication::processEvents();
    QCOMPARE(seen.shown, original.numbers);
    const ProblemRecord replayed = *history.recorder().lastProblem();
    QCOMPARE(replayed.kind, RecordContext::Kind::Replay);
    QCOMPARE(replayed.numbers, original.numbers);
    for (auto field : {&DrillSettings::longest, &DrillSettings::shortest, &DrillSettings::mix,
                       &DrillSettings::pace, &DrillSettings::extension})
      QCOMPARE(replayed.settings.*field, original.settings.*field);
    QCOMPARE(replayed.settings.grouping, original.settings.grouping);
    QCOMPARE(replayed.seriesMs, original.seriesMs);
    QCOMPARE(history.store().problems({}).size(), original.settings.runLength + 1);
    QVERIFY(notices.isEmpty());
    QSettings file(dir.filePath("pelatto.conf"), QSettings::IniFormat);
    QVariantMap stored;
    for (const QString& key : file.allKeys()) stored.insert(key, file.value(key));
    DrillSettings kept = readValues(stored).values.panel;
    kept.runLength = own.runLength;  // the window reports 0 until the bar is first moved
    QCOMPARE(kept, own);
    h.play("cmdStart");
    QCOMPARE(port.settings(), own);

    // A replay stopped half-way leaves no draws behind for the next drill.
    h.play("cmdStop");
    seen.shown.clear();
    QVERIFY(history.replay(original));
    h.clock.advanceUntil([&] { return seen.shown.size() == 1; }, 600'000);
    h.play("cmdStop");
    QVERIFY(!h->rnd.scripted());
  }
};

PELATTO_TEST_MAIN(ReplayTest)
#include "test_replay.moc"
