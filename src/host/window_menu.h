// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QWidget;

// The context menu on the window's background, through which the learner
// reaches everything beyond the panel. Each action's shortcut works on the
// whole window and is shown beside it in the menu.
class WindowMenu {
 public:
  explicit WindowMenu(QWidget* window);

  QAction* add(const QString& text, const QKeySequence& shortcut, std::function<void()> act);
  // A switch: a checkable entry that hands its new state to act.
  QAction* addSwitch(const QString& text, bool on, std::function<void(bool)> act);
  void addSeparator();
  // Opens the menu beside the focused control.
  void popup();
  QMenu* menu() const { return menu_; }

 private:
  QWidget* window_;
  QMenu* menu_;
};
