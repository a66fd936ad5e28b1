#include "shell/frm_pelatto.h"

void frmPelatto::cmdStart_Click() {
  lbl1.setVisible(true);
  lbl1.setCaption(QString());
  lbl2.setVisible(false);
  lbl2.setCaption(QString());
  lbl3.setVisible(false);
  lbl4.setCaption(QString());
  lbl5.setCaption(QString());
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
  cmdTome.setCaption(QStringLiteral("保留"));

  tmr1.setEnabled(true);
  tmr1.setInterval(taimu);
  tmr2.setEnabled(true);

  gokei = 0;
  n = 0;
  e = 0;
  p = 0;
  matiji = 0;
  suretu1.clear();
  suretu2.clear();
  i = 0;
  h = 0;
  SwthK = false;
  Swthsuuji = false;
  entyo = 0;

  mondsu = static_cast<int16>(hscl7.Value());
  lblfr7z.setCaption(QString::number(mondsu));

  rnd.Randomize();

  cmdTome.setEnabled(true);
  cmdTome.SetFocus();

  cmdStart.setEnabled(false);
  cmdAns.setEnabled(false);
  cmdAns.setCaption(QStringLiteral("処理中"));
  cmdMojiiro.setEnabled(false);
  cmdHaikei.setEnabled(false);
  for (pf::OptionButton* o : {&optC1, &optC2, &optC3}) o->setEnabled(false);
  events.started(currentSettings());
}

void frmPelatto::cmdStop_Click() {
  ResetToIdle();
  cmdStart.SetFocus();
}

void frmPelatto::cmdTome_Click() {
  if (!SwthTome) {
    tmr1.setEnabled(false);
    tmr2.setEnabled(false);
    tmr4.setEnabled(false);
    SwthTomeru = true;
    cmdTome.setCaption(QStringLiteral("続き"));
  } else {
    tmr1.setEnabled(true);
    tmr2.setEnabled(true);
    tmr4.setEnabled(true);
    SwthTomeru = false;
    cmdTome.setCaption(QStringLiteral("保留"));
  }
  SwthTome = !SwthTome;
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

  cmdStart.setEnabled(true);
  cmdTome.setEnabled(false);
  cmdTome.setCaption(QStringLiteral("保留"));
  SwthTomeru = false;
  SwthTome = false;

  tmr4.setEnabled(true);

  cmdAns.setEnabled(true);
  cmdAns.setCaption(QStringLiteral("答"));
  cmdMojiiro.setEnabled(true);
  cmdHaikei.setEnabled(true);
  for (pf::OptionButton* o : {&optC1, &optC2, &optC3}) o->setEnabled(true);
  events.announce(DrillEvent::Kind::Aborted);
}
