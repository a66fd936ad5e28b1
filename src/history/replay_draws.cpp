#include "history/replay_draws.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kGrid = 16777216.0;  // 2^24 draws in [0, 1)

float gridDraw(double j) { return static_cast<float>(j / kGrid); }

int digitCount(qint64 x) {
  int k = 1;
  while (x >= 10) x /= 10, ++k;
  return k;
}

std::optional<float> valueDraw(int digits, qint64 x) {
  if (digits < 1 || digits > 14) return std::nullopt;
  const double low = std::pow(10.0, digits - 1);
  const double first = std::ceil((static_cast<double>(x) - low) / (low * 9) * kGrid);
  for (double j = std::max(0.0, first - 2); j <= std::min(kGrid - 1, first + 2); ++j)
    if (numberFromDraw(digits, gridDraw(j)) == static_cast<double>(x)) return gridDraw(j);
  return std::nullopt;
}

// A position as the maker draws it: floor(terms * r) in single precision.
float positionDraw(int terms, int position) {
  const double centre = std::floor((position + 0.5) / terms * kGrid);
  for (double j = centre;; j += position * 2 < terms ? 1 : -1) {
    const float r = gridDraw(j);
    if (std::min(static_cast<int>(std::floor(static_cast<float>(terms) * r)), terms - 1) ==
        position)
      return r;
  }
}

// The in-between digit count: floor((d - 1) * r + shortest + 1) in single
// precision, d = longest - shortest; with d of 1 or less it is the shortest.
float countDraw(int longest, int shortest, int count) {
  const int d = longest - shortest;
  if (d <= 1) return 0.0f;
  const double centre = std::floor((count - shortest - 0.5) / (d - 1) * kGrid);
  for (double j = centre;; j += count * 2 < longest + shortest ? 1 : -1) {
    const float r = gridDraw(j);
    const int k = static_cast<int>(std::floor(static_cast<float>(d - 1) * r + shortest + 1));
    if (std::clamp(k, shortest + 1, longest - 1) == count) return r;
  }
}

}  // namespace

double numberFromDraw(int digits, float r) {
  const double low = std::pow(10.0, digits - 1);
  return std::floor(low + low * 9 * static_cast<double>(r));
}

std::optional<std::deque<float>> replayDraws(const DrillSettings& settings,
                                             const QList<qint64>& numbers) {
  const int terms = static_cast<int>(numbers.size());
  const int longest = settings.longest, shortest = settings.shortest, mix = settings.mix;
  if (terms < 1 || terms > 30 || mix < 0 || mix > terms || shortest > longest) return std::nullopt;
  const int d = longest - shortest;
  // The shorter numbers: the first has the shortest count, the others the
  // in-between count, which is the shortest too when d is 1 and the longest when d is 0.
  const auto inBetween = [&](int c) {
    return d <= 1 ? c == shortest : c > shortest && c < longest;
  };
  QList<int> placed;  // positions of the shorter numbers, the first one first
  if (mix > 0) {
    for (int p = 0; p < terms && d > 0; ++p)
      if (digitCount(numbers[p]) == shortest) {
        placed << p;
        break;
      }
    if (d == 0) placed << 0;
    for (int p = 0; p < terms && placed.size() < mix; ++p)
      if (!placed.contains(p) && inBetween(digitCount(numbers[p]))) placed << p;
    if (placed.size() != mix) return std::nullopt;
  }
  std::deque<float> draws;
  const auto value = [&](int digits, qint64 x) {
    const std::optional<float> r = digitCount(x) == digits ? valueDraw(digits, x) : std::nullopt;
    if (r) draws.push_back(*r);
    return r.has_value();
  };
  for (int n = 0; n < static_cast<int>(placed.size()); ++n) {
    const int p = placed[n];
    draws.push_back(positionDraw(terms, p));
    if (n == 0) {
      if (!value(shortest, numbers[p])) return std::nullopt;
      continue;
    }
    const int count = d <= 1 ? shortest : digitCount(numbers[p]);
    draws.push_back(countDraw(longest, shortest, count));
    if (!value(count, numbers[p])) return std::nullopt;
  }
  for (int p = 0; p < terms; ++p)
    if (!placed.contains(p) && !value(longest, numbers[p])) return std::nullopt;
  return draws;
}
