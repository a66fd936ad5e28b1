// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/controls.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "platform/fonts.h"
#include "platform/frame_presenter.h"

namespace pf {

namespace {

void setRole(QWidget* w, QPalette::ColorRole role, Colour c) {
  QPalette p = w->palette();
  p.setColor(role, toQColor(c));
  w->setPalette(p);
}

// Option buttons and check boxes fill with the Button role in some styles,
// so both roles get the colour.
void setOpaqueBackground(QWidget* w, Colour c) {
  w->setAutoFillBackground(true);
  QPalette p = w->palette();
  p.setColor(QPalette::Window, toQColor(c));
  p.setColor(QPalette::Button, toQColor(c));
  w->setPalette(p);
}

// Enter presses the focused button as Space does.
class FaceButton final : public QPushButton {
 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
      click();
      return;
    }
    QPushButton::keyPressEvent(e);
  }
};

}  // namespace

Label::Label(Container& parent, const char* name)
    : Control(parent, name, new QLabel), label_(static_cast<QLabel*>(w_)) {
  label_->setTextFormat(Qt::PlainText);
  label_->setMargin(0);
  label_->setIndent(0);
  label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Label::setCaption(const QString& text) {
  if (text == caption_) return;
  caption_ = text;
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  FramePresenter::note(label_, label_->rect());
  label_->setText(shown);
  fit();
  FramePresenter::note(label_, label_->rect());
}

void Label::setForeColor(Colour c) {
  setRole(label_, QPalette::WindowText, c);
  FramePresenter::note(label_, label_->rect());
}

void Label::setFontSize(double points) {
  if (points == fontSize_) return;
  setFont(points, bold_);
  fit();
}

void Label::setBold(bool bold) {
  bold_ = bold;
  setFont(fontSize_, bold);
  fit();
}

void Label::setAlignment(Align a) {
  const Qt::Alignment h = a == Align::Left    ? Qt::AlignLeft
                          : a == Align::Right ? Qt::AlignRight
                                              : Qt::AlignHCenter;
  label_->setAlignment(h | Qt::AlignTop);
}

void Label::setAutoSize(bool on) {
  autoSize_ = on;
  fit();
}

void Label::setBorder(bool on) {
  label_->setFrameStyle(on ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
  fit();
}

void Label::fit() {
  if (!autoSize_) return;
  const QSize s = label_->sizeHint();
  width_ = toTwips(s.width());
  height_ = toTwips(s.height());
  applyGeometry();
}

QRect Label::textRect() const {
  if (!label_->isVisibleTo(label_->window()) || caption_.isEmpty()) return {};
  return textRectOf(label_->text());
}

QRect Label::textRectOf(const QString& text) const {
  const QRect r =
      label_->fontMetrics().boundingRect(label_->contentsRect(), int(label_->alignment()), text);
  return r.translated(label_->mapTo(label_->window(), QPoint(0, 0)));
}

int Label::lineSpacing() const { return label_->fontMetrics().lineSpacing(); }

void Label::warmGlyphs(const QString& text) const {
  const QFontMetrics fm(label_->font());
  QPixmap pm(std::max(1, fm.horizontalAdvance(text)), std::max(1, fm.height()));
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setFont(label_->font());
  p.drawText(0, fm.ascent(), text);
}

CommandButton::CommandButton(Container& parent, const char* name)
    : Control(parent, name, new FaceButton), button_(static_cast<QPushButton*>(w_)) {
  button_->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(button_, &QPushButton::clicked, [this] {
    if (onClick) onClick();
  });
}

QString CommandButton::Caption() const { return button_->text(); }
void CommandButton::setCaption(const QString& text) {
  button_->setText(text);
  button_->setAccessibleName(text);
}

void CommandButton::setBackColor(Colour c) { setRole(button_, QPalette::Button, c); }

void CommandButton::click() { button_->click(); }

OptionButton::OptionButton(Container& parent, const char* name)
    : Control(parent, name, new QRadioButton), radio_(static_cast<QRadioButton*>(w_)) {
  QObject::connect(radio_, &QRadioButton::clicked, [this] {
    if (onClick) onClick();
  });
}

bool OptionButton::Value() const { return radio_->isChecked(); }

void OptionButton::setValue(bool selected) {
  if (!selected) {
    radio_->setAutoExclusive(false);
    radio_->setChecked(false);
    radio_->setAutoExclusive(true);
    return;
  }
  radio_->setChecked(true);
  if (onClick) onClick();
}

QString OptionButton::Caption() const { return radio_->text(); }
void OptionButton::setCaption(const QString& text) { radio_->setText(text); }

void OptionButton::setForeColor(Colour c) { setRole(radio_, QPalette::WindowText, c); }

void OptionButton::setBackColor(Colour c) { setOpaqueBackground(radio_, c); }

CheckBox::CheckBox(Container& parent, const char* name)
    : Control(parent, name, new QCheckBox), box_(static_cast<QCheckBox*>(w_)) {
  QObject::connect(box_, &QCheckBox::clicked, [this] {
    if (onClick) onClick();
  });
}

int CheckBox::Value() const { return box_->isChecked() ? 1 : 0; }

void CheckBox::setValue(int value) {
  if (Value() == (value != 0 ? 1 : 0)) return;
  box_->setChecked(value != 0);
  if (onClick) onClick();
}

void CheckBox::setCaption(const QString& text) { box_->setText(text); }

void CheckBox::setForeColor(Colour c) { setRole(box_, QPalette::WindowText, c); }

void CheckBox::setBackColor(Colour c) { setOpaqueBackground(box_, c); }

Frame::Frame(Container& parent, const char* name, bool border) : Control(parent, name, new QFrame) {
  auto* f = static_cast<QFrame*>(w_);
  f->setFrameStyle(border ? (QFrame::Box | QFrame::Sunken) : QFrame::NoFrame);
}

void Frame::setBackColor(Colour c) { setOpaqueBackground(w_, c); }

}  // namespace pf
