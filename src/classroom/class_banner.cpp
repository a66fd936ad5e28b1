// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/class_banner.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include "host/drill_port.h"
#include "host/screen_space.h"

ClassBanner::ClassBanner(DrillPort& port, bool lockPanel)
    : port_(port), window_(port.widget()), lock_(lockPanel), banner_(new QLabel(window_)) {
  banner_->setObjectName(QStringLiteral("classBanner"));
  banner_->setAttribute(Qt::WA_TransparentForMouseEvents);
  banner_->setStyleSheet(
      QStringLiteral("QLabel { background: #dceeff; color: #000000; border: 1px solid #2a5d8f;"
                     " padding: 4px 10px; font-size: 11pt; }"));
  banner_->show();
  port_.watchLayout(&watching_, [this] { place(); });
  qApp->installEventFilter(this);
}

ClassBanner::~ClassBanner() {
  qApp->removeEventFilter(this);
  delete banner_;
}

void ClassBanner::setText(const QString& text) {
  banner_->setText(text);
  banner_->setAccessibleName(text);
  place();
}

// In the display's lower right corner, clear of the flashed numbers, where
// neither the answer field nor the run's score goes first.
void ClassBanner::place() {
  banner_->adjustSize();
  using C = space::Corner;
  const QRect area = port_.displayArea();
  banner_->move(space::freeCorner(area, banner_->size(), port_.takenAreas(true),
                                  {C::BottomRight, C::TopRight, C::TopLeft})
                    .value_or(QPoint(area.right() - banner_->width(), area.top())));
  banner_->raise();
}

bool ClassBanner::keyAllowed(int key, Qt::KeyboardModifiers modifiers) {
  const bool plain = !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (plain && key >= Qt::Key_0 && key <= Qt::Key_9) return true;
  switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return plain;
    case Qt::Key_Menu:
    case Qt::Key_F9:
    case Qt::Key_F10:  // with Shift: the menu
    case Qt::Key_F11:
    case Qt::Key_Escape:
    case Qt::Key_Shift:
      return true;
    default:
      return false;
  }
}

bool ClassBanner::eventFilter(QObject* watched, QEvent* event) {
  const auto* w = qobject_cast<QWidget*>(watched);
  if (!lock_ || !w || w->window() != window_) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      // The right button still opens the window's menu.
      return static_cast<QMouseEvent*>(event)->button() != Qt::RightButton;
    case QEvent::Wheel:
      return true;
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (keyAllowed(key->key(), key->modifiers())) return false;
      // An overridden shortcut does not fire; the key then comes here as a press.
      event->accept();
      return true;
    }
    default:
      return false;
  }
}
