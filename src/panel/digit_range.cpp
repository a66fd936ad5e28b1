// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/readouts.h"
#include "shell/frm_pelatto.h"

// Longest and shortest digit count and the mix. Any change aborts a drill in
// progress; a new longest count resets the shortest and the mix.

void frmPelatto::hscl1_Change() {
  ketaDai = static_cast<int16>(hscl1.Value());
  lblfr1.setCaption(QString::number(ketaDai));
  hscl2.setValue(ketaDai);
  if (ketaSyo == ketaDai) hscl3.setValue(0);
  ResetToIdle();
  ApplyDigitPreset();
  ShowAdvisoryOrClear();
}

void frmPelatto::hscl2_Change() {
  ketaSyo = static_cast<int16>(hscl2.Value());
  lblfr2.setCaption(QString::number(ketaSyo));
  if (ketaSyo > ketaDai) hscl2.setValue(hscl1.Value());
  ResetToIdle();
}

void frmPelatto::hscl3_Change() {
  if (ketaSyo == ketaDai) hscl3.setValue(0);
  kon = static_cast<int16>(hscl3.Value());
  lblfr3.setCaption(mixText(kon));
  // A mix above the number of terms falls back to one less than the terms.
  if (kon > kazu) hscl3.setValue(hscl6.Value() - 1);
  ResetToIdle();
}

void frmPelatto::hscl3_Scroll() { hscl3_Change(); }

void frmPelatto::ShowAdvisoryOrClear() {
  // Cleared first, so that showing it again does not pile up copies.
  form.Cls();
  if (ketaDai == 14 && kazu > 16) {
    form.CurrentX = 3000;
    form.CurrentY = 1000;
    form.setFontSize(26);
    form.Print(QStringLiteral("14桁は16口以下にしてください"));
  }
}
