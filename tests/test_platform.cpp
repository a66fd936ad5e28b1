#include "harness.h"

// The classic-control layer: scroll bars that may run downwards, timers on
// the virtual clock, option buttons, the random source, twips and colours.

class PlatformTest : public QObject {
  Q_OBJECT
 private slots:
  void scrollBarUserActions() {
    pf::Window w("w");
    pf::ScrollBar down(w, "down", 14, 1, 1, 2, 2), up(w, "up", 10, 300, 1, 5, 200);
    QList<int> log;  // the value at each Change, -1 for a Scroll
    for (pf::ScrollBar* s : {&down, &up}) {
      s->onChange = [&log, s] { log << s->Value(); };
      s->onScroll = [&log] { log << -1; };
    }
    Harness::arrow(down, true);                  // 1
    Harness::arrow(down, true);                  // at the right end already: nothing
    QTest::keyClick(down.bar(), Qt::Key_Left);   // 2
    Harness::track(down, false);                 // 4
    QTest::keyClick(down.bar(), Qt::Key_Right);  // 3
    Harness::track(down, true);                  // 1
    QCOMPARE(down.bar()->value(), 13);           // the thumb at the right end
    down.setValue(13);
    Harness::track(down, false);  // 14, not beyond
    QCOMPARE(down.bar()->value(), 0);
    QTest::keyClick(up.bar(), Qt::Key_Right);  // 201
    Harness::track(up, false);                 // 196
    QCOMPARE(log, QList<int>({1, 2, 4, 3, 1, 13, 14, 201, 196}));
  }

  // A value set from code raises Change at once, nested like Qt's own: a
  // handler may put its own bar back (like the shortest digit count). A
  // drag raises Scroll with the thumb's value, and one Change on release.
  void scrollBarValueFromCodeAndDrag() {
    pf::Window w("w");
    pf::ScrollBar a(w, "a", 14, 1, 1, 2, 14), b(w, "b", 14, 1, 1, 2, 14);
    QStringList log;
    a.onChange = [&] {
      log << QStringLiteral("a%1").arg(a.Value());
      b.setValue(a.Value());
      log << QStringLiteral("a done");
    };
    b.onChange = [&] {
      log << QStringLiteral("b%1").arg(b.Value());
      if (b.Value() > 5) b.setValue(5);
    };
    a.onScroll = [&] { log << QStringLiteral("scroll %1").arg(a.Value()); };
    a.setValue(9);
    QCOMPARE(b.bar()->value(), 9);
    a.setValue(9);  // the same values again: nothing
    b.setValue(5);
    Harness::dragTo(a, 3);
    Harness::dragTo(a, 5);
    Harness::release(a);
    QCOMPARE(log,
             QStringList({"a9", "b9", "b5", "a done", "scroll 3", "scroll 5", "a5", "a done"}));
  }

  // A full interval after each (re)start, disabled time forgotten; ties in
  // arming order, and a timer disabled by an earlier handler at the same
  // instant does not fire.
  void timers() {
    pf::VirtualClock clock;
    pf::Timer silent(clock, true, 0), t(clock, true, 100), a(clock, false, 100),
        b(clock, false, 100);
    QStringList log;
    silent.onTimer = [&] { log << "silent"; };
    t.onTimer = [&] { log << QString::number(clock.now()); };
    a.onTimer = [&] { log << "a", t.setEnabled(false); };
    b.onTimer = [&] { log << "b"; };
    clock.advance(250);
    t.setInterval(100);  // a full interval from 250
    clock.advance(150);
    t.setEnabled(false);  // 50 ms into the interval, forgotten
    clock.advance(500);
    b.setEnabled(true);
    a.setEnabled(true);
    t.setEnabled(true);  // due at 1000, not 950, and disabled by a before it
    clock.advance(100);
    QCOMPARE(log, QStringList({"100", "200", "350", "b", "a"}));
  }

  void optionSelectedFromCodeRaisesClick() {
    Harness h;
    h->optC3.setValue(true);
    QCOMPARE(h->taimu, 80);
    QVERIFY(!h->optC1.Value());
  }

  // Equal seeds give equal series over the whole of [0, 1); two re-seeds
  // within one clock reading go on with fresh numbers.
  void randomSource() {
    pf::VirtualClock clock;
    pf::RandomSource a(clock), b(clock);
    a.seed(7);
    b.seed(7);
    float lo = 1, hi = 0;
    for (int k = 0; k < 100000; ++k) {
      const float x = a.Rnd();
      if (b.Rnd() != x) QFAIL("different series");
      lo = std::min(lo, x), hi = std::max(hi, x);
    }
    QVERIFY(lo >= 0 && lo < 1e-4f && hi < 1 && hi > 1 - 1e-4f);
    a.Randomize();
    const float x = a.Rnd();
    a.Randomize();
    QVERIFY(a.Rnd() != x);
  }

  // The nearest pixel at 15 twips, halves away from zero; colours as 0x00BBGGRR.
  void twipsAndColours() {
    pf::Window w("w");
    pf::Label l(w, "l");
    pf::CommandButton b(w, "b");
    const double twips[] = {7, 8, 23, 8976, -8, 7.5, -7.5};
    const int pixels[] = {0, 1, 2, 598, -1, 1, -1};
    for (int k = 0; k < 7; ++k) {
      l.Move(twips[k], twips[k], std::abs(twips[k]), 150);
      QCOMPARE(l.widget()->geometry(), QRect(pixels[k], pixels[k], std::abs(pixels[k]), 10));
    }
    for (auto [c, rgb] : {std::pair(0x000000FF, Qt::red), std::pair(0x00FF0000, Qt::blue)}) {
      w.setBackColor(c), l.setForeColor(c), b.setBackColor(c);
      QCOMPARE(w.widget()->palette().color(QPalette::Window), QColor(rgb));
      QCOMPARE(l.widget()->palette().color(QPalette::WindowText), QColor(rgb));
      QCOMPARE(b.widget()->palette().color(QPalette::Button), QColor(rgb));
    }
  }
};

PELATTO_TEST_MAIN(PlatformTest)
#include "test_platform.moc"
