// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/controls.h"
#include "platform/scroll_bar.h"
#include "shell/palette.h"

// The design state of the window's controls, one named field each; a field
// left out keeps the default given here.
namespace design {

// Position and size in twips within the control's container, as Move takes them.
struct Place {
  double left = 0, top = 0, width = 0, height = 0;
};

struct Label {
  const char* caption = "";
  pf::Colour fore = palette::kWhite;
  Place at{};
  double points = 9;
  bool bold = false;
  pf::Align align = pf::Align::Left;
  bool autoSize = false;  // resizes itself to its caption
  bool visible = true;
  bool framed = false;  // a border until the load handler removes it
  const char* tip = "";
};

struct Button {
  const char* caption = "";
  const char* tip = "";
  pf::Colour face = palette::kBrightGreen;
  Place at{};
  double points = 0;  // 0: no text of its own
  bool bold = false;
  bool enabled = true;
  int tab = 0;
  const char* name = "";  // what assistive technology calls a button without a caption
};

struct Option {
  const char* caption = "";
  const char* tip = "";
  Place at{};
  int tab = 0;
  const char* name = "";  // as for Button
};

struct Bar {
  Place at{};
  bool enabled = true;
  int tab = 0;
  const char* name = "";  // what assistive technology calls the setting
  const char* tip = "";
};

void apply(pf::Label& l, const Label& d);
// Labels alike but for their place.
void apply(pf::Label& l, Label d, const Place& at);
void apply(pf::CommandButton& b, const Button& d);
void apply(pf::OptionButton& o, const Option& d);
void apply(pf::ScrollBar& s, const Bar& d);

}  // namespace design
