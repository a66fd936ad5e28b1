// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryDir>

#include "harness.h"
#include "history/history.h"

// The history holds exactly what the learner saw: random drills in virtual
// time, read off the display, against the stored rows.

namespace {

// Tells answers as the typed-answers feature does: after each reveal, and
// for every problem of the run when the answer columns appear. Then runs the
// event loop, as the program's loop would run between ticks, and notes any
// hand-over to the writer while numbers were flashing.
struct Learner : DrillListener {
  AnswerListener* to = nullptr;
  QRandomGenerator* g = nullptr;
  HistoryStore* store = nullptr;
  QList<double> totals;                    // this run's, in order
  QMap<int, std::optional<qint64>> typed;  // what was told, by problem
  bool flashing = false;
  long handOversAtStart = 0;
  int handOversWhileFlashing = 0;
  void tell(int problem) {
    MarkedAnswer a{problem, totals.value(problem), {}};
    if (const int pick = g->bounded(3); pick > 0) a.typed = a.total + (pick == 2);
    typed[problem] = a.typed ? std::optional<qint64>(std::llround(*a.typed)) : std::nullopt;
    to->onAnswerMarked(a);
  }
  void onDrillEvent(const DrillEvent& e) override {
    using K = DrillEvent::Kind;
    if (e.kind == K::Started) totals.clear(), typed.clear();
    if (e.kind == K::SeriesEnded) totals << e.value;
    if (e.kind == K::AnswerRevealed) tell(e.index);
    if (e.kind == K::ColumnsShown)
      for (int p = 0; p < totals.size(); ++p) tell(p);
    if (flashing && store->handOvers() != handOversAtStart) ++handOversWhileFlashing;
    if (e.kind == K::SeriesEnded || e.kind == K::Aborted) flashing = false;
    QCoreApplication::processEvents();
    if (e.kind == K::CountdownEnded) flashing = true, handOversAtStart = store->handOvers();
    if (flashing && store->handOvers() != handOversAtStart) ++handOversWhileFlashing;
  }
};

QString randomPanel(QRandomGenerator& g) {
  const int longest = g.bounded(1, 15), shortest = g.bounded(1, longest + 1);
  const int terms = g.bounded(2, 9), run = g.bounded(1, 4);
  const int mix = g.bounded(0, terms + 1), pace = g.bounded(10, 60), extension = g.bounded(0, 3);
  QString s = QString::asprintf("hscl6=%d hscl1=%d hscl2=%d hscl3=%d hscl5=%d hscl8=%d hscl7=%d",
                                terms, longest, shortest, mix, pace, extension, run);
  if (g.bounded(2)) s += " chk1";
  if (g.bounded(2)) s += " optKaite";
  return s;
}

// What the display showed of one problem: its numbers with the time of the
// first one's appearance and the last one's disappearance, and its total as
// the total label held it.
struct SeenProblem {
  qint64 startMs;  // when its countdown ended
  QList<qint64> numbers = {};
  qint64 firstMs = -1, offMs = -1, total = -1;
  bool shown = false;  // the total label was on screen
};

}  // namespace

// A record as a failed comparison shows it.
char* toString(const ProblemRecord& r) {
  QString s;
  QDebug(&s) << r.at << r.numbers << r.total << r.answer.value_or(-1) << r.aborted << r.seriesMs;
  return qstrdup(qPrintable(s));
}

class HistoryTest : public QObject {
  Q_OBJECT
 private slots:
  void holdsWhatTheLearnerSaw() {
    QTemporaryDir dir;
    Hosted w(11);
    auto& [h, port, host] = w;
    History history(host, dir.filePath("history.sqlite"));
    const QDateTime base(QDate(2026, 12, 6), QTime(9, 0));
    history.recorder().setWallClock([&] { return base.addMSecs(h.clock.now()); });
    QStringList notices;
    history.setNotice([&](const QString& t) { notices << t; });
    QRandomGenerator g(424242);
    Learner learner;
    learner.to = &history.answerListener(), learner.g = &g, learner.store = &history.store();
    port.subscribe(&learner);

    QList<ProblemRecord> expected;
    for (int drill = 0; drill < 25; ++drill) {
      h.play(randomPanel(g));
      const DrillSettings panel = port.settings();
      const bool abort = g.bounded(4) == 0;
      const qint64 abortAt = h.clock.now() + g.bounded(3000, 20000);
      h.play("cmdStart");
      QList<SeenProblem> seen;
      QString last;
      bool wasFlashing = false, stopped = false;
      // Every third drill comes late to each first number: the series
      // is stored as long as it was seen.
      const bool late = drill % 3 == 1;
      h.clock.advanceUntil(
          [&] {
            const bool flashing = h->tmr2.Interval() != 0;
            if (flashing && !wasFlashing) seen << SeenProblem{h.clock.now()};
            if (flashing && !wasFlashing && late) h.clock.stall(5 * h->hayasa + 10);
            wasFlashing = flashing;
            SeenProblem* p = seen.isEmpty() ? nullptr : &seen.last();
            const QString digits = flashing ? QString(h->lbl1.Caption()).remove(',') : "";
            // A number's place tells two equal numbers in a row apart.
            if (const QString now = QString::number(h->p) + "|" + digits; now != last) {
              if (!digits.isEmpty()) {
                if (p->firstMs < 0) p->firstMs = h.clock.now();
                p->numbers << digits.toLongLong(), p->offMs = -1;
              } else if (p && p->offMs < 0) {
                p->offMs = h.clock.now();
              }
              last = now;
            }
            if (p && h->tmr3.Interval() != 0 && p->total < 0)
              p->total = QString(h->lbl2.Caption()).remove(',').toLongLong();
            if (p && h->lbl2.Visible()) p->shown = true;
            if (abort && h.clock.now() >= abortAt && h->events.inDrill())
              stopped = true, h.play("cmdStop");
            return !h->events.inDrill();
          },
          3'600'000);
      // A stop takes the number on screen away at once.
      if (!seen.isEmpty() && seen.last().offMs < 0) seen.last().offMs = h.clock.now();
      if (!abort && panel.mode != AnswerMode::Automatic && g.bounded(2)) h.play("cmdAns");
      QCoreApplication::processEvents();

      for (int k = 0; k < seen.size(); ++k) {
        const SeenProblem& p = seen[k];
        if (p.numbers.isEmpty()) continue;
        ProblemRecord r;
        r.at = base.addMSecs(p.startMs), r.runPosition = k, r.numbers = p.numbers;
        r.settings = panel;
        r.settings.textColour = DrillSettings{}.textColour;
        r.settings.backColour = DrillSettings{}.backColour;
        r.settings.countdownSpeed = 1, r.settings.runLength = std::max(1, panel.runLength);
        r.aborted = stopped && !p.shown;  // stopped before its total was shown
        const qint64 sum = std::accumulate(p.numbers.begin(), p.numbers.end(), qint64{0});
        r.total = p.total < 0 ? sum : p.total, r.seriesMs = double(p.offMs - p.firstMs);
        QCOMPARE(sum, r.total);
        r.answer = learner.typed.value(k);  // none, or told as none: no mark
        if (r.answer) r.mark = *r.answer == r.total ? Mark::Correct : Mark::Wrong;
        expected << r;
      }
    }
    QList<ProblemRecord> stored = history.store().problems({});
    for (ProblemRecord& r : stored) r.id = 0;  // drawn at random
    QCOMPARE(stored, expected);
    QVERIFY(expected.size() > 30);
    QCOMPARE(learner.handOversWhileFlashing, 0);
    QVERIFY(notices.isEmpty());
  }
};

PELATTO_TEST_MAIN(HistoryTest)
#include "test_history.moc"
