// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/frm_pelatto.h"

// Text and background colours, and the toggle that paints the command
// buttons in the background colour or restores the start colours.

void frmPelatto::cmdMojiiro_Click() {
  cmnDialg1.setFlags(1);
  // A cancelled dialog changes nothing.
  if (!cmnDialg1.ShowColor()) return;
  for (pf::Label* l : {&lbl1,    &lbl2,    &lbl3,    &lbl3b,  &lbl6,    &lbl7,    &lbl8,   &lbl9,
                       &lblfr1,  &lblfr1m, &lblfr1s, &lblfr2, &lblfr2m, &lblfr2s, &lblfr3, &lblfr5,
                       &lblfr5s, &lblfr6,  &lblfr6m, &lblfr7, &lblfr7m, &lblfr8})
    l->setForeColor(cmnDialg1.Color());
  optKaiji.setForeColor(cmnDialg1.Color());
  optKaite.setForeColor(cmnDialg1.Color());
  chk1.setForeColor(cmnDialg1.Color());
  cmdMojiiro.setBackColor(cmnDialg1.Color());
}

void frmPelatto::cmdHaikei_Click() {
  cmnDialg2.setFlags(1);
  // A cancel keeps the background; the dial is repainted in it all the same.
  if (cmnDialg2.ShowColor()) {
    lineColor = cmnDialg2.Color();
    form.setBackColor(lineColor);
    for (pf::Frame* f : {&fra1, &fra2, &fra3}) f->setBackColor(lineColor);
    for (pf::OptionButton* o : {&optC1, &optC2, &optC3, &optKaiji, &optKaite})
      o->setBackColor(lineColor);
    chk1.setBackColor(lineColor);
    cmdReSet.setBackColor(lineColor);
  }
  PaintDialLines(lineColor);
}

void frmPelatto::cmdReSet_Click() {
  if (!SwthBotm) {
    lineColor = form.BackColor();
    for (pf::CommandButton* b :
         {&cmdStart, &cmdTome, &cmdEnd, &cmdStop, &cmdAns, &cmdMojiiro, &cmdHaikei})
      b->setBackColor(lineColor);
    cmdReSet.setToolTip(QStringLiteral("文字色以外を最初の色を戻します"));
  } else {
    form.setBackColor(palette::kDarkGreen);
    lineColor = form.BackColor();
    for (pf::OptionButton* o : {&optC1, &optC2, &optC3, &optKaiji, &optKaite})
      o->setBackColor(lineColor);
    chk1.setBackColor(lineColor);
    for (pf::CommandButton* b : {&cmdStart, &cmdTome, &cmdEnd, &cmdStop, &cmdAns})
      b->setBackColor(palette::kBrightGreen);
    cmdMojiiro.setBackColor(cmnDialg1.Color());
    cmdHaikei.setBackColor(palette::kGreen);
    cmdReSet.setToolTip(QStringLiteral("ボタンの色を背景色にします"));
    PaintDialLines(lineColor);
  }
  for (pf::Frame* f : {&fra1, &fra2, &fra3}) f->setBackColor(lineColor);
  cmdReSet.setBackColor(lineColor);
  SwthBotm = !SwthBotm;
}
