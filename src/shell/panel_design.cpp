// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/design.h"
#include "shell/frm_pelatto.h"

// The panel frame and everything on it in its design state.

using namespace palette;
using design::apply;

void frmPelatto::designPanel() {
  fra1.Move(120, 3120, 8976, 1092);
  fra2.Move(1080, 120, 1212, 580);
  fra3.Move(50, 840, 950, 200);
  for (pf::Frame* f : {&fra1, &fra2, &fra3}) f->setBackColor(kDarkGreen);

  apply(cmdStart,
        {.caption = "始", .tip = "スタート", .at = {2200, 240, 770, 468}, .points = 18, .tab = 50});
  apply(cmdEnd,
        {.caption = "終", .tip = "終ります", .at = {8110, 240, 740, 468}, .points = 18, .tab = 14});
  apply(cmdTome, {.caption = "保留",
                  .tip = "一時止めます",
                  .at = {2000, 760, 600, 250},
                  .points = 9,
                  .bold = true,
                  .enabled = false,
                  .tab = 0});
  apply(cmdStop, {.caption = "中止",
                  .tip = "最初から始めます",
                  .at = {2640, 760, 600, 250},
                  .points = 9,
                  .bold = true,
                  .tab = 4});
  apply(cmdAns, {.caption = "答",
                 .tip = "手動解答の時に使います",
                 .at = {1080, 710, 852, 300},
                 .points = 10.2,
                 .bold = true,
                 .tab = 7});
  apply(cmdMojiiro, {.caption = "文字",
                     .tip = "文字色を変えます",
                     .face = kWhite,
                     .at = {120, 240, 700, 300},
                     .points = 10.2,
                     .bold = true,
                     .tab = 8});
  apply(cmdHaikei, {.caption = "背景",
                    .tip = "背景色を変えます",
                    .face = kGreen,
                    .at = {300, 480, 696, 300},
                    .points = 10.2,
                    .bold = true,
                    .tab = 9});
  apply(cmdReSet, {.tip = "ボタンを背景色にします",
                   .face = kDarkGreen,
                   .at = {120, 580, 120, 200},
                   .tab = 10,
                   .name = "ボタンの色"});

  apply(optKaiji,
        {.caption = "自動解答", .tip = "数秒後に答が出ます", .at = {0, 50, 1212, 252}, .tab = 5});
  apply(optKaite, {.caption = "手動解答",
                   .tip = "下のボタンで答を出します",
                   .at = {0, 300, 1212, 252},
                   .tab = 6});
  apply(optC1, {.tip = "カウントダウンの速度調整",
                .at = {80, 0, 200, 180},
                .tab = 11,
                .name = "カウントダウン速度 1"});
  apply(optC2, {.tip = "カウントダウンが遅い時",
                .at = {350, 0, 200, 180},
                .tab = 12,
                .name = "カウントダウン速度 2"});
  apply(
      optC3,
      {.tip = "もっと遅い時", .at = {620, 0, 200, 180}, .tab = 13, .name = "カウントダウン速度 3"});

  chk1.setCaption(QStringLiteral(","));
  chk1.setToolTip(QStringLiteral("桁を区切ります"));
  chk1.setForeColor(kWhite);
  chk1.setBackColor(kDarkGreen);
  chk1.Move(5450, 190, 372, 216);
  chk1.setFont(10.8, true);
  chk1.setTabIndex(46);
  chk1.setAccessibleName(QStringLiteral("桁区切り"));

  const char* const kMixTip = "桁の混合割合";
  const char* const kExtensionTip = "数字の出てる時間を延長します（２秒毎のときだけ使えます）";
  apply(hscl1, {.at = {4000, 240, 1250, 132}, .tab = 38, .name = "最大桁数"});
  apply(hscl2, {.at = {4000, 550, 1250, 132}, .tab = 39, .name = "最小桁数"});
  apply(hscl3, {.at = {4000, 840, 1250, 132}, .tab = 40, .name = "桁の混合", .tip = kMixTip});
  apply(hscl5, {.at = {6750, 840, 1020, 132}, .tab = 1, .name = "速さ"});
  apply(hscl6, {.at = {6750, 240, 1250, 132}, .tab = 3, .name = "口数"});
  apply(hscl7, {.at = {6750, 550, 1250, 132}, .tab = 2, .name = "連続問題数"});
  apply(hscl8, {.at = {8110, 840, 740, 132},
                .enabled = false,
                .tab = 48,
                .name = "表示時間の延長",
                .tip = kExtensionTip});

  // Captions and read-outs, all bold but lblfr8.
  using A = pf::Align;
  const char* const kNotExact = "正確ではありません";
  apply(lblfr1s, {.caption = "最大", .at = {3050, 220, 450, 240}, .bold = true});
  apply(
      lblfr1,
      {.caption = "1", .at = {3350, 180, 372, 252}, .points = 12, .bold = true, .align = A::Right});
  apply(lblfr1m, {.caption = "桁", .at = {3720, 204, 240, 240}, .points = 10.2, .bold = true});
  apply(lblfr2s, {.caption = "最小", .at = {3050, 510, 450, 240}, .bold = true});
  apply(
      lblfr2,
      {.caption = "1", .at = {3350, 490, 372, 252}, .points = 12, .bold = true, .align = A::Right});
  apply(lblfr2m, {.caption = "桁", .at = {3720, 510, 240, 240}, .points = 10.2, .bold = true});
  apply(lblfr3, {.caption = "混-0",
                 .at = {3300, 804, 624, 240},
                 .points = 10.2,
                 .bold = true,
                 .align = A::Right,
                 .tip = kMixTip});
  apply(lblfr5, {.fore = kLightCyan,
                 .at = {5300, 780, 700, 252},
                 .points = 10.2,
                 .bold = true,
                 .align = A::Right,
                 .tip = kNotExact});
  apply(lblfr5s, {.caption = "秒",
                  .fore = kLightCyan,
                  .at = {6000, 780, 800, 372},
                  .points = 10.8,
                  .bold = true,
                  .align = A::Center,
                  .tip = kNotExact});
  apply(lblfr6m, {.caption = "口数", .at = {5940, 204, 552, 252}, .points = 10.2, .bold = true});
  apply(lblfr6, {.fore = kLightCyan,
                 .at = {6336, 180, 480, 252},
                 .points = 12,
                 .bold = true,
                 .align = A::Center});
  apply(lblfr7m, {.caption = "連続", .at = {5940, 492, 552, 252}, .points = 10.2, .bold = true});
  apply(lblfr7, {.fore = kLightCyan,
                 .at = {6336, 480, 480, 252},
                 .points = 12,
                 .bold = true,
                 .align = A::Center});
  apply(lblfr7zan, {.caption = "残",
                    .fore = kOrange,
                    .at = {5400, 495, 250, 252},
                    .points = 10.2,
                    .bold = true,
                    .align = A::Right});
  apply(lblfr7z, {.fore = kOrange,
                  .at = {5616, 495, 348, 252},
                  .points = 10.8,
                  .bold = true,
                  .align = A::Center});
  apply(lblfr8, {.caption = "+0",
                 .fore = kLightCyan,
                 .at = {7780, 780, 372, 252},
                 .points = 10.2,
                 .align = A::Center,
                 .tip = kExtensionTip});
}
