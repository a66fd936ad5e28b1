// SPDX-License-Identifier: GPL-3.0-or-later
#include <QRandomGenerator>
#include <QTest>
#include <array>
#include <cmath>

#include "engine/number_text.h"
#include "engine/problem_maker.h"
#include "panel/readouts.h"
#include "rows.h"

// The rules of the drill that need no window: digit grouping, the making of
// numbers from draws and of draws from numbers, and the panel's read-outs.

Q_DECLARE_METATYPE(NumberRules)

namespace {
// The largest draw the random source can give, just below 1.
constexpr float kTop = 1.0f - 0x1p-24f;

DrawSource randomDraws(QRandomGenerator& g) {
  return [&g](const DrawRequest&) { return float(g.bounded(1 << 24)) / float(1 << 24); };
}

// How many numbers have the longest digit count, a count in between and the
// shortest: "1 3 6"; a "?" for each number of any other length.
QString kinds(const NumberRules& r, const std::vector<double>& numbers) {
  int n[4] = {};
  for (double x : numbers) {
    const int d = int(numberText(x).size());
    ++n[d == r.longest ? 0 : d == r.shortest ? 2 : d > r.shortest && d < r.longest ? 1 : 3];
  }
  return QStringLiteral("%1 %2 %3").arg(n[0]).arg(n[1]).arg(n[2]) + QString(n[3], '?');
}
}  // namespace

class RulesTest : public QObject {
  Q_OBJECT
 private slots:
  void grouping() {
    for (const QString grouped : {"7", "42", "123", "1,234", "123,456", "1,234,567", "10,000",
                                  "1,000,001", "99,999,999,999,999", "2,999,999,999,999,970",
                                  "9,876,543,210,123,456", "1,000,000,000,000,000"}) {
      const QString digits = QString(grouped).remove(',');
      QCOMPARE(groupDigits(digits) + ' ' + numberText(digits.toDouble()), grouped + ' ' + digits);
    }
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
    QCOMPARE(QList({drawnPosition(5, 0), drawnPosition(5, 0.7999f), drawnPosition(30, kTop)}),
             QList({0, 3, 29}));
  }

  // The in-between digit count at the smallest and the largest draw.
  void digitCount() {
    for (auto [longest, shortest, low, high] :
         {std::array{5, 2, 3, 4}, {14, 1, 2, 13}, {5, 4, 4, 4}, {5, 5, 5, 5}})
      QCOMPARE(QPair(inBetweenDigitCount(longest, shortest, 0),
                     inBetweenDigitCount(longest, shortest, kTop)),
               QPair(low, high));
  }

  // The digit counts of every number of a problem under each mix (terms,
  // longest, shortest, mix), over many problems; the shortest number turns up
  // at every position; the draws worked out for each problem make it again.
  void problems_data() {
    columns<NumberRules, QString>("rules", "expected");
    QTest::newRow("no mix, 14 digits") << NumberRules{14, 14, 0, 16} << "16 0 0";
    QTest::newRow("mix 1") << NumberRules{7, 3, 1, 8} << "7 0 1";
    QTest::newRow("5/2/4, 10 terms") << NumberRules{5, 2, 4, 10} << "6 3 1";
    QTest::newRow("neighbours 5/4/3") << NumberRules{5, 4, 3, 7} << "4 0 3";
    QTest::newRow("mix = terms") << NumberRules{6, 2, 10, 10} << "0 9 1";
    QTest::newRow("14 digits, mix 10 of 30") << NumberRules{14, 1, 10, 30} << "20 9 1";
  }
  void problems() {
    auto [rules, expected] = fetch<NumberRules, QString>("rules", "expected");
    QRandomGenerator g(20261207);
    QSet<int> shortestAt;
    for (int run = 0; run < 300; ++run) {
      const std::vector<double> numbers = makeProblem(rules, randomDraws(g));
      QCOMPARE(kinds(rules, numbers), expected);
      for (int k = 0; k < rules.terms; ++k)
        if (numberText(numbers[std::size_t(k)]).size() == rules.shortest) shortestAt << k;
      const auto draws = drawsFor(rules, numbers);
      QVERIFY(draws);
      QCOMPARE(makeProblem(rules, scriptedDraws(*draws)), numbers);
    }
    if (expected.endsWith(" 1")) QCOMPARE(shortestAt.size(), rules.terms);
    // A mix above the terms, which the panel never lets through, still ends.
    rules.mix = rules.terms + 3;
    QVERIFY(!kinds(rules, makeProblem(rules, randomDraws(g))).contains('?'));
  }

  // Numbers the making rule cannot give get no draws, rather than wrong ones:
  // a shorter number without a mix, a mix of two but one shorter, two of the
  // shortest count, 14 digits off the draw grid, zero.
  void impossibleNumbers() {
    const std::pair<NumberRules, std::vector<double>> cases[] = {
        {{3, 1, 0}, {123, 45, 678}},
        {{3, 1, 2}, {123, 4, 678}},
        {{4, 2, 2}, {12, 34, 5678}},
        {{14, 14, 0}, {10000000000001, 10000000000001}},
        {{1, 1, 0}, {0, 1}}};
    for (const auto& [rules, numbers] : cases) QVERIFY(!drawsFor(rules, numbers));
  }

  // Pace, extension and terms: the per-number text as the pace bar and as
  // the extension bar write it, and the whole problem.
  // (A failure names its row: pace, extension and terms lead the texts.)
  void readouts() {
    const std::tuple<int, int, int, const char*> rows[] = {
        {100, 0, 5, "１秒毎 1秒毎 5秒"},       {200, 0, 5, "２秒毎 2秒毎 10秒"},
        {300, 0, 5, "３秒毎 3秒毎 15秒"},      {75, 0, 5, "0.75毎 0.75秒毎 3.75秒"},
        {10, 0, 2, "0.1毎 0.1秒毎 0.2秒"},     {299, 0, 29, "2.99毎 2.99秒毎 86.7秒"},
        {203, 1, 5, "2.03毎 2.03秒毎 10.1秒"}, {201, 3, 5, "4秒毎 4秒毎 約20"},
        {200, 4, 5, "２秒毎 5秒毎 約25"},      {200, 9, 30, "２秒毎 10秒毎 約300"}};
    for (auto [hayasa, tyo, kazu, texts] : rows)
      QCOMPARE(QString::asprintf("%d %d %d ", hayasa, tyo, kazu) + paceText(hayasa, tyo) + ' ' +
                   extensionPaceText(hayasa, tyo) + ' ' + problemTimeText(tyo, kazu, hayasa),
               QString::asprintf("%d %d %d %s", hayasa, tyo, kazu, texts));
  }

  void panelRules() {
    for (int pace : {196, 197, 203, 204})
      QCOMPARE(std::pair(pace, extensionUsable(pace)), std::pair(pace, pace >= 197 && pace <= 203));
    QCOMPARE(mixText(10), QStringLiteral("混-10"));
  }
};

QTEST_APPLESS_MAIN(RulesTest)
#include "test_rules.moc"
