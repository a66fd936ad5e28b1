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
}  // namespace

class PreciseClockTest : public QObject {
  Q_OBJECT
 private slots:
  // Each tick is shown at the time given; the next is due on the grid of the
  // start, or after a stall, a gap after the late one until the grid is
  // reached again (no grid point is passed over); a stall of more than two
  // intervals moves the grid on by whole pairs of them.
  void schedule_data() {
    QTest::addColumn<std::int64_t>("start");
    QTest::addColumn<std::int64_t>("interval");
    QTest::addColumn<Times>("shownAt");
    QTest::addColumn<Times>("due");
    QTest::addColumn<long>("shifted");
    QTest::newRow("on time") << 0L << 50 * kMs << Times{50 * kMs, 100 * kMs}
                             << Times{50 * kMs, 100 * kMs, 150 * kMs} << 0L;
    QTest::newRow("late inside the interval") << 0L << 50 * kMs << Times{50 * kMs, 120 * kMs}
                                              << Times{50 * kMs, 100 * kMs, 150 * kMs} << 0L;
    QTest::newRow("late past the next one: a gap, then the grid")
        << 0L << 50 * kMs << Times{50 * kMs, 164 * kMs, 181 * kMs}
        << Times{50 * kMs, 100 * kMs, 181 * kMs, 200 * kMs} << 0L;
    QTest::newRow("20 ms: a gap of half the interval")
        << 0L << 20 * kMs << Times{20 * kMs, 75 * kMs} << Times{20 * kMs, 40 * kMs, 85 * kMs} << 0L;
    QTest::newRow("more than two intervals: the grid moves by a pair")
        << 0L << 50 * kMs << Times{50 * kMs, 300 * kMs, 317 * kMs, 334 * kMs, 351 * kMs}
        << Times{50 * kMs, 100 * kMs, 317 * kMs, 334 * kMs, 351 * kMs, 400 * kMs} << 2L;
    QTest::newRow("a start off the millisecond")
        << 1'234'567L << 20 * kMs << Times{0, 0} << Times{21'234'567, 41'234'567, 61'234'567} << 0L;
  }
  void schedule() {
    QFETCH(std::int64_t, start);
    QFETCH(std::int64_t, interval);
    QFETCH(Times, shownAt);
    pf::TickSchedule s(start, interval);
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
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("endLate");
    QTest::newRow("a number's tick") << 160 << 60 << "150+ 220- 250+ 300- 350+ 400-" << 0;
    QTest::newRow("past the next number") << 160 << 104 << "150+ 264- 281+ 300- 350+ 400-" << 0;
    QTest::newRow("a blank's tick") << 210 << 60 << "150+ 200- 270+ 300- 350+ 400-" << 0;
    QTest::newRow("more than two ticks") << 160 << 200 << "150+ 360- 377+ 400-" << 100;
  }
  void stall() {
    QFETCH(int, at);
    QFETCH(int, length);
    Harness h;
    h.play("hscl5=10 hscl6=6 cmdStart 3840");
    const qint64 start = h.clock.now();
    QCOMPARE(h->tmr2.Interval(), 50);
    QStringList shown;
    QString last;
    int numbers = 0;
    const auto record = [&] {
      if (h->lbl1.Caption() != last) {
        last = h->lbl1.Caption();
        numbers += !last.isEmpty();
        const qint64 t = h.clock.now() - start;
        if (t >= 150 && t <= 400) shown << QString::number(t) + (last.isEmpty() ? "-" : "+");
      }
      return h->tmr3.Interval() != 0;
    };
    h.clock.advanceUntil(record, at);
    h.clock.stall(length);
    QVERIFY(h.clock.advanceUntil(record, 10'000));
    QTEST(shown.join(' '), "shown");
    QCOMPARE(numbers, 6);
    QTEST(int(h.clock.now() - start - 13 * 50), "endLate");
  }

  // A hold or an abort pressed 3 ms before a number is due, after the clock
  // has woken for it, stops it from showing; after the resume it comes one
  // interval later.
  void inputBeforeDue_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("hold") << "cmdTome";
    QTest::newRow("abort") << "cmdStop";
  }
  void inputBeforeDue() {
    QFETCH(QString, button);
    Harness h;
    h.play("hscl5=10 hscl6=6 cmdStart 3840 147");
    h.play(button);
    h.clock.advance(20);
    QCOMPARE(h->n, 1);
    QCOMPARE(h->lbl1.Caption(), QString());
    if (button != "cmdTome") return;
    h.play("cmdTome");
    const qint64 resumed = h.clock.now();
    QVERIFY(h.clock.advanceUntil([&] { return !h->lbl1.Caption().isEmpty(); }, 1000));
    QCOMPARE(h.clock.now() - resumed, 50);
    QCOMPARE(h->n, 2);
  }

  // On a compositor's refreshes (60 Hz, one shown at 1 s): a change is seen
  // on the refresh nearest its due time and sent 1 ms after the refresh
  // before; one too late for that goes to the next refresh it can reach; a
  // frame shown later than meant sends the later ones a frame earlier. On a
  // compositor that shows frames on a timer, a change is sent the median of
  // the last delays ahead.
  void refreshSlot_data() {
    QTest::addColumn<Times>("shown");  // frames shown, with the refresh they were meant for
    QTest::addColumn<Times>("meant");  // (empty: a compositor without refreshes; then meant = sent)
    QTest::addColumn<std::int64_t>("due");
    QTest::addColumn<std::int64_t>("now");
    QTest::addColumn<std::int64_t>("send");
    QTest::addColumn<std::int64_t>("seen");
    const std::int64_t s = 1'000 * kMs, t = 16'666'666;
    QTest::newRow("nearest refresh after the due time")
        << Times{s} << Times{0} << s + 3 * t + 2 * kMs << s << s + 2 * t + kMs << s + 3 * t;
    QTest::newRow("nearest refresh before it")
        << Times{s} << Times{0} << s + 3 * t - 8 * kMs << s << s + 2 * t + kMs << s + 3 * t;
    QTest::newRow("half a frame still reaches it")
        << Times{s} << Times{0} << s + 3 * t << s + 2 * t + 9 * kMs << s + 2 * t + 9 * kMs
        << s + 3 * t;
    QTest::newRow("too late: the next refresh")
        << Times{s} << Times{0} << s + 3 * t << s + 2 * t + 10 * kMs << s + 3 * t + kMs
        << s + 4 * t;
    QTest::newRow("a frame shown late: two frames ahead")
        << Times{s, s + 5 * t} << Times{0, s + 4 * t} << s + 8 * t << s << s + 6 * t + kMs
        << s + 8 * t;
    QTest::newRow("on a timer: the median delay, kept within 2 ms")
        << Times{s + 25 * kMs, s + 130 * kMs, s + 231 * kMs}
        << Times{s, s + 100 * kMs, s + 200 * kMs} << 2 * s << s << 2 * s - 30 * kMs << 2 * s;
  }
  void refreshSlot() {
    QFETCH(Times, shown);
    QFETCH(Times, meant);
    QFETCH(std::int64_t, due);
    QFETCH(std::int64_t, now);
    const bool onTimer = QByteArray(QTest::currentDataTag()).startsWith("on a timer");
    pf::RefreshGrid grid;
    for (qsizetype k = 0; k < shown.size(); ++k) {
      if (onTimer)
        grid.presentedOnTimer(shown[k], 16'666'666, meant[k]);
      else
        grid.presented(shown[k], 16'666'666, meant[k]);
    }
    const pf::TickStages::Slot slot = grid.slot(due, now);
    QTEST(slot.sendAt, "send");
    QTEST(slot.seenAt, "seen");
  }

  // The lead is cut to a quarter of the interval, so the 20 ms ticks of the
  // dial keep their order.
  void wakeAt_data() {
    QTest::addColumn<std::int64_t>("interval");
    QTest::addColumn<std::int64_t>("lead");
    QTest::addColumn<std::int64_t>("wake");
    QTest::newRow("50 ms, 3 ms lead") << 50 * kMs << 3 * kMs << 47 * kMs;
    QTest::newRow("20 ms, 8 ms lead") << 20 * kMs << 8 * kMs << 15 * kMs;
    QTest::newRow("no lead") << 50 * kMs << 0L << 50 * kMs;
  }
  void wakeAt() {
    QFETCH(std::int64_t, interval);
    QFETCH(std::int64_t, lead);
    QTEST(pf::TickSchedule(0, interval).wakeAt(lead), "wake");
  }

  // After painting: back to the event loop while the deadline is far, a
  // bounded sleep for its last fraction, at once when it has passed.
  void flushStep_data() {
    QTest::addColumn<std::int64_t>("now");
    QTest::addColumn<int>("kind");
    QTest::addColumn<std::int64_t>("until");
    const std::int64_t d = 100 * kMs, w = 500'000;
    QTest::newRow("far") << d - 3 * kMs << int(pf::FlushStep::WaitInLoop) << d - w;
    QTest::newRow("the last fraction") << d - w << int(pf::FlushStep::Sleep) << d;
    QTest::newRow("on the deadline") << d << int(pf::FlushStep::Now) << d;
    QTest::newRow("late") << d + 2 * kMs << int(pf::FlushStep::Now) << d + 2 * kMs;
  }
  void flushStep() {
    QFETCH(std::int64_t, now);
    const pf::FlushStep step = pf::planFlush(now, 100 * kMs, 500'000);
    QTEST(int(step.kind), "kind");
    QTEST(step.untilNs, "until");
  }

  // The watchdog is in place before the thread turns real-time; a resource
  // limit below the wanted priority is used instead; without either the
  // desktop's service is asked; refused by all, the thread stays normal with
  // 1 ns of timer slack.
  void realtime_data() {
    QTest::addColumn<int>("allowedUpTo");
    QTest::addColumn<int>("rlimit");
    QTest::addColumn<bool>("service");
    QTest::addColumn<bool>("realTime");
    QTest::addColumn<QString>("calls");
    QTest::newRow("allowed") << 99 << 0 << false << true
                             << "slack 1, watchdog 200/2000, fifo 10 ok";
    QTest::newRow("resource limit 5")
        << 5 << 5 << false << true << "slack 1, watchdog 200/2000, fifo 10 refused, fifo 5 ok";
    QTest::newRow("limit without permission")
        << 0 << 5 << false << false
        << "slack 1, watchdog 200/2000, fifo 10 refused, fifo 5 refused, service 10 refused";
    QTest::newRow("service grants")
        << 0 << 0 << true << true << "slack 1, watchdog 200/2000, fifo 10 refused, service 10 ok";
  }
  void realtime() {
    QFETCH(int, allowedUpTo);
    QFETCH(int, rlimit);
    QFETCH(bool, service);
    QStringList log;
    pf::SchedulerCalls calls;
    calls.setFifo = [&](int p) {
      log << QString("fifo %1 %2").arg(p).arg(p <= allowedUpTo ? "ok" : "refused");
      return p <= allowedUpTo;
    };
    calls.priorityLimit = [&] { return rlimit; };
    calls.setWatchdog = [&](long soft, long hard) {
      log << QString("watchdog %1/%2").arg(soft).arg(hard);
    };
    calls.setTimerSlack = [&](unsigned long ns) { log << QString("slack %1").arg(ns); };
    calls.askService = [&](int p) {
      log << QString("service %1 %2").arg(p).arg(service ? "ok" : "refused");
      return service;
    };
    QTEST(pf::raiseTimingThread(calls, 10) == pf::Scheduling::RealTime, "realTime");
    QTEST(log.join(", "), "calls");
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
    std::int64_t inCall = 0;
    Times ticks;
    QList<pf::TickTrace> traces;
    clock.onTrace = [&](const pf::TickTrace& trace) { traces << trace; };
    clock.callAt(past, [&] { inCall = clock.nowNs(), t.setInterval(20); });
    clock.cancelCall(clock.callAt(past + 30 * kMs, [&] { ticks << 0; }));
    t.onTimer = [&] {
      ticks << clock.nowNs();
      if (ticks.size() == 3) t.setInterval(0), loop.quit();
    };
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    QCOMPARE(inCall, past);
    QCOMPARE(ticks, (Times{past + 20 * kMs, past + 40 * kMs, past + 60 * kMs}));
    QVERIFY(!traces.isEmpty() && !traces[0].timer && traces[0].deadline == past);
    QCOMPARE(traces.last().shifted, 0);
  }

  // The running clock on a real event loop: ticks in order on the grid, a
  // timer started in a handler on the grid of that tick, and every change
  // run at most its paint's time ahead and shown not before it is due.
  void runningClock() {
    pf::PreciseClock clock;
    pf::Window w("w");
    pf::Label l(w, "l");
    l.setAutoSize(true);
    w.Show();
    pf::Timer a(clock, true, 0), b(clock, true, 0);
    QList<pf::TickTrace> traces;
    QStringList order;
    QEventLoop loop;
    clock.onTrace = [&](const pf::TickTrace& t) { traces << t; };
    const auto tick = [&](const char* name) {
      order << name;
      l.setCaption(QString::number(order.size()));
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
  }

  // What a tick changes is painted into the window's back buffer, in its
  // place and exactly as Qt paints it, and is shown before Qt's own repaint
  // runs.
  void earlyPaint() {
    pf::PreciseClock clock;
    pf::Window w("w");
    w.setBackColor(0x006000);
    w.setClientSize(6000, 4500);
    pf::Label l(w, "l");
    l.Move(1500, 1200, 3000, 2000);
    l.setFontSize(72);
    l.setForeColor(0xFFFFFF);
    w.Show();
    QVERIFY(QTest::qWaitForWindowExposed(w.widget()));
    pf::Timer t(clock, true, 0);
    QImage shown;
    QEventLoop loop;
    t.onTimer = [&] { l.setCaption("8"), t.setInterval(0); };
    clock.onTrace = [&](const pf::TickTrace&) {
      shown = QGuiApplication::primaryScreen()->grabWindow(w.widget()->winId()).toImage();
      loop.quit();
    };
    t.setInterval(10);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    const QRect area = l.widget()->geometry();
    const QImage expected = w.widget()->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    int ink = 0;
    for (int y = 0; y < expected.height(); ++y)
      for (int x = 0; x < expected.width(); ++x) ink += expected.pixel(x, y) == qRgb(255, 255, 255);
    QVERIFY(ink > 100);
    QCOMPARE(shown.copy(area).convertToFormat(QImage::Format_RGB32), expected);
  }
};

PELATTO_TEST_MAIN(PreciseClockTest)
#include "test_precise_clock.moc"
