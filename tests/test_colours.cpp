#include <QLabel>
#include <QMap>
#include <QPushButton>

#include "harness.h"

namespace {

using Colours = QMap<QString, pf::Colour>;
constexpr int kCancel = -1;

QString offer(const QString& dialog, pf::Colour c) { return dialog + ':' + QString::number(c, 16); }

// Answers the colour dialogs in place of the learner and records the colour
// each dialog offered first.
struct Learner {
  QList<int> answers;
  QStringList offers;
  Learner() {
    pf::ColorDialog::setResponder([this](const QString& dialog, pf::Colour offered) {
      offers << offer(dialog, offered);
      const int answer = answers.takeFirst();
      return answer == kCancel ? std::nullopt : std::optional<pf::Colour>(answer);
    });
  }
  ~Learner() { pf::ColorDialog::setResponder({}); }
};

// Every colour on screen, read from the real widgets' palettes; "dial" is the
// colour of all 49 dial lines, or -2 while they differ.
Colours seen(frmPelatto& f) {
  auto get = [](QWidget* w, QPalette::ColorRole r) {
    return pf::fromQColor(w->palette().color(r));
  };
  Colours m{{"back:frmPelatto", get(f.form.widget(), QPalette::Window)},
            {"text:surface", f.form.ForeColor()},
            {"lineColor", f.lineColor},
            {"dial", f.lin1[1].BorderColor()}};
  for (int k = 2; k <= 49; ++k)
    if (f.lin1[k].BorderColor() != m["dial"]) m["dial"] = -2;
  for (QWidget* w : f.form.widget()->findChildren<QWidget*>()) {
    const QString n = w->objectName();
    const bool face = qobject_cast<QPushButton*>(w);
    const bool box = !face && qobject_cast<QAbstractButton*>(w);
    if (face) m["face:" + n] = get(w, QPalette::Button);
    if (box || qobject_cast<QLabel*>(w)) m["text:" + n] = get(w, QPalette::WindowText);
    if (box || n.startsWith("fra")) m["back:" + n] = get(w, QPalette::Window);
  }
  return m;
}

Colours painted(Colours m, const QString& keys, pf::Colour c) {
  for (const QString& key : keys.split(' ')) m[key] = c;
  return m;
}

// One line per colour, so that a failure names the control.
QStringList listed(const Colours& m) {
  QStringList out;
  for (auto [key, c] : m.asKeyValueRange()) out << key + '=' + QString::number(c, 16);
  return out;
}

const QString kTextSet =
    "text:lbl1 text:lbl2 text:lbl3 text:lbl3b text:lbl6 text:lbl7 text:lbl8 text:lbl9 "
    "text:lblfr1 text:lblfr1m text:lblfr1s text:lblfr2 text:lblfr2m text:lblfr2s text:lblfr3 "
    "text:lblfr5 text:lblfr5s text:lblfr6 text:lblfr6m text:lblfr7 text:lblfr7m text:lblfr8 "
    "text:optKaiji text:optKaite text:chk1 face:cmdMojiiro";
const QString kBackgroundSet =
    "back:frmPelatto back:fra1 back:fra2 back:fra3 back:optC1 back:optC2 back:optC3 "
    "back:optKaiji back:optKaite back:chk1 face:cmdReSet dial lineColor";

}  // namespace

class ColoursTest : public QObject {
  Q_OBJECT
 private slots:
  // Each dialog offers the colour it holds; a choice goes to exactly its set
  // of controls; a cancel changes nothing, except that the background dialog
  // repaints the dial in the unchanged background.
  void dialogs_data() {
    QTest::addColumn<bool>("background");
    QTest::addColumn<QList<int>>("answers");
    QTest::newRow("text chosen twice") << false << QList<int>{0x0000FF, 0x00FFFF};
    QTest::newRow("text cancelled") << false << QList<int>{kCancel};
    QTest::newRow("text cancelled after a choice") << false << QList<int>{0x0000FF, kCancel};
    QTest::newRow("background chosen twice") << true << QList<int>{0xFF0000, 0x404000};
    QTest::newRow("background cancelled") << true << QList<int>{kCancel};
    QTest::newRow("background cancelled after a choice") << true << QList<int>{0xFF0000, kCancel};
  }
  void dialogs() {
    QFETCH(bool, background);
    QFETCH(QList<int>, answers);
    Harness h;
    Learner learner;
    learner.answers = answers;
    // Dial lines out of step with the background, to see them repainted.
    for (int k = 1; k <= 49; ++k) h->lin1[k].setBorderColor(0x123456);
    pf::Colour held = background ? 0x006000 : 0xFFFFFF;
    Colours expected = background ? painted(seen(*h.f), "dial", held) : seen(*h.f);
    QStringList offers;
    for (int answer : answers) {
      offers << offer(background ? "cmnDialg2" : "cmnDialg1", held);
      Harness::click(background ? h->cmdHaikei : h->cmdMojiiro);
      if (answer != kCancel)
        expected = painted(expected, background ? kBackgroundSet : kTextSet, held = answer);
    }
    QCOMPARE(learner.offers, offers);
    QCOMPARE(listed(seen(*h.f)), listed(expected));
    QCOMPARE(h->wa, 0);
  }

  // The small button paints the command buttons in the background colour,
  // then restores the start colours of everything but the text.
  void buttonColoursToggle() {
    Harness h;
    const Colours start = seen(*h.f);
    Learner learner;
    learner.answers = {0x0000FF, 0xFF0000, kCancel};
    Harness::click(h->cmdMojiiro);
    Harness::click(h->cmdHaikei);
    const Colours chosen = seen(*h.f);

    Harness::click(h->cmdReSet);
    const QString faces =
        "face:cmdStart face:cmdTome face:cmdEnd face:cmdStop face:cmdAns "
        "face:cmdMojiiro face:cmdHaikei";
    QCOMPARE(listed(seen(*h.f)), listed(painted(chosen, faces, 0xFF0000)));
    QCOMPARE(h->cmdReSet.ToolTip(), QStringLiteral("文字色以外を最初の色を戻します"));

    Harness::click(h->cmdReSet);
    QCOMPARE(listed(seen(*h.f)), listed(painted(start, kTextSet, 0x0000FF)));
    QCOMPARE(h->cmdReSet.ToolTip(), QStringLiteral("ボタンの色を背景色にします"));

    Harness::click(h->cmdHaikei);
    QCOMPARE(learner.offers.last(), offer("cmnDialg2", 0xFF0000));
  }
};

PELATTO_TEST_MAIN(ColoursTest)
#include "test_colours.moc"
