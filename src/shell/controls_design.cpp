#include "shell/frm_pelatto.h"

// Every control in its design state: captions, colours, fonts, positions.
// The load handler then brings the window to its start state.

namespace {

using namespace palette;

struct LabelDesign {
  const char* caption;
  pf::Colour fore;
  double left, top, width, height;
  double points;
  bool bold;
  pf::Align align;
  bool autoSize;
  bool visible;
  bool framed;
};

void design(pf::Label& l, const LabelDesign& d) {
  l.setFont(d.points, d.bold);
  l.setBold(d.bold);
  l.setForeColor(d.fore);
  l.setAlignment(d.align);
  l.setCaption(QString::fromUtf8(d.caption));
  l.Move(d.left, d.top, d.width, d.height);
  l.setBorder(d.framed);
  l.setAutoSize(d.autoSize);
  l.setVisible(d.visible);
}

void design(pf::CommandButton& b, const char* caption, const char* tip, pf::Colour face,
            double left, double top, double width, double height, double points, bool bold,
            bool enabled, int tab) {
  b.setCaption(QString::fromUtf8(caption));
  b.setToolTip(QString::fromUtf8(tip));
  b.setBackColor(face);
  b.Move(left, top, width, height);
  if (points > 0) b.setFont(points, bold);
  b.setEnabled(enabled);
  b.setTabIndex(tab);
}

void design(pf::OptionButton& o, const char* caption, const char* tip, double left, double top,
            double width, double height, int tab) {
  o.setCaption(QString::fromUtf8(caption));
  o.setToolTip(QString::fromUtf8(tip));
  o.setForeColor(kWhite);
  o.setBackColor(kDarkGreen);
  o.Move(left, top, width, height);
  o.setFont(9, true);
  o.setTabIndex(tab);
}

void design(pf::ScrollBar& s, double left, double top, double width, double height, bool enabled,
            int tab, const char* name) {
  s.Move(left, top, width, height);
  s.setEnabled(enabled);
  s.setTabIndex(tab);
  s.setAccessibleName(QString::fromUtf8(name));
}

}  // namespace

frmPelatto::frmPelatto(pf::Clock& clk)
    : clock(clk),
      events([this] { return clock.nowNs(); }),
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
      hscl1(fra1, "hscl1", 14, 1, 1, 2, 14),
      hscl2(fra1, "hscl2", 14, 1, 1, 2, 14),
      hscl3(fra1, "hscl3", 10, 0, 1, 2, 7),
      hscl5(fra1, "hscl5", 10, 300, 1, 5, 100),
      hscl6(fra1, "hscl6", 30, 2, 1, 5, 5),
      hscl7(fra1, "hscl7", 20, 1, 1, 2, 1),
      hscl8(fra1, "hscl8", 0, 9, 1, 1, 0),
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
      tmr1(clk, false, 1500),
      tmr2(clk, false, 0),
      tmr3(clk, true, 0),
      tmr4(clk, true, 0),
      cmnDialg1(form, "cmnDialg1"),
      cmnDialg2(form, "cmnDialg2"),
      rnd(clk) {
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
  design(lbl1, {"", kWhite, 2400, 744, 1332, 2268, 150, false, A::Center, false, true, true});
  design(lbl2, {"", kPaleCyan, 2040, 1680, 3732, 1188, 150, false, A::Center, false, false, true});
  design(lbl3,
         {"答は", kPaleCyan, 4440, 360, 2640, 1260, 49.8, false, A::Left, false, false, true});
  design(lbl3b,
         {"答？", kPaleCyan, 6120, 960, 2640, 1140, 49.8, false, A::Left, false, false, true});
  design(lbl4, {"000", kCyan, 240, 252, 672, 420, 19.8, true, A::Right, true, false, true});
  design(lbl5, {"000", kCyan, 7200, 240, 672, 420, 19.8, true, A::Right, true, false, true});
  design(lbl6, {"", kPaleCyan, 72, 1920, 360, 1140, 55.8, false, A::Right, true, false, true});
  design(lbl7, {"", kPaleCyan, 552, 1920, 360, 1140, 55.8, false, A::Right, true, false, true});
  design(lbl8, {"", kPaleCyan, 1032, 1920, 360, 1140, 55.8, false, A::Right, true, false, true});
  design(lbl9, {"", kPaleCyan, 1512, 1920, 360, 1140, 55.8, false, A::Right, true, false, true});
  design(lbl10,
         {"▽", kLightYellow, 1680, 120, 732, 612, 28.2, true, A::Center, false, false, false});

  lin1[0].setBorderColor(kTeal);
  lin1[0].setBorderWidth(3);
  lin1[0].setX1(4260);
  lin1[0].setY1(1596);
  lin1[0].setX2(3960);
  lin1[0].setY2(1596);
  lin1[0].setVisible(false);
}

void frmPelatto::designPanel() {
  fra1.Move(120, 3120, 8976, 1092);
  fra1.setBackColor(kDarkGreen);
  fra2.Move(1080, 120, 1212, 580);
  fra2.setBackColor(kDarkGreen);
  fra3.Move(50, 840, 950, 200);
  fra3.setBackColor(kDarkGreen);

  design(cmdStart, "始", "スタート", kBrightGreen, 2200, 240, 770, 468, 18, false, true, 50);
  design(cmdEnd, "終", "終ります", kBrightGreen, 8110, 240, 740, 468, 18, false, true, 14);
  design(cmdTome, "保留", "一時止めます", kBrightGreen, 2000, 760, 600, 250, 9, true, false, 0);
  design(cmdStop, "中止", "最初から始めます", kBrightGreen, 2640, 760, 600, 250, 9, true, true, 4);
  design(cmdAns, "答", "手動解答の時に使います", kBrightGreen, 1080, 710, 852, 300, 10.2, true,
         true, 7);
  design(cmdMojiiro, "文字", "文字色を変えます", kWhite, 120, 240, 700, 300, 10.2, true, true, 8);
  design(cmdHaikei, "背景", "背景色を変えます", kGreen, 300, 480, 696, 300, 10.2, true, true, 9);
  design(cmdReSet, "", "ボタンを背景色にします", kDarkGreen, 120, 580, 120, 200, 0, false, true,
         10);
  cmdReSet.setAccessibleName(QStringLiteral("ボタンの色"));

  design(optKaiji, "自動解答", "数秒後に答が出ます", 0, 50, 1212, 252, 5);
  design(optKaite, "手動解答", "下のボタンで答を出します", 0, 300, 1212, 252, 6);
  design(optC1, "", "カウントダウンの速度調整", 80, 0, 200, 180, 11);
  design(optC2, "", "カウントダウンが遅い時", 350, 0, 200, 180, 12);
  design(optC3, "", "もっと遅い時", 620, 0, 200, 180, 13);
  optC1.setAccessibleName(QStringLiteral("カウントダウン速度 1"));
  optC2.setAccessibleName(QStringLiteral("カウントダウン速度 2"));
  optC3.setAccessibleName(QStringLiteral("カウントダウン速度 3"));

  chk1.setCaption(QStringLiteral(","));
  chk1.setToolTip(QStringLiteral("桁を区切ります"));
  chk1.setForeColor(kWhite);
  chk1.setBackColor(kDarkGreen);
  chk1.Move(5450, 190, 372, 216);
  chk1.setFont(10.8, true);
  chk1.setTabIndex(46);
  chk1.setAccessibleName(QStringLiteral("桁区切り"));

  design(hscl1, 4000, 240, 1250, 132, true, 38, "最大桁数");
  design(hscl2, 4000, 550, 1250, 132, true, 39, "最小桁数");
  design(hscl3, 4000, 840, 1250, 132, true, 40, "桁の混合");
  design(hscl5, 6750, 840, 1020, 132, true, 1, "速さ");
  design(hscl6, 6750, 240, 1250, 132, true, 3, "口数");
  design(hscl7, 6750, 550, 1250, 132, true, 2, "連続問題数");
  design(hscl8, 8110, 840, 740, 132, false, 48, "表示時間の延長");
  hscl3.setToolTip(QStringLiteral("桁の混合割合"));
  hscl8.setToolTip(QStringLiteral("数字の出てる時間を延長します（２秒毎のときだけ使えます）"));

  using A = pf::Align;
  const bool B = true;
  design(lblfr1s, {"最大", kWhite, 3050, 220, 450, 240, 9, B, A::Left, false, true, false});
  design(lblfr1, {"1", kWhite, 3350, 180, 372, 252, 12, B, A::Right, false, true, false});
  design(lblfr1m, {"桁", kWhite, 3720, 204, 240, 240, 10.2, B, A::Left, false, true, false});
  design(lblfr2s, {"最小", kWhite, 3050, 510, 450, 240, 9, B, A::Left, false, true, false});
  design(lblfr2, {"1", kWhite, 3350, 490, 372, 252, 12, B, A::Right, false, true, false});
  design(lblfr2m, {"桁", kWhite, 3720, 510, 240, 240, 10.2, B, A::Left, false, true, false});
  design(lblfr3, {"混-0", kWhite, 3300, 804, 624, 240, 10.2, B, A::Right, false, true, false});
  design(lblfr5, {"", kLightCyan, 5300, 780, 700, 252, 10.2, B, A::Right, false, true, false});
  design(lblfr5s, {"秒", kLightCyan, 6000, 780, 800, 372, 10.8, B, A::Center, false, true, false});
  design(lblfr6m, {"口数", kWhite, 5940, 204, 552, 252, 10.2, B, A::Left, false, true, false});
  design(lblfr6, {"", kLightCyan, 6336, 180, 480, 252, 12, B, A::Center, false, true, false});
  design(lblfr7m, {"連続", kWhite, 5940, 492, 552, 252, 10.2, B, A::Left, false, true, false});
  design(lblfr7, {"", kLightCyan, 6336, 480, 480, 252, 12, B, A::Center, false, true, false});
  design(lblfr7zan, {"残", kOrange, 5400, 495, 250, 252, 10.2, B, A::Right, false, true, false});
  design(lblfr7z, {"", kOrange, 5616, 495, 348, 252, 10.8, B, A::Center, false, true, false});
  design(lblfr8,
         {"+0", kLightCyan, 7780, 780, 372, 252, 10.2, false, A::Center, false, true, false});
  lblfr3.setToolTip(QStringLiteral("桁の混合割合"));
  lblfr5.setToolTip(QStringLiteral("正確ではありません"));
  lblfr5s.setToolTip(QStringLiteral("正確ではありません"));
  lblfr8.setToolTip(QStringLiteral("数字の出てる時間を延長します（２秒毎のときだけ使えます）"));
}

void frmPelatto::connectHandlers() {
  form.onResize = [this] { Form_Resize(); };
  cmdStart.onClick = [this] { cmdStart_Click(); };
  cmdEnd.onClick = [this] { cmdEnd_Click(); };
  cmdTome.onClick = [this] { cmdTome_Click(); };
  cmdStop.onClick = [this] { cmdStop_Click(); };
  cmdAns.onClick = [this] { cmdAns_Click(); };
  cmdMojiiro.onClick = [this] { cmdMojiiro_Click(), announceSettings(); };
  cmdHaikei.onClick = [this] { cmdHaikei_Click(), announceSettings(); };
  cmdReSet.onClick = [this] { cmdReSet_Click(), announceSettings(); };
  optC1.onClick = [this] { optC1_Click(), announceSettings(); };
  optC2.onClick = [this] { optC2_Click(), announceSettings(); };
  optC3.onClick = [this] { optC3_Click(), announceSettings(); };
  chk1.onClick = [this] { chk1_Click(), announceSettings(); };
  hscl1.onChange = [this] { hscl1_Change(), announceSettings(); };
  hscl1.onScroll = [this] { hscl1_Scroll(), announceSettings(); };
  hscl2.onChange = [this] { hscl2_Change(), announceSettings(); };
  hscl2.onScroll = [this] { hscl2_Scroll(), announceSettings(); };
  hscl3.onChange = [this] { hscl3_Change(), announceSettings(); };
  hscl3.onScroll = [this] { hscl3_Scroll(), announceSettings(); };
  hscl5.onChange = [this] { hscl5_Change(), announceSettings(); };
  hscl5.onScroll = [this] { hscl5_Scroll(), announceSettings(); };
  hscl6.onChange = [this] { hscl6_Change(), announceSettings(); };
  hscl6.onScroll = [this] { hscl6_Scroll(), announceSettings(); };
  hscl7.onChange = [this] { hscl7_Change(), announceSettings(); };
  hscl7.onScroll = [this] { hscl7_Scroll(), announceSettings(); };
  hscl8.onChange = [this] { hscl8_Change(), announceSettings(); };
  hscl8.onScroll = [this] { hscl8_Scroll(), announceSettings(); };
  optKaiji.onClick = [this] { announceSettings(); };
  optKaite.onClick = [this] { announceSettings(); };
  form.onUnload = [this] { events.announce(DrillEvent::Kind::Closed); };
  tmr1.onTimer = [this] { tmr1_Timer(); };
  tmr2.onTimer = [this] { tmr2_Timer(); };
  tmr3.onTimer = [this] { tmr3_Timer(); };
  tmr4.onTimer = [this] { tmr4_Timer(); };
}
