// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// The making of a problem's numbers from the settings and a source of
// random draws in [0, 1). The window makes its numbers with it one at a
// time; a replay, a grade test or a class makes whole problems with it, and
// finds the draws that make given numbers.

// A k-digit number (k from 1 to 14): 10^(k-1) + 10^(k-1) * 9 * r, floored,
// in double precision, so its first digit is never 0.
double digitsNumber(int k, float r);

// A position among `terms`: Int(terms * r) in single precision, never
// beyond the last one.
int drawnPosition(int terms, float r);

// The digit count of a shorter number other than the one of exactly
// `shortest` digits: uniformly one of shortest + 1 to longest - 1, or
// `shortest` itself when no count lies in between.
int inBetweenDigitCount(int longest, int shortest, float r);

// What the panel sets for the making, read afresh for every number.
struct NumberRules {
  int longest = 1;   // digits of every number that is not a shorter one
  int shortest = 1;  // digits of the first shorter number
  int mix = 0;       // shorter numbers per problem
  int terms = 5;     // numbers per problem, at most 30
};

// The maker's state between the numbers of one problem; the window keeps it
// as part of its drill state. A new problem starts with i, h and SwthK reset.
struct NumberSlots {
  std::array<double, 30> su{};  // numbers placed in advance, 0 = empty
  std::int16_t i = 0;           // slot of the next number
  std::int16_t h = 0;           // shorter numbers placed so far
  bool SwthK = false;           // all shorter numbers placed
  float ransu = 0;              // position last drawn
};

// What a draw is asked for, so that a source can also answer on purpose.
struct DrawRequest {
  enum Kind { Position, DigitCount, Value } kind;
  int slot = -1;   // DigitCount, Value: the slot it is for
  int digits = 0;  // Value: the digit count of the number
};
using DrawSource = std::function<float(const DrawRequest&)>;

// The next number of the problem. The first call of a problem empties the
// slots and places the shorter numbers at drawn positions: the first with
// the shortest count, the others with an in-between count.
double makeNumber(NumberSlots& s, const NumberRules& rules, const DrawSource& draw);

// A whole problem of rules.terms numbers.
std::vector<double> makeProblem(const NumberRules& rules, const DrawSource& draw);

// The draws from which makeProblem() makes exactly `numbers` (rules.terms is
// their count), each on the random source's 2^-24 grid; nothing when no
// draws can (a mix that does not match their digit counts, a value off the grid).
std::optional<std::deque<float>> drawsFor(NumberRules rules, const std::vector<double>& numbers);

// A source that hands out `draws` in order, whatever is asked, then zeros.
DrawSource scriptedDraws(std::deque<float> draws);
