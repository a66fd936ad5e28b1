// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QRect>

#include "answers/answer_field.h"
#include "answers/answer_marks.h"
#include "answers/answer_sheet.h"
#include "answers/sheet_view.h"

class DrillPort;
class FeatureHost;

// Typed answers and their marking, attached to the window through the port:
// the sheet hears the drill, the field takes the keys, the sheet view and
// the marks show them. Other features hear each marked total through
// sheet().subscribe(). The answer columns keep room for the marks, and are
// laid out again (as the answer button does) whenever the window's size or
// the panel changes while they are shown.
class TypedAnswers {
 public:
  // Tells every marked total to the host's answers.
  explicit TypedAnswers(FeatureHost& host);
  ~TypedAnswers();
  TypedAnswers(const TypedAnswers&) = delete;
  TypedAnswers& operator=(const TypedAnswers&) = delete;

  AnswerSheet& sheet() { return sheet_; }
  const AnswerField& field() const { return field_; }
  const SheetView& sheetView() const { return *view_; }
  const AnswerMarks& marks() const { return marks_; }

 private:
  void refresh();
  void layoutChanged();
  bool columnsShown() const;

  DrillPort& port_;
  AnswerSheet sheet_;
  AnswerField field_;
  SheetView* view_;  // owned by the window
  AnswerMarks marks_;
  QObject watching_;            // ends the layout watch with this feature
  QRect columnsLaidOutFor_[2];  // the window and the panel at the last layout of the columns
  bool refreshing_ = false;
};
