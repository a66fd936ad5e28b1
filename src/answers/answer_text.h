// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "answers/answer_sheet.h"
#include "platform/qcolour.h"

// What the field and the marks say, on screen and to assistive technology.
namespace answers {

// Digits, and a typed answer, as the display shows numbers: "," between
// groups of three from the right while grouping is on.
QString shownNumber(const QString& digits, bool grouping);
QString answerText(double typed, bool grouping);

// A colour as a style sheet writes it.
QString cssColour(pf::Colour c);

struct MarkText {
  QString shown;        // beside the total
  QString name;         // "正解", "不正解" or "未回答"
  QString description;  // the learner's answer, when one was given
};

// The mark of a shown total; a wrong one shows the typed number.
MarkText markText(const AnswerSheet::Problem& p, bool grouping);

// "第6問": problem k of a run, counted from 0.
QString problemName(int k);

// "n / m": the correct answers of a run.
QString scoreText(int correct, int problems);

}  // namespace answers
