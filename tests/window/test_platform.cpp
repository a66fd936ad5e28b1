// SPDX-License-Identifier: GPL-3.0-or-later
#include "harness.h"

// The classic-control layer: scroll bars that may run downwards, timers on
// the virtual clock, option buttons, the random source, twips and colours.

class PlatformTest : public QObject {
  Q_OBJECT
 private slots:
  // A bar running downwards (14 at the left end): the right arrow and the
  // Right key lower the value, the track moves by the large step, never
  // beyond the ends. A value set from code raises Change at once and nested
  // (a handler may put its own bar back), the same value nothing. A drag
  // raises Scroll with the thumb's value, and one Change on release.
  void scrollBar() {
    pf::Window w("w");
    pf::ScrollBar s(w, "s", {.min = 14, .max = 1, .smallChange = 1, .largeChange = 2, .value = 2});
    QString log;
    s.onChange = [&] {
      log += QString(" %1").arg(s.Value());
      if (s.Value() == 9) s.setValue(5);
      log += '.';
    };
    s.onScroll = [&] { log += QString(" s%1").arg(s.Value()); };
    Harness::arrow(s, true), Harness::arrow(s, true);  // the second at the right end: nothing
    QTest::keyClick(s.bar(), Qt::Key_Left), Harness::track(s, false);
    QTest::keyClick(s.bar(), Qt::Key_Right), Harness::track(s, true);
    s.setValue(13), Harness::track(s, false), s.setValue(9), s.setValue(5);
    Harness::dragTo(s, 3), Harness::dragTo(s, 7), Harness::release(s);
    QCOMPARE(log, " 1. 2. 4. 3. 1. 13. 14. 9 5.. s3 s7 7.");
  }

  // A full interval after each (re)start, disabled time forgotten; ties in
  // arming order, and a timer disabled by an earlier handler at the same
  // instant does not fire.
  void timers() {
    pf::VirtualClock clock;
    pf::Timer silent(clock, true, 0), t(clock, true, 100), a(clock, false, 100);
    QStringList log;
    silent.onTimer = [&] { log << "silent"; };
    t.onTimer = [&] { log << QString::number(clock.now()); };
    a.onTimer = [&] { log << "a", t.setEnabled(false); };
    clock.advance(250), t.setInterval(100);   // a full interval from 250
    clock.advance(150), t.setEnabled(false);  // 50 ms into the interval, forgotten
    clock.advance(500), a.setEnabled(true), t.setEnabled(true);  // both due at 1000
    clock.advance(100);
    QCOMPARE(log, QStringList({"100", "200", "350", "a"}));
  }

  // Values over the whole of [0, 1); two re-seeds within one clock reading
  // go on with fresh numbers.
  void randomSource() {
    pf::VirtualClock clock;
    pf::RandomSource r(clock, std::nullopt);
    float lo = 1, hi = 0;
    for (int k = 0; k < 100000; ++k) lo = std::min(lo, r.Rnd()), hi = std::max(hi, r.Rnd());
    QVERIFY(lo >= 0 && lo < 1e-4f && hi < 1 && hi > 1 - 1e-4f);
    r.Randomize();
    const float x = r.Rnd();
    r.Randomize();
    QVERIFY(r.Rnd() != x);
  }

  // An option button selected from code raises Click, once. Positions go to
  // the nearest pixel at 15 twips, halves away from zero; colours are 0x00BBGGRR.
  void controls() {
    pf::Window w("w");
    pf::OptionButton o(w, "o");
    int clicks = 0;
    o.onClick = [&] { ++clicks; };
    o.setValue(true);
    QCOMPARE(clicks, 1);
    pf::Label l(w, "l");
    const std::pair<double, int> rounding[] = {{7, 0}, {8, 1}, {23, 2}, {8976, 598}, {-7.5, -1}};
    for (auto [twips, px] : rounding) {
      l.Move(twips, twips, std::abs(twips), 150);
      QCOMPARE(l.widget()->geometry(), QRect(px, px, std::abs(px), 10));
    }
    w.setBackColor(0x123456);
    QCOMPARE(w.widget()->palette().color(QPalette::Window), QColor(0x56, 0x34, 0x12));
  }
};

PELATTO_TEST_MAIN(PlatformTest)
#include "test_platform.moc"
