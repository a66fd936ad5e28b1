// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/frame_presenter.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace pf {

FramePresenter& FramePresenter::instance() {
  static FramePresenter presenter;
  return presenter;
}

void FramePresenter::note(const QWidget* w, const QRect& r) {
  FramePresenter& p = instance();
  if (!p.collecting_ || !w || r.isEmpty()) return;
  QWidget* top = w->window();
  Pending& d = p.dirty_[top];
  d.window = top;
  d.region += QRect(w->mapTo(top, r.topLeft()), r.size());
}

void FramePresenter::collect() {
  collecting_ = true;
  if (!holding_ && QCoreApplication::instance()) {
    QCoreApplication::instance()->installEventFilter(this);
    holding_ = true;
  }
}

void FramePresenter::paint() {
  collecting_ = false;
  for (auto& [key, d] : dirty_) {
    QWidget* top = d.window;
    if (!top) continue;
    QBackingStore* store = top->backingStore();
    // A window that is hidden, or resized since Qt last painted it, is left
    // to Qt's own repaint after the deadline.
    if (!store || !top->isVisible() || !top->windowHandle() || store->size() != top->size() ||
        top->isMinimized())
      continue;
    const QRegion r = d.region & top->rect();
    if (r.isEmpty()) continue;
    store->beginPaint(r);
    {
      QPainter painter(store->paintDevice());
      // render() puts the top-left of the region's bounds at the offset.
      top->render(&painter, r.boundingRect().topLeft(), r,
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    store->endPaint();
    painted_[top].window = top;
    painted_[top].region += r;
  }
  dirty_.clear();
}

void FramePresenter::show(std::int64_t seenNs) {
  if (!presentationTried_ && !painted_.empty()) {
    presentationTried_ = true;
    presentation_ = WaylandPresentation::create();
    if (presentation_)
      presentation_->onPresented = [this](const PresentedFrame& f) { presented(f); };
  }
  if (presentation_) presentation_->collect();
  for (auto& [key, d] : painted_) {
    QWidget* top = d.window;
    if (!top || !top->backingStore() || !top->windowHandle()) continue;
    if (presentation_)
      presentation_->watchNextCommit(top->windowHandle(), refreshes_.known() ? seenNs : 0);
    top->backingStore()->flush(d.region, top->windowHandle(), QPoint());
  }
  painted_.clear();
  release();
}

TickStages::Slot FramePresenter::slot(std::int64_t dueNs, std::int64_t nowNs) const {
  return refreshes_.slot(dueNs, nowNs);
}

void FramePresenter::presented(const PresentedFrame& frame) {
  if (frame.shownNs && frame.vsync)
    refreshes_.presented(frame.shownNs, frame.periodNs, frame.meantNs);
  else if (frame.shownNs)
    refreshes_.presentedOnTimer(frame.shownNs, frame.periodNs, frame.sentNs);
  if (onPresented) onPresented(frame);
}

void FramePresenter::release() {
  if (holding_) QCoreApplication::instance()->removeEventFilter(this);
  holding_ = false;
  const std::vector<QPointer<QWidget>> held = std::move(held_);
  held_.clear();
  for (const QPointer<QWidget>& w : held) {
    if (!w) continue;
    QEvent e(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(w, &e);
  }
}

bool FramePresenter::eventFilter(QObject* o, QEvent* e) {
  if (e->type() != QEvent::UpdateRequest || !o->isWidgetType()) return false;
  QWidget* w = static_cast<QWidget*>(o);
  if (std::find(held_.begin(), held_.end(), w) == held_.end()) held_.emplace_back(w);
  return true;
}

}  // namespace pf
