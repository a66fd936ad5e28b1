// Long random sequences of learner actions on the real window, in virtual
// time, with the drill's invariants checked after every action and every
// timer tick. A failing sequence is shrunk to a short replayable list.
//
// Environment: PELATTO_EXERCISE_ACTIONS (total actions), PELATTO_EXERCISE_SEED
// (seed of the first sequence), PELATTO_EXERCISE_LENGTH (actions per
// sequence), PELATTO_EXERCISE_REPLAY (a printed action list, played once).

#include <QElapsedTimer>
#include <QKeySequence>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <random>

#include "harness.h"

namespace {

enum { Click, Dialog, Arrow, Track, Drag, Release, Key, Size, Window, Wait, Settle, End };
struct Action {
  int kind, a, b;
};
using Failure = std::pair<QString, int>;  // the check, the action's index

// An action is a kind and two numbers: click a (kClickNames); dialog a (0 text, 1 background)
// answered with colour b or cancelled (-1); arrow, track on bar a (kBarNames), to the right if b;
// drag bar a to value b, the thumb left held; key a (kKeys); resize to a x b px; window state b
// (0 normal, 1 minimised, 2 maximised); wait a ms, if b first up to the next change of phase.
const char* const kKindNames[] = {"click", "dialog", "arrow",  "track", "drag",   "release",
                                  "key",   "resize", "window", "wait",  "settle", "end"};
const char* const kClickNames[] = {"cmdStart", "cmdStop",  "cmdTome",    "cmdAns",   "cmdReSet",
                                   "optKaiji", "optKaite", "optC1",      "optC2",    "optC3",
                                   "chk1",     "cmdEnd",   "cmdMojiiro", "cmdHaikei"};
const char* const kBarNames[] = {"hscl1", "hscl2", "hscl3", "hscl5", "hscl6", "hscl7", "hscl8"};
const int kBarRange[][2] = {{1, 14}, {1, 14}, {0, 10}, {10, 300}, {2, 30}, {1, 20}, {0, 9}};
const Qt::Key kKeys[] = {Qt::Key_Tab,  Qt::Key_Backtab, Qt::Key_Space,  Qt::Key_Return,
                         Qt::Key_Left, Qt::Key_Right,   Qt::Key_PageUp, Qt::Key_PageDown,
                         Qt::Key_Home, Qt::Key_End};
// Countdown, 30 terms of at most 10 ticks of at most 1.5 s, answer wait and
// hand-over, and a margin: a running drill reaches its answer within this.
constexpr std::int64_t kProblemBoundMs = 3840 + 30 * 10 * 3000 + 13000 + 10000;

QString plain(QString s) { return s.remove(QLatin1Char(',')); }
QString grouped(QString s) {
  for (qsizetype k = s.size() - 3; k > 0; k -= 3) s.insert(k, QLatin1Char(','));
  return s;
}
// Which timers run and whether the drill is held; 0 is rest.
int phase(const frmPelatto& f) {
  return f.tmr1.running() + 2 * f.tmr2.running() + 4 * f.tmr3.running() + 8 * f.tmr4.running() +
         16 * f.SwthTome;
}
QString describe(const Action& x) {
  const QString target = x.kind == Click || x.kind == Dialog ? kClickNames[x.a + 12 * x.kind]
                         : x.kind == Key                     ? QKeySequence(kKeys[x.a]).toString()
                         : x.kind >= Arrow && x.kind <= Drag ? kBarNames[x.a]
                                                             : QString::number(x.a);
  return QStringLiteral("%1: %2 %3").arg(kKindNames[x.kind], target).arg(x.b);
}

// One learner session on a fresh window: plays actions and checks the drill.
class Session {
 public:
  explicit Session(std::uint64_t seed) : seed_(seed), h_(seed) {
    pf::ColorDialog::setResponder([this](const QString&, pf::Colour) { return answer_; });
    hook();
    checkState();
  }

  void play(const std::vector<Action>& list) {
    for (step = 0; step < static_cast<int>(list.size()) && !failure; ++step) {
      act(list[static_cast<std::size_t>(step)]);
      QCoreApplication::processEvents();
      if (ended_) reopen();
      checkState();
    }
  }

  std::optional<Failure> failure;
  int step = 0;
  std::array<long, 4> counts{};  // problems, numbers, answer waits, exits

 private:
  frmPelatto& f() { return *h_.f; }
  std::array<pf::ScrollBar*, 7> bars() {
    return {&f().hscl1, &f().hscl2, &f().hscl3, &f().hscl5, &f().hscl6, &f().hscl7, &f().hscl8};
  }
  std::array<pf::Control*, 14> clickables() {
    return {&f().cmdStart, &f().cmdStop,  &f().cmdTome,    &f().cmdAns,   &f().cmdReSet,
            &f().optKaiji, &f().optKaite, &f().optC1,      &f().optC2,    &f().optC3,
            &f().chk1,     &f().cmdEnd,   &f().cmdMojiiro, &f().cmdHaikei};
  }
  bool dragging() {
    const auto all = bars();
    return std::any_of(all.begin(), all.end(), [](auto* s) { return s->bar()->isSliderDown(); });
  }
  void releaseAll(pf::ScrollBar* except = nullptr) {
    for (auto* s : bars())
      if (s != except && s->bar()->isSliderDown()) Harness::release(*s);
  }

  void check(bool ok, const QString& what) {
    if (!ok && !failure) failure = Failure{what, step};
  }

  // Every handler runs through here: bounded nesting, no exception escapes.
  void guarded(const std::function<void()>& fn) {
    if (depth_ >= 8) return check(false, QStringLiteral("handler nesting stays bounded"));
    ++depth_;
    try {
      fn();
    } catch (const std::exception& e) {
      check(false, QStringLiteral("no exception escapes: ") + QString::fromLocal8Bit(e.what()));
    }
    --depth_;
  }
  void wrap(std::function<void()>& fn) {
    if (fn) fn = [this, orig = fn] { guarded(orig); };
  }
  void wrapTimer(pf::Timer& t, int k) {
    t.onTimer = [this, k, orig = t.onTimer] {
      frmPelatto& w = f();
      check(depth_ == 0, "a tick never runs inside a handler");
      const int n0 = w.n, m0 = w.matiji, tmr3Before = w.tmr3.Interval();
      const bool held = w.SwthTome;
      guarded(orig);
      if (held) check(k == 3 && w.matiji == m0 && w.n == n0, "a held drill stays frozen");
      if (k == 2) afterFlashTick(n0, tmr3Before);
      if (k == 3 && tmr3Before > 0 && w.tmr3.Interval() == 0) ++counts[2];
      checkState();
    };
  }
  void hook() {
    frmPelatto& w = f();
    for (auto* fn :
         {&w.cmdStart.onClick, &w.cmdStop.onClick, &w.cmdTome.onClick, &w.cmdAns.onClick,
          &w.cmdMojiiro.onClick, &w.cmdHaikei.onClick, &w.cmdReSet.onClick, &w.optC1.onClick,
          &w.optC2.onClick, &w.optC3.onClick, &w.chk1.onClick, &w.form.onResize})
      wrap(*fn);
    for (auto* s : bars()) wrap(s->onChange), wrap(s->onScroll);
    w.cmdEnd.onClick = [this, orig = w.cmdEnd.onClick] { guarded(orig), ended_ = true; };
    int k = 1;
    for (auto* t : {&w.tmr1, &w.tmr2, &w.tmr3, &w.tmr4}) wrapTimer(*t, k++);
  }
  // The end button closed the window: nothing may tick any more, and the
  // learner starts the program again.
  void reopen() {
    check(h_.clock.idle(), "the end button stops every timer");
    ended_ = false;
    h_.f = std::make_unique<frmPelatto>(h_.clock);
    f().rnd.seed(seed_ + static_cast<std::uint64_t>(++counts[3]));
    f().Show();
    hook();
    lastTotal_.clear();
  }

  void afterFlashTick(int n0, int tmr3Before) {
    frmPelatto& w = f();
    if (w.n == n0 + 1) {
      if (n0 == 0) shown_.clear(), kazu0_ = w.kazu;
      if (n0 == 0) check(w.kon <= w.kazu, "kon <= kazu when a problem's first number is made");
      const QString digits = plain(w.lbl1.Caption());
      const int len = static_cast<int>(digits.size());
      shown_.push_back(digits);
      ++counts[1];
      check(w.lbl1.Visible() && w.lbl1.Caption() == (w.chk1.Value() ? grouped(digits) : digits),
            "the number made is shown, grouped as the check box says");
      check(len > 0 && digits[0] != QLatin1Char('0') &&
                (w.kon == 0 ? len == w.ketaDai : len >= w.ketaSyo && len <= w.ketaDai),
            "every number has a digit count the settings allow");
    } else {
      check(w.n == n0, "at most one number per tick");
    }
    if (tmr3Before != 0 || w.tmr3.Interval() == 0) return;
    qint64 sum = 0;
    QString lists[2];
    for (std::size_t k = 0; k < shown_.size(); ++k)
      sum += shown_[k].toLongLong(), lists[k >= 15] += shown_[k] + QStringLiteral("\r\n");
    lastTotal_ = plain(w.lbl2.Caption());
    check(static_cast<int>(shown_.size()) == w.n && lastTotal_ == QString::number(sum) &&
              w.lbl2.Caption() == (w.chk1.Value() ? grouped(lastTotal_) : lastTotal_) &&
              w.suretu1 == lists[0] && w.suretu2 == lists[1],
          "the total and the number lists are exactly the numbers shown");
    const auto shorter = std::count_if(shown_.begin(), shown_.end(),
                                       [&](const QString& d) { return d.size() < w.ketaDai; });
    check(w.kazu != kazu0_ || w.n != w.kazu || w.ketaSyo == w.ketaDai || shorter == w.kon,
          "a whole problem has exactly kon shorter numbers");
    ++counts[0];
  }

  void checkState() {
    const frmPelatto& w = f();
    check(1 <= w.ketaSyo && w.ketaSyo <= w.ketaDai && w.ketaDai <= 14, "ketaSyo <= ketaDai");
    check(0 <= w.kon && w.kon <= w.kazu, "kon <= kazu");
    check(w.ketaDai == w.hscl1.Value() && w.ketaSyo == w.hscl2.Value() &&
              w.kon == w.hscl3.Value() && w.hayasa == w.hscl5.Value() &&
              w.kazu == w.hscl6.Value() && w.tyo == w.hscl8.Value(),
          "the settings follow their scroll bars");
    check(dragging() || w.tyo == 0 || std::abs(w.hayasa - 200) <= 3,
          "an extension only at about 2 s per number");
    check(0 <= w.wa && w.wa <= 49 && 0 <= w.e && w.e <= 4 && 0 <= w.i && w.i <= 30 && 0 <= w.n &&
              w.n <= 30 && 0 <= w.matiji && w.matiji <= 19,
          "counters stay in range");
    check(w.lineColor == w.form.BackColor(), "the dial's rest colour is the background");
    check(std::abs(w.waX - w.form.Width() / 2) <= 1 &&
              std::abs(w.waY - w.form.Height() / 2 + 1680) <= 1,
          "the dial stays centred on the window of any size");
    const bool rest = phase(w) == 0;
    check(rest == w.cmdAns.Enabled(), "the answer button is enabled exactly at rest");
    check(!rest || w.cmdStart.Enabled(), "at rest the start button is enabled");
    bool idle = w.wa == 0 && !w.cmdTome.Enabled() && w.cmdMojiiro.Enabled() &&
                w.cmdHaikei.Enabled() && w.optC1.Enabled() && w.optC2.Enabled() &&
                w.optC3.Enabled() && w.cmdAns.Caption() == QStringLiteral("答");
    for (int k = 1; rest && k <= 49; ++k) idle = idle && w.lin1[k].BorderColor() == w.lineColor;
    check(!rest || idle, "at rest the panel and the dial are idle");
    check(w.lbl2.Caption().isEmpty() || plain(w.lbl2.Caption()) == lastTotal_,
          "the answer label holds the last total");
  }

  void act(const Action& x) {
    frmPelatto& w = f();
    const bool minimised = w.form.windowState() == pf::WindowState::Minimized;
    pf::ScrollBar* bar = x.kind >= Arrow && x.kind <= Drag ? bars()[x.a] : nullptr;
    pf::Control* button = x.kind <= Dialog ? clickables()[x.a + 12 * x.kind] : nullptr;
    const bool usable = !minimised && (!bar || bar->Enabled()) && (!button || button->Enabled());
    const int phase0 = phase(w);
    if (x.kind == Dialog) answer_ = x.b < 0 ? std::nullopt : std::optional<pf::Colour>(x.b);
    if (button && usable) QTest::mouseClick(button->widget(), Qt::LeftButton);
    if (x.kind == Arrow && usable) Harness::arrow(*bar, x.b);
    if (x.kind == Track && usable) Harness::track(*bar, x.b);
    if (x.kind == Drag && usable) releaseAll(bar), Harness::dragTo(*bar, x.b);
    if (x.kind == Release || x.kind == End) releaseAll();
    QWidget* focus = w.form.widget()->focusWidget();
    if (x.kind == Key && usable) QTest::keyClick(focus ? focus : w.form.widget(), kKeys[x.a]);
    if (x.kind == Size && !minimised) w.form.setWindowState(pf::WindowState::Normal);
    if (x.kind == Size && !minimised) w.form.setClientSize(x.a * 15.0, x.b * 15.0);
    if (x.kind == Window) w.form.setWindowState(static_cast<pf::WindowState>(x.b));
    // From the next change of phase first, where races live.
    if (x.kind == Wait && x.b)
      h_.clock.advanceUntil([&] { return failure || phase(f()) != phase0; }, kProblemBoundMs);
    if (x.kind == Wait) h_.clock.advanceUntil([this] { return failure.has_value(); }, x.a);
    if (x.kind == Settle) settle(1);
    if (x.kind == End && w.SwthTome && w.cmdTome.Enabled()) Harness::click(w.cmdTome);
    if (x.kind == End) settle(25), check(phase(f()) == 0, "every run comes to rest");
  }
  // Unless held, a running drill reaches an answer (or rest) in bounded time.
  void settle(int rounds) {
    for (int k = 0; k < rounds && phase(f()) != 0 && !f().SwthTome && !failure; ++k) {
      const long before = counts[2];
      check(h_.clock.advanceUntil([&] { return failure || counts[2] != before || phase(f()) == 0; },
                                  kProblemBoundMs),
            "a running drill reaches its answer or rest in bounded time");
    }
  }

  std::uint64_t seed_;
  Harness h_;
  std::optional<pf::Colour> answer_;
  std::vector<QString> shown_;
  QString lastTotal_;
  int depth_ = 0, kazu0_ = 0;
  bool ended_ = false;
};

std::vector<Action> generate(std::uint64_t seed, int length) {
  std::mt19937_64 g(seed);
  const auto pick = [&](int n) { return static_cast<int>(g() % static_cast<std::uint64_t>(n)); };
  const auto logUniform = [&](double hi) {
    return static_cast<int>(std::pow(hi, static_cast<double>(g() >> 11) * 0x1p-53));
  };
  const int weights[] = {24, 3, 12, 6, 8, 4, 8, 2, 3, 26, 2};  // Click to Settle
  std::vector<Action> list;
  for (int k = 0; k < length; ++k) {
    int r = pick(98), kind = 0;
    while (r >= weights[kind]) r -= weights[kind++];
    const int bar = pick(7), lo = kBarRange[bar][0], hi = kBarRange[bar][1];
    Action x{kind, 0, pick(2)};
    if (kind == Click) x = {kind, pick(1000) < 3 ? 11 : pick(11), 0};
    if (kind == Dialog) x = {kind, pick(2), pick(3) == 0 ? -1 : pick(0x1000000)};
    if (kind == Arrow || kind == Track) x.a = bar;
    if (kind == Drag) x = {kind, bar, pick(4) == 0 ? (pick(2) ? lo : hi) : lo + pick(hi - lo + 1)};
    if (kind == Key) x = {kind, pick(static_cast<int>(std::size(kKeys))), 0};
    if (kind == Size) x = {kind, logUniform(6000), logUniform(6000)};
    if (kind == Window) x.b = pick(3);
    if (kind == Wait) x.b = pick(3) == 0;
    if (kind == Wait) x.a = x.b ? logUniform(4000) : pick(200) == 0 ? 7'000'000 : logUniform(1e6);
    list.push_back(x);
    // Now and then a whole digit setting at once, so that mixes get flashed.
    if (pick(30) == 0)
      for (const Action& y : {Action{Drag, 0, 1 + pick(14)}, Action{Drag, 1, 1 + pick(14)},
                              Action{Drag, 2, pick(11)}, Action{Release, 0, 0}})
        list.push_back(y);
  }
  list.push_back({End, 0, 0});
  return list;
}

std::optional<Failure> replay(std::uint64_t seed, const std::vector<Action>& list) {
  Session s(seed);
  s.play(list);
  return s.failure;
}

// Delta debugging: drops chunks, then single actions, while the same check
// still fails on a fresh window with the same seed.
std::vector<Action> shrink(std::uint64_t seed, std::vector<Action> list, const QString& check) {
  QElapsedTimer budget;
  budget.start();
  for (std::size_t chunk = list.size() / 2; chunk >= 1; chunk /= 2) {
    for (std::size_t at = 0; at < list.size() && budget.elapsed() < 15000;) {
      auto candidate = list;
      const auto first = candidate.begin() + static_cast<std::ptrdiff_t>(at);
      candidate.erase(first,
                      first + static_cast<std::ptrdiff_t>(std::min(chunk, list.size() - at)));
      const auto f = replay(seed, candidate);
      if (f && f->first == check)
        list.assign(candidate.begin(), candidate.begin() + f->second + 1);
      else
        at += chunk;
    }
  }
  return list;
}

std::vector<Action> parse(const QString& codes) {
  std::vector<Action> list;
  for (const QString& item : codes.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QStringList p = item.split(QLatin1Char(':'));
    list.push_back({p.value(0).toInt(), p.value(1).toInt(), p.value(2).toInt()});
  }
  return list;
}

qint64 envNumber(const char* name, qint64 fallback) {
  return qEnvironmentVariableIsSet(name) ? qEnvironmentVariable(name).toLongLong() : fallback;
}

}  // namespace

class ExerciserTest : public QObject {
  Q_OBJECT
 private slots:
  // Lists that once failed, replayed on every run.
  void knownSequences_data() {
    QTest::addColumn<qulonglong>("seed");
    QTest::addColumn<QString>("actions");
    QTest::newRow("run cut to one problem during the hand-over")
        << 1ull << "3:5:0 0:0:0 10:0:0 4:5:1 5:0:0 9:5000:0 11:0:0";
  }
  void knownSequences() {
    QFETCH(qulonglong, seed);
    QFETCH(QString, actions);
    const auto failure = replay(seed, parse(actions));
    QCOMPARE(failure ? failure->first : QString(), QString());
  }
  void randomLearnerActions() {
    const qint64 total = envNumber("PELATTO_EXERCISE_ACTIONS", 20000);
    const qint64 length = envNumber("PELATTO_EXERCISE_LENGTH", 300);
    auto seed = static_cast<std::uint64_t>(envNumber("PELATTO_EXERCISE_SEED", 1));
    const auto given = parse(qEnvironmentVariable("PELATTO_EXERCISE_REPLAY"));
    QElapsedTimer clock;
    clock.start();
    std::map<QString, int> failures;
    qint64 actions = 0, sequences = 0;
    std::array<long, 4> counts{};
    for (; given.empty() ? actions < total : sequences == 0; ++seed, ++sequences) {
      const auto list = given.empty()
                            ? generate(seed, static_cast<int>(std::min(length, total - actions)))
                            : given;
      qInfo("seed %llu: %zu actions", static_cast<unsigned long long>(seed), list.size());
      Session s(seed);
      s.play(list);
      actions += s.step;
      for (std::size_t k = 0; k < counts.size(); ++k) counts[k] += s.counts[k];
      if (!s.failure || failures[s.failure->first]++ > 0) continue;
      const auto small = given.empty() ? shrink(seed, list, s.failure->first) : list;
      QString text, codes;
      for (const Action& x : small) {
        text += QStringLiteral("\n  ") + describe(x);
        codes += QStringLiteral("%1:%2:%3 ").arg(x.kind).arg(x.a).arg(x.b);
      }
      QDebug(QtWarningMsg).noquote()
          << "FAILED check" << s.failure->first << "at action" << s.failure->second + 1 << "of seed"
          << seed << "\nshortest list of" << small.size() << "actions:" << text
          << "\nreplay: PELATTO_EXERCISE_SEED=" + QString::number(seed) +
                 " PELATTO_EXERCISE_REPLAY='" + codes.trimmed() + "'";
    }
    qInfo().noquote() << sequences << "sequences," << actions << "actions in"
                      << clock.elapsed() / 1000.0 << "s:" << counts[0] << "problems," << counts[1]
                      << "numbers," << counts[2] << "answer waits," << counts[3]
                      << "exits; failed checks:" << failures;
    QVERIFY2(failures.empty(), "a learner action broke the drill; see the lists above");
  }
};

PELATTO_TEST_MAIN(ExerciserTest)
#include "test_exerciser.moc"
