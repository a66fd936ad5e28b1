// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/drill_timing.h"
#include "engine/number_text.h"
#include "shell/frm_pelatto.h"

// Two ticks per number: a number can appear only on a tick that turns the
// phase on; the display is blanked on an off-tick once the extension is used.
void frmPelatto::tmr2_Timer() {
  Swthsuuji = !Swthsuuji;
  entyo = entyo + 1;
  if (Swthsuuji && entyo == 1) {
    // Terms lowered below the count shown end the series here too, with the
    // total of the numbers that were shown.
    if (n < kazu) {
      MakeNumber();
      ShowNumber();
    } else {
      EndSeries();
    }
  } else if (!Swthsuuji && entyo > tyo) {
    lbl1.setCaption(QString());
    entyo = 0;
    events.announce(DrillEvent::Kind::Blanked);
  }
  cmdTome.SetFocus();
}

void frmPelatto::ShowNumber() {
  gokei = gokei + suu;
  const QString digits = numberText(suu);
  if (chk1.Value() == 1) {
    suuRet = digits;
    GroupDigits();
    lbl1.setCaption(suuKug);
  } else {
    lbl1.setCaption(digits);
  }
  if (n < 15)
    suretu1 += digits + QStringLiteral("\r\n");
  else
    suretu2 += digits + QStringLiteral("\r\n");
  n = n + 1;
  events.announce(DrillEvent::Kind::NumberShown, suu, lbl1.Caption(), n - 1);
}

void frmPelatto::EndSeries() {
  if (chk1.Value() == 1) {
    suuRet = numberText(gokei);
    GroupDigits();
    lbl2.setCaption(suuKug);
  } else {
    lbl2.setCaption(numberText(gokei));
  }
  tmr1.setInterval(0);
  tmr2.setInterval(0);
  tmr3.setInterval(drill_timing::kAnswerWaitTickMs);
  events.announce(DrillEvent::Kind::SeriesEnded, gokei, lbl2.Caption(), p);
}
