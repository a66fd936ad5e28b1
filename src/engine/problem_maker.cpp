// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/problem_maker.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<double, 15> kPow10{1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};

// A free-slot search that cannot succeed gives up after this many draws and
// scans instead; only a mix above the number of terms gets there.
constexpr int kMaxPositionDraws = 1000;

constexpr double kGrid = 16777216.0;  // the source's 2^24 draws in [0, 1)

float gridDraw(double j) { return static_cast<float>(j / kGrid); }

int digitCount(double x) {
  int k = 1;
  while (x >= 10) x = std::floor(x / 10), ++k;
  return k;
}

// The grid draw nearest `start` (walking towards `step`) for which ok() holds.
template <class Ok>
std::optional<float> searchDraw(double start, int step, Ok ok) {
  for (double j = std::clamp(start, 0.0, kGrid - 1); j >= 0 && j < kGrid; j += step)
    if (ok(gridDraw(j))) return gridDraw(j);
  return std::nullopt;
}

std::optional<float> drawForNumber(int digits, double x) {
  if (digits < 1 || digits > 14 || digitCount(x) != digits) return std::nullopt;
  const double low = kPow10.at(static_cast<std::size_t>(digits - 1));
  const double first = std::ceil((x - low) / (low * 9) * kGrid);
  for (double j = std::max(0.0, first - 2); j <= std::min(kGrid - 1, first + 2); ++j)
    if (digitsNumber(digits, gridDraw(j)) == x) return gridDraw(j);
  return std::nullopt;
}

std::optional<float> drawForPosition(int terms, int position) {
  return searchDraw(std::floor((position + 0.5) / terms * kGrid), position * 2 < terms ? 1 : -1,
                    [&](float r) { return drawnPosition(terms, r) == position; });
}

std::optional<float> drawForDigitCount(int longest, int shortest, int count) {
  const int d = longest - shortest;
  if (d <= 1) return 0.0f;
  return searchDraw(std::floor((count - shortest - 0.5) / (d - 1) * kGrid),
                    count * 2 < longest + shortest ? 1 : -1,
                    [&](float r) { return inBetweenDigitCount(longest, shortest, r) == count; });
}

// Where a problem's shorter numbers stand, in the order the maker places
// them: the one of the shortest count first.
std::optional<std::vector<int>> shorterPositions(const NumberRules& r,
                                                 const std::vector<double>& numbers) {
  std::vector<int> placed;
  if (r.mix == 0) return placed;
  const int d = r.longest - r.shortest;
  // With d of 1 or less the in-between count is the shortest itself.
  const auto inBetween = [&](int c) {
    return d <= 1 ? c == r.shortest : c > r.shortest && c < r.longest;
  };
  for (int p = 0; p < r.terms && d > 0 && placed.empty(); ++p)
    if (digitCount(numbers[static_cast<std::size_t>(p)]) == r.shortest) placed.push_back(p);
  if (d == 0) placed.push_back(0);
  for (int p = 0; p < r.terms && static_cast<int>(placed.size()) < r.mix; ++p)
    if (std::find(placed.begin(), placed.end(), p) == placed.end() &&
        inBetween(digitCount(numbers[static_cast<std::size_t>(p)])))
      placed.push_back(p);
  if (static_cast<int>(placed.size()) != r.mix) return std::nullopt;
  return placed;
}

}  // namespace

double digitsNumber(int k, float r) {
  const double low = kPow10.at(static_cast<std::size_t>(k - 1));
  return std::floor(low + low * 9 * static_cast<double>(r));
}

int drawnPosition(int terms, float r) {
  const float position = std::floor(static_cast<float>(terms) * r);
  return std::min(static_cast<int>(position), terms - 1);
}

int inBetweenDigitCount(int longest, int shortest, float r) {
  const int dd = longest - shortest;
  if (dd <= 1) return shortest;
  const int k = static_cast<int>(std::floor(static_cast<float>(dd - 1) * r + shortest + 1));
  return std::clamp(k, shortest + 1, longest - 1);
}

double makeNumber(NumberSlots& s, const NumberRules& rules, const DrawSource& draw) {
  const auto slot = [&s](int pos) -> double& { return s.su[static_cast<std::size_t>(pos)]; };
  const auto drawPosition = [&] {
    const int pos = drawnPosition(rules.terms, draw({DrawRequest::Position}));
    s.ransu = static_cast<float>(pos);
    return pos;
  };
  const auto freePosition = [&]() -> int {
    for (int attempt = 0; attempt < kMaxPositionDraws; ++attempt)
      if (const int pos = drawPosition(); slot(pos) == 0) return pos;
    for (int pos = 0; pos < rules.terms; ++pos)
      if (slot(pos) == 0) return pos;
    return -1;
  };
  const auto place = [&](int pos, int digits) {
    slot(pos) = digitsNumber(digits, draw({DrawRequest::Value, pos, digits}));
  };
  const auto placeFirstShorter = [&] {
    place(drawPosition(), rules.shortest);
    s.h = 1;
  };

  if (s.i == 0) s.su.fill(0);
  if (!s.SwthK && rules.mix > 0) {
    if (rules.mix == 1 && s.h == 0) {
      placeFirstShorter();
    } else {
      for (int rep = 0; rep < rules.mix - 1; ++rep) {
        if (s.h == 0) placeFirstShorter();
        const int pos = freePosition();
        if (pos < 0) break;
        const int k = inBetweenDigitCount(rules.longest, rules.shortest,
                                          draw({DrawRequest::DigitCount, pos}));
        place(pos, k);
        s.h = static_cast<std::int16_t>(s.h + 1);
      }
    }
    if (s.h > rules.mix - 1) s.SwthK = true;
  }

  if (slot(s.i) == 0) place(s.i, rules.longest);
  const double number = slot(s.i);
  slot(s.i) = 0;
  s.i = static_cast<std::int16_t>(s.i + 1);
  return number;
}

std::vector<double> makeProblem(const NumberRules& rules, const DrawSource& draw) {
  NumberSlots s;
  std::vector<double> numbers;
  for (int k = 0; k < rules.terms; ++k) numbers.push_back(makeNumber(s, rules, draw));
  return numbers;
}

DrawSource scriptedDraws(std::deque<float> draws) {
  return [draws = std::move(draws)](const DrawRequest&) mutable {
    if (draws.empty()) return 0.0f;
    const float r = draws.front();
    draws.pop_front();
    return r;
  };
}

std::optional<std::deque<float>> drawsFor(NumberRules rules, const std::vector<double>& numbers) {
  rules.terms = static_cast<int>(numbers.size());
  if (rules.terms < 1 || rules.terms > 30 || rules.mix < 0 || rules.mix > rules.terms ||
      rules.shortest > rules.longest)
    return std::nullopt;
  const std::optional<std::vector<int>> placed = shorterPositions(rules, numbers);
  if (!placed) return std::nullopt;

  // Answers every draw the maker asks for with the one that gives the wanted number.
  std::deque<float> draws;
  std::size_t nextPlaced = 0;
  bool ok = true;
  const DrawSource plan = [&](const DrawRequest& q) {
    std::optional<float> r;
    const auto wanted = [&] { return numbers[static_cast<std::size_t>(q.slot)]; };
    switch (q.kind) {
      case DrawRequest::Position:
        if (nextPlaced < placed->size()) r = drawForPosition(rules.terms, (*placed)[nextPlaced++]);
        break;
      case DrawRequest::DigitCount:
        r = drawForDigitCount(rules.longest, rules.shortest, digitCount(wanted()));
        break;
      case DrawRequest::Value:
        r = drawForNumber(q.digits, wanted());
        break;
    }
    ok = ok && r.has_value();
    draws.push_back(r.value_or(0.0f));
    return draws.back();
  };
  if (makeProblem(rules, plan) != numbers || !ok) return std::nullopt;
  return draws;
}
