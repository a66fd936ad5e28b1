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
  const QRect g = c.widget()->geometry();
  return {g.x() * 15.0, g.y() * 15.0, g.width() * 15.0, g.height() * 15.0};
}

// Saves what the window shows when PELATTO_SHOTS names a folder.
void shoot(const Harness& h, const char* name) {
  if (const QString dir = qEnvironmentVariable("PELATTO_SHOTS"); !dir.isEmpty())
    h->form.widget()->grab().save(dir + '/' + name + ".png");
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
    QTest::addColumn<int>("run");
    QTest::addColumn<int>("digits");
    QTest::addColumn<bool>("grouped");
    QTest::addColumn<int>("width");    // pixels, outer
    QTest::addColumn<bool>("played");  // a real run, not the widest totals
    for (int width : {625, 1280})
      QTest::addRow("played 20 9 , %d", width) << 20 << 9 << true << width << true;
    for (int run : {11, 15, 16, 20})
      for (int digits : {1, 4, 7, 9, 13, 14})
        for (bool grouped : {false, true})
          for (int width : {625, 1280}) {
            const QString name =
                QString("%1 %2%3 %4").arg(run).arg(digits).arg(grouped ? " ," : "").arg(width);
            QTest::newRow(qPrintable(name)) << run << digits << grouped << width << false;
          }
  }
  void answerColumns() {
    QFETCH(int, run);
    QFETCH(int, digits);
    QFETCH(bool, grouped);
    QFETCH(int, width);
    QFETCH(bool, played);
    Harness h;
    h->form.widget()->resize(width, 800);
    h.play(QString("hscl1=%1 hscl7=%2 hscl6=30 optKaite%3")
               .arg(digits)
               .arg(run)
               .arg(grouped ? " chk1" : ""));
    pf::Label* cols[] = {&h->lbl6, &h->lbl7, &h->lbl8, &h->lbl9};
    if (played) {
      h.play(QString("hscl2=%1 hscl5=10 cmdStart").arg(digits));
      QVERIFY(h.clock.advanceUntil([&] { return h.clock.idle(); }, 3'600'000));
    } else {
      const QString total = widestTotal(digits, 30, grouped);
      for (int p = 0; p < run; ++p)
        cols[p / 5]->setCaption(cols[p / 5]->Caption() + total + "\r\n");
    }
    h.play("cmdAns");
    QCOMPARE(h->lbl6.Caption().count("\r\n") + h->lbl9.Caption().count("\r\n"),
             5 + (run > 15) * (run - 15));
    if (played) shoot(h, qPrintable(QString("columns-20x9-grouped-%1").arg(width)));
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

  // The number lists of 30 numbers of 14 digits, shown by the answer button
  // or at the end of the wait: the first starts 500 twips from the left
  // edge, the second ends 500 twips from the right edge, and they stay apart.
  void numberLists_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("width");  // pixels, outer
    for (int width : {625, 1280}) {
      QTest::addRow("manual %d", width) << "optKaite" << width;
      QTest::addRow("automatic %d", width) << "" << width;
    }
  }
  void numberLists() {
    QFETCH(QString, mode);
    QFETCH(int, width);
    Harness h;
    h->form.widget()->resize(width, 800);
    h.play("hscl1=14 hscl2=14 hscl6=30 hscl5=10 chk1 " + mode + " cmdStart");
    QVERIFY(h.clock.advanceUntil([&] { return h.clock.idle(); }, 60000));
    if (!mode.isEmpty()) h.play("cmdAns");
    const QRectF first = placed(h->lbl4), second = placed(h->lbl5);
    QVERIFY(h->lbl4.Visible() && h->lbl5.Visible());
    QCOMPARE(h->lbl4.Caption().count("\r\n") + h->lbl5.Caption().count("\r\n"), 30);
    QVERIFY(qAbs(first.left() - 500) <= 15 && qAbs(h->form.Width() - 500 - second.right()) <= 15);
    QVERIFY2(first.right() + layout::kColumnGap <= second.left(),
             qPrintable(QString::number(second.left() - first.right())));
    if (!mode.isEmpty()) shoot(h, qPrintable(QString("manual-reveal-30x14-%1").arg(width)));
  }
};

PELATTO_TEST_MAIN(ColumnsTest)
#include "test_columns.moc"
