// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QLabel>
#include <QTransform>

#include "answers/typed_answers.h"
#include "countdown/column_fit.h"
#include "engine/number_text.h"
#include "harness.h"

// Answer columns and number lists stay readable: side by side they keep a
// clear gap, and none of them leaves the window, whatever the run, the
// digits, the separators and the window's width.

namespace {

// The widest total of `terms` numbers of `digits` digits, as the columns show it.
QString widestTotal(int digits, int terms, bool grouped) {
  const QString t = QString::number((std::pow(10.0, digits) - 1) * terms, 'f', 0);
  return grouped ? groupDigits(t) : t;
}

// The columns' font size as designed, for runs of more than ten.
double designedSize(int run, int digits) {
  if (run <= 15) return digits <= 4 ? 50 : digits <= 6 ? 38 : digits <= 9 ? 28 : 24;
  return digits <= 4 ? 42 : digits <= 6 ? 30 : 24;
}

// The widget's real place on screen, in twips.
QRectF placed(const pf::Control& c) {
  return QTransform::fromScale(15, 15).mapRect(QRectF(c.widget()->geometry()));
}

// Saves what the window shows when PELATTO_SHOTS names a folder.
void shoot(const Harness& h, const QString& name) {
  if (const QString dir = qEnvironmentVariable("PELATTO_SHOTS"); !dir.isEmpty())
    h->form.widget()->grab().save(dir + '/' + name + ".png");
}

// What a learner reads after the answer button: the columns' totals, the
// marks, the score and the marker, in window pixels, and the panel.
struct Readout {
  QList<QPair<QString, QRect>> items;
  QRect panel;
  double smallestMark = 99;
};
Readout readout(const Harness& h, const DrillPort& port) {
  Readout r{{}, port.panelArea()};
  for (int c = 0; c < 4; ++c)
    if (const DrillPort::Column col = port.answerColumn(c); !col.text.isEmpty())
      r.items << qMakePair(QString("column %1").arg(c + 1), col.text);
  if (h->lbl10.Visible()) r.items << qMakePair(QString("marker"), h->lbl10.textRect());
  QWidget* window = port.widget();
  for (QLabel* l : window->findChildren<QLabel*>(QRegularExpression("^answer(Mark|Score)")))
    if (l->isVisibleTo(window)) {
      r.items << qMakePair(l->objectName() + " " + l->text(), l->geometry());
      if (l->objectName() != "answerScore")
        r.smallestMark = std::min(r.smallestMark, l->font().pointSizeF());
    }
  return r;
}

}  // namespace

class ColumnsTest : public QObject {
  Q_OBJECT
 private slots:
  // Runs of 11-15 and 16-20 problems with the widest totals of 30 terms,
  // in a full-screen window and in the restored one: the columns revealed
  // by the answer button never overlap, stay inside the window, and the
  // marker sits over the first. Where the designed size fits, it is kept.
  void answerColumns_data() {
    // The outer width in pixels; played: a real run, not the widest totals.
    columns<int, int, bool, int, bool>("run", "digits", "grouped", "width", "played");
    for (int width : {625, 1280})
      QTest::addRow("played 20 9 , %d", width) << 20 << 9 << true << width << true;
    for (int run : {11, 15, 16, 20})
      for (int digits : {1, 4, 7, 9, 13, 14})
        for (bool grouped : {false, true})
          for (int width : {625, 1280})
            QTest::addRow("%d %d%s %d", run, digits, grouped ? " ," : "", width)
                << run << digits << grouped << width << false;
  }
  void answerColumns() {
    const auto [run, digits, grouped, width, played] =
        fetch<int, int, bool, int, bool>("run", "digits", "grouped", "width", "played");
    Harness h(1, {width, 800});
    h.play(QString::asprintf("hscl1=%d hscl7=%d hscl6=30 optKaite%s", digits, run,
                             grouped ? " chk1" : ""));
    pf::Label* cols[] = {&h->lbl6, &h->lbl7, &h->lbl8, &h->lbl9};
    if (played) h.play(QString("hscl2=%1 hscl5=10 cmdStart").arg(digits));
    QVERIFY(h.clock.advanceUntil([&] { return h.clock.idle(); }, 3'600'000));
    for (int p = 0; !played && p < run; ++p)
      cols[p / 5]->setCaption(cols[p / 5]->Caption() + widestTotal(digits, 30, grouped) + "\r\n");
    h.play("cmdAns");
    QCOMPARE(h->lbl6.Caption().count("\r\n") + h->lbl9.Caption().count("\r\n"),
             5 + (run > 15) * (run - 15));
    if (played) shoot(h, QString("columns-20x9-grouped-%1").arg(width));
    const double W = h->form.Width();
    QList<QRectF> shown;
    QSet<double> sizes;
    for (const pf::Label* c : cols)
      if (!c->Caption().isEmpty()) shown << placed(*c), sizes << c->FontSize();
    // Room left: the narrowest gap beyond the clear one, or to the window's edges.
    double slack = 1e9, widest = 0;
    for (const QRectF& a : shown) {
      slack = std::min({slack, a.left(), W - a.right()});
      widest = std::max(widest, a.width());
      for (const QRectF& b : shown)
        if (a.left() < b.left() && a.top() == b.top())  // side by side
          slack = std::min(slack, b.left() - a.right() - layout::kColumnGap);
    }
    QVERIFY2(slack >= -15, qPrintable(QString::number(slack)));  // a pixel of rounding
    QCOMPARE(sizes.size(), 1);
    // The designed size where it fits; otherwise only as much smaller as it
    // must be (hinted glyphs do not grow evenly: within half a point).
    const double size = *sizes.begin(), designed = designedSize(run, digits);
    QVERIFY(size <= designed);
    if (size < designed)
      QVERIFY2(slack < widest * 0.5 / size + 30, qPrintable(QString::number(size)));
    QVERIFY(h->lbl10.Visible() && h->lbl10.Top() == 350);
    QVERIFY(qAbs(h->lbl10.Left() + 200 - placed(h->lbl6).center().x()) <= 15);
  }

  // Four answer columns with marks, some wrong with long typed numbers,
  // some unanswered: every total, mark and the score stay in the window,
  // above the panel, clear of each other by a gap, at a readable size, also
  // after the window is resized or fills the screen; moving the digits
  // clears them all, the score too.
  void marksBesideColumns_data() {
    columns<int, int, bool, QSize>("digits", "run", "grouped", "size");
    for (int digits : {3, 8, 14})
      for (int run : {16, 20})
        for (bool grouped : {false, true})
          for (QSize size : {QSize(1280, 800), QSize(625, 480)})
            QTest::addRow("%d digits %d%s %d", digits, run, grouped ? " ," : "", size.width())
                << digits << run << grouped << size;
  }
  void marksBesideColumns() {
    const auto [digits, run, grouped, size] =
        fetch<int, int, bool, QSize>("digits", "run", "grouped", "size");
    Hosted w(digits * 100 + run);
    auto& [h, port, host] = w;
    TypedAnswers answers(host);
    QWidget* window = port.widget();
    h->form.setWindowState(pf::WindowState::Normal), window->resize(size);
    QApplication::setActiveWindow(window);
    h.play(QString::asprintf("hscl1=%d hscl2=%d hscl7=%d hscl6=3 hscl5=10 optKaite%s cmdStart",
                             digits, digits, run, grouped ? " chk1" : ""));
    QVERIFY(h.clock.advanceUntil([&] { return h.clock.idle(); }, 3'600'000));
    QStringList totals;  // from the answer columns the answer button shows
    for (const pf::Label* c : {&h->lbl6, &h->lbl7, &h->lbl8, &h->lbl9})
      totals += QString(c->Caption()).remove(',').split("\r\n", Qt::SkipEmptyParts);
    for (int k = 0; k < run; ++k) {
      const QString typed = k % 3 == 1 ? "164544683" : totals[k];
      if (k % 4 != 3) QTest::keyClicks(qApp->focusWidget(), typed);
      QTest::keyClick(qApp->focusWidget(), k % 4 != 3 ? Qt::Key_Return : Qt::Key_Plus);
    }
    h.play("cmdAns");
    shoot(h, QString::asprintf("marks-%dx%d%s-%dx%d", run, digits, grouped ? "-grouped" : "",
                               size.width(), size.height()));
    const QSize then = size.width() > 1000 ? QSize(625, 480) : QSize(1280, 800);
    for (int step = 0; step < 3; ++step) {
      if (step == 1) window->resize(then);
      if (step == 2) window->showFullScreen();
      QCoreApplication::processEvents();
      const Readout r = readout(h, port);
      QCOMPARE(r.items.size(), 4 + 1 + run + 1);  // the marker and the score
      const QString where = QString(" (step %1)").arg(step);
      QVERIFY2(r.smallestMark >= 8, qPrintable(QString::number(r.smallestMark) + where));
      for (const auto& [what, rect] : r.items) {
        QVERIFY2(window->rect().contains(rect), qPrintable(what + where));
        QVERIFY2(!rect.intersects(r.panel), qPrintable(what + where));
        // A gap of half the columns' clear space at least around each.
        for (const auto& [other, o] : r.items)
          QVERIFY2(&other == &what || !rect.adjusted(-4, 0, 4, 0).intersects(o),
                   qPrintable(what + " / " + other + where));
      }
    }
    window->showNormal();
    h.play("hscl1=2");
    QCOMPARE(readout(h, port).items.size(), 0);
  }

  // The number lists of 30 numbers of 14 digits, shown by the answer button
  // or at the end of the wait: the first starts 500 twips from the left
  // edge, the second ends 500 twips from the right edge, and they stay apart.
  void numberLists_data() {
    columns<QString, int>("mode", "width");  // width: pixels, outer
    for (int width : {625, 1280}) {
      QTest::addRow("manual %d", width) << "optKaite" << width;
      QTest::addRow("automatic %d", width) << "" << width;
    }
  }
  void numberLists() {
    const auto [mode, width] = fetch<QString, int>("mode", "width");
    Harness h("hscl1=14 hscl2=14 hscl6=30 hscl5=10 chk1 " + mode + " cmdStart", {width, 800});
    QVERIFY(h.clock.advanceUntil([&] { return h.clock.idle(); }, 60000));
    if (!mode.isEmpty()) h.play("cmdAns");
    const QRectF first = placed(h->lbl4), second = placed(h->lbl5);
    QVERIFY(h->lbl4.Visible() && h->lbl5.Visible());
    QCOMPARE(h->lbl4.Caption().count("\r\n") + h->lbl5.Caption().count("\r\n"), 30);
    QVERIFY(qAbs(first.left() - 500) <= 15 && qAbs(h->form.Width() - 500 - second.right()) <= 15);
    QVERIFY2(first.right() + layout::kColumnGap <= second.left(),
             qPrintable(QString::number(second.left() - first.right())));
    if (!mode.isEmpty()) shoot(h, QString("manual-reveal-30x14-%1").arg(width));
  }
};

PELATTO_TEST_MAIN(ColumnsTest)
#include "test_columns.moc"
