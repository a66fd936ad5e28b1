// How well the number ticks keep step with the numbers. Runs the real window
// with sound on, through the default audio output (bench/sound.sh points it
// at a null sink of a sound server of its own), records the sink's monitor
// with parec, finds each tick's onset and compares it with the moment the
// number appeared: the flash tick that showed it (the NumberShown event)
// and the end of the window repaint that carried it to the screen.
//
//   sound_timing [terms at 0.10 s] [terms at 1.00 s]

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/application.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/precise_clock.h"
#include "shell/drill_port.h"
#include "shell/frm_pelatto.h"
#include "sound/qt_cue_player.h"
#include "sound/sound_cues.h"

extern char** environ;

namespace {

constexpr int kRate = 48000;

std::int64_t nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The monitor's samples, and when each block of them arrived.
class MonitorRecording {
 public:
  bool start() {
    int fds[2];
    if (pipe(fds) != 0) return false;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    const char* argv[] = {"parec",
                          "--raw",
                          "--format=s16le",
                          "--rate=48000",
                          "--channels=1",
                          "--latency-msec=1",
                          "--device=@DEFAULT_MONITOR@",
                          nullptr};
    const int rc = posix_spawnp(&pid_, "parec", &fa, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (rc != 0) return false;
    fd_ = fds[0];
    reader_ = std::thread([this] { read(); });
    return true;
  }
  void stop() {
    kill(pid_, SIGTERM);
    reader_.join();
    waitpid(pid_, nullptr, 0);
    close(fd_);
  }
  // The monotonic time of sample f: the earliest arrival of any block, less
  // the samples it ended with, bounds every sample's own time from above.
  std::int64_t timeOf(std::int64_t f) const {
    std::int64_t anchor = INT64_MAX;
    for (const auto& [frames, at] : arrivals_)
      anchor = std::min(anchor, at - frames * 1'000'000'000 / kRate);
    return anchor + f * 1'000'000'000 / kRate;
  }
  // Sample indices where a sound starts after at least 20 ms of quiet.
  std::vector<std::int64_t> onsets() const {
    std::vector<std::int64_t> out;
    std::int64_t quiet = kRate;
    for (std::size_t k = 0; k < samples_.size(); ++k) {
      const int a = std::abs(int{samples_[k]});
      if (a > 3000 && quiet >= kRate / 50) out.push_back(static_cast<std::int64_t>(k));
      quiet = a > 300 ? 0 : quiet + 1;
    }
    return out;
  }

 private:
  void read() {
    char buf[192];
    for (;;) {
      const ssize_t n = ::read(fd_, buf, sizeof buf);
      if (n <= 0) return;
      const std::int64_t at = nowNs();
      bytes_.insert(bytes_.end(), buf, buf + n);
      const std::size_t whole = bytes_.size() / 2;
      for (std::size_t k = samples_.size(); k < whole; ++k)
        samples_.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes_[2 * k]) |
                                                     (bytes_[2 * k + 1] << 8)));
      arrivals_.emplace_back(static_cast<std::int64_t>(whole), at);
    }
  }
  pid_t pid_ = 0;
  int fd_ = -1;
  std::thread reader_;
  std::vector<char> bytes_;
  std::vector<std::int16_t> samples_;
  std::vector<std::pair<std::int64_t, std::int64_t>> arrivals_;
};

struct Number {
  int pace;
  std::int64_t shownNs = 0, onScreenNs = 0;
};

// Notes every number and the repaint that put it on the screen.
class Watch final : public QObject, public DrillListener {
 public:
  explicit Watch(QWidget* window) : window_(window) { window->installEventFilter(this); }
  std::vector<Number> numbers;
  int pace = 0;
  std::function<void()> seriesEnded;

  void onDrillEvent(const DrillEvent& e) override {
    if (e.kind == DrillEvent::Kind::NumberShown) numbers.push_back({pace, e.timeNs});
    if (e.kind == DrillEvent::Kind::SeriesEnded && seriesEnded) seriesEnded();
  }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o != window_ || e->type() != QEvent::UpdateRequest) return false;
    o->event(e);
    if (!numbers.empty() && !numbers.back().onScreenNs) numbers.back().onScreenNs = nowNs();
    return true;
  }

 private:
  QWidget* window_;
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (!pf::Application::displayAvailable()) {
    std::fputs("sound_timing: needs a display; run it through bench/sound.sh\n", stderr);
    return 1;
  }
  const int terms[] = {argc > 1 ? std::atoi(argv[1]) : 30, argc > 2 ? std::atoi(argv[2]) : 15};
  const int paces[] = {10, 100};
  pf::Application app(argc, argv);
  pf::PreciseClock clock;
  const pf::Environment env{.clock = clock};
  frmPelatto w(env);
  DrillPort port(w);
  SoundCues sound(port, std::make_unique<QtCuePlayer>([&clock] { return clock.nowNs(); }));
  bool failed = false;
  sound.notify = [&failed](const QString& text) {
    std::fprintf(stderr, "sound_timing: %s\n", qPrintable(text));
    failed = true;
  };
  Watch watch(w.form.widget());
  port.subscribe(&watch);
  w.Show();

  MonitorRecording rec;
  if (!rec.start()) {
    std::fputs("sound_timing: could not start parec\n", stderr);
    return 1;
  }
  int run = 0;
  const auto startRun = [&] {
    DrillSettings s = port.settings();
    s.pace = watch.pace = paces[run];
    s.terms = terms[run];
    port.applySettings(s);
    port.pressStart();
  };
  watch.seriesEnded = [&] {
    QTimer::singleShot(300, [&] {
      port.pressAbort();
      if (++run < 2)
        startRun();
      else
        QCoreApplication::quit();
    });
  };
  sound.setEnabled(true);
  QTimer::singleShot(1000, startRun);
  app.exec();
  rec.stop();
  if (failed) return 1;

  std::vector<std::int64_t> onsetNs;
  for (std::int64_t f : rec.onsets()) onsetNs.push_back(rec.timeOf(f));
  std::printf("Sound cues against the numbers, %zu onsets recorded from the monitor\n",
              onsetNs.size());
  std::printf("offset = tick onset - picture; picture = flash tick (event) / window repaint\n\n");
  for (int pace : paces) {
    std::vector<double> byEvent, byScreen;
    int missing = 0;
    for (const Number& n : watch.numbers) {
      if (n.pace != pace) continue;
      const auto near = std::min_element(onsetNs.begin(), onsetNs.end(), [&](auto a, auto b) {
        return std::abs(a - n.shownNs) < std::abs(b - n.shownNs);
      });
      if (near == onsetNs.end() || std::abs(*near - n.shownNs) > 60'000'000) {
        ++missing;
        continue;
      }
      byEvent.push_back(static_cast<double>(*near - n.shownNs) / 1e6);
      if (n.onScreenNs) byScreen.push_back(static_cast<double>(*near - n.onScreenNs) / 1e6);
    }
    const auto report = [](const char* what, std::vector<double> v) {
      if (v.empty()) return std::printf("  %-15s no ticks found\n", what), void();
      const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
      const double worst = std::max(std::abs(*lo), std::abs(*hi));
      std::printf("  %-15s median %7.2f ms  max |offset| %6.2f ms  (range %.2f .. %.2f)\n", what,
                  median(v), worst, *lo, *hi);
    };
    std::printf("%.2f s per number: %zu ticks matched, %d numbers without a tick\n", pace / 100.0,
                byEvent.size(), missing);
    std::printf("  each (ms):");
    for (double d : byEvent) std::printf(" %.1f", d);
    std::printf("\n");
    report("vs flash tick", byEvent);
    report("vs repaint", byScreen);
  }
  return 0;
}
