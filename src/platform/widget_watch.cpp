// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widget_watch.h"

#include <QEvent>
#include <QWidget>

namespace pf {

namespace {

class Watcher final : public QObject {
 public:
  Watcher(QObject* owner, WatchFor what, std::function<void()> changed)
      : QObject(owner), what_(what), changed_(std::move(changed)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const QEvent::Type t = event->type();
    const bool layout =
        t == QEvent::Show || t == QEvent::Hide || t == QEvent::Move || t == QEvent::Resize;
    if (what_ == WatchFor::Layout ? layout : t == QEvent::EnabledChange) changed_();
    return false;
  }

 private:
  WatchFor what_;
  std::function<void()> changed_;
};

}  // namespace

void watchWidgets(QObject* owner, const std::vector<QWidget*>& widgets, WatchFor what,
                  std::function<void()> changed) {
  auto* watcher = new Watcher(owner, what, std::move(changed));
  for (QWidget* w : widgets) w->installEventFilter(watcher);
}

}  // namespace pf
