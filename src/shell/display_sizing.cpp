#include <cmath>

#include "shell/frm_pelatto.h"

// Font sizes and tops of the flashed number and the total follow the
// longest digit count; presets 3 to 7 have a smaller grouped variant.

// The part of presets 3 to 7 that depends on the grouping switch.
void frmPelatto::setPresetRow(double lbl1Offset, double lbl1Size, double lbl2Size) {
  lbl1.setTop(form.Height() / 2 - lbl1Offset);
  lbl1.setFontSize(lbl1Size);
  lbl2.setFontSize(lbl2Size);
}

void frmPelatto::SizeDisplay1() {
  lbl1.setTop(form.Height() / 2 - 2800);
  lbl2.setTop(form.Height() / 2 - 2000);
  lbl1.setFontSize(250);
  lbl2.setFontSize(180);
}

void frmPelatto::SizeDisplay2() {
  lbl1.setTop(form.Height() / 2 - 2300);
  lbl2.setTop(form.Height() / 2 - 1800);
  lbl1.setFontSize(200);
  lbl2.setFontSize(150);
}

void frmPelatto::SizeDisplay3() {
  lbl2.setTop(form.Height() / 2 - 1800);
  if (chk1.Value() == 1)
    setPresetRow(1900, 160, 130);
  else
    setPresetRow(2100, 180, 140);
}

void frmPelatto::SizeDisplay4() {
  lbl2.setTop(form.Height() / 2 - 1600);
  if (chk1.Value() == 1)
    setPresetRow(1500, 120, 110);
  else
    setPresetRow(1700, 140, 110);
}

void frmPelatto::SizeDisplay5() {
  lbl2.setTop(form.Height() / 2 - 1300);
  if (chk1.Value() == 1)
    setPresetRow(1200, 90, 80);
  else
    setPresetRow(1400, 110, 90);
}

void frmPelatto::SizeDisplay6() {
  lbl2.setTop(form.Height() / 2 - 1100);
  if (chk1.Value() == 1)
    setPresetRow(1100, 80, 70);
  else
    setPresetRow(1200, 90, 80);
}

void frmPelatto::SizeDisplay7() {
  lbl2.setTop(form.Height() / 2 - 900);
  if (chk1.Value() == 1)
    setPresetRow(900, 70, 70);
  else
    setPresetRow(1000, 80, 70);
}

void frmPelatto::ApplyDigitPreset(int digits) {
  if (digits > 12)
    SizeDisplay7();
  else if (digits > 10)
    SizeDisplay6();
  else if (digits > 8)
    SizeDisplay5();
  else if (digits > 6)
    SizeDisplay4();
  else if (digits > 4)
    SizeDisplay3();
  else if (digits == 4)
    SizeDisplay2();
  else
    SizeDisplay1();
}

void frmPelatto::Form_Resize() {
  ApplyDigitPreset(hscl1.Value());
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
