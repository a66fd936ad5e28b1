// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/drill_events.h"

#include <QtGlobal>
#include <algorithm>
#include <exception>
#include <string>

void DrillEvents::subscribe(DrillListener* listener, int stage) {
  unsubscribe(listener);
  const auto later = std::find_if(listeners_.begin(), listeners_.end(),
                                  [stage](const Subscriber& s) { return s.stage > stage; });
  listeners_.insert(later, {listener, stage});
}

void DrillEvents::unsubscribe(DrillListener* listener) {
  std::erase_if(listeners_, [listener](const Subscriber& s) { return s.listener == listener; });
  std::erase(reported_, listener);
}

void DrillEvents::started(const DrillSettings& settings) {
  // A start during the previous run's hand-over ends that run first.
  if (inDrill_) announce(DrillEvent::Kind::RunEnded);
  settings_ = settings;
  inDrill_ = true;
  DrillEvent e;
  e.settings = settings;
  deliver(std::move(e));
}

void DrillEvents::settingsChanged(const DrillSettings& settings) {
  if (settings == settings_) return;
  settings_ = settings;
  DrillEvent e;
  e.kind = DrillEvent::Kind::SettingsChanged;
  e.settings = settings;
  deliver(std::move(e));
}

void DrillEvents::announce(DrillEvent::Kind kind, double value, const QString& text, int index) {
  using K = DrillEvent::Kind;
  // An abort of nothing (the panel resetting an idle window) is no event.
  if (kind == K::Aborted && !inDrill_) return;
  if (kind == K::Aborted || kind == K::RunEnded) inDrill_ = false;
  DrillEvent e;
  e.kind = kind;
  e.value = value;
  e.text = text;
  e.index = index;
  e.settings = settings_;
  deliver(std::move(e));
}

DrillEvents::Scope::~Scope() {
  if (--events_.depth_ == 0) events_.drain();
}

void DrillEvents::deliver(DrillEvent event) {
  event.timeNs = now_();
  event.shownNs = shown_ ? shown_() : event.timeNs;
  pending_.push_back(std::move(event));
  if (depth_ == 0) drain();
}

void DrillEvents::drain() {
  // A listener that makes the window announce again (by clicking a control)
  // gets that event after this one, not inside it.
  if (delivering_) return;
  delivering_ = true;
  while (!pending_.empty()) {
    const DrillEvent next = std::move(pending_.front());
    pending_.pop_front();
    // A listener that went away while an earlier one was told is not told.
    const auto listeners = listeners_;
    for (const Subscriber& s : listeners)
      if (std::any_of(listeners_.begin(), listeners_.end(),
                      [&s](const Subscriber& t) { return t.listener == s.listener; }))
        tell(s.listener, next);
  }
  delivering_ = false;
}

void DrillEvents::tell(DrillListener* listener, const DrillEvent& event) {
  // A copy: the exception, and the text it owns, are gone after its handler.
  std::string what = "unknown exception";
  try {
    listener->onDrillEvent(event);
    return;
  } catch (const std::exception& ex) {
    what = ex.what();
  } catch (...) {
  }
  if (std::find(reported_.begin(), reported_.end(), listener) != reported_.end()) return;
  reported_.push_back(listener);
  qWarning("pelatto: a feature failed on a drill event and was skipped (%s)", what.c_str());
}
