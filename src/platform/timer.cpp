// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/timer.h"

#include "platform/clock.h"

namespace pf {

Timer::Timer(Clock& clock, bool enabled, int interval)
    : clock_(clock), enabled_(enabled), interval_(interval) {
  rearm();
}

Timer::~Timer() { clock_.disarm(*this); }

void Timer::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  rearm();
}

void Timer::setInterval(int ms) {
  interval_ = ms < 0 ? 0 : ms;
  rearm();
}

void Timer::fire() {
  if (running() && onTimer) onTimer();
}

void Timer::rearm() {
  if (running())
    clock_.arm(*this, interval_);
  else
    clock_.disarm(*this);
}

}  // namespace pf
