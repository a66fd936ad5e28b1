// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/frm_pelatto.h"

void frmPelatto::cmdStart_Click() {
  BeginProblem();
  for (pf::Label* l : {&lbl6, &lbl7, &lbl8, &lbl9}) {
    l->setVisible(false);
    l->setCaption(QString());
  }
  lbl10.setVisible(false);

  // A hand-over still pending from the previous run (or held) must not
  // act on this one: the new run gets all its problems and its countdown.
  tmr4.setInterval(0);
  tmr4.setEnabled(true);
  SwthTome = false;
  SwthTomeru = false;
  cmdTome.setCaption(caption::kHold);
  tmr2.setEnabled(true);

  p = 0;
  i = 0;
  h = 0;
  SwthK = false;
  Swthsuuji = false;
  entyo = 0;

  mondsu = static_cast<int16>(hscl7.Value());
  lblfr7z.setCaption(QString::number(mondsu));

  cmdTome.setEnabled(true);
  cmdTome.SetFocus();
  EnableIdleControls(false);
  events.started(currentSettings());
}

void frmPelatto::cmdStop_Click() {
  ResetToIdle();
  cmdStart.SetFocus();
}

void frmPelatto::cmdTome_Click() {
  SwthTome = !SwthTome;
  // The answer wait keeps its timer running and ignores the ticks instead.
  for (pf::Timer* t : {&tmr1, &tmr2, &tmr4}) t->setEnabled(!SwthTome);
  SwthTomeru = SwthTome;
  cmdTome.setCaption(SwthTome ? caption::kResume : caption::kHold);
  cmdTome.SetFocus();
  events.announce(SwthTome ? DrillEvent::Kind::Held : DrillEvent::Kind::Resumed);
}

void frmPelatto::ResetToIdle() {
  tmr1.setEnabled(false);
  tmr2.setInterval(0);
  tmr3.setInterval(0);
  tmr4.setInterval(0);

  for (pf::Label* l : {&lbl1, &lbl2, &lbl3, &lbl3b}) l->setVisible(false);
  lbl4.setCaption(QString());
  lbl5.setCaption(QString());
  for (pf::Label* l : {&lbl6, &lbl7, &lbl8, &lbl9, &lbl10}) l->setVisible(false);

  suretu1.clear();
  suretu2.clear();

  PaintDialLines(lineColor);

  cmdTome.setEnabled(false);
  cmdTome.setCaption(caption::kHold);
  SwthTomeru = false;
  SwthTome = false;

  tmr4.setEnabled(true);
  EnableIdleControls(true);
  events.announce(DrillEvent::Kind::Aborted);
}

// What a new problem starts from, at the start button and at each
// hand-over within a run: an empty display, no total, and its countdown.
void frmPelatto::BeginProblem() {
  lbl1.setVisible(true);
  lbl1.setCaption(QString());
  lbl2.setVisible(false);
  lbl2.setCaption(QString());
  lbl3.setVisible(false);
  lbl4.setCaption(QString());
  lbl5.setCaption(QString());

  tmr1.setEnabled(true);
  tmr1.setInterval(taimu);
  tmr3.setInterval(0);

  gokei = 0;
  n = 0;
  e = 0;
  matiji = 0;
  suretu1.clear();
  suretu2.clear();

  rnd.Randomize();
}

// The controls that work only at rest: start, answer, the colour dialogs and
// the countdown speeds. The answer button says it is busy meanwhile.
void frmPelatto::EnableIdleControls(bool enabled) {
  cmdStart.setEnabled(enabled);
  cmdAns.setEnabled(enabled);
  cmdAns.setCaption(enabled ? caption::kAnswer : caption::kBusy);
  cmdMojiiro.setEnabled(enabled);
  cmdHaikei.setEnabled(enabled);
  for (pf::OptionButton* o : {&optC1, &optC2, &optC3}) o->setEnabled(enabled);
}
