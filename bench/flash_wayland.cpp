// SPDX-License-Identifier: GPL-3.0-or-later
// When the flashed numbers reach the screen of a Wayland compositor. Runs
// the real window at 0.10 s per number with 30 terms for a number of series
// and takes, for every number, the refresh its onset and its blank were
// shown on from the compositor's presentation-time feedback (asked by the
// benchmark itself for every commit of the window, see present_probe.h).
// Prints on how many frames each number stood, whether each onset fell on
// the refresh nearest its grid time, onset lateness and on-times.
//
//   flash_wayland [SERIES]      (with WAYLAND_DISPLAY and QT_QPA_PLATFORM=wayland)

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "flash_report.h"
#include "platform/application.h"
#include "platform/environment.h"
#include "platform/precise_clock.h"
#include "present_probe.h"
#include "shell/frm_pelatto.h"

namespace {

// One change of the number label as the clock sent it.
struct Change {
  bool on;
  std::int64_t deadline, painted, flushed;
  int series;
};

double ms(std::int64_t ns) { return static_cast<double>(ns) / 1e6; }

void stats(const char* what, std::vector<double> v) {
  if (v.empty()) return;
  std::sort(v.begin(), v.end());
  const auto at = [&](double p) {
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * double(v.size() - 1) + 0.5))];
  };
  std::printf("%-34s min %8.3f  median %8.3f  p99 %8.3f  max %8.3f\n", what, at(0), at(0.5),
              at(0.99), at(1));
}

}  // namespace

int main(int argc, char** argv) {
  const int seriesWanted = argc > 1 ? std::atoi(argv[1]) : 20;
  pf::Application app(argc, argv);
  pf::PreciseClock clock;
  const pf::Environment env{.clock = clock};
  frmPelatto w(env);
  w.Show();
  w.hscl5.setValue(10);
  w.hscl6.setValue(30);

  std::vector<Change> changes;
  std::vector<std::int64_t> gridStarts;
  int series = 0;
  int pending = -1;  // the change the running tick made: 1 on, 0 off
  const auto flashTick = w.tmr2.onTimer;
  w.tmr2.onTimer = [&] {
    const QString before = w.lbl1.Caption();
    flashTick();
    pending = w.lbl1.Caption() == before ? -1 : !w.lbl1.Caption().isEmpty();
    if (w.tmr3.Interval() != 0) {
      QTimer::singleShot(400, [&] {
        w.cmdStop.click();
        if (++series >= seriesWanted) {
          QCoreApplication::quit();
          return;
        }
        w.cmdStart.click();
      });
    }
  };
  const auto countdownTick = w.tmr1.onTimer;
  w.tmr1.onTimer = [&] {
    countdownTick();
    if (w.tmr2.Interval() != 0) gridStarts.push_back(clock.nowNs());
  };
  clock.onTrace = [&](const pf::TickTrace& t) {
    if (t.timer != &w.tmr2 || pending < 0) return;
    changes.push_back({pending == 1, t.deadline, t.painted, t.flushed, series});
    pending = -1;
  };

  QTimer::singleShot(1500, [&] {
    if (!watchCommits(w.lbl1.widget()->window()->windowHandle())) {
      std::fputs("flash_wayland: no Wayland presentation-time here\n", stderr);
      QCoreApplication::exit(1);
      return;
    }
    w.cmdStart.click();
  });
  if (app.exec() != 0) return 1;
  // The last frames' feedback.
  const std::int64_t until = monotonicNs() + 200'000'000;
  while (monotonicNs() < until) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  const std::vector<Commit> sent = commits();

  // Each change's commit is the last one made while it was sent.
  std::vector<std::int64_t> shownAt(changes.size(), 0);
  std::vector<double> delay;  // from the commit to the compositor's showing
  std::int64_t period = 0;
  std::size_t k = 0;
  for (std::size_t c = 0; c < changes.size(); ++c) {
    while (k < sent.size() && sent[k].sentNs < changes[c].painted) ++k;
    std::size_t last = k;
    while (last + 1 < sent.size() && sent[last + 1].sentNs <= changes[c].flushed) ++last;
    if (k < sent.size() && sent[last].sentNs <= changes[c].flushed) {
      shownAt[c] = sent[last].shownNs;
      if (shownAt[c]) delay.push_back(ms(shownAt[c] - sent[last].sentNs));
      if (sent[last].periodNs) period = sent[last].periodNs;
    }
  }
  if (!period) {
    std::printf("no presentation feedback for the numbers (%zu commits)\n", sent.size());
    return 1;
  }
  std::vector<double> onset, onTime, endLate;
  std::map<long, int> frames;
  int numbers = 0, nearest = 0, missing = 0;
  for (std::size_t c = 0; c + 1 < changes.size(); ++c) {
    if (!changes[c].on || changes[c + 1].on || changes[c + 1].series != changes[c].series) continue;
    ++numbers;
    if (!shownAt[c] || !shownAt[c + 1]) {
      ++missing;
      continue;
    }
    const std::int64_t lateness = shownAt[c] - changes[c].deadline;
    onset.push_back(ms(lateness));
    nearest += std::llabs(lateness) <= period / 2;
    onTime.push_back(ms(shownAt[c + 1] - shownAt[c]));
    ++frames[std::lround(double(shownAt[c + 1] - shownAt[c]) / double(period))];
    if (c + 2 >= changes.size() || changes[c + 2].series != changes[c].series)
      endLate.push_back(ms(shownAt[c + 1] - changes[c + 1].deadline));
  }
  std::printf("%d series, %d numbers, %d without feedback; refresh %.3f ms\n", series, numbers,
              missing, ms(period));
  stats("onset vs grid (ms)", onset);
  stats("on-time (ms, ideal 50)", onTime);
  stats("last blank vs grid (ms)", endLate);
  stats("commit to shown (ms)", delay);
  std::printf("onsets on the refresh nearest the grid: %d of %zu\n", nearest, onset.size());
  std::printf("frames per number:");
  for (auto [n, count] : frames) std::printf("  %ld frames: %d", n, count);
  std::printf("\n");
  return 0;
}
