// SPDX-License-Identifier: GPL-3.0-or-later
#include "answers/marks.h"

Mark markOf(std::optional<double> typed, double total) {
  if (!typed) return Mark::None;
  return *typed == total ? Mark::Correct : Mark::Wrong;
}

namespace {

// A mark's symbol on screen, its name read aloud and its name in the history.
struct MarkNames {
  QString symbol, spoken, stored;
};

const MarkNames& namesOf(Mark mark) {
  static const MarkNames correct{QStringLiteral("○"), QStringLiteral("正解"),
                                 QStringLiteral("correct")};
  static const MarkNames wrong{QStringLiteral("×"), QStringLiteral("不正解"),
                               QStringLiteral("wrong")};
  static const MarkNames none{QStringLiteral("未回答"), QStringLiteral("未回答"),
                              QStringLiteral("none")};
  return mark == Mark::Correct ? correct : mark == Mark::Wrong ? wrong : none;
}

}  // namespace

QString markSymbol(Mark mark) { return namesOf(mark).symbol; }
QString markSpoken(Mark mark) { return namesOf(mark).spoken; }
QString storedMarkName(Mark mark) { return namesOf(mark).stored; }

Mark markFromStoredName(const QString& name) {
  for (Mark m : {Mark::Correct, Mark::Wrong})
    if (name == storedMarkName(m)) return m;
  return Mark::None;
}
