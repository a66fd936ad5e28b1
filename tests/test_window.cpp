#include <QAbstractButton>
#include <QLabel>

#include "harness.h"

// The window right after start-up, the layout that follows its size, and
// the exit. (The keyboard order is checked with real Tab presses in
// test_accessibility.)

namespace {

struct Design {
  const char *name, *caption, *tip;
  bool enabled = true, visible = true;
};

constexpr const char* kExact = "正確ではありません";
constexpr const char* kExtend = "数字の出てる時間を延長します（２秒毎のときだけ使えます）";
constexpr const char* kMix = "桁の混合割合";
// Every control by name: caption, tooltip, enabled and visible after start-up.
// clang-format off
constexpr Design kDesign[] = {
    {"cmdStart", "始", "スタート"}, {"cmdEnd", "終", "終ります"},
    {"cmdTome", "保留", "一時止めます", false}, {"cmdStop", "中止", "最初から始めます"},
    {"cmdAns", "答", "手動解答の時に使います"}, {"cmdMojiiro", "文字", "文字色を変えます"},
    {"cmdHaikei", "背景", "背景色を変えます"}, {"cmdReSet", "", "ボタンを背景色にします"},
    {"optKaiji", "自動解答", "数秒後に答が出ます"}, {"optKaite", "手動解答", "下のボタンで答を出します"},
    {"optC1", "", "カウントダウンの速度調整"}, {"optC2", "", "カウントダウンが遅い時"},
    {"optC3", "", "もっと遅い時"}, {"chk1", ",", "桁を区切ります"},
    {"lblfr1s", "最大", ""}, {"lblfr1", "1", ""}, {"lblfr1m", "桁", ""},
    {"lblfr2s", "最小", ""}, {"lblfr2", "1", ""}, {"lblfr2m", "桁", ""},
    {"lblfr3", "混-0", kMix}, {"lblfr5", "２秒毎", kExact}, {"lblfr5s", "10秒", kExact},
    {"lblfr6m", "口数", ""}, {"lblfr6", "5", ""}, {"lblfr7m", "連続", ""}, {"lblfr7", "1", ""},
    {"lblfr7zan", "残", ""}, {"lblfr7z", "", ""}, {"lblfr8", "+0", kExtend},
    {"hscl1", "", ""}, {"hscl2", "", ""}, {"hscl3", "", kMix}, {"hscl5", "", ""},
    {"hscl6", "", ""}, {"hscl7", "", ""}, {"hscl8", "", kExtend},
    {"lbl1", "", "", true, false}, {"lbl2", "", "", true, false},
    {"lbl3", "答は", "", true, false}, {"lbl3b", "答？", "", true, false},
    {"lbl4", "", "", true, false}, {"lbl5", "", "", true, false},
    {"lbl6", "", "", true, false}, {"lbl7", "", "", true, false},
    {"lbl8", "", "", true, false}, {"lbl9", "", "", true, false},
    {"lbl10", "▽", "", true, false}};
// clang-format on

struct Layout {
  int digits;
  bool grouped;
  QSize outer;  // pixels, title bar and borders included
  int waX, waY;
};

// Offsets from H/2 and font sizes of lbl1 and lbl2, by preset, grouping off and on.
constexpr double kPresets[7][2][4] = {{{2800, 250, 2000, 180}, {2800, 250, 2000, 180}},
                                      {{2300, 200, 1800, 150}, {2300, 200, 1800, 150}},
                                      {{2100, 180, 1800, 140}, {1900, 160, 1800, 130}},
                                      {{1700, 140, 1600, 110}, {1500, 120, 1600, 110}},
                                      {{1400, 110, 1300, 90}, {1200, 90, 1300, 80}},
                                      {{1200, 90, 1100, 80}, {1100, 80, 1100, 70}},
                                      {{1000, 80, 900, 70}, {900, 70, 900, 70}}};

}  // namespace

Q_DECLARE_METATYPE(Design)
Q_DECLARE_METATYPE(Layout)

class WindowTest : public QObject {
  Q_OBJECT
 private slots:
  void startUpControls_data() {
    QTest::addColumn<Design>("d");
    for (const Design& d : kDesign) QTest::newRow(d.name) << d;
  }
  void startUpControls() {
    QFETCH(Design, d);
    Harness h;
    const auto* w = h->form.widget()->findChild<QWidget*>(d.name);
    QVERIFY(w);
    const auto* label = qobject_cast<const QLabel*>(w);
    const auto* button = qobject_cast<const QAbstractButton*>(w);
    QCOMPARE(label ? label->text() : button ? button->text() : QString(), QString(d.caption));
    QCOMPARE(w->toolTip(), QString(d.tip));
    QCOMPARE(w->isEnabled(), d.enabled);
    QCOMPARE(w->isVisible(), d.visible);
  }

  void startUpState() {
    Harness h;
    QCOMPARE(h->form.widget()->windowTitle(), QStringLiteral("Pelatto"));
    QCOMPARE(h->form.windowState(), pf::WindowState::Maximized);
    QCOMPARE(h->form.widget()->palette().color(QPalette::Window), QColor(0, 96, 0));
    const QList<bool> options{h->optKaiji.Value(), h->optKaite.Value(), h->optC1.Value(),
                              h->optC2.Value(),    h->optC3.Value(),    h->chk1.Value() == 1};
    QCOMPARE(options, QList<bool>({true, false, true, false, false, false}));
    QVERIFY(h.clock.idle());
  }

  void layoutFollowsSize_data() {
    QTest::addColumn<Layout>("c");
    // Even sizes keep W/2 and H/2 whole; odd ones check the rounding of halves to even.
    for (int d = 1; d <= 14; ++d)
      for (bool g : {false, true}) {
        const QSize outer(700 + 2 * d, 500 + 2 * d + 2 * g);
        QTest::addRow("%d digits%s", d, g ? ", grouped" : "")
            << Layout{d, g, outer, outer.width() * 15 / 2, outer.height() * 15 / 2 - 1680};
      }
    QTest::newRow("halves down to even") << Layout{5, false, {803, 603}, 6022, 2842};
    QTest::newRow("halves up to even") << Layout{5, false, {801, 601}, 6008, 2828};
    QTest::newRow("beyond 16 bits") << Layout{5, false, {5001, 4701}, 37508, 33578};
  }
  void layoutFollowsSize() {
    QFETCH(Layout, c);
    Harness h;
    const int preset = c.digits <= 3 ? 0 : c.digits == 4 ? 1 : (c.digits + 1) / 2 - 1;
    const double* p = kPresets[preset][c.grouped];
    const auto presetApplied = [&] {
      const double half = h->form.Height() / 2;
      return QList<double>{half - h->lbl1.Top(), h->lbl1.widget()->font().pointSizeF(),
                           half - h->lbl2.Top(),
                           h->lbl2.widget()->font().pointSizeF()} == QList<double>(p, p + 4);
    };
    Harness::set(h->hscl1, c.digits);
    if (c.grouped) Harness::click(h->chk1);  // the switch applies the preset itself
    QVERIFY(presetApplied());
    QWidget* w = h->form.widget();
    w->resize(c.outer - (w->frameGeometry().size() - w->size()));
    const double W = h->form.Width(), H = h->form.Height();
    QCOMPARE(QSizeF(W, H), QSizeF(c.outer) * 15);
    QVERIFY(presetApplied());
    QCOMPARE(h->lbl1.Width(), W);
    QCOMPARE(h->lbl2.Width(), W);
    for (const pf::Label* l : {&h->lbl3, &h->lbl3b})
      QCOMPARE(QPointF(l->Left(), l->Top()), QPointF(W / 2 - 900, 500));
    QCOMPARE(h->lbl4.Left(), 500.0);
    QCOMPARE(h->lbl5.Left() + h->lbl5.Width(), W - 800);
    QCOMPARE(QPointF(h->fra1.Left() + h->fra1.Width() / 2, h->fra1.Top()),
             QPointF(W / 2, H - 1600));
    QCOMPARE(QPoint(h->waX, h->waY), QPoint(c.waX, c.waY));
  }

  void endClosesAndStopsTimers() {
    Harness h;
    Harness::click(h->cmdStart);
    h.advance(5000);  // into the flashing
    QVERIFY(h->tmr2.running());
    Harness::click(h->cmdEnd);
    QVERIFY(!h->form.widget()->isVisible());
    QCOMPARE(h.clock.advance(60000), 0L);
  }
};

PELATTO_TEST_MAIN(WindowTest)
#include "test_window.moc"
