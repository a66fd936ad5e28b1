// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Figures of the flash benchmark: what the program recorded for each flash,
// what the screen watcher saw, and the statistics printed from both.

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <sstream>
#include <string>
#include <vector>

inline std::int64_t monotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

// One number's tick as the program saw it; times on the monotonic clock.
struct Flash {
  int tick = 0;           // flash tick that showed it, from 1
  std::int64_t lead = 0;  // how long before the deadline the clock planned to wake
  std::int64_t woke = 0, handlerNs = 0, paintNs = 0, painted = 0, flushed = 0;
};

struct Series {
  std::int64_t click = 0;      // the start button pressed
  std::int64_t gridStart = 0;  // the flash timer started (its logical time)
  int ticks = 0;
  std::deque<Flash> flashes;
};

struct ScreenEvent {
  bool on;
  std::int64_t t;
  std::uint32_t msc;
};

class Report {
 public:
  std::deque<Series> series;
  bool present = false;

  void addScreenLine(const std::string& line) {
    std::istringstream in(line);
    std::string kind;
    long long t = 0;
    unsigned msc = 0;
    if (in >> kind >> t >> msc && (kind == "on" || kind == "off"))
      screen_.push_back({kind == "on", t, msc});
  }

  bool print(bool traced) const {
    constexpr std::int64_t kTick = 50'000'000;
    std::vector<double> onset, onTime, endDrift, countdown, countdownInProgram;
    std::vector<double> wake, handler, paint, flush, xLeg;
    std::map<int, int> frames;
    int missing = 0;
    for (const Series& s : series) {
      if (!s.gridStart) continue;
      std::vector<ScreenEvent> ev;
      for (const ScreenEvent& e : screen_)
        if (e.t >= s.gridStart && e.t < s.gridStart + 62 * kTick) ev.push_back(e);
      std::size_t k = 0, shown = 0;
      for (const Flash& f : s.flashes) {
        while (k < ev.size() && !ev[k].on) ++k;
        if (k + 1 >= ev.size() || ev[k + 1].on) {
          ++missing;
          continue;
        }
        const std::int64_t deadline = s.gridStart + f.tick * kTick;
        const ScreenEvent& on = ev[k];
        const ScreenEvent& off = ev[k + 1];
        onset.push_back(ms(on.t - deadline));
        onTime.push_back(ms(off.t - on.t));
        if (present) ++frames[static_cast<int>(off.msc - on.msc)];
        if (shown == 0) countdown.push_back(ms(on.t - kTick - s.click));
        if (shown + 1 == s.flashes.size()) endDrift.push_back(ms(off.t - deadline - kTick));
        wake.push_back(ms(f.woke - (deadline - f.lead)));
        handler.push_back(ms(f.handlerNs));
        paint.push_back(ms(f.paintNs));
        flush.push_back(ms(f.flushed - deadline));
        xLeg.push_back(ms(on.t - f.flushed));
        k += 2;
        ++shown;
      }
      countdownInProgram.push_back(ms(s.gridStart - s.click));
    }
    if (onset.empty()) {
      std::printf("no number was seen on the screen (%zu changes of ink seen)\n", screen_.size());
      return false;
    }
    std::printf("%zu series, %zu numbers seen on screen, %d not seen\n", countdown.size(),
                onset.size(), missing);
    stats("onset lateness vs grid (ms)", onset);
    stats("on-time (ms, ideal 50)", onTime);
    stats("series end vs grid (ms)", endDrift);
    stats("countdown on screen (ms, ideal 3840)", countdown);
    stats("countdown in program (ms)", countdownInProgram);
    std::printf("delay split, median / max (ms)%s:\n",
                traced ? "" : " [wake-up from the ideal tick; paint = the label's paint event]");
    split("  wake-up late", wake);
    split("  handler", handler);
    split("  paint", paint);
    split("  flushed vs deadline", flush);
    split("  X server + watcher", xLeg);
    if (present) {
      std::printf("frames per number (Present MSC, 60 Hz):");
      for (auto [n, count] : frames) std::printf("  %d frames: %d", n, count);
      std::printf("\n");
    }
    return true;
  }

 private:
  static double ms(std::int64_t ns) { return static_cast<double>(ns) / 1e6; }
  static double at(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(k, v.size() - 1)];
  }
  static void stats(const char* what, const std::vector<double>& v) {
    if (v.empty()) return;
    std::printf("%-38s min %8.3f  median %8.3f  p99 %8.3f  max %8.3f\n", what, at(v, 0), at(v, 0.5),
                at(v, 0.99), at(v, 1));
  }
  static void split(const char* what, const std::vector<double>& v) {
    if (v.empty()) return;
    std::printf("%-24s %8.3f / %8.3f\n", what, at(v, 0.5), at(v, 1));
  }

  std::vector<ScreenEvent> screen_;
};
