// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "shell/display_presets.h"
#include "shell/frm_pelatto.h"

// Font sizes and tops of the flashed number and the total follow the
// longest digit count; presets 3 to 7 have a smaller grouped variant.

void frmPelatto::SizeDisplay(int preset) {
  const DisplayPreset layout = displayPreset(preset, chk1.Value() == 1);
  lbl2.setTop(form.Height() / 2 - layout.lbl2Offset);
  lbl1.setTop(form.Height() / 2 - layout.lbl1Offset);
  lbl1.setFontSize(layout.lbl1Points);
  lbl2.setFontSize(layout.lbl2Points);
}

void frmPelatto::SizeDisplay1() { SizeDisplay(1); }
void frmPelatto::SizeDisplay2() { SizeDisplay(2); }
void frmPelatto::SizeDisplay3() { SizeDisplay(3); }
void frmPelatto::SizeDisplay4() { SizeDisplay(4); }
void frmPelatto::SizeDisplay5() { SizeDisplay(5); }
void frmPelatto::SizeDisplay6() { SizeDisplay(6); }
void frmPelatto::SizeDisplay7() { SizeDisplay(7); }

// The longest digit count is read from the drill state, which the digit
// handlers keep equal to the value of hscl1.
void frmPelatto::ApplyDigitPreset() {
  using Preset = void (frmPelatto::*)();
  static constexpr Preset kSizeDisplay[] = {&frmPelatto::SizeDisplay1, &frmPelatto::SizeDisplay2,
                                            &frmPelatto::SizeDisplay3, &frmPelatto::SizeDisplay4,
                                            &frmPelatto::SizeDisplay5, &frmPelatto::SizeDisplay6,
                                            &frmPelatto::SizeDisplay7};
  (this->*kSizeDisplay[presetForDigits(ketaDai) - 1])();
}

void frmPelatto::Form_Resize() {
  ApplyDigitPreset();
  lbl1.setWidth(form.Width());
  lbl2.setWidth(form.Width());
  lbl3.setTop(500);
  lbl3.setLeft(form.Width() / 2 - 900);
  lbl3b.setTop(500);
  lbl3b.setLeft(form.Width() / 2 - 900);
  lbl4.setLeft(500);
  lbl5.setLeft(form.Width() - 800 - lbl5.Width());
  fra1.setTop(form.Height() - 1600);
  fra1.setLeft(form.Width() / 2 - fra1.Width() / 2);
  // Nearest integer, halves to even (the default rounding mode).
  waX = static_cast<std::int32_t>(std::nearbyint(form.Width() / 2));
  waY = static_cast<std::int32_t>(std::nearbyint(form.Height() / 2 - r - 180));
}
