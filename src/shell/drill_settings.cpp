// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/frm_pelatto.h"

DrillSettings frmPelatto::currentSettings() const {
  DrillSettings s;
  s.longest = ketaDai;
  s.shortest = ketaSyo;
  s.mix = kon;
  s.terms = kazu;
  s.pace = hayasa;
  s.extension = tyo;
  s.runLength = renmondsu;
  s.grouping = chk1.Value() == 1;
  s.mode = optKaiji.Value()                        ? AnswerMode::Automatic
           : optKaite.Caption() == caption::kLater ? AnswerMode::Later
                                                   : AnswerMode::Manual;
  s.countdownSpeed = optC3.Value() ? 3 : optC2.Value() ? 2 : 1;
  s.textColour = cmnDialg1.Color();
  s.backColour = form.BackColor();
  return s;
}
