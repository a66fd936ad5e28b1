// SPDX-License-Identifier: GPL-3.0-or-later
#include "harness.h"

// The window right after start-up, the exit, and the layout that follows
// its size. (The keyboard order is checked with real Tab presses in
// test_accessibility.)

class WindowTest : public QObject {
  Q_OBJECT
 private slots:
  // Which controls are hidden and which disabled, the options and the
  // colour; a few key controls of the panel as the learner sees them (twips
  // inside their frame; fractional point sizes kept), and the font; then the
  // exit. (The start-up values show in the default drill's timing.)
  void startUp() {
    Harness h;
    QStringList hidden, disabled;
    for (const QWidget* w : h->form.widget()->findChildren<QWidget*>()) {
      if (w->isHidden()) hidden << w->objectName();
      if (!w->isEnabled()) disabled << w->objectName();
    }
    QCOMPARE(hidden.join(' ') + " / " + disabled.join(' ') + (h.clock.idle() ? "" : " busy"),
             QStringLiteral("lbl1 lbl2 lbl3 lbl3b lbl4 lbl5 lbl6 lbl7 lbl8 lbl9 lbl10 / cmdTome"));
    QCOMPARE(h->form.widget()->palette().color(QPalette::Window), QColor(0, 96, 0));
    QVERIFY(h->optKaiji.Value() && h->optC1.Value() && !h->chk1.Value());
    const std::tuple<pf::Control*, QRect, double, bool> rows[] = {
        {&h->cmdStart, {2200, 240, 770, 468}, 18, false},
        {&h->cmdAns, {1080, 710, 852, 300}, 10.2, true},
        {&h->hscl1, {4000, 240, 1250, 132}, 0, false},
        {&h->hscl5, {6750, 840, 1020, 132}, 0, false},
        {&h->chk1, {5450, 190, 372, 216}, 10.8, true},
        {&h->optKaite, {0, 300, 1212, 252}, 9, true}};
    for (auto [c, twips, points, bold] : rows) {
      const QWidget* w = c->widget();
      const auto px = [](int t) { return qRound(t / 15.0); };
      QCOMPARE(w->geometry(),
               QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
      if (points == 0) continue;
      QCOMPARE(w->font().family() + QString::number(w->font().pointSizeF()),
               QStringLiteral("ＭＳ Ｐゴシック") + QString::number(points));
      QCOMPARE(w->font().bold(), bold);
    }
    // The exit ends at once, also mid-drill: no timer ticks after it.
    h.play("cmdStart 5000 cmdEnd");
    QVERIFY(!h->form.widget()->isVisible() && h.clock.advance(60000) == 0);
  }

  void layoutFollowsSize_data() {
    // outer: pixels, title bar and borders included
    columns<QString, QSize, QPoint>("settings", "outer", "wa");
    // Even sizes keep W/2 and H/2 whole; odd ones check the rounding of halves to even.
    for (int d = 1; d <= 14; ++d)
      for (bool g : {false, true}) {
        const QSize outer(700 + 2 * d, 500 + 2 * d + 2 * g);
        QTest::addRow("%d digits%s", d, g ? ", grouped" : "")
            << QString("hscl1=%1%2").arg(d).arg(g ? " chk1" : "") << outer
            << QPoint(outer.width() * 15 / 2, outer.height() * 15 / 2 - 1680);
      }
    QTest::newRow("halves down to even") << "hscl1=5" << QSize(803, 603) << QPoint(6022, 2842);
    QTest::newRow("halves up to even") << "hscl1=5" << QSize(801, 601) << QPoint(6008, 2828);
    QTest::newRow("beyond 16 bits") << "hscl1=5" << QSize(5001, 4701) << QPoint(37508, 33578);
  }
  void layoutFollowsSize() {
    const auto [settings, outer, wa] = fetch<QString, QSize, QPoint>("settings", "outer", "wa");
    Harness h(settings);
    // lbl1's offset above H/2 and points, the same for lbl2, by preset and grouping.
    const double presets[7][2][4] = {{{2800, 250, 2000, 180}, {2800, 250, 2000, 180}},
                                     {{2300, 200, 1800, 150}, {2300, 200, 1800, 150}},
                                     {{2100, 180, 1800, 140}, {1900, 160, 1800, 130}},
                                     {{1700, 140, 1600, 110}, {1500, 120, 1600, 110}},
                                     {{1400, 110, 1300, 90}, {1200, 90, 1300, 80}},
                                     {{1200, 90, 1100, 80}, {1100, 80, 1100, 70}},
                                     {{1000, 80, 900, 70}, {900, 70, 900, 70}}};
    const int digits = h->hscl1.Value(), preset = digits <= 3 ? 0 : (digits + 1) / 2 - 1;
    const double* p = presets[preset][h->chk1.Value()];
    QWidget* w = h->form.widget();
    w->resize(outer - (w->frameGeometry().size() - w->size()));
    const double W = h->form.Width(), H = h->form.Height();
    // lbl1 and lbl2 span the width; the preset's offsets from H/2 and font sizes last.
    QCOMPARE(
        QList<double>({h->lbl1.Width(), h->lbl2.Width(), h->lbl3.Left(), h->lbl3.Top(),
                       h->lbl3b.Left(), h->lbl3b.Top(), h->lbl4.Left(),
                       h->lbl5.Left() + h->lbl5.Width(), h->fra1.Left() + h->fra1.Width() / 2,
                       h->fra1.Top(), H / 2 - h->lbl1.Top(), h->lbl1.widget()->font().pointSizeF(),
                       H / 2 - h->lbl2.Top(), h->lbl2.widget()->font().pointSizeF()}),
        QList<double>({W, W, W / 2 - 900, 500, W / 2 - 900, 500, 500, W - 800, W / 2, H - 1600,
                       p[0], p[1], p[2], p[3]}));
    QCOMPARE(QPoint(h->waX, h->waY), wa);
  }
};

PELATTO_TEST_MAIN(WindowTest)
#include "test_window.moc"
