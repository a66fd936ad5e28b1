// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPixmap>
#include <cmath>

#include "harness.h"

// The countdown dial: where its lines stand during and after a sweep, the
// dot at 12 o'clock, and what a resize during a countdown does.

namespace {

constexpr pf::Colour kRing = 0x00FFFFC0, kBackground = 0x00006000;

// The ring of radius 1500 hangs from its top point, which stands at the
// middle of the window's width and 1680 twips above the middle of its height.
struct Ring {
  QPointF top;
  explicit Ring(const frmPelatto& f)
      : top(std::nearbyint(f.form.Width() / 2), std::nearbyint(f.form.Height() / 2 - 1680)) {}
  // Ring point k: k fiftieths of a turn clockwise from 12 o'clock.
  QPointF point(int k) const {
    const double a = k * 6.2832 / 50;
    return top + 1500 * QPointF(std::sin(a), 1 - std::cos(a));
  }
  // Where line k ends; during a sweep line 1 goes to point 1 once placed.
  QPointF end(int k, bool lineOnePlaced) const {
    return k == 0 ? top : point(k == 1 && lineOnePlaced ? 1 : k + 1);
  }
};

bool near(QPointF a, QPointF b) {
  return std::abs(a.x() - b.x()) < 1 && std::abs(a.y() - b.y()) < 1;
}

// Checks every line's ends against the ring: lines 1 to `placed` were placed
// in the current sweep, the others stand where the last full redraw put them.
void checkGeometry(const frmPelatto& f, const Ring& ring, int placed) {
  for (int k = 0; k <= 49; ++k) {
    const pf::Line& l = f.lin1[k];
    const bool now = placed >= 1 && k <= placed;
    const QPointF from = k == 0 ? ring.top : ring.end(k - 1, now), to = ring.end(k, now);
    QVERIFY2(near({l.X1(), l.Y1()}, from) && near({l.X2(), l.Y2()}, to),
             qPrintable(QString("line %1 at %2,%3").arg(k).arg(l.X2()).arg(l.Y2())));
  }
}

// The window's own surface, without the controls on it.
QImage surface(const frmPelatto& f) {
  QWidget* w = f.form.widget();
  QPixmap pm(w->size());
  w->render(&pm, {}, {}, QWidget::DrawWindowBackground);
  return pm.toImage();
}

QColor pixelAt(const QImage& image, QPointF twips) {
  return image.pixelColor(int(twips.x() / 15), int(twips.y() / 15));
}

}  // namespace

class DialTest : public QObject {
  Q_OBJECT
 private slots:
  // Part way through the second sweep at each countdown speed: the lines
  // placed so far eat the ring in the background colour, the rest stay in
  // the ring colour, line 0 is a dot at the top point.
  void sweep_data() {
    columns<QString, int>("speed", "placed");  // placed: lines placed in the second sweep
    for (const QString speed : {"optC1", "optC2", "optC3"})
      for (int placed : {4, 24, 44})
        QTest::addRow("%s, %d lines", qPrintable(speed), placed) << speed << placed;
  }
  void sweep() {
    const auto [speed, placed] = fetch<QString, int>("speed", "placed");
    // One line per 20 ms at every speed.
    Harness h(speed + QString(" cmdStart %1").arg(960 + 20 * placed), {1280, 800});
    QCOMPARE(QPair(int(h->wa), h->lbl1.Caption()), QPair(placed + 1, QString("3")));
    checkGeometry(*h.f, Ring(*h.f), placed);
    // Line 1 is placed but never painted or shown.
    for (int k = 2; k <= 48; ++k)
      QCOMPARE(h->lin1[k].BorderColor(), k <= placed ? kBackground : kRing);
    QCOMPARE(h->lin1[0].BorderColor(), kBackground);
    QVERIFY(h->lin1[0].Visible() && !h->lin1[1].Visible() && !h->lin1[49].Visible());
  }

  // At the end of a sweep and after an abort line 0 is a dot on the top
  // point, drawn in its colour, the ring around it regular again.
  void dot_data() {
    columns<QString, pf::Colour, bool>("actions", "colour", "visible");
    QTest::newRow("end of the first sweep") << "cmdStart 960" << kRing << true;
    QTest::newRow("end of the third sweep") << "cmdStart 2880" << kRing << true;
    QTest::newRow("aborted after a sweep") << "cmdStart 970 cmdStop" << kRing << true;
    QTest::newRow("aborted mid-sweep") << "cmdStart 1500 cmdStop" << kBackground << true;
    QTest::newRow("the countdown over") << "cmdStart 3840" << kRing << false;
  }
  void dot() {
    const auto [actions, colour, visible] =
        fetch<QString, pf::Colour, bool>("actions", "colour", "visible");
    Harness h(actions, {1280, 800});
    const Ring ring(*h.f);
    checkGeometry(*h.f, ring, 0);
    QCOMPARE(QPair(h->lin1[0].BorderColor(), h->lin1[0].Visible()), QPair(colour, visible));
    const QImage shown = surface(*h.f);
    QCOMPARE(pixelAt(shown, ring.top), pf::toQColor(visible ? colour : kBackground));
    // The dot is as wide as the line: three by three pixels.
    int dotPixels = 0;
    for (int dy = -4; dy <= 4; ++dy)
      for (int dx = -4; dx <= 4; ++dx)
        dotPixels += pixelAt(shown, ring.top + QPointF(15 * dx, 15 * dy)) == pf::toQColor(kRing);
    QCOMPARE(dotPixels, visible && colour == kRing ? 9 : 0);
  }

  // A resize during a countdown: lines placed after it use the new top
  // point, and the next end of a sweep moves the whole ring there.
  void resizeMidCountdown() {
    Harness h("cmdStart 1440", {1280, 800});  // half the second sweep
    const Ring before(*h.f);
    h->form.widget()->resize(1000, 700);
    const Ring after(*h.f);
    QVERIFY(!near(before.top, after.top));
    h.clock.advance(20);
    const pf::Line& l = h->lin1[25];
    QVERIFY(near({l.X1(), l.Y1()}, before.point(25)) && near({l.X2(), l.Y2()}, after.point(26)));
    QVERIFY(near({h->lin1[0].X1(), h->lin1[0].Y1()}, after.top));
    h.clock.advance(460);  // the end of the second sweep
    QCOMPARE(h->lbl1.Caption(), QStringLiteral("2"));
    checkGeometry(*h.f, after, 0);
  }
};

PELATTO_TEST_MAIN(DialTest)
#include "test_dial.moc"
