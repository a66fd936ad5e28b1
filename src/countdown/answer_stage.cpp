// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/drill_timing.h"
#include "shell/frm_pelatto.h"

// After the series: the answer wait with its prompt, the reveal, the answer
// columns, and the hand-over to the next problem or back to idle.

void frmPelatto::tmr3_Timer() {
  if (SwthTomeru) return;
  lbl1.setCaption(QString());
  matiji = matiji + 1;
  if (matiji > 1) lbl3b.setVisible(true);
  if (matiji >= drill_timing::kAnswerWaitTicks) {
    EndAnswerWait();
    AppendRunTotal();
    tmr4.setInterval(drill_timing::handOverMs(!optKaite.Value()));
  }
  Swthsuuji = !Swthsuuji;
  SwthK = false;
  i = 0;
  h = 0;
  entyo = 0;
}

void frmPelatto::EndAnswerWait() {
  if (optKaiji.Value()) {
    lbl2.setVisible(true);
    lbl3.setVisible(true);
    lbl4.setCaption(suretu1);
    lbl4.setLeft(500);
    lbl4.setVisible(true);
    lbl5.setCaption(suretu2);
    PlaceRightList();
    lbl5.setVisible(true);
  }
  tmr3.setInterval(0);
  if (mondsu < 2) {
    cmdStart.setEnabled(true);
    cmdStart.SetFocus();
  }
  lbl3b.setVisible(false);
  events.announce(
      optKaiji.Value() ? DrillEvent::Kind::AnswerRevealed : DrillEvent::Kind::AnswerWaitEnded,
      gokei, lbl2.Caption(), p);
}

void frmPelatto::AppendRunTotal() {
  p = p + 1;
  pf::Label& column = p <= 5 ? lbl6 : p <= 10 ? lbl7 : p <= 15 ? lbl8 : lbl9;
  column.setCaption(column.Caption() + lbl2.Caption() + QStringLiteral("\r\n"));
}

void frmPelatto::tmr4_Timer() {
  if (mondsu > 1) {
    BeginProblem();
    if (!optKaiji.Value()) {
      optKaite.setEnabled(true);
      optKaite.SetFocus();
    }
    cmdStart.setEnabled(false);
    mondsu = mondsu - 1;
    lblfr7z.setCaption(QString::number(mondsu));
  }
  tmr4.setInterval(0);
  if (tmr1.Interval() == 0 && tmr2.Interval() == 0 && tmr3.Interval() == 0 &&
      tmr4.Interval() == 0) {
    // The run may have been cut to this problem after its answer wait left
    // the start button disabled; at rest it must be usable.
    EnableIdleControls(true);
    lblfr7z.setCaption(QString::number(mondsu - 1));
  }
  cmdTome.setEnabled(false);
  events.announce(tmr1.Interval() != 0 ? DrillEvent::Kind::NextProblem : DrillEvent::Kind::RunEnded,
                  0, {}, p);
}
