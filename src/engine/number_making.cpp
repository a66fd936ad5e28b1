#include "engine/number_making.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr std::array<double, 15> kPow10{1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};
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
