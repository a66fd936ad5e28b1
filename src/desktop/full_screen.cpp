// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/full_screen.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "host/shortcuts.h"
#include "host/window_menu.h"

FullScreen::FullScreen(QWidget* window) : w_(window) {
  settle_.setSingleShot(true);
  settle_.setInterval(250);
  QObject::connect(&settle_, &QTimer::timeout, [this] { settle(); });
}

bool FullScreen::isOn() const { return w_->windowState() & Qt::WindowFullScreen; }

void FullScreen::setOn(bool on) {
  if (on == isOn()) return;
  if (on) {
    before_ = w_->windowState() & ~Qt::WindowMinimized;
    normal_ = w_->geometry();
  }
  asked_ = on ? before_ | Qt::WindowFullScreen : before_;
  w_->setWindowState(asked_);
  settle_.start();
  updateActions();
}

// A window manager or the platform has long placed the window by now; without
// one nobody has, and the geometry is set here. A new geometry clears the
// window state, so the state is set again. A window the learner has since
// minimised or maximised is left as it is.
void FullScreen::settle() {
  const QRect screen = w_->screen()->geometry();
  const Qt::WindowStates state = w_->windowState();
  if (state != asked_) return;
  if (isOn() && w_->geometry() != screen)
    w_->setGeometry(screen);
  else if (!isOn() && w_->geometry() == screen && normal_ != screen)
    w_->setGeometry(normal_);
  else
    return;
  w_->setWindowState(state);
}

int FullScreen::screenCount() { return static_cast<int>(QGuiApplication::screens().size()); }

QScreen* FullScreen::screenAt(int n) {
  const auto screens = QGuiApplication::screens();
  return n >= 1 && n <= screens.size() ? screens[n - 1] : QGuiApplication::primaryScreen();
}

int FullScreen::placeOnScreen(int n) {
  QScreen* s = screenAt(n);
  if (w_->screen() != s) {
    w_->setScreen(s);
    w_->move(s->availableGeometry().topLeft());
  }
  return static_cast<int>(QGuiApplication::screens().indexOf(s)) + 1;
}

void FullScreen::moveToScreen(int n) {
  QScreen* s = screenAt(n);
  if (s == w_->screen()) return;
  const bool full = isOn();
  const Qt::WindowStates kept = full ? before_ : w_->windowState() & ~Qt::WindowMinimized;
  if (full) setOn(false);
  w_->setWindowState(Qt::WindowNoState);
  // Another X screen needs a new native window, shown anew; on one desktop
  // this only names the screen.
  const bool shown = w_->isVisible();
  const bool otherDesktop = !w_->screen()->virtualSiblings().contains(s);
  if (otherDesktop) w_->hide();
  w_->setScreen(s);
  const QRect area = s->availableGeometry();
  QRect g(area.topLeft(), w_->size().boundedTo(area.size()));
  w_->setGeometry(g);
  w_->setWindowState(kept);
  if (shown && !w_->isVisible()) w_->show();
  if (full) setOn(true);
  updateActions();
}

void FullScreen::addTo(WindowMenu& menu, std::function<void(int)> chosen) {
  const ShortcutInfo& on = shortcutInfo(shortcut::FullScreen);
  toggle_ = menu.add(on.japanese, QKeySequence(on.key), [this] { toggle(); });
  toggle_->setCheckable(true);
  const ShortcutInfo& off = shortcutInfo(shortcut::LeaveFullScreen);
  leave_ = menu.add(off.japanese, QKeySequence(off.key), [this] { setOn(false); });
  screens_ = menu.menu()->addMenu(QStringLiteral("表示する画面"));
  screens_->setAccessibleName(QStringLiteral("表示する画面"));
  QObject::connect(screens_, &QMenu::aboutToShow, screens_, [this, chosen] {
    screens_->clear();
    auto* group = new QActionGroup(screens_);
    const auto all = QGuiApplication::screens();
    for (int k = 1; k <= all.size(); ++k) {
      QAction* a = screens_->addAction(QStringLiteral("画面 %1（%2×%3）")
                                           .arg(k)
                                           .arg(all[k - 1]->size().width())
                                           .arg(all[k - 1]->size().height()));
      a->setCheckable(true);
      a->setChecked(all[k - 1] == w_->screen());
      group->addAction(a);
      QObject::connect(a, &QAction::triggered, w_, [this, k, chosen] {
        moveToScreen(k);
        if (chosen) chosen(k);
      });
    }
  });
  QObject::connect(menu.menu(), &QMenu::aboutToShow, w_, [this] { updateActions(); });
  updateActions();
}

void FullScreen::updateActions() {
  if (toggle_) toggle_->setChecked(isOn());
  if (leave_) leave_->setEnabled(isOn());
  if (screens_) screens_->setEnabled(screenCount() > 1);
}
