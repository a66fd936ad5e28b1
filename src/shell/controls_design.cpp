// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/design.h"
#include "shell/frm_pelatto.h"

// The window and its display in their design state; the panel is in
// panel_design.cpp. The load handler then brings the window to its start state.

using namespace palette;
using design::apply;

namespace {
// The scroll bars' ends, steps and design values.
constexpr pf::ScrollBar::Range kDigits{
    .min = 14, .max = 1, .smallChange = 1, .largeChange = 2, .value = 14};
}  // namespace

frmPelatto::frmPelatto(const pf::Environment& env)
    : clock(env.clock),
      events([this] { return clock.nowNs(); }, [this] { return clock.shownNs(); }),
      form("frmPelatto"),
      lin1(form.lin),
      lbl1(form, "lbl1"),
      lbl2(form, "lbl2"),
      lbl3(form, "lbl3"),
      lbl3b(form, "lbl3b"),
      lbl4(form, "lbl4"),
      lbl5(form, "lbl5"),
      lbl6(form, "lbl6"),
      lbl7(form, "lbl7"),
      lbl8(form, "lbl8"),
      lbl9(form, "lbl9"),
      lbl10(form, "lbl10"),
      fra1(form, "fra1", true),
      fra2(fra1, "fra2", false),
      fra3(fra1, "fra3", false),
      cmdStart(fra1, "cmdStart"),
      cmdEnd(fra1, "cmdEnd"),
      cmdTome(fra1, "cmdTome"),
      cmdStop(fra1, "cmdStop"),
      cmdAns(fra1, "cmdAns"),
      cmdMojiiro(fra1, "cmdMojiiro"),
      cmdHaikei(fra1, "cmdHaikei"),
      cmdReSet(fra1, "cmdReSet"),
      optKaiji(fra2, "optKaiji"),
      optKaite(fra2, "optKaite"),
      optC1(fra3, "optC1"),
      optC2(fra3, "optC2"),
      optC3(fra3, "optC3"),
      chk1(fra1, "chk1"),
      hscl1(fra1, "hscl1", kDigits),
      hscl2(fra1, "hscl2", kDigits),
      hscl3(fra1, "hscl3", {.min = 10, .max = 0, .smallChange = 1, .largeChange = 2, .value = 7}),
      hscl5(fra1, "hscl5",
            {.min = 10, .max = 300, .smallChange = 1, .largeChange = 5, .value = 100}),
      hscl6(fra1, "hscl6", {.min = 30, .max = 2, .smallChange = 1, .largeChange = 5, .value = 5}),
      hscl7(fra1, "hscl7", {.min = 20, .max = 1, .smallChange = 1, .largeChange = 2, .value = 1}),
      hscl8(fra1, "hscl8", {.min = 0, .max = 9, .smallChange = 1, .largeChange = 1, .value = 0}),
      lblfr1s(fra1, "lblfr1s"),
      lblfr1(fra1, "lblfr1"),
      lblfr1m(fra1, "lblfr1m"),
      lblfr2s(fra1, "lblfr2s"),
      lblfr2(fra1, "lblfr2"),
      lblfr2m(fra1, "lblfr2m"),
      lblfr3(fra1, "lblfr3"),
      lblfr5(fra1, "lblfr5"),
      lblfr5s(fra1, "lblfr5s"),
      lblfr6m(fra1, "lblfr6m"),
      lblfr6(fra1, "lblfr6"),
      lblfr7m(fra1, "lblfr7m"),
      lblfr7(fra1, "lblfr7"),
      lblfr7zan(fra1, "lblfr7zan"),
      lblfr7z(fra1, "lblfr7z"),
      lblfr8(fra1, "lblfr8"),
      tmr1(clock, false, 1500),
      tmr2(clock, false, 0),
      tmr3(clock, true, 0),
      tmr4(clock, true, 0),
      cmnDialg1(form, "cmnDialg1", env.colourDialogs),
      cmnDialg2(form, "cmnDialg2", env.colourDialogs),
      rnd(clock, env.seed) {
  designControls();
  designPanel();
  connectHandlers();
  form.applyTabOrder();
}

void frmPelatto::designControls() {
  form.setCaption(QStringLiteral("Pelatto"));
  form.setBackColor(kDarkGreen);
  form.setForeColor(kPaleCyan);
  form.setClientSize(9312, 4320);
  form.setIcon(QStringLiteral(":/icons/pelatto-48.png"));

  using A = pf::Align;
  // The display labels: hidden but for lbl1, framed until the load handler.
  apply(lbl1, {.at = {2400, 744, 1332, 2268}, .points = 150, .align = A::Center, .framed = true});
  apply(lbl2, {.fore = kPaleCyan,
               .at = {2040, 1680, 3732, 1188},
               .points = 150,
               .align = A::Center,
               .visible = false,
               .framed = true});
  apply(lbl3, {.caption = "答は",
               .fore = kPaleCyan,
               .at = {4440, 360, 2640, 1260},
               .points = 49.8,
               .visible = false,
               .framed = true});
  apply(lbl3b, {.caption = "答？",
                .fore = kPaleCyan,
                .at = {6120, 960, 2640, 1140},
                .points = 49.8,
                .visible = false,
                .framed = true});
  const design::Label list{.caption = "000",
                           .fore = kCyan,
                           .points = 19.8,
                           .bold = true,
                           .align = A::Right,
                           .autoSize = true,
                           .visible = false,
                           .framed = true};
  apply(lbl4, list, {240, 252, 672, 420});
  apply(lbl5, list, {7200, 240, 672, 420});
  // The answer columns, side by side at design.
  const design::Label column{.fore = kPaleCyan,
                             .points = 55.8,
                             .align = A::Right,
                             .autoSize = true,
                             .visible = false,
                             .framed = true};
  apply(lbl6, column, {72, 1920, 360, 1140});
  apply(lbl7, column, {552, 1920, 360, 1140});
  apply(lbl8, column, {1032, 1920, 360, 1140});
  apply(lbl9, column, {1512, 1920, 360, 1140});
  apply(lbl10, {.caption = "▽",
                .fore = kLightYellow,
                .at = {1680, 120, 732, 612},
                .points = 28.2,
                .bold = true,
                .align = A::Center,
                .visible = false});

  lin1[0].setBorderColor(kTeal);
  lin1[0].setBorderWidth(3);
  lin1[0].setX1(4260);
  lin1[0].setY1(1596);
  lin1[0].setX2(3960);
  lin1[0].setY2(1596);
  lin1[0].setVisible(false);
}
