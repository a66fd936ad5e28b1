#include "engine/number_making.h"
#include "shell/frm_pelatto.h"

// The numbers of a problem are made one at a time. With a mix, the shorter
// numbers are placed at random positions when the first one is asked for.

namespace {

// A free-slot search that cannot succeed gives up after this many draws and
// scans instead; only a mix above the number of terms gets there.
constexpr int kMaxPositionDraws = 1000;

}  // namespace

void frmPelatto::MakeNumber() {
  const auto drawPosition = [this] {
    const int pos = drawnPosition(kazu, rnd.Rnd());
    ransu = static_cast<float>(pos);
    return pos;
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
        const int k = inBetweenDigitCount(ketaDai, ketaSyo, rnd.Rnd());
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
