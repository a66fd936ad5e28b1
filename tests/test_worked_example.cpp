#include "harness.h"

// One problem with the start-up settings, followed to the millisecond, with
// each of the three countdown speeds.

class WorkedExampleTest : public QObject {
  Q_OBJECT
 private slots:
  void workedExample_data() {
    QTest::addColumn<int>("speed");
    QTest::newRow("optC1: 20 ms, one line a tick") << 1;
    QTest::newRow("optC2: 40 ms, two lines a tick") << 2;
    QTest::newRow("optC3: 80 ms, four lines a tick") << 3;
  }
  void workedExample() {
    QFETCH(int, speed);
    Harness h;
    const auto ringLines = [&](pf::Colour colour) {
      int count = 0;
      for (int k = 2; k <= 48; ++k)
        count += h->lin1[k].Visible() && h->lin1[k].BorderColor() == colour;
      return count;
    };
    Harness::click(speed == 1 ? h->optC1 : speed == 2 ? h->optC2 : h->optC3);
    QVERIFY(!h->lbl1.Visible());
    Harness::click(h->cmdStart);
    QVERIFY(!h->cmdStart.Enabled() && !h->optC1.Enabled() && !h->optC3.Enabled());
    QCOMPARE(h->cmdAns.Caption(), QStringLiteral("処理中"));
    // Four sweeps of 960 ms leave "3", "2", nothing and nothing; the ring
    // never shows lines 1 and 49, and the first sweep eats a ring not drawn.
    const QStringList counts{"", "3", "2", "", ""};
    for (int sweep = 1; sweep <= 4; ++sweep) {
      QVERIFY(!h.clock.advanceUntil([&] { return h->lin1[1].Visible() || h->lin1[49].Visible(); },
                                    960 * sweep - 1 - h.clock.now()));
      QCOMPARE(h->lbl1.Caption(), counts[sweep - 1]);
      if (sweep == 1) QCOMPARE(ringLines(0x00FFFFC0), 0);
      QCOMPARE(h->tmr2.Interval(), 0);
      h.advance(1);
      QCOMPARE(h->lbl1.Caption(), counts[sweep]);
      QCOMPARE(ringLines(sweep < 4 ? 0x00FFFFC0 : h->lineColor), 47);
    }
    QCOMPARE(h->tmr2.Interval(), 1000);  // the flash timer starts at 3840 ms: time 0 below
    QStringList seen;
    int total = 0;
    for (int k = 0; k < 5; ++k) {  // numbers at 1, 3, 5, 7 and 9 s, each for 1 s
      h.advance(999);
      QCOMPARE(h->lbl1.Caption(), QString());
      h.advance(1);
      seen << h->lbl1.Caption();
      QCOMPARE(seen.last().size(), 1);
      total += seen.last().toInt();
      h.advance(999);
      QCOMPARE(h->lbl1.Caption(), seen.last());
      h.advance(1);
    }
    QCOMPARE(h->lbl1.Caption(), QString());
    h.advance(1999);  // the series ends at 11 s; the prompt comes 1 s later
    QVERIFY(!h->lbl3b.Visible());
    h.advance(1);
    QVERIFY(h->lbl3b.Visible() && !h->lbl2.Visible());
    h.advance(8499);
    QVERIFY(!h->lbl2.Visible() && !h->cmdStart.Enabled());
    h.advance(1);  // 9.5 s after the series: the answer
    QVERIFY(h->lbl2.Visible() && h->lbl3.Visible() && h->lbl4.Visible() && !h->lbl3b.Visible());
    QCOMPARE(h->lbl2.Caption(), QString::number(total));
    QCOMPARE(h->lbl3.Caption(), QStringLiteral("答は"));
    QCOMPARE(h->lbl4.Caption(), seen.join("\r\n") + "\r\n");
    QVERIFY(h->cmdStart.Enabled() && !h->cmdAns.Enabled());
    h.advance(3499);
    QVERIFY(!h.clock.idle());
    h.advance(1);  // 3.5 s later the rest of the window is idle, the answer still shown
    QCOMPARE(h->cmdAns.Caption(), QStringLiteral("答"));
    QVERIFY(h->cmdAns.Enabled() && h->cmdMojiiro.Enabled() && h->optC1.Enabled());
    QCOMPARE(h->lblfr7z.Caption(), QStringLiteral("0"));
    QVERIFY(h->lbl2.Visible());
    QCOMPARE(h->lbl2.Caption(), QString::number(total));
    QVERIFY(h.clock.idle());
  }
};

PELATTO_TEST_MAIN(WorkedExampleTest)
#include "test_worked_example.moc"
