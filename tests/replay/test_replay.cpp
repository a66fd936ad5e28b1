// SPDX-License-Identifier: GPL-3.0-or-later
#include <QSettings>
#include <QTemporaryDir>

#include "harness.h"
#include "history/history.h"
#include "replay/replay.h"
#include "settings/remembered_settings.h"
#include "settings/remembered_values.h"

// A recorded problem flashed again through the window's own number making.

namespace {

struct Numbers : DrillListener {
  QList<qint64> shown;
  void onDrillEvent(const DrillEvent& e) override {
    if (e.kind == DrillEvent::Kind::NumberShown) shown << static_cast<qint64>(e.value);
  }
};

}  // namespace

class ReplayTest : public QObject {
  Q_OBJECT
 private slots:
  // From a recorded drill on the window: the replay shows the same numbers
  // at the same settings and is recorded as a replay, also when asked for in
  // the hand-over right after an automatic reveal; the panel then holds the
  // replay's settings, but the remembered ones stay the learner's, whose
  // settings come back at the next start; that drill is random again.
  void replayOnTheWindow_data() {
    // | the learner's changes before the replay
    columns<QString, bool>("panel", "handOver");
    QTest::newRow("default") << " | hscl6=7 hscl1=3 chk1" << false;
    QTest::newRow("in the hand-over") << " | " << true;
    QTest::newRow("mixed, fast, grouped")
        << "hscl6=12 hscl1=7 hscl2=3 hscl3=5 hscl5=10 chk1 | hscl5=50" << false;
    QTest::newRow("answer-later run")
        << "hscl6=4 hscl1=9 hscl2=8 hscl3=4 hscl7=3 optKaite | hscl7=5" << false;
  }
  void replayOnTheWindow() {
    auto [panel, handOver] = fetch<QString, bool>("panel", "handOver");
    QTemporaryDir dir;
    Hosted w(7);
    auto& [h, port, host] = w;
    History history(host, dir.filePath("history.sqlite"));
    Replay replay(host);
    RememberedSettings remembered(host, false, dir.filePath("pelatto.conf"));
    remembered.apply();
    QStringList notices;
    history.setNotice([&](const QString& t) { notices << t; });
    Numbers seen;
    port.subscribe(&seen);
    h.play(panel.section('|', 0, 0) + " cmdStart");
    h.clock.advanceUntil([&] { return handOver ? h->lbl2.Visible() : !h->events.inDrill(); },
                         600'000);
    QCOMPARE(h->tmr4.Interval() != 0, handOver);
    QCoreApplication::processEvents();
    const ProblemRecord original = *history.recorder().lastProblem();
    h.play(panel.section('|', 1));
    const DrillSettings own = port.settings();

    seen.shown.clear();
    QVERIFY(replay.replayLast());
    h.clock.advanceUntil([&] { return !h->events.inDrill(); }, 600'000);
    QCoreApplication::processEvents();
    QCOMPARE(seen.shown, original.numbers);
    const ProblemRecord replayed = *history.recorder().lastProblem();
    QCOMPARE(replayed.kind, RecordContext::Kind::Replay);
    QCOMPARE(replayed.numbers, original.numbers);
    DrillSettings expected = original.settings;
    expected.runLength = replayed.settings.runLength, expected.mode = replayed.settings.mode;
    QCOMPARE(replayed.settings, expected);
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
    QVERIFY(replay.replay(original));
    h.clock.advanceUntil([&] { return seen.shown.size() == 1; }, 600'000);
    h.play("cmdStop");
    QVERIFY(!h->rnd.scripted());
  }
};

PELATTO_TEST_MAIN(ReplayTest)
#include "test_replay.moc"
