#include "harness.h"

// Runs of several problems in the three answer modes: the hand-over between
// problems, the remaining count, the answer columns and the answer button.

namespace {

constexpr qint64 kCountdown = 3840, kSeries = 7 * 50, kWait = 9500;

QString lines(const QStringList& l) { return l.isEmpty() ? QString() : l.join("\r\n") + "\r\n"; }

// Three terms at 0.1 s, the given digits, run length and answer mode.
void setUp(Harness& h, int digits, int count, bool automatic) {
  Harness::set(h->hscl1, digits);
  Harness::set(h->hscl6, 3);
  Harness::set(h->hscl5, 10);
  Harness::set(h->hscl7, count);
  Harness::click(automatic ? h->optKaiji : h->optKaite);
}

struct Run {
  QStringList totals, lastNumbers;
};

// Plays a run started at t0 up to the end of its last answer wait, checking
// what each problem shows and when.
void playRun(Harness& h, qint64 t0, int count, bool automatic, Run& run) {
  const qint64 period = kCountdown + kSeries + kWait + (automatic ? 3500 : 1000);
  for (int j = 0; j < count; ++j) {
    h.advance(t0 + j * period + kCountdown - 1 - h.clock.now());
    QCOMPARE(h->lblfr7z.Caption(), QString::number(count - j));
    QVERIFY(h->lbl1.Visible() && !h->lbl2.Visible() && !h->lbl3.Visible());
    QVERIFY(h->cmdTome.Enabled() && !h->cmdStart.Enabled());
    run.lastNumbers.clear();
    qint64 total = 0;
    for (int k = 0; k < 3; ++k) {  // a number on every second 50 ms tick
      h.advance(k == 0 ? 51 : 100);
      run.lastNumbers << h->lbl1.Caption();
      total += run.lastNumbers.last().toLongLong();
    }
    h.advance(100 + kWait - 1);
    QVERIFY(h->lbl3b.Visible() && h->lbl1.Caption().isEmpty());
    h.advance(1);
    QVERIFY(!h->lbl3b.Visible());
    QCOMPARE(h->lbl2.Visible() && h->lbl3.Visible(), automatic);
    QCOMPARE(h->lbl2.Caption(), QString::number(total));
    if (automatic) QCOMPARE(h->lbl4.Caption(), lines(run.lastNumbers));
    QCOMPARE(h->cmdStart.Enabled(), j == count - 1);
    run.totals << QString::number(total);
  }
}

// The run is over: idle, with every total in the answer columns.
void verifyEnd(Harness& h, const QStringList& totals) {
  QVERIFY(h.clock.idle() && h->cmdAns.Enabled() && !h->cmdTome.Enabled());
  QCOMPARE(h->cmdAns.Caption(), QStringLiteral("答"));
  QCOMPARE(h->lblfr7z.Caption(), QStringLiteral("0"));
  const pf::Label* columns[] = {&h->lbl6, &h->lbl7, &h->lbl8, &h->lbl9};
  for (int c = 0; c < 4; ++c) QCOMPARE(columns[c]->Caption(), lines(totals.mid(5 * c, 5)));
}

}  // namespace

class RunsTest : public QObject {
  Q_OBJECT
 private slots:
  // In answer-later mode the answer button shows the columns: font sizes and
  // places (centre from W/2, top) by run length and digits.
  void runs_data() {
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QList<double>>("sizes");
    QTest::addColumn<QList<QPoint>>("places");
    using S = QList<double>;
    for (int count : {1, 3, 20})
      QTest::addRow("automatic, %d", count) << true << count << 4 << S{} << QList<QPoint>{};
    QTest::newRow("manual") << false << 1 << 4 << S{} << QList<QPoint>{};
    const QList<QPoint> two{{-2600, 1000}, {2600, 1000}},
        three{{-3400, 1000}, {0, 1000}, {3400, 1000}};
    const QList<QPoint> four{{-4000, 1000}, {-1400, 1000}, {1400, 1000}, {4000, 1000}};
    const QList<QPoint> grid{{-2600, 1000}, {-2600, 3700}, {2600, 1000}, {2600, 3700}};
    QTest::newRow("later, 3 of 1 digit")
        << false << 3 << 1 << S{50, 50, 50, 50} << QList<QPoint>{{0, 1920}};
    QTest::newRow("later, 7 of 8 digits") << false << 7 << 8 << S{50, 50, 50, 50} << two;
    QTest::newRow("later, 7 of 9 digits") << false << 7 << 9 << S{28, 28, 50, 50} << two;
    QTest::newRow("later, 12 of 6 digits") << false << 12 << 6 << S{38, 38, 38, 38} << three;
    QTest::newRow("later, 12 of 9 digits") << false << 12 << 9 << S{28, 28, 28, 28} << three;
    QTest::newRow("later, 12 of 10 digits")
        << false << 12 << 10 << S{24, 24, 24, 28} << grid.mid(0, 3);
    QTest::newRow("later, 20 of 4 digits") << false << 20 << 4 << S{42, 42, 42, 42} << four;
    QTest::newRow("later, 20 of 5 digits") << false << 20 << 5 << S{30, 30, 30, 30} << four;
    QTest::newRow("later, 20 of 14 digits") << false << 20 << 14 << S{24, 24, 24, 24} << grid;
  }
  void runs() {
    QFETCH(bool, automatic);
    QFETCH(int, count);
    QFETCH(int, digits);
    QFETCH(QList<double>, sizes);
    QFETCH(QList<QPoint>, places);
    Harness h;
    setUp(h, digits, count, automatic);
    QCOMPARE(h->optKaite.Caption(),
             count == 1 ? QStringLiteral("手動解答") : QStringLiteral("後で解答"));
    Harness::click(h->cmdStart);
    Run run;
    playRun(h, 0, count, automatic, run);
    h.advance((automatic ? 3500 : 1000) - 1);
    QCOMPARE(h->cmdAns.Caption(), QStringLiteral("処理中"));
    h.advance(1);
    verifyEnd(h, run.totals);
    QCOMPARE(h->lbl2.Visible(), automatic);
    Harness::click(h->cmdAns);
    QCOMPARE(h->lbl2.Visible() && h->lbl3.Visible(), automatic || count == 1);
    QCOMPARE(h->lbl6.Visible(), !sizes.isEmpty());
    if (!automatic && count == 1) {
      QCOMPARE(h->lbl4.Caption(), lines(run.lastNumbers));
      QVERIFY(h->lbl4.Visible() && h->lbl5.Visible() && h->lbl5.Caption().isEmpty());
    }
    const pf::Label* columns[] = {&h->lbl6, &h->lbl7, &h->lbl8, &h->lbl9};
    const double W = h->form.Width();
    for (int c = 0; c < sizes.size(); ++c) {
      QVERIFY(columns[c]->Visible());
      QCOMPARE(columns[c]->FontSize(), sizes[c]);
      if (c >= places.size()) continue;
      QVERIFY(qAbs(columns[c]->Left() + columns[c]->Width() / 2 - W / 2 - places[c].x()) < 1);
      QCOMPARE(columns[c]->Top(), double(places[c].y()));
    }
    if (sizes.isEmpty()) return;
    QVERIFY(h->lbl10.Visible());
    QCOMPARE(h->lbl10.Caption(), QStringLiteral("▽"));
    QCOMPARE(h->lbl10.Top(), 350.0);
    QCOMPARE(h->lbl10.Left(), h->lbl6.Left() + h->lbl6.Width() / 2 - 200);
  }

  // Start pressed between the last answer and the pending hand-over: the new
  // run gets all its problems and an undisturbed countdown, also when the
  // hand-over was held.
  void startBeforeHandOver_data() {
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("held");
    QTest::newRow("automatic, 1") << true << 1 << false;
    QTest::newRow("automatic, 3") << true << 3 << false;
    QTest::newRow("answer later, 3") << false << 3 << false;
    QTest::newRow("answer later, 3, hand-over held") << false << 3 << true;
  }
  void startBeforeHandOver() {
    QFETCH(bool, automatic);
    QFETCH(int, count);
    QFETCH(bool, held);
    Harness h;
    setUp(h, 2, count, automatic);
    Harness::click(h->cmdStart);
    Run first, second;
    playRun(h, 0, count, automatic, first);
    h.advance(210);
    if (held) Harness::click(h->cmdTome);
    const qint64 t0 = h.clock.now();
    Harness::click(h->cmdStart);
    QCOMPARE(h->cmdTome.Caption(), QStringLiteral("保留"));
    h.advance((automatic ? 3500 : 1000) - 210);  // the old hand-over's moment
    QVERIFY(h->cmdTome.Enabled());
    QCOMPARE(h->lblfr7z.Caption(), QString::number(count));
    playRun(h, t0, count, automatic, second);
    h.advance(automatic ? 3500 : 1000);
    verifyEnd(h, second.totals);
  }
};

PELATTO_TEST_MAIN(RunsTest)
#include "test_runs.moc"
