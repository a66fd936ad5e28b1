#include "classroom/class_numbers.h"

#include <random>

#include "engine/number_making.h"
#include "history/replay_draws.h"

namespace class_numbers {

namespace {

constexpr int kSpareDraws = 64;
// A free place is looked for this often before the places are scanned in order.
constexpr int kPlaceDraws = 1000;

}  // namespace

float gridDraw(quint32 bits) { return static_cast<float>(bits >> 8) * 0x1p-24f; }

QList<QList<qint64>> make(const DrillSettings& s, int count, const std::function<float()>& draw) {
  QList<QList<qint64>> out;
  for (int p = 0; p < count; ++p) {
    QList<qint64> numbers(s.terms, 0);
    const auto freePlace = [&] {
      for (int attempt = 0; attempt < kPlaceDraws; ++attempt)
        if (const int at = drawnPosition(s.terms, draw()); numbers[at] == 0) return at;
      return static_cast<int>(numbers.indexOf(0));
    };
    for (int k = 0; k < std::min(s.mix, s.terms); ++k) {
      const int at = freePlace();
      const int digits = k == 0 ? s.shortest : inBetweenDigitCount(s.longest, s.shortest, draw());
      numbers[at] = static_cast<qint64>(digitsNumber(digits, draw()));
    }
    for (qint64& n : numbers)
      if (n == 0) n = static_cast<qint64>(digitsNumber(s.longest, draw()));
    out << numbers;
  }
  return out;
}

std::optional<std::deque<float>> draws(const DrillSettings& s, const QList<QList<qint64>>& problems,
                                       quint64 seed) {
  std::deque<float> out;
  for (const QList<qint64>& numbers : problems) {
    const std::optional<std::deque<float>> one = replayDraws(s, numbers);
    if (!one) return std::nullopt;
    out.insert(out.end(), one->begin(), one->end());
  }
  std::mt19937 spare(static_cast<std::mt19937::result_type>(seed));
  for (int k = 0; k < kSpareDraws; ++k) out.push_back(gridDraw(spare()));
  return out;
}

}  // namespace class_numbers
