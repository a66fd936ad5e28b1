#include <QTest>
#include <cmath>

#include "engine/number_making.h"
#include "engine/number_text.h"
#include "panel/readouts.h"
#include "shell/display_presets.h"

// The rules of the drill that need no window: digit grouping, the making of
// a number from a draw, the panel's read-out texts, the display presets.

namespace {
// The largest draw the random source can give, just below 1.
constexpr float kTop = 1.0f - 0x1p-24f;
}  // namespace

class RulesTest : public QObject {
  Q_OBJECT
 private slots:
  void grouping_data() {
    QTest::addColumn<QString>("grouped");
    for (const char* g : {"7", "42", "123", "1,234", "123,456", "1,234,567", "10,000", "1,000,001",
                          "99,999,999,999,999", "2,999,999,999,999,970", "9,876,543,210,123,456",
                          "1,000,000,000,000,000"})
      QTest::newRow(g) << QString(g);
  }
  void grouping() {
    QFETCH(QString, grouped);
    const QString digits = QString(grouped).remove(',');
    QCOMPARE(groupDigits(digits), grouped);
    QCOMPARE(numberText(digits.toDouble()), digits);
  }

  // The smallest and largest draw give the ends of each range.
  void numberFromDraw() {
    for (int k = 1; k <= 14; ++k) {
      const double low = std::pow(10.0, k - 1);
      QCOMPARE(digitsNumber(k, 0), low);
      // A draw has 24 bits, so from 8 digits on the top falls a little short of all nines.
      const double top = digitsNumber(k, kTop);
      QCOMPARE(numberText(top).size(), k);
      QVERIFY(top >= 10 * low - 1 - low * 1e-6 && (k > 7 || top == 10 * low - 1));
    }
    QCOMPARE(drawnPosition(5, 0), 0);
    QCOMPARE(drawnPosition(5, 0.7999f), 3);
    QCOMPARE(drawnPosition(30, kTop), 29);
  }

  void digitCount_data() {
    QTest::addColumn<int>("longest");
    QTest::addColumn<int>("shortest");
    QTest::addColumn<int>("low");   // at the smallest draw
    QTest::addColumn<int>("high");  // at the largest
    QTest::newRow("5 and 2") << 5 << 2 << 3 << 4;
    QTest::newRow("14 and 1") << 14 << 1 << 2 << 13;
    QTest::newRow("neighbours") << 5 << 4 << 4 << 4;
    QTest::newRow("equal") << 5 << 5 << 5 << 5;
  }
  void digitCount() {
    QFETCH(int, longest);
    QFETCH(int, shortest);
    QFETCH(int, low);
    QFETCH(int, high);
    QCOMPARE(QPair(inBetweenDigitCount(longest, shortest, 0),
                   inBetweenDigitCount(longest, shortest, kTop)),
             QPair(low, high));
  }

  // Pace, extension and terms: the per-number text as the pace bar and as
  // the extension bar write it, and the whole problem.
  void readouts_data() {
    QTest::addColumn<int>("hayasa");
    QTest::addColumn<int>("tyo");
    QTest::addColumn<int>("kazu");
    QTest::addColumn<QString>("expected");
    const auto add = [](int hayasa, int tyo, int kazu, const char* expected) {
      QTest::addRow("%d/%d/%d", hayasa, tyo, kazu) << hayasa << tyo << kazu << QString(expected);
    };
    add(100, 0, 5, "１秒毎 1秒毎 5秒");
    add(200, 0, 5, "２秒毎 2秒毎 10秒");
    add(300, 0, 5, "３秒毎 3秒毎 15秒");
    add(75, 0, 5, "0.75毎 0.75秒毎 3.75秒");
    add(10, 0, 2, "0.1毎 0.1秒毎 0.2秒");
    add(299, 0, 29, "2.99毎 2.99秒毎 86.7秒");
    add(203, 1, 5, "2.03毎 2.03秒毎 10.1秒");
    add(201, 3, 5, "4秒毎 4秒毎 約20");
    add(200, 4, 5, "２秒毎 5秒毎 約25");
    add(200, 9, 30, "２秒毎 10秒毎 約300");
  }
  void readouts() {
    QFETCH(int, hayasa);
    QFETCH(int, tyo);
    QFETCH(int, kazu);
    QFETCH(QString, expected);
    QCOMPARE(QStringList({paceText(hayasa, tyo), extensionPaceText(hayasa, tyo),
                          problemTimeText(tyo, kazu, hayasa)})
                 .join(' '),
             expected);
  }

  void panelRules() {
    QCOMPARE(QList<bool>({extensionUsable(196), extensionUsable(197), extensionUsable(203),
                          extensionUsable(204)}),
             QList<bool>({false, true, true, false}));
    QCOMPARE(mixText(10), QStringLiteral("混-10"));
  }

  // Digit counts to presets, and each preset's offsets and sizes, grouped or not.
  void presets_data() {
    QTest::addColumn<int>("digits");
    QTest::addColumn<int>("preset");
    QTest::addColumn<QList<double>>("plain");    // lbl1 offset, size, lbl2 offset, size
    QTest::addColumn<QList<double>>("grouped");  // the same with grouping on
    using L = QList<double>;
    const auto add = [](int digits, int preset, L plain, L grouped) {
      QTest::addRow("%d digits", digits) << digits << preset << plain << grouped;
    };
    for (int d : {1, 3}) add(d, 1, {2800, 250, 2000, 180}, {2800, 250, 2000, 180});
    add(4, 2, {2300, 200, 1800, 150}, {2300, 200, 1800, 150});
    for (int d : {5, 6}) add(d, 3, {2100, 180, 1800, 140}, {1900, 160, 1800, 130});
    for (int d : {7, 8}) add(d, 4, {1700, 140, 1600, 110}, {1500, 120, 1600, 110});
    for (int d : {9, 10}) add(d, 5, {1400, 110, 1300, 90}, {1200, 90, 1300, 80});
    for (int d : {11, 12}) add(d, 6, {1200, 90, 1100, 80}, {1100, 80, 1100, 70});
    for (int d : {13, 14}) add(d, 7, {1000, 80, 900, 70}, {900, 70, 900, 70});
  }
  void presets() {
    QFETCH(int, digits);
    QFETCH(int, preset);
    QFETCH(QList<double>, plain);
    QFETCH(QList<double>, grouped);
    QCOMPARE(presetForDigits(digits), preset);
    for (bool g : {false, true}) {
      const DisplayPreset p = displayPreset(preset, g);
      QCOMPARE(QList<double>({p.lbl1Offset, p.lbl1Points, p.lbl2Offset, p.lbl2Points}),
               g ? grouped : plain);
    }
  }
};

QTEST_APPLESS_MAIN(RulesTest)
#include "test_rules.moc"
