// SPDX-License-Identifier: GPL-3.0-or-later
// When the flashed numbers reach the screen. Runs the real window at 0.10 s
// per number with 30 terms for a number of series, while screen_watch, a
// separate X client, watches the display band from outside and reports when
// ink appears and vanishes. Prints onset lateness against the ideal grid,
// on-times, the drift of each series' end, the countdown's length, and the
// split of each flash's delay inside the program.
//
//   flash_timing WATCHER [SERIES] [--history DIR]
//
// --history runs the program's features around the window, as the program
// does, with the history kept in DIR/history.sqlite (and the settings in
// DIR/pelatto.conf, starting from the built-in ones): every problem is then
// recorded and the typed-answers field listens.

#include <QCoreApplication>
#include <QEvent>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/features.h"
#include "flash_report.h"
#include "host/drill_port.h"
#include "platform/application.h"
#include "platform/environment.h"
#include "shell/frm_pelatto.h"
#include "shell/window_port.h"
#include "watch_label.h"

#if __has_include("platform/precise_clock.h")
#include "platform/precise_clock.h"
using ProgramClock = pf::PreciseClock;
constexpr bool kTraced = true;
#else
#include "platform/clock.h"
using ProgramClock = pf::EventLoopClock;
constexpr bool kTraced = false;
#endif

namespace {

// Without the clock's own trace, times the label's paint and the window
// repaint that flushes it from outside the clock.
class PaintProbe final : public QObject {
 public:
  PaintProbe(QWidget* label, Flash*& current) : label_(label), current_(current) {
    label->installEventFilter(this);
    label->window()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    Flash* f = current_;
    if (!f) return false;
    if (o == label_ && e->type() == QEvent::Paint && !f->painted) {
      const std::int64_t t = monotonicNs();
      o->event(e);
      f->painted = monotonicNs();
      f->paintNs = f->painted - t;
      return true;
    }
    if (o == label_->window() && e->type() == QEvent::UpdateRequest) {
      o->event(e);
      if (f->painted && !f->flushed) f->flushed = monotonicNs();
      return true;
    }
    return false;
  }

 private:
  QWidget* label_;
  Flash*& current_;
};

}  // namespace

int main(int argc, char** argv) {
  QStringList positional;
  QString historyDir;
  for (int k = 1; k < argc; ++k) {
    if (std::strcmp(argv[k], "--history") == 0 && k + 1 < argc)
      historyDir = QString::fromLocal8Bit(argv[++k]);
    else
      positional << QString::fromLocal8Bit(argv[k]);
  }
  if (positional.isEmpty() || !pf::Application::displayAvailable()) {
    std::fputs("usage (on an X display): flash_timing WATCHER [SERIES] [--history DIR]\n", stderr);
    return 2;
  }
  const QString watcherPath = positional[0];
  const int seriesWanted = positional.size() > 1 ? positional[1].toInt() : 20;
  pf::Application app(argc, argv);
  ProgramClock clock;
  const pf::Environment env{.clock = clock};
  frmPelatto w(env);
  std::unique_ptr<WindowPort> port;
  std::unique_ptr<Features> features;
  if (!historyDir.isEmpty()) {
    port = std::make_unique<WindowPort>(w);
    StartOptions options;
    options.defaults = true;
    options.settingsPath = historyDir + QStringLiteral("/pelatto.conf");
    options.historyPath = historyDir + QStringLiteral("/history.sqlite");
    features = std::make_unique<Features>(*port, options);
    std::printf("history: %s\n", qPrintable(options.historyPath));
  }
  w.Show();
  if (features) features->windowLoaded();
  w.hscl5.setValue(10);
  w.hscl6.setValue(30);

  Report report;
  Flash* current = nullptr;
  PaintProbe probe(w.lbl1.widget(), current);
  QProcess watcher;
  // The flash timer's start as the clock sees it: the tick's own time.
  auto logicalNow = [&] {
#if __has_include("platform/precise_clock.h")
    return clock.nowNs();
#else
    return monotonicNs();
#endif
  };

  const auto countdownTick = w.tmr1.onTimer;
  w.tmr1.onTimer = [&] {
    countdownTick();
    if (!report.series.back().gridStart && w.tmr2.Interval() != 0)
      report.series.back().gridStart = logicalNow();
  };
  const auto flashTick = w.tmr2.onTimer;
  w.tmr2.onTimer = [&] {
    Series& s = report.series.back();
    const std::int64_t t = monotonicNs();
    const QString before = w.lbl1.Caption();
    flashTick();
    ++s.ticks;
    current = nullptr;
    if (!w.lbl1.Caption().isEmpty() && w.lbl1.Caption() != before) {
      Flash f;
      f.tick = s.ticks;
      f.woke = t;
      f.handlerNs = monotonicNs() - t;
      s.flashes.push_back(f);
      current = &s.flashes.back();
    }
    if (w.tmr3.Interval() != 0) {
      // The series is over: abort the answer stage and start the next one.
      QTimer::singleShot(400, [&] {
        w.cmdStop.click();
        if (static_cast<int>(report.series.size()) >= seriesWanted) {
          QCoreApplication::quit();
          return;
        }
        report.series.emplace_back();
        report.series.back().click = monotonicNs();
        w.cmdStart.click();
      });
    }
  };
#if __has_include("platform/precise_clock.h")
  clock.onTrace = [&](const pf::TickTrace& t) {
    if (!current || t.timer != &w.tmr2) return;
    current->lead = t.deadline - t.plannedWake;
    current->woke = t.woke;
    current->handlerNs = t.handlerDone - t.woke;
    current->paintNs = t.painted - t.handlerDone;
    current->painted = t.painted;
    current->flushed = t.flushed;
    current = nullptr;
  };
#endif

  QTimer::singleShot(1500, [&] {
    watchLabel(watcher, watcherPath, w.lbl1.widget());
    if (!watcher.waitForReadyRead(5000)) {
      std::fputs("flash_timing: the screen watcher did not start\n", stderr);
      QCoreApplication::exit(1);
      return;
    }
    report.present = watcher.readLine().contains("no-present") ? false : true;
    report.series.emplace_back();
    report.series.back().click = monotonicNs();
    w.cmdStart.click();
  });
  if (app.exec() != 0) return 1;
  watcher.closeWriteChannel();
  watcher.waitForFinished(3000);
  while (watcher.canReadLine()) report.addScreenLine(watcher.readLine().toStdString());
  return report.print(kTraced) ? 0 : 1;
}
