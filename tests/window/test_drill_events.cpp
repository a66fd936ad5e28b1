// SPDX-License-Identifier: GPL-3.0-or-later
#include <functional>
#include <stdexcept>

#include "harness.h"

// What the features around the window hear: every event a learner would
// notice, in order, at its time on the drill's clock.

namespace {

using K = DrillEvent::Kind;

// One word per event; problem indices, totals and terms where they matter.
QString word(const DrillEvent& e) {
  const char* const names[] = {
      "start",  "go%1", "n",    "-",      "end=",  "wait%1", "reveal%1=", "columns",
      "then%1", "done", "hold", "resume", "abort", "set%1",  "closed"};
  const QString name = names[int(e.kind)];
  const int number = e.kind == K::SettingsChanged ? e.settings.terms : int(e.index);
  return (name.contains('%') ? name.arg(number) : name) +
         (name.endsWith('=') || e.kind == K::NumberShown ? e.text : QString());
}

struct Recorder : DrillListener {
  QStringList seen;
  QList<qint64> ms;
  explicit Recorder(Harness& h) { WindowPort(*h.f).subscribe(this); }
  void onDrillEvent(const DrillEvent& e) override { seen << word(e), ms << e.timeNs / 1'000'000; }
  // The words, with the time of each one that is not a number or a blank.
  QString timeline() const {
    QStringList out;
    for (int k = 0; k < seen.size(); ++k)
      out << (seen[k].startsWith('n') || seen[k] == "-" ? seen[k]
                                                        : seen[k] + "@" + QString::number(ms[k]));
    return out.join(' ');
  }
};

// A feature that does one thing on each event.
struct Hearing : DrillListener {
  std::function<void(const DrillEvent&)> act;
  Hearing(Harness& h, std::function<void(const DrillEvent&)> a) : act(std::move(a)) {
    WindowPort(*h.f).subscribe(this);
  }
  void onDrillEvent(const DrillEvent& e) override { act(e); }
};

}  // namespace

class DrillEventsTest : public QObject {
  Q_OBJECT
 private slots:
  // The default problem, and runs of two in each answer mode with three
  // terms at 0.1 s; the answer button pressed once the run is over.
  void runs_data() {
    columns<QString, QString>("settings", "expected");
    QTest::newRow("default") << QString() << "go0@3840 end@14840 reveal0@24340 done@27840";
    // A problem is 3840 + 350 ms of flashing; its answer wait 9500 ms.
    const QString fast = "hscl6=3 hscl5=10 ";
    QTest::newRow("automatic") << fast + "hscl7=2"
                               << "go0@3840 end@4190 reveal0@13690 then1@17190 go1@21030 "
                                  "end@21380 reveal1@30880 done@34380";
    QTest::newRow("later") << fast + "hscl7=2 optKaite"
                           << "go0@3840 end@4190 wait0@13690 then1@14690 go1@18530 "
                              "end@18880 wait1@28380 done@29380 columns@40000";
    QTest::newRow("manual") << fast + "hscl7=1 optKaite"
                            << "go0@3840 end@4190 wait0@13690 done@14690 reveal0@40000";
  }
  void runs() {
    const auto [settings, expected] = fetch<QString, QString>("settings", "expected");
    Harness h(settings);
    Recorder r(h);
    h.play("cmdStart 40000 cmdAns");
    QCOMPARE(
        r.timeline().remove(QRegularExpression(" n\\d+ -")).remove(QRegularExpression("=\\d+")),
        "start@0 " + expected);
  }

  // Hold and resume, then abort, in each phase; nothing is heard after an
  // abort, and an idle reset is no abort.
  void holdAndAbort_data() {
    QTest::addColumn<int>("at");  // the countdown, flashing, the answer wait, the hand-over
    for (int at : {1000, 3900, 6000, 13800}) QTest::addRow("%d ms", at) << at;
  }
  void holdAndAbort() {
    QFETCH(int, at);
    Harness h("hscl6=3 hscl5=10 hscl7=2");
    Recorder r(h);
    h.play("cmdStart " + QString::number(at) + " cmdTome 5000 cmdTome 10 cmdStop 60000 hscl1=3");
    const qsizetype hold = r.seen.indexOf("hold");
    QCOMPARE(QStringList(r.seen.mid(hold)).join(' '), QStringLiteral("hold resume abort set3"));
    QCOMPARE(r.ms.mid(hold, 3), QList<qint64>({at, at + 5000, at + 5010}));
    QVERIFY(!r.seen.contains("done"));
  }

  // A failing feature is reported once and skipped; the drill and the other
  // listeners go on exactly as without it.
  void failingListener() {
    Harness h;
    int calls = 0;
    Hearing bad(h, [&](const DrillEvent&) { ++calls, throw std::runtime_error("broken feature"); });
    Recorder good(h);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("broken feature"));
    QTest::failOnWarning(QRegularExpression("broken feature"));
    h.play("cmdStart 30000");
    QVERIFY(calls > 10);
    QCOMPARE(good.seen.last(), QStringLiteral("done"));
    QVERIFY(!h->lbl2.Caption().isEmpty() && h->lbl2.Visible());
  }

  // The panel is heard when it changes and not otherwise; a listener that
  // presses a button hears that button's event after the one it is handling.
  void settingsAndReentry() {
    Harness h;
    Recorder r(h);
    WindowPort port(*h.f);
    Hearing starter(h, [&](const DrillEvent& e) {
      if (e.kind == K::SettingsChanged && e.settings.terms == 7) port.pressStart();
    });
    h.play("hscl6=5 hscl6=7 hscl6=7");
    QCOMPARE(r.seen, QStringList({"set7", "start"}));
    QVERIFY(h->tmr1.Interval() != 0);
  }

  // The abort that a new longest count announces from inside its nested
  // handlers is heard once they have all run: the panel is complete, and a
  // listener that starts again is not aborted by the rest of the handler.
  void eventsAfterTheOutermostHandler() {
    Harness h;
    WindowPort port(*h.f);
    QList<int> mixes;
    h.play("hscl1=5 hscl2=3 hscl3=2 cmdStart 1000");
    Hearing restarter(h, [&](const DrillEvent& e) {
      if (e.kind == K::Aborted) mixes << port.settings().mix, port.pressStart();
    });
    h.play("hscl1=3");
    QCOMPARE(mixes, QList<int>({0, 0}));  // the drag, then its release
    QVERIFY(h->tmr1.Interval() != 0 && !h->cmdStart.Enabled());
  }
};

PELATTO_TEST_MAIN(DrillEventsTest)
#include "test_drill_events.moc"
