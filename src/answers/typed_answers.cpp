#include "answers/typed_answers.h"

#include "shell/drill_port.h"

TypedAnswers::TypedAnswers(DrillPort& port)
    : port_(port),
      field_(port, sheet_),
      marks_(port, sheet_),
      watcher_(port.widget(), [this] { refresh(); }) {
  sheet_.setOnChanged([this] { refresh(); });
  port_.subscribe(&sheet_);
}

TypedAnswers::~TypedAnswers() { port_.unsubscribe(&sheet_); }

void TypedAnswers::refresh() {
  field_.refresh();
  marks_.refresh();
}
