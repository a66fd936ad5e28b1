// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>

#include "platform/units.h"

class QWidget;

namespace pf {

// Anything that holds controls: the window or a frame.
class Container {
 public:
  virtual ~Container() = default;
  virtual QWidget* widget() const = 0;
  // Keyboard order of the form's controls, by their tab index.
  virtual void addTabStop(QWidget* w, int tabIndex) = 0;
};

// What every control shares: a real Qt widget, placed in twips.
class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }
  double Height() const { return height_; }
  void setLeft(double twips);
  void setTop(double twips);
  void setWidth(double twips);
  void setHeight(double twips);
  void Move(double left, double top, double width, double height);

  bool Visible() const;
  void setVisible(bool visible);
  bool Enabled() const;
  void setEnabled(bool enabled);
  QString ToolTip() const;
  void setToolTip(const QString& text);
  // Best effort, as on the classic desktop: refused while disabled, hidden
  // or minimised, and then simply ignored.
  bool SetFocus();
  void setTabIndex(int index);
  void setAccessibleName(const QString& name);
  void setFont(double points, bool bold);
  double FontSize() const { return fontSize_; }

  QWidget* widget() const { return w_; }
  // Where it stands, in pixels of the window's client area; empty while hidden.
  QRect rectInWindow() const;

 protected:
  Control(Container& parent, const char* name, QWidget* w);
  virtual void geometryChanged();
  void applyGeometry();

  Container& parent_;
  QWidget* w_;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  double fontSize_ = 0;
};

}  // namespace pf
