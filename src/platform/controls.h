#pragma once

#include <QString>
#include <functional>

#include "platform/control.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QFrame;
class QScrollBar;

namespace pf {

enum class Align { Left, Right, Center };

// A transparent label; captions may hold several lines separated by CR LF.
class Label final : public Control {
 public:
  Label(Container& parent, const char* name);

  const QString& Caption() const { return caption_; }
  void setCaption(const QString& text);
  Colour ForeColor() const { return foreColor_; }
  void setForeColor(Colour c);
  void setFontSize(double points);
  void setBold(bool bold);
  void setAlignment(Align a);
  void setAutoSize(bool on);
  void setBorder(bool on);
  // Renders text at the current font once off screen, so that the first
  // real paint of those glyphs is not slowed by rasterising them.
  void warmGlyphs(const QString& text) const;

 private:
  void fit();
  QLabel* label_;
  QString caption_;
  Colour foreColor_ = 0;
  bool autoSize_ = false;
  bool bold_ = false;
};

// A push button with a coloured face.
class CommandButton final : public Control {
 public:
  CommandButton(Container& parent, const char* name);

  QString Caption() const;
  void setCaption(const QString& text);
  Colour BackColor() const { return backColor_; }
  void setBackColor(Colour c);
  void click();

  std::function<void()> onClick;

 private:
  QPushButton* button_;
  Colour backColor_ = 0;
};

// Option buttons are exclusive within their frame; selecting one from code
// raises its click notification, as the user's click does.
class OptionButton final : public Control {
 public:
  OptionButton(Container& parent, const char* name);

  bool Value() const;
  void setValue(bool selected);
  QString Caption() const;
  void setCaption(const QString& text);
  Colour ForeColor() const { return foreColor_; }
  void setForeColor(Colour c);
  Colour BackColor() const { return backColor_; }
  void setBackColor(Colour c);

  std::function<void()> onClick;

 private:
  QRadioButton* radio_;
  Colour foreColor_ = 0, backColor_ = 0;
};

// Value 1 when ticked, 0 when not.
class CheckBox final : public Control {
 public:
  CheckBox(Container& parent, const char* name);

  int Value() const;
  // Ticking or clearing it from code raises onClick, as a click does.
  void setValue(int value);
  void setCaption(const QString& text);
  Colour ForeColor() const { return foreColor_; }
  void setForeColor(Colour c);
  Colour BackColor() const { return backColor_; }
  void setBackColor(Colour c);

  std::function<void()> onClick;

 private:
  QCheckBox* box_;
  Colour foreColor_ = 0, backColor_ = 0;
};

class Frame final : public Control, public Container {
 public:
  Frame(Container& parent, const char* name, bool border);

  QWidget* widget() const override { return Control::widget(); }
  void addTabStop(QWidget* w, int tabIndex) override { parent_.addTabStop(w, tabIndex); }
  Colour BackColor() const { return backColor_; }
  void setBackColor(Colour c);

 private:
  Colour backColor_ = 0;
};

// The classic horizontal scroll bar. Its minimum may exceed its maximum:
// the bar then runs downwards from left to right. Setting a different value
// from code raises onChange at once, nested inside the caller; arrows, track
// clicks, keys and the end of a thumb drag raise onChange; the drag itself
// raises onScroll, and Value() reads the thumb while it is dragged.
class ScrollBar final : public Control {
 public:
  ScrollBar(Container& parent, const char* name, int min, int max, int smallChange,
            int largeChange, int value);

  int Min() const { return min_; }
  int Max() const { return max_; }
  int SmallChange() const { return small_; }
  int LargeChange() const { return large_; }
  int Value() const;
  void setValue(int value);

  std::function<void()> onChange;
  std::function<void()> onScroll;

  QScrollBar* bar() const { return bar_; }

 private:
  int toQt(int v) const;
  int fromQt(int q) const;
  void userChanged(int q);
  void userScrolled();

  QScrollBar* bar_;
  int min_, max_, small_, large_, value_;
  int settingFromCode_ = 0;
};

}  // namespace pf
