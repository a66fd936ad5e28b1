// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/readouts.h"
#include "shell/frm_pelatto.h"

// Terms per problem, time per number and the display extension, with the
// read-outs of the time per number and per problem. None of them aborts a
// drill; the terms handler keeps the mix within the terms.

void frmPelatto::hscl6_Change() {
  kazu = static_cast<int16>(hscl6.Value());
  lblfr6.setCaption(QString::number(kazu));
  if (tyo > 1) lblfr5.setCaption(extendedPaceText(tyo));
  lblfr5s.setCaption(problemTimeText(tyo, kazu, hayasa));
  ShowAdvisoryOrClear();
  if (kon > kazu) hscl3.setValue(hscl6.Value() - 1);
}

// The mix fallback runs during a drag too: a problem may start while the
// thumb moves, and its numbers need a mix within the terms.
void frmPelatto::hscl6_Scroll() { hscl6_Change(); }

void frmPelatto::hscl5_Change() {
  hscl5_Scroll();
  if (!extensionUsable(hayasa)) hscl8.setValue(0);
}

void frmPelatto::hscl5_Scroll() {
  hayasa = static_cast<int16>(hscl5.Value());
  lblfr5.setCaption(paceText(hayasa, tyo));
  lblfr5s.setCaption(problemTimeText(tyo, kazu, hayasa));
  hscl8.setEnabled(extensionUsable(hayasa));
}

void frmPelatto::hscl8_Change() {
  tyo = static_cast<int16>(hscl8.Value());
  lblfr8.setCaption(QStringLiteral("+") + QString::number(hscl8.Value()));
  hscl5.setValue(200);
  lblfr5.setCaption(extensionPaceText(hayasa, tyo));
  lblfr5s.setCaption(problemTimeText(tyo, kazu, hayasa));
}
