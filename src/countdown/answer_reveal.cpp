#include "shell/frm_pelatto.h"

// The answer button: the total and its numbers in manual mode, the answer
// columns of a whole run in answer-later mode.

namespace {

struct ColumnSizes {
  double lbl6, lbl7, lbl8, lbl9;
};

ColumnSizes columnFontSizes(int runLength, int digits) {
  auto all = [](double s) { return ColumnSizes{s, s, s, s}; };
  if (runLength <= 5) return all(50);
  if (runLength <= 10) return digits >= 9 ? ColumnSizes{28, 28, 50, 50} : all(50);
  if (runLength <= 15) {
    if (digits <= 4) return all(50);
    if (digits <= 6) return all(38);
    if (digits <= 9) return all(28);
    return {24, 24, 24, 28};
  }
  if (digits <= 4) return all(42);
  if (digits <= 6) return all(30);
  return all(24);
}

}  // namespace

void frmPelatto::cmdAns_Click() {
  if (optKaite.Value() && optKaite.Caption() == QStringLiteral("手動解答")) {
    if (tmr1.Interval() != 0 || tmr2.Interval() != 0 || tmr3.Interval() != 0) return;
    lbl2.setVisible(true);
    lbl3.setVisible(true);
    lbl4.setVisible(true);
    lbl4.setCaption(suretu1);
    lbl5.setVisible(true);
    lbl5.setCaption(suretu2);
    events.announce(DrillEvent::Kind::AnswerRevealed, gokei, lbl2.Caption(), p - 1);
    return;
  }
  if (!optKaite.Value() || optKaite.Caption() != QStringLiteral("後で解答") || lbl3.Visible())
    return;

  const int run = renmondsu;
  const ColumnSizes sizes = columnFontSizes(run, ketaDai);
  lbl6.setFontSize(sizes.lbl6);
  lbl7.setFontSize(sizes.lbl7);
  lbl8.setFontSize(sizes.lbl8);
  lbl9.setFontSize(sizes.lbl9);

  const double W = form.Width();
  const auto centreAt = [](pf::Label& l, double x) { l.setLeft(x - l.Width() / 2); };
  const auto place = [&](pf::Label& l, double x, double top) {
    centreAt(l, x);
    l.setTop(top);
  };
  if (run <= 5) {
    centreAt(lbl6, W / 2);
  } else if (run <= 10) {
    place(lbl6, W / 2 - 2600, 1000);
    place(lbl7, W / 2 + 2600, 1000);
  } else if (ketaDai <= 9) {
    if (run <= 15) {
      place(lbl6, W / 2 - 3400, 1000);
      place(lbl7, W / 2, 1000);
      place(lbl8, W / 2 + 3400, 1000);
    } else {
      place(lbl6, W / 2 - 4000, 1000);
      place(lbl7, W / 2 - 1400, 1000);
      place(lbl8, W / 2 + 1400, 1000);
      place(lbl9, W / 2 + 4000, 1000);
    }
  } else {
    // Long totals: two columns of two rows.
    place(lbl6, W / 2 - 2600, 1000);
    place(lbl7, W / 2 - 2600, 3700);
    place(lbl8, W / 2 + 2600, 1000);
    if (run > 15) place(lbl9, W / 2 + 2600, 3700);
  }

  if (lbl6.Caption().isEmpty()) {
    lbl10.setVisible(false);
  } else {
    lbl10.setTop(350);
    lbl10.setLeft(lbl6.Left() + lbl6.Width() / 2 - 200);
    lbl10.setVisible(true);
  }
  for (pf::Label* l : {&lbl6, &lbl7, &lbl8, &lbl9}) l->setVisible(true);
  events.announce(DrillEvent::Kind::ColumnsShown, 0, {}, p);
}
