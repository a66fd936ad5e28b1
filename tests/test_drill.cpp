#include <QRegularExpression>
#include <random>

#include "harness.h"

// Whole problems in virtual time: what the display shows and when, the total
// and the number lists, settings changed mid-series, hold and abort.

namespace {

// What a probe showed after each change, and when.
struct Timeline {
  QList<qint64> times;
  QStringList what;
  QStringList numbers() const { return what.filter(QRegularExpression(".")); }
};

// Runs tick by tick until done() holds, adding each change of probe() with its time to tl.
template <class Probe, class Done>
const Timeline& watch(Harness& h, Timeline& tl, Probe probe, Done done) {
  QString last = probe();
  h.clock.advanceUntil(
      [&] {
        if (const QString s = probe(); s != last) {
          tl.times << h.clock.now();
          tl.what << (last = s);
        }
        return done();
      },
      3'600'000);
  return tl;
}

// The series on screen, up to its end or until `count` numbers were shown.
const Timeline& flash(Harness& h, Timeline& tl, qsizetype count = 99) {
  return watch(
      h, tl, [&h] { return h->lbl1.Caption(); },
      [&] { return h->tmr3.Interval() != 0 || tl.numbers().size() == count; });
}

// Number k (from 0) of a series whose flash timer started at `start`
// appears on tick 1 + k * (on + 1) and is blanked `on` ticks later.
QList<qint64> rhythm(qint64 start, int tick, int on, int count) {
  QList<qint64> out;
  for (int k = 0; k < count; ++k) {
    const qint64 shown = start + tick * (1 + k * (on + 1));
    out << shown << shown + on * tick;
  }
  return out;
}

QString grouped(QString digits) {
  for (qsizetype k = digits.size() - 3; k > 0; k -= 3) digits.insert(k, QLatin1Char(','));
  return digits;
}

QString lines(const QStringList& l) { return l.isEmpty() ? QString() : l.join("\r\n") + "\r\n"; }

qint64 sum(const QStringList& numbers) {
  qint64 total = 0;
  for (const QString& n : numbers) total += QString(n).remove(',').toLongLong();
  return total;
}

qint64 startToFlash(Harness& h) {
  Harness::click(h->cmdStart);
  h.advance(3840);
  return h.clock.now();
}

// What the learner sees, flashed numbers reduced to whether one is shown.
QString scene(Harness& h) {
  QString s = h->cmdTome.Caption() + h->cmdAns.Caption() + h->lblfr7z.Caption();
  for (const pf::Control* c : std::initializer_list<const pf::Control*>{
           &h->lbl1, &h->lbl2, &h->lbl3, &h->lbl3b, &h->lbl4, &h->cmdStart, &h->cmdTome})
    s += QString::number(c->Visible() * 2 + c->Enabled());
  for (int k = 0; k <= 49; ++k)
    s += QString::number(h->lin1[k].Visible() * 2 + (h->lin1[k].BorderColor() == h->lineColor));
  return s + QString::number(int(h->lbl1.Caption().isEmpty()));
}

// A moment in each phase of one automatic problem, and how much later the
// rest comes after a 5 s hold there: timers restart a full interval on
// resume, while the answer wait keeps its cadence.
struct Phase {
  const char* name;
  qint64 at, shift;
};
constexpr Phase kPhases[] = {{"countdown, 10 ms into a 20 ms tick", 1010, 5010},
                             {"flashing, 300 ms into a 1 s tick", 7140, 5300},
                             {"answer wait, before the reveal", 21040, 5000},
                             {"hand-over, 500 ms in", 24840, 5500}};

struct Settings {
  int dai, syo, kon, kazu, pace, tyo;
  bool grouping;
};

}  // namespace

Q_DECLARE_METATYPE(Settings)

class DrillTest : public QObject {
  Q_OBJECT
 private slots:
  // The numbers seen add up to the total shown, the lists hold exactly them,
  // and each stays on screen for its ticks: 2 * (extension / 2) + 1.
  void series_data() {
    QTest::addColumn<Settings>("s");
    for (int tyo = 0; tyo <= 9; ++tyo)
      QTest::addRow("2 s, extension %d", tyo) << Settings{3, 3, 0, 5, 200, tyo, false};
    QTest::newRow("0.1 s, 30 terms") << Settings{1, 1, 0, 30, 10, 0, false};
    std::mt19937 gen(20240611);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    for (int row = 0; row < 40; ++row) {
      const int dai = pick(1, 14), syo = pick(1, dai), kazu = pick(2, 30);
      const int pace = std::array{10, 10, 37, 100, 199, 200, 200, 300}[pick(0, 7)];
      const int kon = syo < dai ? pick(0, std::min(10, kazu)) : 0,
                tyo = pace == 200 ? pick(0, 9) : 0;
      const Settings s{dai, syo, kon, kazu, pace, tyo, pick(0, 1) == 1};
      QTest::addRow("%d-%d digits, mix %d, %d terms, pace %d+%d%s", s.syo, s.dai, s.kon, s.kazu,
                    s.pace, s.tyo, s.grouping ? ", grouped" : "")
          << s;
    }
  }
  void series() {
    QFETCH(Settings, s);
    Harness h(static_cast<std::uint64_t>(s.kazu * 1000 + s.pace));
    using Bar = std::pair<pf::ScrollBar*, int>;
    for (auto [bar, value] : {Bar{&h->hscl1, s.dai}, Bar{&h->hscl2, s.syo}, Bar{&h->hscl6, s.kazu},
                              Bar{&h->hscl3, s.kon}, Bar{&h->hscl5, s.pace}, Bar{&h->hscl8, s.tyo}})
      Harness::set(*bar, value);
    if (s.grouping) Harness::click(h->chk1);
    const qint64 start = startToFlash(h);
    const int on = 2 * (s.tyo / 2) + 1;
    Timeline tl;
    QCOMPARE(flash(h, tl).times, rhythm(start, 5 * s.pace, on, s.kazu));
    QCOMPARE(h.clock.now(), start + 5 * s.pace * (s.kazu * (on + 1) + 1));
    h.advance(9500);
    QStringList plain;
    for (const QString& shown : tl.numbers()) {
      plain << QString(shown).remove(',');
      QCOMPARE(shown, s.grouping ? grouped(plain.last()) : plain.last());
      QVERIFY(plain.last().size() >= s.syo && plain.last().size() <= s.dai);
    }
    QVERIFY(h->lbl2.Visible());
    const QString total = QString::number(sum(plain));
    QCOMPARE(h->lbl2.Caption(), s.grouping ? grouped(total) : total);
    QCOMPARE(h->lbl4.Caption(), lines(plain.mid(0, 15)));
    QCOMPARE(h->lbl5.Caption(), lines(plain.mid(15)));
    QCOMPARE(h->lbl4.Left(), 500.0);  // the lists stand 500 twips in from either side
    QCOMPARE(h->lbl5.Left() + h->lbl5.Width(), h->form.Width() - 500);
  }

  // The panel while number 5 of 10 is on screen, in a run of two (7 and 5
  // digits, mix 4): the digit settings, and terms below the mix, end the
  // drill; terms, extension and grouping act on this series at once (fewer
  // terms than shown end it after this number), the pace and the run length
  // from the next problem on.
  void panelMidSeries_data() {
    QTest::addColumn<int>("bar");  // hscl1, 2, 3, 6, 5, 7, 8; -1 for chk1
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("count");  // numbers shown; 0: the drill ends at once
    QTest::newRow("longest digits") << 0 << 6 << 0;
    QTest::newRow("shortest digits") << 1 << 4 << 0;
    QTest::newRow("mix") << 2 << 1 << 0;
    QTest::newRow("terms below the mix") << 3 << 3 << 0;
    QTest::newRow("terms raised") << 3 << 12 << 12;
    QTest::newRow("terms lowered above the count shown") << 3 << 7 << 7;
    QTest::newRow("terms lowered to the count shown") << 3 << 5 << 5;
    QTest::newRow("terms lowered below the count shown") << 3 << 4 << 5;
    QTest::newRow("pace 1 s") << 4 << 100 << 10;
    QTest::newRow("run length 3") << 5 << 3 << 10;
    QTest::newRow("extension 2") << 6 << 2 << 10;
    QTest::newRow("grouping ticked") << -1 << 0 << 10;
  }
  void panelMidSeries() {
    QFETCH(int, bar);
    QFETCH(int, value);
    QFETCH(int, count);
    Harness h;
    pf::ScrollBar* bars[] = {&h->hscl1, &h->hscl2, &h->hscl3, &h->hscl6,
                             &h->hscl5, &h->hscl7, &h->hscl8};
    for (int b : {0, 1, 3, 2, 5}) Harness::set(*bars[b], std::array{7, 5, 4, 10, 0, 2}[b]);
    startToFlash(h);
    Timeline tl;
    flash(h, tl, 5);
    if (bar < 0)
      Harness::click(h->chk1);
    else
      Harness::set(*bars[bar], value);
    QCOMPARE(h.clock.idle(), count == 0);
    QCOMPARE(h->cmdStart.Enabled(), count == 0);
    if (count == 0) return;
    QCOMPARE(h->lbl1.Caption(), tl.what.last());  // the number on screen stays as it is
    const QStringList seen = flash(h, tl).numbers();
    QCOMPARE(seen.size(), count);
    QCOMPARE(tl.times[9] - tl.times[8], bar == 6 ? 3000 : 1000);  // number 5 on screen
    QCOMPARE(h.clock.now(), tl.times.last() + 1000);  // the end: the on-tick after the last blank
    for (int k = 0; k < count; ++k) {
      const QString plain = QString(seen[k]).remove(',');
      QCOMPARE(seen[k], bar < 0 && k >= 5 ? grouped(plain) : plain);
    }
    h.advance(9500);
    QVERIFY(h->lbl2.Visible());
    const QString total = QString::number(sum(seen));
    QCOMPARE(h->lbl2.Caption(), bar < 0 ? grouped(total) : total);
    QCOMPARE(h->lbl4.Caption(), lines(QStringList(seen.mid(0, 15)).replaceInStrings(",", "")));
    QVERIFY(h.clock.advanceUntil([&] { return h->tmr2.Interval() != 0; }, 10000));
    QCOMPARE(h->tmr2.Interval(), bar == 4 ? 500 : 1000);
    QCOMPARE(h->lblfr7z.Caption(), bar == 5 ? QStringLiteral("2") : QStringLiteral("1"));
  }

  // Held for 5 s: nothing moves; after the resume the rest of the problem
  // is the same as without the hold, only later.
  void holdAndResume_data() {
    QTest::addColumn<qint64>("at");
    QTest::addColumn<qint64>("shift");
    for (const Phase& p : kPhases) QTest::newRow(p.name) << p.at << p.shift;
  }
  void holdAndResume() {
    QFETCH(qint64, at);
    QFETCH(qint64, shift);
    Harness ref(7), h(7);
    Timeline whole, rest;
    Harness::click(ref->cmdStart);
    watch(
        ref, whole, [&] { return scene(ref); }, [&] { return ref.clock.idle(); });
    Harness::click(h->cmdStart);
    h.advance(at);
    const QString before = scene(h), caption = h->lbl1.Caption();
    Harness::click(h->cmdTome);
    QCOMPARE(h->cmdTome.Caption(), QStringLiteral("続き"));
    const QString held = scene(h);
    h.advance(5000);
    QCOMPARE(scene(h), held);
    QCOMPARE(h->lbl1.Caption(), caption);
    Harness::click(h->cmdTome);
    QCOMPARE(scene(h), before);
    watch(
        h, rest, [&] { return scene(h); }, [&] { return h.clock.idle(); });
    QList<qint64> later;
    for (qint64 t : whole.times)
      if (t > at) later << t + shift;
    QCOMPARE(rest.times, later);
    QCOMPARE(rest.what, whole.what.mid(whole.times.size() - later.size()));
  }

  // Abort in manual mode in every phase, held or not: the window is idle,
  // the answer button shows "答は" only once the countdown was over (with
  // the total once the series was over), and the next start runs normally.
  void abort_data() {
    QTest::addColumn<int>("phase");
    QTest::addColumn<bool>("held");
    for (int p = 0; p < 4; ++p)
      for (bool held : {false, true})
        QTest::addRow("%s%s", kPhases[p].name, held ? ", held" : "") << p << held;
  }
  void abort() {
    QFETCH(int, phase);
    QFETCH(bool, held);
    Harness h;
    Harness::click(h->optKaite);
    Harness::click(h->cmdStart);
    h.advance(kPhases[phase].at);
    if (held) Harness::click(h->cmdTome);
    Harness::click(h->cmdStop);
    QVERIFY(h.clock.idle());
    QVERIFY(h->cmdStart.Enabled() && !h->cmdTome.Enabled());
    QCOMPARE(h->cmdTome.Caption(), QStringLiteral("保留"));
    QCOMPARE(h->cmdAns.Caption(), QStringLiteral("答"));
    for (const pf::Label* l : {&h->lbl1, &h->lbl2, &h->lbl3, &h->lbl3b, &h->lbl6, &h->lbl10})
      QVERIFY(!l->Visible());
    for (int k = 1; k <= 49; ++k) QCOMPARE(h->lin1[k].BorderColor(), h->lineColor);
    QCOMPARE(int(h->wa), 0);
    Harness::click(h->cmdAns);
    QCOMPARE(h->lbl3.Visible(), phase > 0);
    QCOMPARE(h->lbl2.Caption().isEmpty(), phase < 2);
    QVERIFY(h->lbl4.Caption().isEmpty() && h->lbl5.Caption().isEmpty());
    const qint64 start = startToFlash(h);
    Timeline tl;
    QCOMPARE(flash(h, tl).times, rhythm(start, 1000, 1, 5));
    h.advance(10500);
    QVERIFY(h.clock.idle());
    Harness::click(h->cmdAns);
    QCOMPARE(h->lbl4.Caption(), lines(tl.numbers()));
  }
};

PELATTO_TEST_MAIN(DrillTest)
#include "test_drill.moc"
