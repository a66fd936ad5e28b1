// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/number_text.h"
#include "engine/problem_maker.h"
#include "harness.h"

// The window makes its numbers with the plain problem maker: the same draws
// give the same numbers on the screen as from the maker alone, over many
// random panels. (The maker's own rules: test_rules.)

class GenerationTest : public QObject {
  Q_OBJECT
 private slots:
  void windowMakesWhatTheMakerMakes() {
    Harness h;
    QRandomGenerator g(20261207);
    for (int round = 0; round < 60; ++round) {
      const int longest = g.bounded(1, 15), shortest = g.bounded(1, longest + 1);
      const int terms = g.bounded(2, 31), mix = g.bounded(0, std::min(terms, 10) + 1);
      h.play(QString::asprintf("hscl5=10 hscl6=%d hscl1=%d hscl2=%d hscl3=%d", terms, longest,
                               shortest, mix));
      std::deque<float> draws;
      for (int k = 0; k < 200; ++k) draws.push_back(float(g.bounded(1 << 24)) / float(1 << 24));
      h->rnd.script(draws);
      h.play("cmdStart");
      h.clock.advanceUntil([&] { return h->tmr2.Interval() != 0; }, 10000);
      Timeline tl;
      const QStringList shown = h.flash(tl).numbers();
      h.play("cmdStop");
      QStringList made;
      for (double x : makeProblem(numberRules(h->currentSettings()), scriptedDraws(draws)))
        made << numberText(x);
      QCOMPARE(shown, made);
    }
  }

  // A problem stopped after three numbers leaves nothing behind for the next.
  // (A mix above the terms, which the panel never lets through: test_rules.)
  void stoppedProblem() {
    Harness h("hscl6=10 hscl1=6 hscl2=2 hscl3=10 cmdStart 9840 cmdStop cmdStart");
    QVERIFY(h.clock.advanceUntil([&] { return h->tmr3.Interval() != 0; }, 100000));
    QStringList flashed = (h->suretu1 + h->suretu2).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(flashed.size(), 10);
    QCOMPARE(flashed.filter(QRegularExpression("^\\d{6}$")).size(), 0);
    QCOMPARE(flashed.filter(QRegularExpression("^\\d{2}$")).size(), 1);
  }
};

PELATTO_TEST_MAIN(GenerationTest)
#include "test_generation.moc"
