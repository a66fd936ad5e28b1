#include <array>
#include <cmath>

#include "shell/frm_pelatto.h"

// The numbers of a problem are made one at a time. With a mix, the shorter
// numbers are placed at random positions when the first one is asked for.

namespace {

constexpr std::array<double, 15> kPow10{1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};

double digitsNumber(int k, float r) {
  const double low = kPow10.at(static_cast<std::size_t>(k - 1));
  return std::floor(low + low * 9 * static_cast<double>(r));
}

// A free-slot search that cannot succeed gives up after this many draws and
// scans instead; only a mix above the number of terms gets there.
constexpr int kMaxPositionDraws = 1000;

}  // namespace

void frmPelatto::MakeNumber() {
  const auto drawPosition = [this] {
    ransu = std::floor(static_cast<float>(kazu) * rnd.Rnd());
    return std::min(static_cast<int>(ransu), kazu - 1);
  };
  const auto freePosition = [&]() -> int {
    for (int attempt = 0; attempt < kMaxPositionDraws; ++attempt) {
      const int pos = drawPosition();
      if (su[static_cast<std::size_t>(pos)] == 0) return pos;
    }
    for (int pos = 0; pos < kazu; ++pos)
      if (su[static_cast<std::size_t>(pos)] == 0) return pos;
    return -1;
  };
  const auto placeFirstShorter = [&] {
    const int pos = drawPosition();
    su[static_cast<std::size_t>(pos)] = digitsNumber(ketaSyo, rnd.Rnd());
    h = 1;
  };
  const auto inBetweenCount = [&] {
    const int dd = ketaDai - ketaSyo;
    const float r0 = rnd.Rnd();
    // With the shortest equal to the longest the count is the shortest too.
    if (dd <= 1) return static_cast<int>(ketaSyo);
    const int k = static_cast<int>(std::floor(static_cast<float>(dd - 1) * r0 + ketaSyo + 1));
    return std::clamp(k, ketaSyo + 1, ketaDai - 1);
  };

  rnd.Randomize();
  if (i == 0) su.fill(0);

  if (!SwthK && kon > 0) {
    if (kon == 1 && h == 0) {
      placeFirstShorter();
    } else {
      for (int rep = 0; rep < kon - 1; ++rep) {
        if (h == 0) placeFirstShorter();
        const int pos = freePosition();
        if (pos < 0) break;
        const int k = inBetweenCount();
        su[static_cast<std::size_t>(pos)] = digitsNumber(k, rnd.Rnd());
        h = h + 1;
      }
    }
    if (h > kon - 1) SwthK = true;
  }

  auto& slot = su[static_cast<std::size_t>(i)];
  if (slot == 0) slot = digitsNumber(ketaDai, rnd.Rnd());
  suu = slot;
  slot = 0;
  i = i + 1;
}
