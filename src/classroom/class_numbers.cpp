// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/class_numbers.h"

#include <random>

#include "engine/problem_maker.h"

namespace class_numbers {

namespace {

constexpr int kSpareDraws = 64;

}  // namespace

float gridDraw(quint32 bits) { return static_cast<float>(bits >> 8) * 0x1p-24f; }

QList<QList<qint64>> make(const DrillSettings& s, int count, const std::function<float()>& draw) {
  QList<QList<qint64>> out;
  for (int p = 0; p < count; ++p) {
    QList<qint64> numbers;
    for (double x : makeProblem(numberRules(s), [&draw](const DrawRequest&) { return draw(); }))
      numbers << static_cast<qint64>(x);
    out << numbers;
  }
  return out;
}

std::optional<std::deque<float>> draws(const DrillSettings& s, const QList<QList<qint64>>& problems,
                                       quint64 seed) {
  std::deque<float> out;
  for (const QList<qint64>& numbers : problems) {
    const std::optional<std::deque<float>> one =
        drawsFor(numberRules(s), {numbers.begin(), numbers.end()});
    if (!one) return std::nullopt;
    out.insert(out.end(), one->begin(), one->end());
  }
  std::mt19937 spare(static_cast<std::mt19937::result_type>(seed));
  for (int k = 0; k < kSpareDraws; ++k) out.push_back(gridDraw(spare()));
  return out;
}

}  // namespace class_numbers
