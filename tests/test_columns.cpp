#include "countdown/column_fit.h"
#include "harness.h"

// Answer columns and number lists stay readable: side by side they keep a
// clear gap, and none of them leaves the window, whatever the run, the
// digits, the separators and the window's width.

namespace {

// The widest total of `terms` numbers of `digits` digits, as the columns show it.
QString widestTotal(int digits, int terms, bool grouped) {
  const QString t = QString::number((std::pow(10.0, digits) - 1) * terms, 'f', 0);
  return grouped ? groupedText(t) : t;
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
  // The rule on its own: centres (anchor 0.5) or edges (0, 1) stay put and
  // widths grow with the font size.
  void fitRule_data() {
    QTest::addColumn<double>("window");
    QTest::addColumn<QList<QList<double>>>("blocks");  // x, anchor, width at 24 pt
    QTest::addColumn<double>("points");
    const QList<double> c4{6000, 8600, 11400, 14000};  // four columns round W/2 = 10000
    const auto four = [&](double width) {
      QList<QList<double>> b;
      for (double x : c4) b.append({x, 0.5, width});
      return b;
    };
    QTest::newRow("fits: kept exactly") << 20000.0 << four(2000) << 24.0;
    QTest::newRow("gap 120 exactly: kept") << 20000.0 << four(2480) << 24.0;
    // (2800 - 120) / 2640 of 24 pt is 24.36, above the size: kept.
    // 11 digits at 24 pt are 2640 wide: (2600 - 120) / 2640 of 24 pt is 22.55.
    QTest::newRow("11 digits") << 20000.0 << four(2640) << 22.5;
    // With separators 3360: (2600 - 120) / 3360 of 24 pt is 17.71.
    QTest::newRow("11 digits grouped") << 20000.0 << four(3360) << 17.7;
    // Left edge at 687.5 - 1050 s: s = 0.6548 of 24 pt is 15.71.
    QTest::newRow("off the left edge")
        << 9375.0 << QList<QList<double>>{{687.5, 0.5, 2100}, {8687.5, 0.5, 1000}} << 15.7;
    QTest::newRow("off the right edge")
        << 9000.0 << QList<QList<double>>{{8000, 0.5, 3000}} << 16.0;
    // Two rows of two columns: the wider block of each column counts,
    // (5200 - 120) / (3000 + 3000) of 24 pt is 20.32.
    QTest::newRow("grid") << 12000.0
                          << QList<QList<double>>{{3400, 0.5, 5000},
                                                  {3400, 0.5, 6000},
                                                  {8600, 0.5, 6000}}
                          << 20.3;
    // Lists held by their left and right ends: (9000 - 1000 - 120) / 8000 of 24 pt is 23.64.
    QTest::newRow("lists by their ends")
        << 9000.0 << QList<QList<double>>{{500, 0, 4000}, {8500, 1, 4000}} << 23.6;
    QTest::newRow("no room at all: smallest")
        << 20000.0 << QList<QList<double>>{{5000, 0.5, 1000}, {5100, 0.5, 1000}}
        << layout::kSmallestPoints;
  }
  void fitRule() {
    QFETCH(double, window);
    QFETCH(QList<QList<double>>, blocks);
    QFETCH(double, points);
    std::vector<layout::RowBlock> row;
    for (const QList<double>& b : blocks) row.push_back({b[0], b[1], b[2]});
    QCOMPARE(layout::fitRowFontSize(window, row, 24), points);
  }

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
