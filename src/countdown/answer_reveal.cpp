// SPDX-License-Identifier: GPL-3.0-or-later
#include <vector>

#include "countdown/column_fit.h"
#include "shell/captions.h"
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
  if (optKaite.Value() && optKaite.Caption() == caption::kManual) {
    if (tmr1.Interval() != 0 || tmr2.Interval() != 0 || tmr3.Interval() != 0) return;
    lbl2.setVisible(true);
    lbl3.setVisible(true);
    lbl4.setVisible(true);
    lbl4.setCaption(suretu1);
    lbl5.setVisible(true);
    lbl5.setCaption(suretu2);
    PlaceRightList();
    events.announce(DrillEvent::Kind::AnswerRevealed, gokei, lbl2.Caption(), p - 1);
    return;
  }
  if (!optKaite.Value() || optKaite.Caption() != caption::kLater || lbl3.Visible()) return;

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
  FitAnswerColumns();

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

void frmPelatto::PlaceRightList() { lbl5.setLeft(form.Width() - 500 - lbl5.Width()); }

// Long totals in many columns can be wider than the room between the
// columns' centres: the columns then get a smaller font, all alike, until
// each keeps a clear gap to its neighbour and the row stays in the window.
// A feature that shows something beside the columns asks for room there
// (columnRoom); the row may then also end higher, spread out or stand in
// two rows.
void frmPelatto::FitAnswerColumns() {
  pf::Label* const columns[] = {&lbl6, &lbl7, &lbl8, &lbl9};
  std::vector<pf::Label*> shown;
  std::vector<double> after;
  for (std::size_t k = 0; k < 4; ++k)
    if (!columns[k]->Caption().isEmpty())
      shown.push_back(columns[k]), after.push_back(columnRoom.after[k]);
  if (shown.empty()) return;
  const auto centre = [](const pf::Label* l) { return l->Left() + l->Width() / 2; };
  // Hinted glyphs do not grow exactly in proportion to the size, so the
  // widths are measured again after every change.
  for (int pass = 0; pass < 10; ++pass) {
    const double points = shown.front()->FontSize();
    std::vector<layout::RowBlock> row;
    for (std::size_t k = 0; k < shown.size(); ++k) {
      const pf::Label* l = shown[k];
      row.push_back({centre(l), 0.5, l->Width(), after[k] * points, l->Top(), l->Height()});
    }
    const layout::RowFit fit =
        layout::fitRow(form.Width(), row, points, columnRoom.bottom, columnRoom.asked());
    bool kept = fit.points >= points;
    for (std::size_t k = 0; k < shown.size(); ++k)
      kept = kept && fit.x[k] == row[k].x && fit.top[k] == row[k].top;
    if (kept) return;
    for (std::size_t k = 0; k < shown.size(); ++k) {
      shown[k]->setFontSize(fit.points);
      shown[k]->setLeft(fit.x[k] - shown[k]->Width() / 2);
      shown[k]->setTop(fit.top[k]);
    }
  }
}
