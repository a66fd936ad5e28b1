#include <QTemporaryDir>

#include "harness.h"
#include "history/history.h"
#include "host/feature_host.h"
#include "shell/window_port.h"

// A recorded problem flashed again through the window's own number making.

namespace {

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
  // From a recorded drill on the window: the replay shows the same numbers
  // at the same settings and is recorded as a replay; the learner's next
  // drill is random again.
  void replayOnTheWindow_data() {
    QTest::addColumn<QString>("panel");
    QTest::newRow("default") << "";
    QTest::newRow("mixed, fast, grouped") << "hscl6=12 hscl1=7 hscl2=3 hscl3=5 hscl5=10 chk1";
    QTest::newRow("answer-later run") << "hscl6=4 hscl1=9 hscl2=8 hscl3=4 hscl7=3 optKaite";
  }
  void replayOnTheWindow() {
    QFETCH(QString, panel);
    QTemporaryDir dir;
    Harness h(7);
    WindowPort port(*h.f);
    FeatureHost host(port);
    History history(host, dir.filePath("history.sqlite"));
    QStringList notices;
    history.setNotice([&](const QString& t) { notices << t; });
    Numbers seen;
    port.subscribe(&seen);
    h.play(panel + " cmdStart");
    h.clock.advanceUntil([&] { return !h->events.inDrill(); }, 600'000);
    QCoreApplication::processEvents();
    const ProblemRecord original = *history.recorder().lastProblem();
    const DrillSettings before = port.settings();

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
    QCOMPARE(replayed.settings.grouping, before.grouping);
    QCOMPARE(replayed.seriesMs, original.seriesMs);
    QCOMPARE(history.store().problems({}).size(), original.settings.runLength + 1);
    QVERIFY(notices.isEmpty());

    // A replay stopped half-way leaves no draws behind for the next drill.
    seen.shown.clear();
    QVERIFY(history.replay(original));
    h.clock.advanceUntil([&] { return seen.shown.size() == 1; }, 600'000);
    h.play("cmdStop");
    QVERIFY(!h->rnd.scripted());
  }
};

PELATTO_TEST_MAIN(ReplayTest)
#include "test_replay.moc"
