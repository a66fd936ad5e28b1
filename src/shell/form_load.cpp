// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/frm_pelatto.h"
#include "shell/palette.h"

void frmPelatto::Show(const std::function<void()>& loaded) {
  Form_Load();
  Form_Resize();
  if (loaded) loaded();
  form.Show();
  form.focusFirstTabStop();
}

void frmPelatto::Form_Load() {
  form.setWindowState(pf::WindowState::Maximized);

  for (pf::Label* l : {&lbl1, &lbl2, &lbl3, &lbl3b, &lbl4, &lbl5, &lbl6, &lbl7, &lbl8, &lbl9})
    l->setBorder(false);

  lbl1.setLeft(0);
  lbl1.setHeight(4500);
  lbl2.setLeft(0);
  lbl2.setHeight(3500);
  lbl5.setLeft(8700);

  cmnDialg1.setColor(palette::kWhite);
  cmnDialg2.setColor(palette::kDarkGreen);

  gokei = 0;
  kazu = 5;
  hayasa = 200;
  Swthsuuji = false;
  n = 0;
  matiji = 0;
  entyo = 0;
  suretu1.clear();
  suretu2.clear();

  optKaiji.setValue(true);
  optC1.setValue(true);

  taimu = 20;
  kaisu = 1;
  SwthBotm = false;
  SwthTome = false;
  SwthTomeru = false;

  for (int k = 1; k <= 49; ++k) lin1.Load(k);
  ko = 6.2832f / 50;
  r = 1500;
  wa = 1;

  lineColor = form.BackColor();

  hscl1.setValue(1);
  hscl2.setValue(1);
  hscl3.setValue(0);
  hscl5.setValue(200);
  hscl6.setValue(5);
  hscl7.setValue(1);

  lblfr5.setCaption(QStringLiteral("２秒毎"));
  lblfr6.setCaption(QStringLiteral("5"));
  lblfr7.setCaption(QStringLiteral("1"));
}

void frmPelatto::cmdEnd_Click() {
  // Ends at once, also mid-drill: no timer may tick after this.
  for (pf::Timer* t : {&tmr1, &tmr2, &tmr3, &tmr4}) t->setEnabled(false);
  form.Unload();
}
