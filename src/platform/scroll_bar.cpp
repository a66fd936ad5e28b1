// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/scroll_bar.h"

#include <QScrollBar>
#include <algorithm>
#include <cstdlib>

#include "platform/accessibility.h"

namespace pf {

// Qt needs minimum <= maximum, so the bar maps the classic range onto
// [0, |Max - Min|] with 0 at the left end, whichever way the values run.
ScrollBar::ScrollBar(Container& parent, const char* name, const Range& range)
    : Control(parent, name, new QScrollBar(Qt::Horizontal)),
      bar_(static_cast<QScrollBar*>(w_)),
      min_(range.min),
      max_(range.max),
      value_(range.value) {
  bar_->setRange(0, std::abs(max_ - min_));
  bar_->setSingleStep(range.smallChange);
  bar_->setPageStep(range.largeChange);
  bar_->setValue(toQt(value_));
  // Right arrow, Right key and wheel move towards the classic maximum.
  bar_->setInvertedControls(false);
  // A drag reports its moves separately and changes the value on release.
  bar_->setTracking(false);
  bar_->setFocusPolicy(Qt::StrongFocus);
  // Assistive technology reads the classic values from these.
  bar_->setProperty(kClassicMinProperty, min_);
  bar_->setProperty(kClassicMaxProperty, max_);
  QObject::connect(bar_, &QScrollBar::valueChanged, [this](int q) { userChanged(q); });
  QObject::connect(bar_, &QScrollBar::sliderMoved, [this](int) { userScrolled(); });
}

int ScrollBar::toQt(int v) const { return std::abs(v - min_); }
int ScrollBar::fromQt(int q) const { return min_ <= max_ ? min_ + q : min_ - q; }

int ScrollBar::Value() const {
  return bar_->isSliderDown() ? fromQt(bar_->sliderPosition()) : value_;
}

void ScrollBar::setValue(int value) {
  value = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
  // Compared with what the bar shows, which during a drag is the thumb.
  if (value == Value()) return;
  value_ = value;
  ++settingFromCode_;
  bar_->setValue(toQt(value));
  --settingFromCode_;
  if (onChange) onChange();
}

void ScrollBar::userChanged(int q) {
  if (settingFromCode_) return;
  const int v = fromQt(q);
  if (v == value_) return;
  value_ = v;
  if (onChange) onChange();
}

void ScrollBar::userScrolled() {
  if (settingFromCode_) return;
  if (onScroll) onScroll();
}

}  // namespace pf
