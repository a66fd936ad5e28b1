// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/control.h"

namespace pf {

class Surface;
class Window;

// A straight line drawn on the window beneath its controls.
class Line {
 public:
  explicit Line(Window& owner) : owner_(owner) {}

  float X1() const { return x1_; }
  float Y1() const { return y1_; }
  float X2() const { return x2_; }
  float Y2() const { return y2_; }
  void setX1(float v) { change(x1_, v); }
  void setY1(float v) { change(y1_, v); }
  void setX2(float v) { change(x2_, v); }
  void setY2(float v) { change(y2_, v); }
  Colour BorderColor() const { return colour_; }
  void setBorderColor(Colour c);
  int BorderWidth() const { return width_; }
  void setBorderWidth(int pixels);
  bool Visible() const { return visible_; }
  void setVisible(bool v);

 private:
  friend class LineArray;
  friend class Surface;
  void change(float& field, float v);
  void invalidate() const;

  Window& owner_;
  float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  Colour colour_ = 0;
  int width_ = 1;
  bool visible_ = false;
};

// A control array of lines; new elements start as hidden copies of element 0.
class LineArray {
 public:
  explicit LineArray(Window& owner);
  Line& operator[](int index) { return lines_.at(static_cast<std::size_t>(index)); }
  const Line& operator[](int index) const { return lines_.at(static_cast<std::size_t>(index)); }
  void Load(int index);
  int count() const { return static_cast<int>(lines_.size()); }

 private:
  Window& owner_;
  std::deque<Line> lines_;
};

enum class WindowState { Normal, Minimized, Maximized };

// The top-level window: background, surface printing, lines, resize
// notification. Closing it ends the program.
class Window final : public Container {
 public:
  explicit Window(const char* name);
  ~Window() override;

  QWidget* widget() const override;
  void addTabStop(QWidget* w, int tabIndex) override;
  // Chains the keyboard order of every control by tab index.
  void applyTabOrder();
  // The keyboard focus to the first enabled control in that order.
  void focusFirstTabStop();

  void setCaption(const QString& text);
  Colour BackColor() const { return backColor_; }
  void setBackColor(Colour c);
  Colour ForeColor() const { return foreColor_; }
  void setForeColor(Colour c) { foreColor_ = c; }
  double FontSize() const { return fontSize_; }
  void setFontSize(double points) { fontSize_ = points; }
  double CurrentX = 0;
  double CurrentY = 0;
  // Prints one line at the drawing position (its top-left) and moves the
  // position to the start of the next line.
  void Print(const QString& text);
  void Cls();
  // Texts printed since the last Cls, for checks of what is on the surface.
  std::vector<QString> printedTexts() const;

  WindowState windowState() const;
  void setWindowState(WindowState s);
  // Outer size, title bar and borders included, in twips.
  double Width() const;
  double Height() const;
  // The client area, in pixels.
  QRect clientRect() const;
  void setClientSize(double widthTwips, double heightTwips);
  void setIcon(const QString& resource);

  void Show();
  void Unload();

  std::function<void()> onResize;
  // Raised once when the window closes, by code or by the learner.
  std::function<void()> onUnload;
  LineArray lin;

 private:
  friend class Line;
  friend class Surface;
  struct Printed;
  Surface* surface_;
  Colour backColor_ = 0;
  Colour foreColor_ = 0;
  double fontSize_ = 9;
  std::vector<Printed> printed_;
  std::multimap<int, QWidget*> tabStops_;
};

}  // namespace pf
