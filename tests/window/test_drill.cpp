// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/number_text.h"
#include "harness.h"

// Whole problems in virtual time: the start-up problem to the millisecond
// at each countdown speed, what the display shows and when, the total and
// the number lists, settings changed mid-series, hold and abort.

// A number as the display shows it: grouped while the switch is ticked.
static QString shown(Harness& h, const QString& n) { return h->chk1.Value() ? groupDigits(n) : n; }

// What the learner sees, flashed numbers reduced to whether one is shown.
static QString scene(Harness& h) {
  QString s = h->cmdTome.Caption() + h->cmdAns.Caption() + h->lblfr7z.Caption();
  const pf::Control* cs[] = {&h->lbl1, &h->lbl2, &h->lbl3, &h->lbl3b, &h->cmdStart, &h->cmdTome};
  for (const pf::Control* c : cs) s += QString::number(c->Visible() * 2 + c->Enabled());
  for (int k = 0; k <= 49; ++k)
    s += QString::number(h->lin1[k].Visible() * 2 + (h->lin1[k].BorderColor() == h->lineColor));
  return s + QString::number(int(h->lbl1.Caption().isEmpty()));
}

class DrillTest : public QObject {
  Q_OBJECT
 private slots:
  // One problem with the start-up settings, followed to the millisecond.
  void workedExample_data() {
    columns<QString>("speed");  // a tick of 20, 40 or 80 ms: one, two or four lines
    for (const char* speed : {"optC1", "optC2", "optC3"}) QTest::newRow(speed) << QString(speed);
  }
  void workedExample() {
    const auto [speed] = fetch<QString>("speed");
    Harness h(speed + " cmdStart");
    QVERIFY(!h->optC1.Enabled() && !h->optC3.Enabled() && h->cmdAns.Caption() == "処理中");
    // The display, the prompt, the answer, the start button and the dial
    // ring: whole (in the ring colour), broken (repainted line by line) or
    // gone; "!" if its first or last line were ever shown.
    const auto screen = [&] {
      int ring = 0;
      for (int k = 1; k <= 49; ++k) ring += h->lin1[k].BorderColor() == 0x00FFFFC0;
      const char* dial = ring == 49 ? "ring" : (ring ? "part" : "");
      const char* edge = h->lin1[1].Visible() || h->lin1[49].Visible() ? "!" : "";
      return h->lbl1.Caption() + QString::asprintf("|%d%d%d|%s%s", h->lbl3b.Visible(),
                                                   h->lbl2.Visible(), h->cmdStart.Enabled(), dial,
                                                   edge);
    };
    Timeline tl;
    h.watch(tl, screen, [&] { return h.clock.idle(); });
    // Four sweeps of 960 ms leave "3", "2", nothing and nothing; the first
    // sweep eats a ring not drawn, and a sweep's first tick repaints only the
    // hidden line 0. Numbers at 1, 3, 5, 7 and 9 s after the countdown, each
    // for 1 s; the series ends at 11 s, the prompt comes 1 s later, the
    // answer 9.5 s after the series, and 3.5 s later the window is idle.
    QList<qint64> times;
    for (qint64 sweep : {960, 1920, 2880}) times << sweep << sweep + std::max(40, int(h->taimu));
    for (qint64 t = 3840; t <= 13840; t += 1000) times << t;
    QCOMPARE(tl.times << h.clock.now(), times << 15840 << 24340 << 27840);
    // (The total and the lists, against the numbers shown: test_drill.)
    QStringList expected{"3|000|ring", "3|000|part", "2|000|ring", "2|000|part",
                         "|000|ring",  "|000|part",  "|000|"};
    for (int k = 7; k < 17; k += 2)  // one digit each
      expected << tl.what.value(k).left(1) + "|000|" << QStringLiteral("|000|");
    QCOMPARE(tl.what, (expected + QStringList{"|100|", "|011|"}));
    QVERIFY(h->cmdAns.Enabled() && h->cmdMojiiro.Enabled() && h->optC1.Enabled());
  }

  // The numbers seen add up to the total shown, the lists hold exactly them,
  // and each stays on screen for its ticks: 2 * (extension / 2) + 1. Random
  // settings, and the panel while number 5 of 10 is on screen in a run of two
  // (7 and 5 digits, mix 4): terms, extension and grouping act on this series
  // at once (fewer terms than shown end it after this number); the pace
  // leaves it as it is. (Settings that end the drill: test_panel.)
  void series_data() {
    // The action when number 5 is on screen, and the numbers shown.
    columns<QString, QString, int>("settings", "action", "count");
    const QString kMid = "hscl1=7 hscl2=5 hscl6=10 hscl3=4 hscl7=2";
    QTest::newRow("terms raised") << kMid << "hscl6=12" << 12;
    QTest::newRow("terms lowered below the count shown") << kMid << "hscl6=4" << 5;
    QTest::newRow("pace 1 s") << kMid << "hscl5=100" << 10;
    QTest::newRow("extension 2") << kMid << "hscl8=2" << 10;
    QTest::newRow("grouping ticked") << kMid << "chk1" << 10;
    QRandomGenerator gen(20240611);
    auto pick = [&](int lo, int hi) { return int(gen.bounded(lo, hi + 1)); };
    for (int row = 0; row < 50; ++row) {
      const int dai = pick(1, 14), syo = pick(1, dai), kazu = pick(2, 30), kon = pick(0, 10);
      const int pace = std::array{10, 37, 100, 199, 200, 200, 300}[pick(0, 6)], tyo = pick(0, 9);
      const QString s =
          QString::asprintf("hscl1=%d hscl2=%d hscl6=%d hscl3=%d hscl5=%d hscl8=%d%s", dai, syo,
                            kazu, kon, pace, pace == 200 ? tyo : 0, pick(0, 1) ? " chk1" : "");
      QTest::newRow(qPrintable(s)) << s << QString() << kazu;
    }
  }
  void series() {
    const auto [settings, action, count] =
        fetch<QString, QString, int>("settings", "action", "count");
    Harness h(settings + " cmdStart 3840");
    qint64 start = h.clock.now(), tick = 5 * h->hayasa, first = 2 * (h->tyo / 2) + 1, sum = 0;
    Timeline tl, rhythm;  // number k appears on tick 1 + k * (on + 1), blanked `on` ticks later
    h.flash(tl, 5);
    h.play(action);
    for (qint64 k = 0, t = start + tick, on = 0; k < count; ++k, t += tick * (on + 1))
      rhythm.times << t << t + (on = k < 4 ? first : 2 * (h->tyo / 2) + 1) * tick;
    QCOMPARE(h.flash(tl).times, rhythm.times);
    h.clock.advance(9500);
    const QStringList numbers = QStringList(tl.numbers()).replaceInStrings(",", "");
    for (int k = 0; k < numbers.size(); sum += numbers[k++].toLongLong())
      QCOMPARE(tl.numbers()[k], k < 5 && action == "chk1" ? numbers[k] : shown(h, numbers[k]));
    // The total, and the lists (the first 500 twips in from the left).
    QCOMPARE(QString::number(h->lbl4.Left()) + ' ' + h->lbl2.Caption() + '|' + h->lbl4.Caption() +
                 '|' + h->lbl5.Caption(),
             "500 " + shown(h, QString::number(sum)) + '|' + listText(numbers.mid(0, 15)) + '|' +
                 listText(numbers.mid(15)));
  }

  // A moment in each phase of a manual problem: held there for 5 s nothing
  // moves, and after the resume the rest of the problem is the same as
  // without the hold, shifted: timers restart a full interval, while the
  // answer wait keeps its cadence. Aborted there, held or not, the window is
  // idle, the answer button shows "答は" only once the countdown was over
  // (with the total once the series was over), and the next start runs as
  // the first did.
  void holdAndAbort_data() {
    columns<qint64, qint64, QString>("at", "shift", "then");
    // 10 ms into a 20 ms tick, 300 ms into a 1 s tick, before the reveal, 500 ms in.
    const qint64 at[] = {1010, 7140, 21040, 24840}, shift[] = {5010, 5300, 5000, 5500};
    for (int p = 0; p < 4; ++p)
      for (const char* then : {"resume", "abort", "abort held"})
        QTest::addRow("at %lld ms, %s", at[p], then) << at[p] << shift[p] << QString(then);
  }
  void holdAndAbort() {
    auto [at, shift, then] = fetch<qint64, qint64, QString>("at", "shift", "then");
    Harness ref(7), h(7);
    Timeline whole, rest;
    ref.play("optKaite cmdStart");
    ref.watch(
        whole, [&] { return scene(ref); }, [&] { return ref.clock.idle(); });
    h.play("optKaite cmdStart " + QString::number(at));
    const QString before = scene(h), caption = h->lbl1.Caption();
    if (then != "abort") {
      h.play("cmdTome 5000");  // held: only the hold button's caption changes
      QCOMPARE(scene(h) + h->lbl1.Caption(), "続き" + before.mid(2) + caption);
    }
    if (then == "resume") {
      h.play("cmdTome");
      QCOMPARE(scene(h), before);
    } else {
      h.play("cmdStop");
      // Idle; captions, lbl1, lbl2, lbl3 and lbl3b hidden, start enabled, hold disabled.
      QCOMPARE(scene(h).left(10) + QString::number(h.clock.idle()),
               QStringLiteral("保留答11111321"));
      h.play("cmdAns");
      QCOMPARE(
          std::tuple(h->lbl3.Visible(), h->lbl2.Caption().isEmpty(), h->lbl4.Caption().isEmpty()),
          std::tuple(at > 3840, at < 14840, true));
      std::tie(at, shift) = std::pair(1000, h.clock.now());  // after the first sweep
      h.play("cmdStart 1000");
    }
    h.watch(
        rest, [&] { return scene(h); }, [&] { return h.clock.idle(); });
    QList<qint64> later;
    for (qint64 t : whole.times)
      if (t > at) later << t + shift;
    QCOMPARE(rest.times, later);
    QCOMPARE(rest.what, whole.what.mid(whole.times.size() - later.size()));
  }
};

PELATTO_TEST_MAIN(DrillTest)
#include "test_drill.moc"
