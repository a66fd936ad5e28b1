// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>

// How long each phase of a drill lasts: the one place these rules live. The
// window's handlers set their timers from it, and everything that has to
// know a moment of the drill in advance (sound, grade tests, a class) works
// it out from the same functions.
namespace drill_timing {

// The countdown: four sweeps of the dial, each placing 48 lines, at one of
// three speeds that move more lines per tick on slower machines; every speed
// comes to one line per 20 ms.
struct CountdownSpeed {
  int tickMs;        // interval of the countdown timer
  int linesPerTick;  // dial lines placed on each tick
};
inline constexpr int kSweeps = 4;
inline constexpr int kLinesPerSweep = 48;

// Speed 1 (the default), 2 or 3; others are taken as the nearest.
constexpr CountdownSpeed countdownSpeed(int speed) {
  constexpr CountdownSpeed kSpeeds[] = {{20, 1}, {40, 2}, {80, 4}};
  return kSpeeds[std::clamp(speed, 1, 3) - 1];
}
constexpr int ticksPerSweep(int speed) {
  return kLinesPerSweep / countdownSpeed(speed).linesPerTick;
}
constexpr int sweepMs(int speed) { return ticksPerSweep(speed) * countdownSpeed(speed).tickMs; }
// From the start to the end of the fourth sweep: nominally 3.84 s.
constexpr int countdownMs(int speed) { return kSweeps * sweepMs(speed); }

// The flash timer ticks twice per number at `pace` hundredths of a second
// (pace x 10 / 2 ms, the product in 16 bits as the timer is set).
constexpr int flashTickMs(int pace) {
  return static_cast<std::int16_t>(static_cast<std::int16_t>(pace) * 10) / 2;
}
// A number stays an odd count of ticks, since the extension is compared only
// on the blanking ticks, then one blank tick follows.
constexpr int ticksShown(int extension) { return 2 * (extension / 2) + 1; }
constexpr int ticksPerNumber(int extension) { return ticksShown(extension) + 1; }

// From the first number's appearance to the last one's disappearance.
constexpr std::int64_t seriesMs(int terms, int pace, int extension = 0) {
  const std::int64_t ticks =
      std::int64_t{terms - 1} * ticksPerNumber(extension) + ticksShown(extension);
  return ticks * flashTickMs(pace);
}

// The answer wait: 19 ticks of 500 ms after the series, the prompt from the
// second; then the hand-over after 1 s (manual, answer later) or 3.5 s
// (automatic, while the total stays up).
inline constexpr int kAnswerWaitTickMs = 500;
inline constexpr int kAnswerWaitTicks = 19;
constexpr int answerWaitMs() { return kAnswerWaitTickMs * kAnswerWaitTicks; }
constexpr int handOverMs(bool automatic) { return automatic ? 3500 : 1000; }

}  // namespace drill_timing
