// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/control.h"

#include <QWidget>

#include "platform/fonts.h"
#include "platform/frame_presenter.h"

namespace pf {

Control::Control(Container& parent, const char* name, QWidget* w) : parent_(parent), w_(w) {
  w_->setParent(parent.widget());
  w_->setObjectName(QString::fromLatin1(name));
}

void Control::applyGeometry() {
  w_->setGeometry(toPixels(left_), toPixels(top_), toPixels(width_), toPixels(height_));
}

void Control::geometryChanged() { applyGeometry(); }

void Control::setLeft(double twips) {
  left_ = twips;
  geometryChanged();
}
void Control::setTop(double twips) {
  top_ = twips;
  geometryChanged();
}
void Control::setWidth(double twips) {
  width_ = twips;
  geometryChanged();
}
void Control::setHeight(double twips) {
  height_ = twips;
  geometryChanged();
}
void Control::Move(double left, double top, double width, double height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  geometryChanged();
}

QRect Control::rectInWindow() const {
  const QWidget* window = w_->window();
  if (!w_->isVisibleTo(window)) return {};
  return QRect(w_->mapTo(window, QPoint(0, 0)), w_->size());
}

bool Control::Visible() const { return !w_->isHidden(); }
void Control::setVisible(bool visible) {
  if (visible == w_->isHidden()) FramePresenter::note(w_, w_->rect());
  w_->setVisible(visible);
}
bool Control::Enabled() const { return w_->isEnabled(); }
void Control::setEnabled(bool enabled) { w_->setEnabled(enabled); }
QString Control::ToolTip() const { return w_->toolTip(); }

void Control::setToolTip(const QString& text) {
  w_->setToolTip(text);
  w_->setAccessibleDescription(text);
}

bool Control::SetFocus() {
  QWidget* top = w_->window();
  if (!w_->isEnabled() || !w_->isVisible() || top->isMinimized()) return false;
  w_->setFocus(Qt::OtherFocusReason);
  return true;
}

void Control::setTabIndex(int index) { parent_.addTabStop(w_, index); }

void Control::setAccessibleName(const QString& name) { w_->setAccessibleName(name); }

void Control::setFont(double points, bool bold) {
  fontSize_ = points;
  w_->setFont(formFont(points, bold));
}

}  // namespace pf
