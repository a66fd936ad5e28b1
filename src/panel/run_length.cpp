// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/frm_pelatto.h"

// Run length and the grouping switch; neither aborts a drill.

void frmPelatto::hscl7_Scroll() {
  mondsu = static_cast<int16>(hscl7.Value());
  lblfr7.setCaption(QString::number(mondsu));
  lblfr7z.setCaption(QString::number(mondsu));
  optKaite.setCaption(mondsu <= 1 ? caption::kManual : caption::kLater);
}

void frmPelatto::hscl7_Change() {
  hscl7_Scroll();
  renmondsu = mondsu;
}

void frmPelatto::chk1_Click() { ApplyDigitPreset(); }
