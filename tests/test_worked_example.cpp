#include "harness.h"

// One problem with the start-up settings, followed to the millisecond, with
// each of the three countdown speeds.

class WorkedExampleTest : public QObject {
  Q_OBJECT
 private slots:
  void workedExample_data() {
    QTest::addColumn<QString>("speed");  // a tick of 20, 40 or 80 ms: one, two or four lines
    for (const char* speed : {"optC1", "optC2", "optC3"}) QTest::newRow(speed) << QString(speed);
  }
  void workedExample() {
    QFETCH(QString, speed);
    Harness h;
    h.play(speed + " cmdStart");
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
};

PELATTO_TEST_MAIN(WorkedExampleTest)
#include "test_worked_example.moc"
