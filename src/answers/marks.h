// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// The mark of a shown total: how the learner's answer compared with it. The
// one home of its names, as the window, the history and a class write them.
enum class Mark { None, Correct, Wrong };

Mark markOf(std::optional<double> typed, double total);

// Beside a total on screen and in the tables: "○", "×" or "未回答".
QString markSymbol(Mark mark);
// Spoken by assistive technology: "正解", "不正解" or "未回答".
QString markSpoken(Mark mark);
// As files store them: "correct", "wrong" or "none"; an unknown name reads as none.
QString storedMarkName(Mark mark);
Mark markFromStoredName(const QString& name);
