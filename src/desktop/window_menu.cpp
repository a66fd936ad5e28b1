#include "desktop/window_menu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

WindowMenu::WindowMenu(QWidget* window) : window_(window), menu_(new QMenu(window)) {
  menu_->setObjectName(QStringLiteral("windowMenu"));
  menu_->setAccessibleName(QStringLiteral("メニュー"));
  window_->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(window_, &QWidget::customContextMenuRequested, menu_,
                   [this](const QPoint& at) { menu_->popup(window_->mapToGlobal(at)); });
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
