// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/random_source.h"

#include "platform/clock.h"

namespace pf {

RandomSource::RandomSource(const Clock& clock, std::optional<std::uint64_t> seed)
    : clock_(clock), engine_(seed.value_or(clock.reading())) {}

void RandomSource::Randomize() {
  const std::uint64_t state = engine_();
  const std::uint64_t now = clock_.reading();
  std::seed_seq mix{static_cast<std::uint32_t>(state), static_cast<std::uint32_t>(state >> 32),
                    static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32)};
  engine_.seed(mix);
}

float RandomSource::Rnd() {
  if (!script_.empty()) {
    const float r = script_.front();
    script_.pop_front();
    return r;
  }
  // The top 24 bits give every float in [0, 1) on a 2^-24 grid, never 1.
  return static_cast<float>(engine_() >> 40) * 0x1p-24f;
}

}  // namespace pf
