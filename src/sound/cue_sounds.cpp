// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/cue_sounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct Tone {
  double hz;
  double startS;
};

// Sine tones with an instant attack, so that the sound begins on its first
// sample, and an exponential decay.
std::vector<std::int16_t> tones(std::initializer_list<Tone> parts, double lengthS, double decayS,
                                double level, int rate) {
  std::vector<std::int16_t> out(static_cast<std::size_t>(lengthS * rate));
  for (std::size_t k = 0; k < out.size(); ++k) {
    const double t = static_cast<double>(k) / rate;
    double v = 0;
    for (const Tone& p : parts) {
      if (t < p.startS) continue;
      const double u = t - p.startS;
      // Cosine phase: full level on the very first sample of each tone.
      v += std::cos(2 * std::numbers::pi * p.hz * u) * std::exp(-u / decayS);
    }
    // A short fade at the end avoids a click when the sound stops.
    const double tail = std::min(1.0, (lengthS - t) / 0.004);
    out[k] = static_cast<std::int16_t>(std::lround(32767 * level * tail * v / parts.size()));
  }
  return out;
}

}  // namespace

std::vector<std::int16_t> cueSamples(Cue cue, int rate) {
  switch (cue) {
    case Cue::Tick:
      return tones({{2000, 0}}, 0.025, 0.006, 0.6, rate);
    case Cue::Count:
      return tones({{880, 0}}, 0.15, 0.05, 0.5, rate);
    case Cue::Answer:
      return tones({{660, 0}, {990, 0.09}}, 0.35, 0.12, 0.5, rate);
  }
  return {};
}
