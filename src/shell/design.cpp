// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/design.h"

namespace design {

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }
void move(pf::Control& c, const Place& at) { c.Move(at.left, at.top, at.width, at.height); }

}  // namespace

void apply(pf::Label& l, const Label& d) {
  l.setFont(d.points, d.bold);
  l.setBold(d.bold);
  l.setForeColor(d.fore);
  l.setAlignment(d.align);
  l.setCaption(text(d.caption));
  move(l, d.at);
  l.setBorder(d.framed);
  l.setAutoSize(d.autoSize);
  l.setVisible(d.visible);
  if (*d.tip) l.setToolTip(text(d.tip));
}

void apply(pf::Label& l, Label d, const Place& at) {
  d.at = at;
  apply(l, d);
}

void apply(pf::CommandButton& b, const Button& d) {
  b.setCaption(text(d.caption));
  b.setToolTip(text(d.tip));
  b.setBackColor(d.face);
  move(b, d.at);
  if (d.points > 0) b.setFont(d.points, d.bold);
  b.setEnabled(d.enabled);
  b.setTabIndex(d.tab);
  if (*d.name) b.setAccessibleName(text(d.name));
}

void apply(pf::OptionButton& o, const Option& d) {
  o.setCaption(text(d.caption));
  o.setToolTip(text(d.tip));
  o.setForeColor(palette::kWhite);
  o.setBackColor(palette::kDarkGreen);
  move(o, d.at);
  o.setFont(9, true);
  o.setTabIndex(d.tab);
  if (*d.name) o.setAccessibleName(text(d.name));
}

void apply(pf::ScrollBar& s, const Bar& d) {
  move(s, d.at);
  s.setEnabled(d.enabled);
  s.setTabIndex(d.tab);
  s.setAccessibleName(text(d.name));
  if (*d.tip) s.setToolTip(text(d.tip));
}

}  // namespace design
