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

  void scrollBarValueFromCodeAndDrag() {
    pf::Window w("w");
    pf::ScrollBar a(w, "a", 14, 1, 1, 2, 14), b(w, "b", 14, 1, 1, 2, 14);
    QStringList log;
    a.onChange = [&] {
      log << QStringLiteral("a%1").arg(a.Value());
      b.setValue(a.Value());
      log << QStringLiteral("a done");
    };
    // Like the shortest digit count: the handler puts its own bar back.
    b.onChange = [&] {
      log << QStringLiteral("b%1").arg(b.Value());
      if (b.Value() > 5) b.setValue(5);
    };
    a.setValue(9);
    QCOMPARE(log, QStringList({"a9", "b9", "b5", "a done"}));
    QCOMPARE(b.bar()->value(), 9);
    a.setValue(9);
    b.setValue(5);
    QCOMPARE(log.size(), 4);
    // A drag raises Scroll with the thumb's value, and one Change on release.
    log.clear();
    a.onScroll = [&] { log << QStringLiteral("scroll %1").arg(a.Value()); };
    Harness::dragTo(a, 3);
    Harness::dragTo(a, 5);
    Harness::release(a);
    QCOMPARE(log, QStringList({"scroll 3", "scroll 5", "a5", "a done"}));
  }

  void timers() {
    pf::VirtualClock clock;
    pf::Timer silent(clock, true, 0), t(clock, true, 100);
    QList<qint64> at;
    silent.onTimer = [&] { at << -1; };
    t.onTimer = [&] { at << clock.now(); };
    clock.advance(250);
    t.setInterval(100);  // a full interval from 250
    clock.advance(150);
    t.setEnabled(false);  // 50 ms into the interval, forgotten
    clock.advance(500);
    t.setEnabled(true);
    clock.advance(150);
    QCOMPARE(at, QList<qint64>({100, 200, 350, 1000}));
    // Ties go in arming order; a timer disabled by an earlier handler at the
    // same instant does not fire.
    pf::Timer a(clock, false, 100), b(clock, false, 100), c(clock, false, 100);
    QStringList log;
    a.onTimer = [&] {
      log << "a";
      c.setEnabled(false);
    };
    b.onTimer = [&] { log << "b"; };
    c.onTimer = [&] { log << "c"; };
    for (pf::Timer* x : {&b, &a, &c}) x->setEnabled(true);
    t.setEnabled(false);
    clock.advance(100);
    QCOMPARE(log, QStringList({"b", "a"}));
  }

  void optionSelectedFromCodeRaisesClick() {
    Harness h;
    h->optC3.setValue(true);
    QCOMPARE(h->taimu, 80);
    QVERIFY(!h->optC1.Value());
  }

  void randomSource() {
    pf::VirtualClock clock;
    pf::RandomSource a(clock), b(clock);
    a.seed(7);
    b.seed(7);
    QList<float> xs, ys;
    for (int k = 0; k < 100000; ++k) {
      xs << a.Rnd();
      ys << b.Rnd();
    }
    QVERIFY(xs == ys);
    const auto [lo, hi] = std::minmax_element(xs.begin(), xs.end());
    QVERIFY(*lo >= 0 && *lo < 1e-4f && *hi < 1 && *hi > 1 - 1e-4f);
    // Two re-seeds within one clock reading go on with fresh numbers.
    a.Randomize();
    const float x = a.Rnd();
    a.Randomize();
    QVERIFY(a.Rnd() != x);
  }

  void twipsAndColours() {
    pf::Window w("w");
    pf::Label l(w, "l");
    pf::CommandButton b(w, "b");
    // The nearest pixel at 15 twips, halves away from zero.
    const double twips[] = {7, 8, 23, 8976, -8, 7.5, -7.5};
    const int pixels[] = {0, 1, 2, 598, -1, 1, -1};
    for (int k = 0; k < 7; ++k) {
      l.Move(twips[k], twips[k], std::abs(twips[k]), 150);
      QCOMPARE(l.widget()->geometry(), QRect(pixels[k], pixels[k], std::abs(pixels[k]), 10));
    }
    const pf::Colour colours[] = {0x000000FF, 0x00FF0000, 0x00FFFFC0};
    const QColor rgb[] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(192, 255, 255)};
    for (int k = 0; k < 3; ++k) {
      w.setBackColor(colours[k]);
      l.setForeColor(colours[k]);
      b.setBackColor(colours[k]);
      QCOMPARE(w.widget()->palette().color(QPalette::Window), rgb[k]);
      QCOMPARE(l.widget()->palette().color(QPalette::WindowText), rgb[k]);
      QCOMPARE(b.widget()->palette().color(QPalette::Button), rgb[k]);
    }
  }
};

PELATTO_TEST_MAIN(PlatformTest)
#include "test_platform.moc"
