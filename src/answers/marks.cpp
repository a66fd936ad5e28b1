// SPDX-License-Identifier: GPL-3.0-or-later
#include "answers/marks.h"

Mark markOf(std::optional<double> typed, double total) {
  if (!typed) return Mark::None;
  return *typed == total ? Mark::Correct : Mark::Wrong;
}

QString markSymbol(Mark mark) {
  switch (mark) {
    case Mark::Correct:
      return QStringLiteral("○");
    case Mark::Wrong:
      return QStringLiteral("×");
    case Mark::None:
      break;
  }
  return QStringLiteral("未回答");
}

QString markSpoken(Mark mark) {
  switch (mark) {
    case Mark::Correct:
      return QStringLiteral("正解");
    case Mark::Wrong:
      return QStringLiteral("不正解");
    case Mark::None:
      break;
  }
  return QStringLiteral("未回答");
}

QString storedMarkName(Mark mark) {
  switch (mark) {
    case Mark::Correct:
      return QStringLiteral("correct");
    case Mark::Wrong:
      return QStringLiteral("wrong");
    case Mark::None:
      break;
  }
  return QStringLiteral("none");
}

Mark markFromStoredName(const QString& name) {
  for (Mark m : {Mark::Correct, Mark::Wrong})
    if (name == storedMarkName(m)) return m;
  return Mark::None;
}
