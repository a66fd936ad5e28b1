// SPDX-License-Identifier: GPL-3.0-or-later
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include "harness.h"

namespace {

constexpr auto kCancel = std::nullopt;

// Every colour on screen, read from the real widgets' palettes: a label's,
// option button's or check box's name stands for its text colour; "dialK"
// is the colour of dial line K.
QMap<QString, pf::Colour> seen(frmPelatto& f) {
  QMap<QString, pf::Colour> m{{"lineColor", f.lineColor}};
  for (int k = 1; k <= 49; ++k) m[QString("dial%1").arg(k)] = f.lin1[k].BorderColor();
  for (QWidget* w : f.form.widget()->findChildren<QWidget*>() + QWidgetList{f.form.widget()}) {
    const QString n = w->objectName();
    const auto get = [w](QPalette::ColorRole r) { return pf::fromQColor(w->palette().color(r)); };
    const bool face = w->inherits("QPushButton"), box = !face && w->inherits("QAbstractButton");
    if (face) m["face:" + n] = get(QPalette::Button);
    if (box || w->inherits("QLabel")) m[n] = get(QPalette::WindowText);
    if (box || n.startsWith("fr")) m["back:" + n] = get(QPalette::Window);
  }
  return m;
}

// One line per colour, so that a failure names the control; the keys that
// match `painted` in colour c.
QStringList listed(const auto& m, const QString& painted = {}, pf::Colour c = 0) {
  const QRegularExpression re(QRegularExpression::anchoredPattern(painted));
  QStringList out;
  for (auto [key, colour] : m.asKeyValueRange())
    out << key + '=' + QString::number(re.match(key).hasMatch() ? c : colour, 16);
  return out;
}

// Not lbl4, lbl5, lbl10, lblfr7zan, lblfr7z: they keep their own colours.
const QString kText = "lbl[1-36-9]b?|lblfr\\d[ms]?|optKai\\w+|chk1|face:cmdMojiiro";
const QString kBack = "back:.+|face:cmdReSet|dial\\d+|lineColor";
const QString kButtons = "face:cmd(Start|Tome|End|Stop|Ans|Mojiiro|Haikei)";

}  // namespace

class ColoursTest : public QObject {
  Q_OBJECT
 private slots:
  // Each dialog offers the colour it holds; a choice goes to exactly its set
  // of controls; a cancel changes nothing, except that the background dialog
  // repaints the dial in the unchanged background. The small button paints
  // the command buttons in the background colour, then restores the start
  // colours of everything but the text.
  void colours() {
    Harness h;
    const auto start = seen(*h.f);
    std::optional<pf::Colour> answer;
    pf::Colour offered = -1;
    h.env.colourDialogs = [&](auto&, pf::Colour held) { return offered = held, answer; };
    for (int k = 1; k <= 49; ++k) h->lin1[k].setBorderColor(0x123456);  // out of step
    // A click, the dialog's answer, the colour held (what the dialog offers;
    // for cmdReSet, which opens none, the background) and what takes the new
    // colour: the answer, or the held colour on a cancel or for cmdReSet.
    const std::tuple<QString, std::optional<pf::Colour>, pf::Colour, QString> steps[] = {
        {"cmdHaikei", kCancel, 0x6000, "dial\\d+"}, {"cmdMojiiro", kCancel, 0xFFFFFF, ""},
        {"cmdMojiiro", 0xFF, 0xFFFFFF, kText},      {"cmdMojiiro", kCancel, 0xFF, ""},
        {"cmdHaikei", 0xFF0000, 0x6000, kBack},     {"cmdHaikei", kCancel, 0xFF0000, ""},
        {"cmdReSet", kCancel, 0xFF0000, kButtons}};
    for (const auto& [button, chosen, held, changed] : steps) {
      const auto before = seen(*h.f);
      answer = chosen;
      h.play(button);
      QCOMPARE(offered, held);
      QCOMPARE(listed(seen(*h.f)), listed(before, changed, chosen.value_or(held)));
    }
    QCOMPARE(h->cmdReSet.ToolTip(), QStringLiteral("文字色以外を最初の色を戻します"));
    h.play("cmdReSet");
    QCOMPARE(listed(seen(*h.f)), listed(start, kText, 0xFF));
    QCOMPARE(h->cmdReSet.ToolTip(), QStringLiteral("ボタンの色を背景色にします"));
    h.play("cmdHaikei");
    QCOMPARE(offered, 0xFF0000);
  }

  // The colour dialog the buttons open is Qt's own, in Japanese as the window is.
  void dialogInJapanese() {
    QColorDialog dialog;
    const auto* box = dialog.findChild<QDialogButtonBox*>();
    QCOMPARE(box->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
  }
};

PELATTO_TEST_MAIN(ColoursTest)
#include "test_colours.moc"
