#include <QTest>
#include <cmath>

#include "engine/number_making.h"
#include "engine/number_text.h"
#include "panel/readouts.h"

// The rules of the drill that need no window: digit grouping, the making of
// a number from a draw, and the panel's read-out texts.

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
};

QTEST_APPLESS_MAIN(RulesTest)
#include "test_rules.moc"
