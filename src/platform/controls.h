// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <functional>

#include "platform/control.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QFrame;

namespace pf {

enum class Align { Left, Right, Center };

// A transparent label; captions may hold several lines separated by CR LF.
class Label final : public Control {
 public:
  Label(Container& parent, const char* name);

  const QString& Caption() const { return caption_; }
  void setCaption(const QString& text);
  void setForeColor(Colour c);
  void setFontSize(double points);
  void setBold(bool bold);
  void setAlignment(Align a);
  void setAutoSize(bool on);
  void setBorder(bool on);
  // Where its text stands, in pixels of the window's client area; empty
  // while it or its caption is not shown.
  QRect textRect() const;
  // Where `text` would stand in it, shown or not.
  QRect textRectOf(const QString& text) const;
  // The distance between its lines of text, in pixels.
  int lineSpacing() const;
  // Renders text at the current font once off screen, so that the first
  // real paint of those glyphs is not slowed by rasterising them.
  void warmGlyphs(const QString& text) const;

 private:
  void fit();
  QLabel* label_;
  QString caption_;
  bool autoSize_ = false;
  bool bold_ = false;
};

// A push button with a coloured face.
class CommandButton final : public Control {
 public:
  CommandButton(Container& parent, const char* name);

  QString Caption() const;
  void setCaption(const QString& text);
  void setBackColor(Colour c);
  void click();

  std::function<void()> onClick;

 private:
  QPushButton* button_;
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
  void setForeColor(Colour c);
  void setBackColor(Colour c);

  std::function<void()> onClick;

 private:
  QRadioButton* radio_;
};

// Value 1 when ticked, 0 when not.
class CheckBox final : public Control {
 public:
  CheckBox(Container& parent, const char* name);

  int Value() const;
  // Ticking or clearing it from code raises onClick, as a click does.
  void setValue(int value);
  void setCaption(const QString& text);
  void setForeColor(Colour c);
  void setBackColor(Colour c);

  std::function<void()> onClick;

 private:
  QCheckBox* box_;
};

class Frame final : public Control, public Container {
 public:
  Frame(Container& parent, const char* name, bool border);

  QWidget* widget() const override { return Control::widget(); }
  void addTabStop(QWidget* w, int tabIndex) override { parent_.addTabStop(w, tabIndex); }
  void setBackColor(Colour c);
};

}  // namespace pf
