#include <QAbstractButton>
#include <QLabel>

#include "harness.h"

// Every control as the window is built, before it loads: place and size,
// font, colours, caption, tooltip, alignment, visibility and enabled state,
// one row per control, read from the widgets the learner sees.

namespace {

constexpr int kNone = -1;  // no colour, or no font of its own

struct Design {
  QString caption, tooltip;
  int fore, back;       // 0x00BBGGRR; back is a button's face
  QList<double> place;  // left, top, width, height in twips; two for auto-size
  double points;        // kNone: no text
  bool bold;
  QString flags;  // "hidden", "disabled", "right", "centre"
};

}  // namespace

Q_DECLARE_METATYPE(Design)

class DesignTest : public QObject {
  Q_OBJECT
 private slots:
  void controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Design>("design");
    const auto add = [](const char* name, Design d) { QTest::newRow(name) << QString(name) << d; };
    const int white = 0xFFFFFF, pale = 0xFFFFC0, cyan = 0xFFFF00, light = 0xFFFF80,
              orange = 0x0080FF, bright = 0x00EE00, dark = 0x006000;
    // Display labels (auto-size ones by their top-left only).
    add("lbl1", {"", "", white, kNone, {2400, 744, 1332, 2268}, 150, false, "centre"});
    add("lbl2", {"", "", pale, kNone, {2040, 1680, 3732, 1188}, 150, false, "hidden centre"});
    add("lbl3", {"答は", "", pale, kNone, {4440, 360, 2640, 1260}, 49.8, false, "hidden"});
    add("lbl3b", {"答？", "", pale, kNone, {6120, 960, 2640, 1140}, 49.8, false, "hidden"});
    add("lbl4", {"000", "", cyan, kNone, {240, 252}, 19.8, true, "hidden right"});
    add("lbl5", {"000", "", cyan, kNone, {7200, 240}, 19.8, true, "hidden right"});
    add("lbl6", {"", "", pale, kNone, {72, 1920}, 55.8, false, "hidden right"});
    add("lbl7", {"", "", pale, kNone, {552, 1920}, 55.8, false, "hidden right"});
    add("lbl8", {"", "", pale, kNone, {1032, 1920}, 55.8, false, "hidden right"});
    add("lbl9", {"", "", pale, kNone, {1512, 1920}, 55.8, false, "hidden right"});
    add("lbl10", {"▽", "", 0x80FFFF, kNone, {1680, 120, 732, 612}, 28.2, true, "hidden centre"});
    // Frames.
    add("fra1", {"", "", kNone, dark, {120, 3120, 8976, 1092}, kNone, false, ""});
    add("fra2", {"", "", kNone, dark, {1080, 120, 1212, 580}, kNone, false, ""});
    add("fra3", {"", "", kNone, dark, {50, 840, 950, 200}, kNone, false, ""});
    // Buttons.
    add("cmdStart", {"始", "スタート", kNone, bright, {2200, 240, 770, 468}, 18, false, ""});
    add("cmdEnd", {"終", "終ります", kNone, bright, {8110, 240, 740, 468}, 18, false, ""});
    add("cmdTome",
        {"保留", "一時止めます", kNone, bright, {2000, 760, 600, 250}, 9, true, "disabled"});
    add("cmdStop", {"中止", "最初から始めます", kNone, bright, {2640, 760, 600, 250}, 9, true, ""});
    add("cmdAns",
        {"答", "手動解答の時に使います", kNone, bright, {1080, 710, 852, 300}, 10.2, true, ""});
    add("cmdMojiiro",
        {"文字", "文字色を変えます", kNone, white, {120, 240, 700, 300}, 10.2, true, ""});
    add("cmdHaikei",
        {"背景", "背景色を変えます", kNone, 0x00AA00, {300, 480, 696, 300}, 10.2, true, ""});
    add("cmdReSet",
        {"", "ボタンを背景色にします", kNone, dark, {120, 580, 120, 200}, kNone, false, ""});
    // Option buttons and the check box: text colour, and the dark green behind.
    add("optKaiji",
        {"自動解答", "数秒後に答が出ます", white, dark, {0, 50, 1212, 252}, 9, true, ""});
    add("optKaite",
        {"手動解答", "下のボタンで答を出します", white, dark, {0, 300, 1212, 252}, 9, true, ""});
    add("optC1",
        {"", "カウントダウンの速度調整", kNone, dark, {80, 0, 200, 180}, kNone, false, ""});
    add("optC2", {"", "カウントダウンが遅い時", kNone, dark, {350, 0, 200, 180}, kNone, false, ""});
    add("optC3", {"", "もっと遅い時", kNone, dark, {620, 0, 200, 180}, kNone, false, ""});
    add("chk1", {",", "桁を区切ります", white, dark, {5450, 190, 372, 216}, 10.8, true, ""});
    // Scroll bars; the mix and the extension carry the tooltips of their read-outs.
    const QString mix = "桁の混合割合",
                  longer = "数字の出てる時間を延長します（２秒毎のときだけ使えます）";
    for (auto [name, l, t, w, tip] : {std::tuple{"hscl1", 4000, 240, 1250, QString()},
                                      {"hscl2", 4000, 550, 1250, QString()},
                                      {"hscl3", 4000, 840, 1250, mix},
                                      {"hscl5", 6750, 840, 1020, QString()},
                                      {"hscl6", 6750, 240, 1250, QString()},
                                      {"hscl7", 6750, 550, 1250, QString()},
                                      {"hscl8", 8110, 840, 740, longer}})
      add(name, {"",
                 tip,
                 kNone,
                 kNone,
                 {double(l), double(t), double(w), 132},
                 kNone,
                 false,
                 tip == longer ? "disabled" : ""});
    // Read-outs and captions on the panel.
    const QString notExact = "正確ではありません";
    add("lblfr1s", {"最大", "", white, kNone, {3050, 220, 450, 240}, 9, true, ""});
    add("lblfr1", {"1", "", white, kNone, {3350, 180, 372, 252}, 12, true, "right"});
    add("lblfr1m", {"桁", "", white, kNone, {3720, 204, 240, 240}, 10.2, true, ""});
    add("lblfr2s", {"最小", "", white, kNone, {3050, 510, 450, 240}, 9, true, ""});
    add("lblfr2", {"1", "", white, kNone, {3350, 490, 372, 252}, 12, true, "right"});
    add("lblfr2m", {"桁", "", white, kNone, {3720, 510, 240, 240}, 10.2, true, ""});
    add("lblfr3",
        {"混-0", "桁の混合割合", white, kNone, {3300, 804, 624, 240}, 10.2, true, "right"});
    add("lblfr5", {"", notExact, light, kNone, {5300, 780, 700, 252}, 10.2, true, "right"});
    add("lblfr5s", {"秒", notExact, light, kNone, {6000, 780, 800, 372}, 10.8, true, "centre"});
    add("lblfr6m", {"口数", "", white, kNone, {5940, 204, 552, 252}, 10.2, true, ""});
    add("lblfr6", {"", "", light, kNone, {6336, 180, 480, 252}, 12, true, "centre"});
    add("lblfr7m", {"連続", "", white, kNone, {5940, 492, 552, 252}, 10.2, true, ""});
    add("lblfr7", {"", "", light, kNone, {6336, 480, 480, 252}, 12, true, "centre"});
    add("lblfr7zan", {"残", "", orange, kNone, {5400, 495, 250, 252}, 10.2, true, "right"});
    add("lblfr7z", {"", "", orange, kNone, {5616, 495, 348, 252}, 10.8, true, "centre"});
    add("lblfr8", {"+0",
                   "数字の出てる時間を延長します（２秒毎のときだけ使えます）",
                   light,
                   kNone,
                   {7780, 780, 372, 252},
                   10.2,
                   false,
                   "centre"});
  }
  void controls() {
    QFETCH(QString, name);
    QFETCH(Design, design);
    pf::VirtualClock clock;
    const pf::Environment env{.clock = clock};
    frmPelatto f(env);  // as built: not loaded, not laid out
    QWidget* w = f.form.widget()->findChild<QWidget*>(name);
    QVERIFY(w);
    const auto px = [](double twips) { return qRound(twips / 15); };
    const QList<double>& p = design.place;
    QCOMPARE(w->pos(), QPoint(px(p[0]), px(p[1])));
    if (p.size() == 4) QCOMPARE(w->size(), QSize(px(p[2]), px(p[3])));
    if (design.points != kNone) {
      QCOMPARE(w->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
      QCOMPARE(w->font().pointSizeF(), design.points);
      QCOMPARE(w->font().weight(), design.bold ? QFont::Bold : QFont::Normal);
      QVERIFY(!w->font().italic() && !w->font().underline() && !w->font().strikeOut());
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
      QCOMPARE(l->text(), design.caption);
      const Qt::Alignment h = design.flags.contains("right")    ? Qt::AlignRight
                              : design.flags.contains("centre") ? Qt::AlignHCenter
                                                                : Qt::AlignLeft;
      QCOMPARE(l->alignment() & Qt::AlignHorizontal_Mask, h);
      QVERIFY(!l->autoFillBackground());  // transparent
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      QCOMPARE(b->text(), design.caption);
    }
    QCOMPARE(w->toolTip(), design.tooltip);
    const QPalette pal = w->palette();
    if (design.fore != kNone) QCOMPARE(pal.color(QPalette::WindowText), pf::toQColor(design.fore));
    const bool face = name.startsWith("cmd");
    if (design.back != kNone)
      QCOMPARE(pal.color(face ? QPalette::Button : QPalette::Window), pf::toQColor(design.back));
    QCOMPARE(w->isHidden(), design.flags.contains("hidden"));
    QCOMPARE(w->isEnabled(), !design.flags.contains("disabled"));
  }

  // What has no face of its own, as built: the scroll bars' ranges and
  // steps (the classic minimum at the left end, so three bars run
  // downwards), the timers, and line 0 of the dial.
  void faceless() {
    pf::VirtualClock clock;
    const pf::Environment env{.clock = clock};
    frmPelatto f(env);
    QStringList seen;
    for (const pf::ScrollBar* s :
         {&f.hscl1, &f.hscl2, &f.hscl3, &f.hscl5, &f.hscl6, &f.hscl7, &f.hscl8})
      seen << QString("%1..%2/%3/%4=%5")
                  .arg(s->Min())
                  .arg(s->Max())
                  .arg(s->bar()->singleStep())
                  .arg(s->bar()->pageStep())
                  .arg(s->Value());
    QCOMPARE(seen.join(' '), QStringLiteral("14..1/1/2=14 14..1/1/2=14 10..0/1/2=7 10..300/1/5=100 "
                                            "30..2/1/5=5 20..1/1/2=1 0..9/1/1=0"));
    QStringList timers;
    for (const pf::Timer* t : {&f.tmr1, &f.tmr2, &f.tmr3, &f.tmr4})
      timers << QString("%1%2").arg(t->Enabled() ? "on " : "off ").arg(t->Interval());
    QCOMPARE(timers.join(", "), QStringLiteral("off 1500, off 0, on 0, on 0"));
    const pf::Line& l = f.lin1[0];
    QCOMPARE(QList<double>({l.X1(), l.Y1(), l.X2(), l.Y2()}),
             QList<double>({4260, 1596, 3960, 1596}));
    QVERIFY(l.BorderColor() == 0xC0C000 && l.BorderWidth() == 3 && !l.Visible() &&
            f.lin1.count() == 1);
  }
};

PELATTO_TEST_MAIN(DesignTest)
#include "test_design.moc"
