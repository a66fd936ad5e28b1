// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QTimer>
#include <Qt>
#include <functional>

class QAction;
class QMenu;
class QScreen;
class QWidget;
class WindowMenu;

// Full screen and the choice of screen for the window. The window's own
// resize handler lays it out at every size change. Without a window manager
// the window states mean nothing to the display: a moment later, the geometry
// is set too.
class FullScreen {
 public:
  explicit FullScreen(QWidget* window);

  bool isOn() const;
  void setOn(bool on);
  void toggle() { setOn(!isOn()); }

  // Puts the window on screen n (from 1) before it is first shown; an
  // unknown n gives the first screen. Returns the screen used.
  int placeOnScreen(int n);
  // Moves the shown window to screen n, keeping it full screen or maximised.
  void moveToScreen(int n);
  static int screenCount();

  // F11 and Esc, and the screen submenu; `chosen` hears a screen picked there.
  void addTo(WindowMenu& menu, std::function<void(int)> chosen);

 private:
  void settle();
  void updateActions();
  static QScreen* screenAt(int n);

  QWidget* w_;
  Qt::WindowStates before_;  // the state full screen returns to
  QRect normal_;             // the geometry before full screen
  Qt::WindowStates asked_;   // the state the last switch asked for
  QTimer settle_;            // real time: how long a window manager may take
  QAction* toggle_ = nullptr;
  QAction* leave_ = nullptr;
  QMenu* screens_ = nullptr;
};
