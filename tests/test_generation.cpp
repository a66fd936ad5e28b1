#include "harness.h"

// The digit counts of every number of a problem under each mix setting,
// over many problems. (The value of each number from its draw: test_rules.)

// How many numbers have the longest digit count, a count in between and the
// shortest: "1 3 6"; a "?" for each number of any other length.
static QString kinds(Harness& h, const QList<qint64>& numbers) {
  int n[4] = {}, dai = h->ketaDai, syo = h->ketaSyo;
  for (qint64 x : numbers) {
    const int d = int(QString::number(x).size());
    ++n[d == dai ? 0 : d == syo ? 2 : d > syo && d < dai ? 1 : 3];
  }
  return QStringLiteral("%1 %2 %3").arg(n[0]).arg(n[1]).arg(n[2]) + QString(n[3], '?');
}

class GenerationTest : public QObject {
  Q_OBJECT
 private slots:
  // Settings as the learner makes them: terms, longest, shortest, mix.
  void digitCounts_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("expected");
    const auto add = [](const char* name, const char* settings, const char* expected) {
      QTest::newRow(name) << QString(settings) << QString(expected);
    };
    add("no mix, 14 digits", "hscl6=16 hscl1=14", "16 0 0");
    add("mix 1", "hscl6=8 hscl1=7 hscl2=3 hscl3=1", "7 0 1");
    add("5/2/4, 10 terms", "hscl6=10 hscl1=5 hscl2=2 hscl3=4", "6 3 1");
    add("neighbours 5/4/3", "hscl6=7 hscl1=5 hscl2=4 hscl3=3", "4 0 3");
    add("mix = terms", "hscl6=10 hscl1=6 hscl2=2 hscl3=10", "0 9 1");
    add("14 digits, mix 10 of 30", "hscl6=30 hscl1=14 hscl2=1 hscl3=10", "20 9 1");
  }
  void digitCounts() {
    QFETCH(QString, settings);
    QFETCH(QString, expected);
    Harness h;
    h.play(settings);
    QSet<int> shortestAt;
    for (int run = 0; run < 300; ++run) {
      const QList<qint64> numbers = makeProblem(*h.f);
      QCOMPARE(kinds(h, numbers), expected);
      for (int k = 0; k < h->kazu; ++k)
        if (QString::number(numbers[k]).size() == h->ketaSyo) shortestAt << k;
    }
    // The shortest number turns up at every position, the first included.
    if (expected.endsWith(" 1")) QCOMPARE(shortestAt.size(), h->kazu);
    // A problem stopped after three numbers leaves nothing behind for the next.
    h.play("cmdStart 9840 cmdStop cmdStart");
    QVERIFY(h.clock.advanceUntil([&] { return h->tmr3.Interval() != 0; }, 100000));
    QList<qint64> flashed;
    for (const QString& n : (h->suretu1 + h->suretu2).split("\r\n", Qt::SkipEmptyParts))
      flashed << n.toLongLong();
    QCOMPARE(kinds(h, flashed), expected);
    // A mix above the terms, which the panel never lets through, still ends.
    h->kon = static_cast<std::int16_t>(h->kazu + 3);
    QVERIFY(!kinds(h, makeProblem(*h.f)).contains('?'));
  }
};

PELATTO_TEST_MAIN(GenerationTest)
#include "test_generation.moc"
