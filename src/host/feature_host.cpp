// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/feature_host.h"

#include <algorithm>

#include "host/passing_note.h"
#include "host/shortcuts.h"
#include "host/window_menu.h"

FeatureHost::FeatureHost(DrillPort& port)
    : port_(port), menu_(std::make_unique<WindowMenu>(port.widget())) {
  // The window's own buttons come first, each a press of its button.
  addDrillShortcuts(*menu_, port);
}

FeatureHost::~FeatureHost() = default;

void FeatureHost::note(const QString& text) const { showPassingNote(port_.widget(), text); }

void FeatureHost::Answers::subscribe(AnswerListener* listener) {
  if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
    listeners_.push_back(listener);
}

void FeatureHost::Answers::unsubscribe(AnswerListener* listener) {
  std::erase(listeners_, listener);
}

void FeatureHost::Answers::onAnswerMarked(const MarkedAnswer& answer) {
  for (AnswerListener* l : std::vector(listeners_)) l->onAnswerMarked(answer);
}

void FeatureHost::Answers::onAnswerCommitted(int problem, double typed) {
  for (AnswerListener* l : std::vector(listeners_)) l->onAnswerCommitted(problem, typed);
}

void FeatureHost::Answers::onAnswerStopped(const MarkedAnswer& answer) {
  for (AnswerListener* l : std::vector(listeners_)) l->onAnswerStopped(answer);
}
