// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pf {

namespace {

// A scroll bar as assistive technology sees it: a value between the smaller
// and the larger end of the classic range. Qt may create the interface while
// the bar is still being built (a value change raises an accessibility
// event), so the classic range is looked up at each call; a bar without it is
// read in Qt's own terms. Everything goes through the QScrollBar itself, so
// nothing here outlives the widget.
class ClassicScrollBarAccessible final : public QAccessibleWidget,
                                         public QAccessibleValueInterface {
 public:
  explicit ClassicScrollBarAccessible(QScrollBar* bar)
      : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return QString::number(value());
    return QAccessibleWidget::text(t);
  }

  QVariant currentValue() const override { return value(); }
  QVariant minimumValue() const override { return std::min(classicMin(), classicMax()); }
  QVariant maximumValue() const override { return std::max(classicMin(), classicMax()); }
  QVariant minimumStepSize() const override { return bar()->singleStep(); }

  // As the learner's own change: the bar emits its change and the setting's
  // handler runs. A disabled bar refuses, as it refuses the mouse.
  void setCurrentValue(const QVariant& v) override {
    bool ok = false;
    const double wanted = v.toDouble(&ok);
    if (!ok || !std::isfinite(wanted) || !bar()->isEnabled()) return;
    const double lo = std::min(classicMin(), classicMax());
    const double hi = std::max(classicMin(), classicMax());
    const int classic = static_cast<int>(std::lround(std::clamp(wanted, lo, hi)));
    bar()->setValue(bar()->minimum() + std::abs(classic - classicMin()));
  }

 private:
  QScrollBar* bar() const { return static_cast<QScrollBar*>(widget()); }
  int classicMin() const {
    const QVariant v = bar()->property(kClassicMinProperty);
    return v.isValid() ? v.toInt() : bar()->minimum();
  }
  int classicMax() const {
    const QVariant v = bar()->property(kClassicMaxProperty);
    return v.isValid() ? v.toInt() : bar()->maximum();
  }
  // While the thumb is dragged the bar reads where the thumb is.
  int value() const {
    const int q =
        (bar()->isSliderDown() ? bar()->sliderPosition() : bar()->value()) - bar()->minimum();
    return classicMin() <= classicMax() ? classicMin() + q : classicMin() - q;
  }
};

QAccessibleInterface* classicControlFactory(const QString& key, QObject* object) {
  if (key != QLatin1String("QScrollBar")) return nullptr;
  auto* bar = qobject_cast<QScrollBar*>(object);
  return bar ? new ClassicScrollBarAccessible(bar) : nullptr;
}

}  // namespace

void installAccessibility() { QAccessible::installFactory(classicControlFactory); }

}  // namespace pf
