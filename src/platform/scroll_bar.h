// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "platform/control.h"

class QScrollBar;

namespace pf {

// The classic horizontal scroll bar. Its minimum may exceed its maximum:
// the bar then runs downwards from left to right. Setting a different value
// from code raises onChange at once, nested inside the caller; arrows, track
// clicks, keys and the end of a thumb drag raise onChange; the drag itself
// raises onScroll, and Value() reads the thumb while it is dragged.
class ScrollBar final : public Control {
 public:
  // The classic settings: both ends, the arrow and track steps, the value.
  struct Range {
    int min, max, smallChange, largeChange, value;
  };
  ScrollBar(Container& parent, const char* name, const Range& range);

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Value() const;
  void setValue(int value);

  std::function<void()> onChange;
  std::function<void()> onScroll;

  QScrollBar* bar() const { return bar_; }

 private:
  int toQt(int v) const;
  int fromQt(int q) const;
  void userChanged(int q);
  void userScrolled();

  QScrollBar* bar_;
  int min_, max_, value_;
  int settingFromCode_ = 0;
};

}  // namespace pf
