// SPDX-License-Identifier: GPL-3.0-or-later
// How well the number ticks keep step with the numbers as a learner meets
// them: the tick as heard against the number's ink on the screen. Runs the
// real window with sound on, through the default audio output (bench/sound.sh
// points it at a null sink of a sound server of its own). Two observers from
// outside the program, both on CLOCK_MONOTONIC:
//  - screen_watch, a separate X client, reads back the band where the numbers
//    flash after every DAMAGE report and stamps each appearance of ink;
//  - SoundMonitor records the sink's monitor and knows when each recorded
//    sample was heard (its header explains the time base).
// Each tick's onset (its first sample, the sound has an instant attack) is
// compared with its number's ink; the program's own moment for the number
// (the flash tick's deadline) is printed beside it.
//
//   sound_timing [terms at 0.10 s] [terms at 1.00 s] [series per pace]

#include <QCoreApplication>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "host/feature_host.h"
#include "platform/application.h"
#include "platform/environment.h"
#include "platform/precise_clock.h"
#include "shell/frm_pelatto.h"
#include "shell/window_port.h"
#include "sound/qt_cue_player.h"
#include "sound/sound_cues.h"
#include "sound_monitor.h"
#include "watch_label.h"

namespace {

struct Number {
  int pace;
  std::int64_t shownNs;  // the flash tick's deadline, as the program saw it
};

// Notes every number shown, and when a series has ended.
class Watch final : public DrillListener {
 public:
  std::vector<Number> numbers;
  int pace = 0;
  std::function<void()> seriesEnded;

  void onDrillEvent(const DrillEvent& e) override {
    if (e.kind == DrillEvent::Kind::NumberShown) numbers.push_back({pace, e.timeNs});
    if (e.kind == DrillEvent::Kind::SeriesEnded && seriesEnded) seriesEnded();
  }
};

std::vector<std::int64_t> inkOnsets(QProcess& watcher) {
  std::vector<std::int64_t> out;
  while (watcher.canReadLine()) {
    std::istringstream in(watcher.readLine().toStdString());
    std::string kind;
    long long t = 0;
    if (in >> kind >> t && kind == "on") out.push_back(t);
  }
  return out;
}

// The first element of sorted v in [from, to), or nullptr.
const std::int64_t* firstIn(const std::vector<std::int64_t>& v, std::int64_t from,
                            std::int64_t to) {
  const auto it = std::lower_bound(v.begin(), v.end(), from);
  return it != v.end() && *it < to ? &*it : nullptr;
}

double ms(std::int64_t ns) { return static_cast<double>(ns) / 1e6; }

void report(const char* what, std::vector<double> v) {
  if (v.empty()) return void(std::printf("  %-26s none\n", what));
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  const double worst = std::max(std::abs(v.front()), std::abs(v.back()));
  std::printf("  %-26s median %7.2f  max |.| %6.2f  spread %6.2f  (%.2f .. %.2f) ms\n", what,
              median, worst, v.back() - v.front(), v.front(), v.back());
}

}  // namespace

int main(int argc, char** argv) {
  if (!pf::Application::displayAvailable()) {
    std::fputs("sound_timing: needs a display; run it through bench/sound.sh\n", stderr);
    return 1;
  }
  const int terms[] = {argc > 1 ? std::atoi(argv[1]) : 30, argc > 2 ? std::atoi(argv[2]) : 15};
  const int seriesPerPace = argc > 3 ? std::max(1, std::atoi(argv[3])) : 2;
  const int paces[] = {10, 100};
  pf::Application app(argc, argv);
  pf::PreciseClock clock;
  const pf::Environment env{.clock = clock};
  frmPelatto w(env);
  WindowPort port(w);
  FeatureHost host(port);
  SoundCues sound(host, std::make_unique<QtCuePlayer>([&clock] { return clock.nowNs(); }));
  Watch watch;
  port.subscribe(&watch);
  w.Show();

  SoundMonitor monitor;
  std::string error;
  if (!monitor.start(error)) {
    std::fprintf(stderr, "sound_timing: cannot record the sink's monitor: %s\n", error.c_str());
    return 1;
  }
  QProcess watcher;
  int run = 0;
  const auto startRun = [&] {
    DrillSettings s = port.settings();
    s.pace = watch.pace = paces[run / seriesPerPace];
    s.terms = terms[run / seriesPerPace];
    port.applySettings(s);
    port.pressStart();
  };
  watch.seriesEnded = [&] {
    QTimer::singleShot(300, [&] {
      port.pressAbort();
      if (++run < 2 * seriesPerPace)
        startRun();
      else
        QCoreApplication::quit();
    });
  };
  sound.setEnabled(true);
  QTimer::singleShot(1500, [&] {
    watchLabel(watcher, QCoreApplication::applicationDirPath() + QStringLiteral("/screen_watch"),
               w.lbl1.widget());
    if (!watcher.waitForReadyRead(5000)) {
      std::fputs("sound_timing: the screen watcher did not start\n", stderr);
      QCoreApplication::exit(1);
      return;
    }
    watcher.readLine();
    startRun();
  });
  const int rc = app.exec();
  monitor.stop();
  watcher.closeWriteChannel();
  watcher.waitForFinished(3000);
  if (sound.silenced()) std::fprintf(stderr, "sound_timing: the sound output failed\n");
  if (sound.silenced() || rc != 0) return 1;
  const std::vector<std::int64_t> ink = inkOnsets(watcher);

  std::vector<std::int64_t> heard;
  for (std::int64_t f : monitor.onsets()) heard.push_back(monitor.heardAt(f));
  std::printf(
      "Number ticks against the numbers on screen (Xvfb, PulseAudio null sink)\n"
      "  ink  = screen_watch saw the number's ink appear (separate X client, CLOCK_MONOTONIC)\n"
      "  tick = the tick's first sample heard, from the sink's monitor (time base below)\n"
      "  flash tick = the program's own moment for the number (its timer deadline)\n"
      "  offsets in ms, positive = the first one named is later; aim: tick - ink within 5 ms\n");
  monitor.describe();
  if (!monitor.hasTimeBase()) return 1;
  std::printf("%zu sound onsets recorded, %zu ink appearances seen\n\n", heard.size(), ink.size());

  bool within = true;
  for (int pace : paces) {
    std::vector<double> tickInk, tickFlash, inkFlash;
    int numbers = 0, noInk = 0, noTick = 0;
    std::printf("%.2f s per number:\n  tick - ink each:", pace / 100.0);
    for (const Number& n : watch.numbers) {
      if (n.pace != pace) continue;
      ++numbers;
      // Ink and tick belong to a number when they come within the first
      // half of its 0.10 s slot; neither may start before the number did.
      const std::int64_t* on = firstIn(ink, n.shownNs - 20'000'000, n.shownNs + 50'000'000);
      const std::int64_t* tick = firstIn(heard, n.shownNs - 40'000'000, n.shownNs + 50'000'000);
      if (!on) ++noInk;
      if (!tick) ++noTick;
      if (tick) tickFlash.push_back(ms(*tick - n.shownNs));
      if (on) inkFlash.push_back(ms(*on - n.shownNs));
      if (on && tick) {
        tickInk.push_back(ms(*tick - *on));
        std::printf(" %.1f", tickInk.back());
      }
    }
    std::printf("\n  %d numbers, %d without ink seen, %d without a tick heard\n", numbers, noInk,
                noTick);
    report("tick - ink", tickInk);
    report("tick - flash tick", tickFlash);
    report("ink - flash tick", inkFlash);
    const auto close =
        std::count_if(tickInk.begin(), tickInk.end(), [](double d) { return std::abs(d) <= 5.0; });
    const bool ok = !tickInk.empty() && noTick == 0 && close == std::ssize(tickInk);
    within = within && ok;
    std::printf("  ticks within 5 ms of their number's ink: %td of %d numbers\n\n", close, numbers);
  }
  std::printf("every number's tick heard within 5 ms of its ink: %s\n", within ? "yes" : "NO");
  return 0;
}
