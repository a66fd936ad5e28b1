// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QPainter>
#include <QResizeEvent>
#include <QWidget>
#include <cmath>

#include "platform/fonts.h"
#include "platform/frame_presenter.h"

namespace pf {

struct Window::Printed {
  QPointF topLeft;
  QFont font;
  QColor colour;
  QString text;
};

// The window's client area: paints printed text and lines beneath the
// child controls, and reports every size change.
class Surface final : public QWidget {
 public:
  explicit Surface(Window& w) : window_(w) {}

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter p(this);
    p.setClipRegion(e->region());
    for (const auto& t : window_.printed_) {
      p.setFont(t.font);
      p.setPen(t.colour);
      p.drawText(QPointF(t.topLeft.x(), t.topLeft.y() + QFontMetricsF(t.font).ascent()), t.text);
    }
    for (int i = 0; i < window_.lin.count(); ++i) {
      const Line& l = window_.lin[i];
      if (!l.visible_) continue;
      p.setPen(QPen(toQColor(l.colour_), l.width_, Qt::SolidLine, Qt::RoundCap));
      const QPointF from(l.x1_ / kTwipsPerPixel, l.y1_ / kTwipsPerPixel);
      const QPointF to(l.x2_ / kTwipsPerPixel, l.y2_ / kTwipsPerPixel);
      // Qt paints nothing for a line whose ends coincide: it is a square dot
      // as wide as the line.
      if (from == to) {
        p.setPen(QPen(toQColor(l.colour_), l.width_, Qt::SolidLine, Qt::SquareCap));
        p.drawPoint(from);
      } else {
        p.drawLine(from, to);
      }
    }
  }
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    resized();
  }
  void moveEvent(QMoveEvent* e) override {
    QWidget::moveEvent(e);
    // A frame that comes or goes (full screen) moves the client area and
    // changes the outer size, also when the client area keeps its size.
    if (frameGeometry().size() != laidOutFor_) resized();
  }
  void closeEvent(QCloseEvent* e) override {
    QWidget::closeEvent(e);
    if (window_.onUnload) window_.onUnload();
  }
  void changeEvent(QEvent* e) override {
    QWidget::changeEvent(e);
    // Minimising and restoring may keep the size; the layout still follows.
    if (e->type() == QEvent::WindowStateChange) resized();
  }

 private:
  void resized() {
    laidOutFor_ = frameGeometry().size();
    if (window_.onResize) window_.onResize();
  }

  Window& window_;
  QSize laidOutFor_;  // the outer size the last resize notification saw
};

void Line::change(float& field, float v) {
  if (field == v) return;
  invalidate();
  field = v;
  invalidate();
}

void Line::setBorderColor(Colour c) {
  if (colour_ == c) return;
  colour_ = c;
  invalidate();
}

void Line::setBorderWidth(int pixels) {
  invalidate();
  width_ = pixels;
  invalidate();
}

void Line::setVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  invalidate();
}

void Line::invalidate() const {
  if (!visible_) return;
  const double pad = width_ + 2;
  const QRectF r = QRectF(QPointF(x1_ / kTwipsPerPixel, y1_ / kTwipsPerPixel),
                          QPointF(x2_ / kTwipsPerPixel, y2_ / kTwipsPerPixel))
                       .normalized()
                       .adjusted(-pad, -pad, pad, pad);
  owner_.surface_->update(r.toAlignedRect());
  FramePresenter::note(owner_.surface_, r.toAlignedRect());
}

LineArray::LineArray(Window& owner) : owner_(owner) { lines_.emplace_back(owner); }

void LineArray::Load(int index) {
  while (count() <= index) {
    Line copy = lines_.front();
    copy.visible_ = false;
    lines_.push_back(copy);
  }
}

Window::Window(const char* name) : lin(*this), surface_(new Surface(*this)) {
  surface_->setObjectName(QString::fromLatin1(name));
  surface_->setAutoFillBackground(true);
}

Window::~Window() { delete surface_; }

QWidget* Window::widget() const { return surface_; }

void Window::addTabStop(QWidget* w, int tabIndex) { tabStops_.emplace(tabIndex, w); }

void Window::applyTabOrder() {
  QWidget* previous = nullptr;
  for (const auto& [index, w] : tabStops_) {
    if (previous) QWidget::setTabOrder(previous, w);
    previous = w;
  }
}

void Window::focusFirstTabStop() {
  for (const auto& [index, w] : tabStops_)
    if (w->isEnabled() && !w->isHidden() && (w->focusPolicy() & Qt::TabFocus)) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
}

void Window::setCaption(const QString& text) { surface_->setWindowTitle(text); }

void Window::setBackColor(Colour c) {
  backColor_ = c;
  QPalette p = surface_->palette();
  p.setColor(QPalette::Window, toQColor(c));
  surface_->setPalette(p);
}

void Window::Print(const QString& text) {
  const QFont f = formFont(fontSize_, false);
  printed_.push_back({QPointF(CurrentX / kTwipsPerPixel, CurrentY / kTwipsPerPixel), f,
                      toQColor(foreColor_), text});
  const QFontMetricsF fm(f);
  const QRect r = QRectF(printed_.back().topLeft, QSizeF(fm.horizontalAdvance(text), fm.height()))
                      .toAlignedRect()
                      .adjusted(-2, -2, 2, 2);
  surface_->update(r);
  FramePresenter::note(surface_, r);
  CurrentX = 0;
  CurrentY += fm.height() * kTwipsPerPixel;
}

void Window::Cls() {
  if (!printed_.empty()) {
    surface_->update();
    FramePresenter::note(surface_, surface_->rect());
  }
  printed_.clear();
  CurrentX = 0;
  CurrentY = 0;
}

std::vector<QString> Window::printedTexts() const {
  std::vector<QString> out;
  for (const auto& t : printed_) out.push_back(t.text);
  return out;
}

WindowState Window::windowState() const {
  const Qt::WindowStates s = surface_->windowState();
  if (s & Qt::WindowMinimized) return WindowState::Minimized;
  if (s & Qt::WindowMaximized) return WindowState::Maximized;
  return WindowState::Normal;
}

void Window::setWindowState(WindowState s) {
  const Qt::WindowState q = s == WindowState::Minimized   ? Qt::WindowMinimized
                            : s == WindowState::Maximized ? Qt::WindowMaximized
                                                          : Qt::WindowNoState;
  surface_->setWindowState(q);
}

double Window::Width() const { return toTwips(surface_->frameGeometry().width()); }
double Window::Height() const { return toTwips(surface_->frameGeometry().height()); }

QRect Window::clientRect() const { return surface_->rect(); }

void Window::setClientSize(double widthTwips, double heightTwips) {
  surface_->resize(toPixels(widthTwips), toPixels(heightTwips));
}

void Window::setIcon(const QString& resource) { surface_->setWindowIcon(QIcon(resource)); }

void Window::Show() { surface_->show(); }

void Window::Unload() {
  surface_->close();
  QCoreApplication::exit(0);
}

}  // namespace pf
