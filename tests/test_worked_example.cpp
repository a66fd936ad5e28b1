#include "harness.h"

class WorkedExampleTest : public QObject {
  Q_OBJECT
 private slots:
  void workedExample() {
    Harness h;
    QVERIFY(!h->lbl1.Visible());
    Harness::click(h->cmdStart);
    QVERIFY(!h->cmdStart.Enabled());
    // countdown: 4 sweeps of 48 ticks at 20 ms = 3840 ms
    h.advance(3839);
    QCOMPARE(h->tmr2.Interval(), 0);
    h.advance(1);
    QCOMPARE(h->tmr2.Interval(), 1000);
    QStringList seen;
    for (int k = 0; k < 5; ++k) {
      h.advance(999);
      QCOMPARE(h->lbl1.Caption(), QString());
      h.advance(1);
      seen << h->lbl1.Caption();
      QVERIFY(!seen.last().isEmpty());
      h.advance(1000);
    }
    qDebug() << seen << h->gokei;
    h.advance(1000);  // EndSeries at 11 s
    QCOMPARE(h->tmr3.Interval(), 500);
    h.advance(9500);
    QVERIFY(h->lbl2.Visible());
    QVERIFY(h->cmdStart.Enabled());
    qDebug() << h->lbl2.Caption() << h->lbl4.Caption();
    h.advance(3500);
    QCOMPARE(h->cmdAns.Caption(), QStringLiteral("答"));
    QCOMPARE(h->lblfr7z.Caption(), QStringLiteral("0"));
    QVERIFY(h.clock.idle());
  }
};

PELATTO_TEST_MAIN(WorkedExampleTest)
#include "test_worked_example.moc"
