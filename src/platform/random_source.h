// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <random>

namespace pf {

class Clock;

// Uniform single-precision values in [0, 1). Re-seeding mixes the clock
// into the generator's current state rather than replacing it, so two
// re-seeds within the same clock reading still give fresh numbers.
class RandomSource {
 public:
  // Seeded with `seed`, or without one from the clock's reading.
  RandomSource(const Clock& clock, std::optional<std::uint64_t> seed);

  void Randomize();
  float Rnd();
  // Draws to hand out, in order, before any random ones; re-seeding leaves
  // them alone. A replay reproduces a recorded series this way.
  void script(std::deque<float> draws) { script_ = std::move(draws); }
  bool scripted() const { return !script_.empty(); }

 private:
  const Clock& clock_;
  std::mt19937_64 engine_;
  std::deque<float> script_;
};

}  // namespace pf
