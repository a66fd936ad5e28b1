#pragma once

#include "answers/answer_field.h"
#include "answers/answer_marks.h"
#include "answers/answer_sheet.h"
#include "answers/screen_space.h"

class DrillPort;
class FeatureHost;

// Typed answers and their marking, attached to the window through the port:
// the sheet hears the drill, the field takes the keys, the marks show the
// result. Other features hear each marked total through sheet().subscribe().
class TypedAnswers {
 public:
  // Tells every marked total to the host's answers.
  explicit TypedAnswers(FeatureHost& host);
  ~TypedAnswers();
  TypedAnswers(const TypedAnswers&) = delete;
  TypedAnswers& operator=(const TypedAnswers&) = delete;

  AnswerSheet& sheet() { return sheet_; }
  const AnswerField& field() const { return field_; }
  const AnswerMarks& marks() const { return marks_; }

 private:
  void refresh();

  DrillPort& port_;
  AnswerSheet sheet_;
  AnswerField field_;
  AnswerMarks marks_;
  answers::DisplayWatcher watcher_;
};
