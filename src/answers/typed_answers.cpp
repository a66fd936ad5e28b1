#include "answers/typed_answers.h"

#include "host/feature_host.h"

TypedAnswers::TypedAnswers(FeatureHost& host)
    : port_(host.port()),
      field_(port_, sheet_),
      marks_(port_, sheet_),
      watcher_(port_.widget(), [this] { refresh(); }) {
  sheet_.setOnChanged([this] { refresh(); });
  sheet_.subscribe(&host.answers());
  // The sheet marks a problem before anything else hears of it.
  port_.subscribe(&sheet_, DrillPort::Stage::Answers);
}

TypedAnswers::~TypedAnswers() { port_.unsubscribe(&sheet_); }

void TypedAnswers::refresh() {
  field_.refresh();
  marks_.refresh();
}
