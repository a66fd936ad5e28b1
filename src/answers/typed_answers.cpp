// SPDX-License-Identifier: GPL-3.0-or-later
#include "answers/typed_answers.h"

#include <QWidget>

#include "host/feature_host.h"

TypedAnswers::TypedAnswers(FeatureHost& host)
    : port_(host.port()),
      field_(port_, sheet_),
      view_(new SheetView(port_, sheet_)),
      marks_(port_, sheet_) {
  sheet_.setOnChanged([this] { refresh(); });
  sheet_.subscribe(&host.answers());
  // The sheet marks a problem before anything else hears of it.
  port_.subscribe(&sheet_, DrillPort::Stage::Answers);
  port_.watchLayout(&watching_, [this] { layoutChanged(); });
}

TypedAnswers::~TypedAnswers() {
  port_.unsubscribe(&sheet_);
  port_.reserveBesideColumns({});
  delete view_;
}

bool TypedAnswers::columnsShown() const {
  for (int c = 0; c < 4; ++c)
    if (!port_.answerColumn(c).text.isEmpty()) return true;
  return false;
}

void TypedAnswers::refresh() {
  // Moving the field or the marks is no change of the window's own layout,
  // but showing them may trigger more notifications: one pass at a time.
  if (refreshing_) return;
  refreshing_ = true;
  port_.reserveBesideColumns(marks_.columnRoom());
  if (sheet_.showing() == AnswerSheet::Showing::Columns && columnsShown())
    columnsLaidOutFor_[0] = port_.widget()->rect(), columnsLaidOutFor_[1] = port_.panelArea();
  field_.refresh();
  view_->refresh();
  marks_.refresh();
  refreshing_ = false;
}

void TypedAnswers::layoutChanged() {
  if (refreshing_) return;
  const QRect window = port_.widget()->rect(), panel = port_.panelArea();
  // The answer button lays the columns out for the window as it is now.
  if (sheet_.showing() == AnswerSheet::Showing::Columns && columnsShown() &&
      port_.settings().mode == AnswerMode::Later &&
      (window != columnsLaidOutFor_[0] || panel != columnsLaidOutFor_[1])) {
    columnsLaidOutFor_[0] = window, columnsLaidOutFor_[1] = panel;
    port_.reserveBesideColumns(marks_.columnRoom());
    port_.pressAnswer();
  }
  refresh();
}
