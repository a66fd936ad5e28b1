#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "harness.h"
#include "platform/precise_clock.h"
#include "platform/realtime.h"
#include "platform/tick_schedule.h"
#include "platform/timer.h"

// The program's clock: deadlines on the grid of a timer's start, the lead,
// late ticks, the flush step, real-time scheduling and its fallback.

namespace {
constexpr std::int64_t kMs = 1'000'000;
using Times = QList<std::int64_t>;
}  // namespace

class PreciseClockTest : public QObject {
  Q_OBJECT
 private slots:
  // Each tick runs at the time given; the deadlines it saw stay on the grid
  // of the start, and a grid point already gone when a tick runs is passed
  // over (counted), never run back to back with it.
  void schedule_data() {
    QTest::addColumn<std::int64_t>("start");
    QTest::addColumn<std::int64_t>("interval");
    QTest::addColumn<Times>("runAt");
    QTest::addColumn<Times>("deadlines");
    QTest::addColumn<long>("skipped");
    QTest::newRow("on time, in the lead") << 0L << 50 * kMs << Times{47 * kMs, 97 * kMs}
                                          << Times{50 * kMs, 100 * kMs, 150 * kMs} << 0L;
    QTest::newRow("a late wake-up keeps the grid") << 0L << 50 * kMs << Times{62 * kMs, 99 * kMs}
                                                   << Times{50 * kMs, 100 * kMs, 150 * kMs} << 0L;
    QTest::newRow("late past the next deadline") << 0L << 50 * kMs << Times{47 * kMs, 175 * kMs}
                                                 << Times{50 * kMs, 100 * kMs, 200 * kMs} << 1L;
    QTest::newRow("exactly on the next deadline")
        << 0L << 20 * kMs << Times{40 * kMs} << Times{20 * kMs, 60 * kMs} << 1L;
    QTest::newRow("a start off the millisecond")
        << 1'234'567L << 20 * kMs << Times{0, 0} << Times{21'234'567, 41'234'567, 61'234'567} << 0L;
  }
  void schedule() {
    QFETCH(std::int64_t, start);
    QFETCH(std::int64_t, interval);
    QFETCH(Times, runAt);
    pf::TickSchedule s(start, interval);
    Times seen{s.deadline()};
    for (std::int64_t t : runAt) s.advance(t), seen << s.deadline();
    QTEST(seen, "deadlines");
    QTEST(s.skipped(), "skipped");
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
    // A call at a given time runs among the ticks, at the next whole millisecond.
    clock.callAt(42 * kMs + 1, [&] { seen << clock.nowNs(); });
    clock.cancelCall(clock.callAt(10 * kMs, [&] { seen << 0; }));
    clock.advance(75);
    QCOMPARE(seen, (Times{30 * kMs, 43 * kMs, -50 * kMs, 60 * kMs, -70 * kMs}));
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
    QCOMPARE(traces.last().skipped, 0);
  }

  // The running clock on a real event loop: ticks in order on the grid, a
  // timer started in a handler on the grid of that tick, and every change
  // shown not before its deadline, after its handler and paint.
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
      QVERIFY(t.woke >= t.plannedWake && t.plannedWake == t.deadline - pf::PreciseClock::kLeadNs);
      QVERIFY(t.handlerDone <= t.painted && t.flushed >= t.deadline);
      QCOMPARE((t.deadline - traces[0].deadline) % (20 * kMs), 0);
      QCOMPARE(t.skipped, 0);
    }
  }

  // What a tick changes is painted early into the window's back buffer, in
  // its place and exactly as Qt paints it, and is shown at the deadline
  // before Qt's own repaint runs.
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
