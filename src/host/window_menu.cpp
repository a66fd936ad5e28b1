// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/window_menu.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QWidget>

WindowMenu::WindowMenu(QWidget* window) : window_(window), menu_(new QMenu(window)) {
  menu_->setObjectName(QStringLiteral("windowMenu"));
  menu_->setAccessibleName(QStringLiteral("メニュー"));
  window_->setContextMenuPolicy(Qt::CustomContextMenu);
  // Qt's scroll bars bring an English menu of their own; the window's serves them too.
  for (QScrollBar* bar : window_->findChildren<QScrollBar*>())
    bar->setContextMenuPolicy(Qt::NoContextMenu);
  QObject::connect(window_, &QWidget::customContextMenuRequested, menu_,
                   [this](const QPoint& at) { menu_->popup(window_->mapToGlobal(at)); });
  // Shift+F10 opens it from the keyboard, as the menu key does, beside the focused control.
  auto* open = new QAction(window_);
  open->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
  open->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(open, &QAction::triggered, menu_, [this] { popup(); });
  window_->addAction(open);
}

void WindowMenu::popup() {
  QWidget* near = window_->focusWidget() ? window_->focusWidget() : window_;
  menu_->popup(near->mapToGlobal(near->rect().center()));
}

QAction* WindowMenu::add(const QString& text, const QKeySequence& shortcut,
                         std::function<void()> act) {
  auto* action = new QAction(text, window_);
  action->setShortcut(shortcut);
  action->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(action, &QAction::triggered, action, [act = std::move(act)] { act(); });
  window_->addAction(action);
  menu_->addAction(action);
  return action;
}

QAction* WindowMenu::addSwitch(const QString& text, bool on, std::function<void(bool)> act) {
  QAction* action = add(text, {}, [] {});
  action->setCheckable(true);
  action->setChecked(on);
  QObject::connect(action, &QAction::toggled, action, [act = std::move(act)](bool b) { act(b); });
  return action;
}

void WindowMenu::addSeparator() { menu_->addSeparator(); }
