#include "harness.h"

// Whole problems in virtual time: what the display shows and when, the total
// and the number lists, settings changed mid-series, hold and abort.

// A number as the display shows it: grouped while the switch is ticked.
static QString shown(Harness& h, const QString& n) { return h->chk1.Value() ? groupedText(n) : n; }

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
  // The numbers seen add up to the total shown, the lists hold exactly them,
  // and each stays on screen for its ticks: 2 * (extension / 2) + 1. Random
  // settings, and the panel while number 5 of 10 is on screen in a run of two
  // (7 and 5 digits, mix 4): terms, extension and grouping act on this series
  // at once (fewer terms than shown end it after this number); the pace
  // leaves it as it is. (Settings that end the drill: test_panel.)
  void series_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("action");  // when number 5 is on screen
    QTest::addColumn<int>("count");       // numbers shown
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
    QFETCH(QString, settings);
    QFETCH(QString, action);
    QFETCH(int, count);
    Harness h;
    h.play(settings + " cmdStart 3840");
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
    QTest::addColumn<qint64>("at");
    QTest::addColumn<qint64>("shift");
    QTest::addColumn<QString>("then");
    // 10 ms into a 20 ms tick, 300 ms into a 1 s tick, before the reveal, 500 ms in.
    const qint64 at[] = {1010, 7140, 21040, 24840}, shift[] = {5010, 5300, 5000, 5500};
    for (int p = 0; p < 4; ++p)
      for (const char* then : {"resume", "abort", "abort held"})
        QTest::addRow("at %lld ms, %s", at[p], then) << at[p] << shift[p] << QString(then);
  }
  void holdAndAbort() {
    QFETCH(qint64, at);
    QFETCH(qint64, shift);
    QFETCH(QString, then);
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
