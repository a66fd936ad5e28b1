// SPDX-License-Identifier: GPL-3.0-or-later
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "harness.h"
#include "platform/precise_clock.h"
#include "platform/realtime.h"
#include "platform/refresh_grid.h"
#include "platform/tick_schedule.h"
#include "platform/timer.h"

// The program's clock: deadlines on the grid of a timer's start, late ticks
// and stalls, input before a tick, the flush step, real-time scheduling and
// its fallback.

namespace {
constexpr std::int64_t kMs = 1'000'000;
using Times = QList<std::int64_t>;
// Milliseconds, as the clock's nanoseconds.
Times ms(std::initializer_list<double> l) {
  Times t;
  for (double x : l) t << std::llround(x * kMs);
  return t;
}
}  // namespace

class PreciseClockTest : public QObject {
  Q_OBJECT
 private slots:
  // Each tick is shown at the time given; the next is due on the grid of the
  // start, or after a stall, a gap after the late one until the grid is
  // reached again (no grid point is passed over); a stall of more than two
  // intervals moves the grid on by whole pairs of them. (The same in the
  // window, at 50 ms: stall.)
  void schedule_data() {
    columns<Times, Times, Times, long>("grid", "shownAt", "due", "shifted");  // grid: start, step
    QTest::newRow("late inside the interval")
        << ms({0, 50}) << ms({50, 120}) << ms({50, 100, 150}) << 0L;
    QTest::newRow("20 ms: a gap of half the interval")
        << ms({0, 20}) << ms({20, 75}) << ms({20, 40, 85}) << 0L;
    QTest::newRow("more than two intervals: the grid moves by a pair")
        << ms({0, 50}) << ms({50, 300, 317, 334, 351}) << ms({50, 100, 317, 334, 351, 400}) << 2L;
    QTest::newRow("a start off the millisecond")
        << ms({1.234567, 20}) << ms({0, 0}) << ms({21.234567, 41.234567, 61.234567}) << 0L;
  }
  void schedule() {
    const auto [grid, shownAt] = fetch<Times, Times>("grid", "shownAt");
    pf::TickSchedule s(grid[0], grid[1]);
    Times seen{s.dueAt()};
    for (std::int64_t t : shownAt) s.advance(t), seen << s.dueAt();
    QTEST(seen, "due");
    QTEST(s.shifted(), "shifted");
  }

  // The real window at 0.10 s a number, 6 terms: a stall longer than a tick
  // keeps the series on its grid. A late blank is shown at once, a number
  // whose time has passed a gap after it, the next on its grid time: only
  // the number hit stands longer, by the stall alone, and the series ends on
  // time. A stall of more than two ticks moves the rest by whole numbers.
  // Changes from 150 to 400 ms after the flash timer started: + a number, - a blank.
  void stall_data() {
    columns<int, int, QString, int>("at", "length", "shown", "endLate");
    QTest::newRow("a number's tick") << 160 << 60 << "150+ 220- 250+ 300- 350+ 400-" << 0;
    QTest::newRow("past the next number") << 160 << 104 << "150+ 264- 281+ 300- 350+ 400-" << 0;
    QTest::newRow("a blank's tick") << 210 << 60 << "150+ 200- 270+ 300- 350+ 400-" << 0;
    QTest::newRow("more than two ticks") << 160 << 200 << "150+ 360- 377+ 400-" << 100;
  }
  void stall() {
    const auto [at, length] = fetch<int, int>("at", "length");
    Harness h("hscl5=10 hscl6=6 cmdStart 3840");
    const qint64 start = h.clock.now();
    Timeline tl;
    h.flash(tl, 99, at);
    h.clock.stall(length);
    h.flash(tl);
    QStringList shown;
    for (qsizetype k = 0; k < tl.times.size(); ++k)
      if (const qint64 t = tl.times[k] - start; t >= 150 && t <= 400)
        shown << QString::number(t) + (tl.what[k].isEmpty() ? "-" : "+");
    QTEST(shown.join(' '), "shown");
    QCOMPARE(tl.numbers().size(), 6);
    QTEST(int(h.clock.now() - start - 13 * 50), "endLate");
  }

  // A hold or an abort pressed 3 ms before a number is due, after the clock
  // has woken for it, stops it from showing; after the resume it comes one
  // interval later.
  void inputBeforeDue() {
    const auto press = [](Harness& h, const QString& button) {
      h.play("hscl5=10 hscl6=6 cmdStart 3840 147 " + button + " 20");
      QCOMPARE(QPair(int(h->n), h->lbl1.Caption()), QPair(1, QString()));
    };
    Harness aborted, h;
    press(aborted, "cmdStop"), press(h, "cmdTome");
    h.play("cmdTome");
    const qint64 resumed = h.clock.now();
    Timeline tl;
    QCOMPARE(h.flash(tl, 1).times, QList<qint64>{resumed + 50});
    QCOMPARE(h->n, 2);
  }

  // On a compositor's refreshes (60 Hz, one shown at 1 s): a change is seen
  // on the refresh nearest its due time and sent 1 ms after the refresh
  // before; one too late for that goes to the next refresh it can reach; a
  // frame shown later than meant sends the later ones a frame earlier. On a
  // compositor that shows frames on a timer, a change is sent the median of
  // the last delays ahead, a median that moved less than half a frame kept.
  void refreshSlot_data() {
    // Frames shown, with the refresh they were meant for (on a timer: when
    // they were sent); the slot asked for at due, now: when sent, when seen.
    columns<Times, Times, Times>("shown", "meant", "slot");
    // Refreshes after the one at 1 s, and milliseconds.
    const auto at = [](std::int64_t frames, std::int64_t ms = 0) {
      return 1'000 * kMs + frames * 16'666'666 + ms * kMs;
    };
    const Times once{at(0)}, zero{0};  // one frame, shown when meant
    QTest::newRow("nearest after due") << once << zero << Times{at(3, 2), at(0), at(2, 1), at(3)};
    QTest::newRow("nearest before due") << once << zero << Times{at(3, -8), at(0), at(2, 1), at(3)};
    QTest::newRow("half a frame still") << once << zero << Times{at(3), at(2, 9), at(2, 9), at(3)};
    QTest::newRow("too late: the next") << once << zero << Times{at(3), at(2, 10), at(3, 1), at(4)};
    QTest::newRow("a frame shown late: two frames ahead")
        << Times{at(0), at(5)} << Times{0, at(4)} << Times{at(8), at(0), at(6, 1), at(8)};
    const Times sent{at(0), at(0, 100), at(0, 200)};
    QTest::newRow("on a timer: the lead kept within half a frame")
        << Times{at(0, 25), at(0, 130), at(0, 231)} << sent
        << Times{at(0, 1000), at(0), at(0, 975), at(0, 1000)};
    QTest::newRow("on a timer: the median once it moves further")
        << Times{at(0, 25), at(0, 140), at(0, 241)} << sent
        << Times{at(0, 1000), at(0), at(0, 960), at(0, 1000)};
  }
  void refreshSlot() {
    const auto [shown, meant, slot] = fetch<Times, Times, Times>("shown", "meant", "slot");
    const bool onTimer = QByteArray(QTest::currentDataTag()).startsWith("on a timer");
    pf::RefreshGrid grid;
    for (qsizetype k = 0; k < shown.size(); ++k)
      onTimer ? grid.presentedOnTimer(shown[k], 16'666'666, meant[k])
              : grid.presented(shown[k], 16'666'666, meant[k]);
    const pf::TickStages::Slot got = grid.slot(slot[0], slot[1]);
    QCOMPARE((Times{got.sendAt, got.seenAt}), slot.mid(2));
  }

  // The lead is cut to a quarter of the interval, so the 20 ms ticks of the
  // dial keep their order. After painting: back to the event loop while the
  // deadline is far, a bounded sleep for its last fraction, at once when it
  // has passed.
  void wakeAndFlush() {
    QCOMPARE((Times{pf::TickSchedule(0, 50 * kMs).wakeAt(3 * kMs),
                    pf::TickSchedule(0, 20 * kMs).wakeAt(8 * kMs),
                    pf::TickSchedule(0, 50 * kMs).wakeAt(0)}),
             ms({47, 15, 50}));
    const std::int64_t d = 100 * kMs, w = 500'000;
    for (auto [now, kind, until] : {std::tuple(d - 3 * kMs, pf::FlushStep::WaitInLoop, d - w),
                                    {d - w, pf::FlushStep::Sleep, d},
                                    {d, pf::FlushStep::Now, d},
                                    {d + 2 * kMs, pf::FlushStep::Now, d + 2 * kMs}}) {
      const pf::FlushStep step = pf::planFlush(now, d, w);
      QCOMPARE(QPair(step.kind, step.untilNs), QPair(kind, until));
    }
  }

  // The watchdog is in place before the thread turns real-time; a resource
  // limit below the wanted priority is used instead; without either the
  // desktop's service is asked; refused by all, the thread stays normal with
  // 1 ns of timer slack.
  void realtime_data() {
    // The calls made: real-time when the last one is granted.
    columns<int, int, bool, QString>("allowedUpTo", "rlimit", "service", "calls");
    const QString before = "slack 1, watchdog 200/2000, fifo 10 ";
    QTest::newRow("allowed") << 99 << 0 << false << before + "ok";
    QTest::newRow("resource limit 5") << 5 << 5 << false << before + "refused, fifo 5 ok";
    QTest::newRow("limit without permission")
        << 0 << 5 << false << before + "refused, fifo 5 refused, service 10 refused";
    QTest::newRow("service grants") << 0 << 0 << true << before + "refused, service 10 ok";
  }
  void realtime() {
    const auto [allowedUpTo, rlimit, service, calls] =
        fetch<int, int, bool, QString>("allowedUpTo", "rlimit", "service", "calls");
    QStringList log;
    const auto answer = [&](const char* what, int p, bool ok) {
      log << QString("%1 %2 %3").arg(what).arg(p).arg(ok ? "ok" : "refused");
      return ok;
    };
    const pf::SchedulerCalls sc{
        .setFifo = [&](int p) { return answer("fifo", p, p <= allowedUpTo); },
        .priorityLimit = [&] { return rlimit; },
        .setWatchdog = [&](long s, long h) { log << QString("watchdog %1/%2").arg(s).arg(h); },
        .setTimerSlack = [&](unsigned long ns) { log << QString("slack %1").arg(ns); },
        .askService = [&](int p) { return answer("service", p, service); }};
    QCOMPARE(pf::raiseTimingThread(sc, 10) == pf::Scheduling::RealTime, calls.endsWith(" ok"));
    QCOMPARE(log.join(", "), calls);
  }

  // Inside a handler the clocks read the tick's own time, so a timer
  // started there lies on the grid of the one that ticked.
  void virtualNow() {
    pf::VirtualClock clock;
    pf::Timer a(clock, true, 30), b(clock, true, 0);
    Times seen;
    a.onTimer = [&] {
      seen << clock.nowNs();
      if (b.Interval() == 0) b.setInterval(20);
    };
    b.onTimer = [&] { seen << -clock.nowNs(); };
    // A call at a given time runs among the ticks, at that time.
    clock.callAt(42 * kMs + 1, [&] { seen << clock.nowNs(); });
    clock.cancelCall(clock.callAt(10 * kMs, [&] { seen << 0; }));
    clock.advance(75);
    QCOMPARE(seen, (Times{30 * kMs, 42 * kMs + 1, -50 * kMs, 60 * kMs, -70 * kMs}));
  }

  // A call at a time already gone runs at once and reads that time, so a
  // timer started there ticks on the grid of the instant asked for, the
  // ticks it missed run at once; what it changes is shown like a tick's
  // change. A cancelled call never runs.
  void calls() {
    pf::PreciseClock clock;
    pf::Timer t(clock, true, 0);
    QEventLoop loop;
    const std::int64_t past = clock.nowNs() - 47 * kMs;
    Times seen;  // in the call, then the ticks
    QList<pf::TickTrace> traces;
    clock.onTrace = [&](const pf::TickTrace& trace) { traces << trace; };
    clock.callAt(past, [&] { seen << clock.nowNs(), t.setInterval(20); });
    clock.cancelCall(clock.callAt(past + 30 * kMs, [&] { seen << 0; }));
    t.onTimer = [&] {
      seen << clock.nowNs();
      if (seen.size() == 4) t.setInterval(0), loop.quit();
    };
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    QCOMPARE(seen, (Times{past, past + 20 * kMs, past + 40 * kMs, past + 60 * kMs}));
    QVERIFY(!traces.isEmpty() && !traces[0].timer && traces[0].deadline == past);
    QCOMPARE(traces.last().shifted, 0);
  }

  // The running clock on a real event loop: ticks in order on the grid, a
  // timer started in a handler on the grid of that tick, and every change
  // run at most its paint's time ahead and shown not before it is due. What
  // a tick changes is painted into the window's back buffer, in its place
  // and exactly as Qt paints it, and is shown before Qt's own repaint runs.
  void runningClock() {
    pf::PreciseClock clock;
    pf::Window w("w");
    w.setBackColor(0x006000), w.setClientSize(6000, 4500);
    pf::Label l(w, "l");
    l.Move(1500, 1200, 3000, 2000), l.setFontSize(72), l.setForeColor(0xFFFFFF);
    w.Show();
    QVERIFY(QTest::qWaitForWindowExposed(w.widget()));
    pf::Timer a(clock, true, 0), b(clock, true, 0);
    QList<pf::TickTrace> traces;
    QStringList order;
    QImage shown, expected;
    QEventLoop loop;
    clock.onTrace = [&](const pf::TickTrace& t) {
      if (traces.isEmpty()) {
        const QRect area = l.widget()->geometry();
        QWidget* const widget = w.widget();
        shown = QGuiApplication::primaryScreen()->grabWindow(widget->winId()).toImage().copy(area);
        expected = widget->grab(area).toImage();
      }
      traces << t;
    };
    const auto tick = [&](const char* name) {
      order << name;
      l.setCaption(QString::number(order.size() + 7));
      if (order.size() == 1) b.setInterval(60);
      if (order.size() == 8) a.setInterval(0), b.setInterval(0), loop.quit();
    };
    a.onTimer = [&] { tick("a"); };
    b.onTimer = [&] { tick("b"); };
    a.setInterval(40);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    // Ties in the order of their last arming, as on the virtual clock.
    QCOMPARE(order.join(""), "aababaab");
    QVERIFY(traces.size() >= 6);
    for (const pf::TickTrace& t : traces) {
      QVERIFY(t.woke >= t.due - pf::TickRunner::kMostAheadNs && t.due >= t.deadline);
      QVERIFY(t.handlerDone <= t.painted && t.painted <= t.flushed && t.flushed >= t.due);
      QCOMPARE((t.deadline - traces[0].deadline) % (20 * kMs), 0);
    }
    expected.convertTo(QImage::Format_RGB32);
    const auto* px = reinterpret_cast<const QRgb*>(expected.constBits());
    QVERIFY(std::count(px, px + expected.width() * expected.height(), qRgb(255, 255, 255)) > 100);
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), expected);
  }
};

PELATTO_TEST_MAIN(PreciseClockTest)
#include "test_precise_clock.moc"
