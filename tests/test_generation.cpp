#include "engine/number_text.h"
#include "harness.h"

// The digit counts of every number of a problem under each mix setting,
// over many seeds, and the grouping of number text.

namespace {

struct MixCase {
  int dai, syo, kon, kazu, raisedSyo;  // raisedSyo: shortest raised afterwards, keeping the mix
  QString kinds;                       // L longest, M in between, S shortest, sorted
};

// The kinds of the numbers listed, sorted: "LMMMS" for one longest number,
// three in between and one shortest.
QString kinds(const QStringList& numbers, int dai, int syo) {
  QString out;
  for (const QString& s : numbers) {
    const auto d = s.size();
    out += d == dai ? 'L' : d == syo ? 'S' : d > syo && d < dai ? 'M' : '?';
  }
  std::sort(out.begin(), out.end());
  return out;
}

QString kinds(int s, int m, int l) { return QString(l, 'L') + QString(m, 'M') + QString(s, 'S'); }

// The panel settings as the learner makes them: terms, longest, shortest, mix.
void configure(Harness& h, int dai, int syo, int kon, int kazu) {
  Harness::set(h->hscl6, kazu);
  Harness::set(h->hscl1, dai);
  Harness::set(h->hscl2, syo);
  Harness::set(h->hscl3, kon);
}

// One problem through MakeNumber after the per-problem reset.
QStringList problem(Harness& h) {
  QStringList out;
  h->i = 0;
  h->h = 0;
  h->SwthK = false;
  for (int k = 0; k < h->kazu; ++k) {
    h->MakeNumber();
    out << numberText(h->suu);
  }
  return out;
}

}  // namespace

Q_DECLARE_METATYPE(MixCase)

class GenerationTest : public QObject {
  Q_OBJECT
 private slots:
  void digitCounts_data() {
    QTest::addColumn<MixCase>("c");
    QTest::newRow("no mix, 1 digit") << MixCase{1, 1, 0, 5, 0, kinds(0, 0, 5)};
    QTest::newRow("no mix, 14 digits") << MixCase{14, 14, 0, 16, 0, kinds(0, 0, 16)};
    QTest::newRow("mix 1") << MixCase{7, 3, 1, 8, 0, kinds(1, 0, 7)};
    QTest::newRow("5/2/4, 10 terms") << MixCase{5, 2, 4, 10, 0, kinds(1, 3, 6)};
    QTest::newRow("neighbours 5/4/3") << MixCase{5, 4, 3, 7, 0, kinds(3, 0, 4)};
    QTest::newRow("mix = terms") << MixCase{6, 2, 10, 10, 0, kinds(1, 9, 0)};
    QTest::newRow("mix = terms = 2") << MixCase{3, 1, 2, 2, 0, kinds(1, 1, 0)};
    QTest::newRow("14 digits, mix 10 of 30") << MixCase{14, 1, 10, 30, 0, kinds(1, 9, 20)};
    QTest::newRow("shortest = longest, mix 3") << MixCase{5, 4, 3, 7, 5, kinds(0, 0, 7)};
  }
  void digitCounts() {
    QFETCH(MixCase, c);
    Harness h;
    configure(h, c.dai, c.syo, c.kon, c.kazu);
    if (c.raisedSyo) Harness::set(h->hscl2, c.raisedSyo);
    QCOMPARE(h->kon, c.kon);
    QSet<int> shortestAt;
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
      h->rnd.seed(seed);
      const QStringList numbers = problem(h);
      QCOMPARE(kinds(numbers, h->ketaDai, h->ketaSyo), c.kinds);
      for (int k = 0; k < c.kazu; ++k)
        if (numbers[k].size() == c.syo && c.syo < c.dai) shortestAt << k;
      QCOMPARE(std::count(h->su.begin(), h->su.end(), 0.0), 30);  // all handed out
    }
    // The shortest number turns up at every position, the first included.
    if (c.kinds.count('S') == 1) QCOMPARE(shortestAt.size(), c.kazu);
  }

  void nothingSurvivesIntoTheNextProblem() {
    Harness h;
    configure(h, 5, 2, 4, 10);
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
      h->rnd.seed(seed);
      Harness::click(h->cmdStart);
      h.advance(3840 + 3 * 2000);  // the countdown, then three numbers
      QCOMPARE(h->n, 3);
      Harness::click(h->cmdStop);
      Harness::click(h->cmdStart);
      QVERIFY(h.clock.advanceUntil([&] { return h->tmr3.Interval() != 0; }, 60000));
      QCOMPARE(kinds(h->suretu1.split("\r\n", Qt::SkipEmptyParts), 5, 2), kinds(1, 3, 6));
      Harness::click(h->cmdStop);
      // A mix above the terms (only possible mid-drag) still ends, with kazu numbers.
      h->kon = 10;
      h->kazu = 4;
      QCOMPARE(kinds(problem(h), 5, 2).count('?'), 0);
      QCOMPARE(h->i, 4);
      h->kon = 4;
      h->kazu = 10;
      QCOMPARE(kinds(problem(h), 5, 2), kinds(1, 3, 6));
    }
  }

  void grouping_data() {
    QTest::addColumn<QString>("grouped");
    for (const char* g : {"7", "42", "123", "1,234", "123,456", "1,234,567", "10,000", "1,000,001",
                          "99,999,999,999,999", "2,999,999,999,999,970", "9,876,543,210,123,456",
                          "1,000,000,000,000,000"})
      QTest::newRow(g) << QString(g);
  }
  void grouping() {
    QFETCH(QString, grouped);
    Harness h;
    h->suuRet = QString(grouped).remove(',');
    h->GroupDigits();
    QCOMPARE(h->suuKug, grouped);
  }
};

PELATTO_TEST_MAIN(GenerationTest)
#include "test_generation.moc"
