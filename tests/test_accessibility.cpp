#include <QAccessible>
#include <QApplication>
#include <QMap>

#include "harness.h"

namespace {

using Role = QAccessible::Role;
using Bar = pf::ScrollBar frmPelatto::*;

// The accessible tree below an object, every node by the name of its widget.
QMap<QString, QAccessibleInterface*> tree(QObject* o) {
  QMap<QString, QAccessibleInterface*> all;
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
  for (int k = 0; k < a->childCount(); ++k) {
    all.insert(a->child(k)->object()->objectName(), a->child(k));
    all.insert(tree(a->child(k)->object()));
  }
  return all;
}

QString focusName() {
  QWidget* w = QApplication::focusWidget();
  return w ? w->objectName() : QStringLiteral("(none)");
}

// The focus and where count - 1 presses of Tab take it.
QString tabRound(int count) {
  QStringList seen{focusName()};
  while (seen.size() < count && QApplication::focusWidget()) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    seen << focusName();
  }
  return seen.join(' ');
}

}  // namespace

Q_DECLARE_METATYPE(Bar)

class AccessibilityTest : public QObject {
  Q_OBJECT
 private slots:
  // Every button, option button, check box and scroll bar has a name and
  // its tooltip as description; a sample is checked word for word.
  void controlsNamedAndDescribed() {
    Harness h;
    const auto all = tree(h->form.widget());
    const QList<Role> kinds{Role::PushButton, Role::RadioButton, Role::CheckBox, Role::ScrollBar};
    int controls = 0;
    for (QAccessibleInterface* a : all) {
      if (!kinds.contains(a->role())) continue;
      ++controls;
      QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(all.key(a)));
      QCOMPARE(a->text(QAccessible::Description), static_cast<QWidget*>(a->object())->toolTip());
    }
    QCOMPARE(controls, 8 + 5 + 1 + 7);
    for (const QString row :
         {"cmdReSet|ボタンの色|ボタンを背景色にします",
          "optKaite|手動解答|下のボタンで答を出します", "optC3|カウントダウン速度 3|もっと遅い時",
          "chk1|桁区切り|桁を区切ります", "hscl3|桁の混合|桁の混合割合"}) {
      const QStringList c = row.split('|');
      QCOMPARE(all.value(c[0])->text(QAccessible::Name), c[1]);
      QCOMPARE(all.value(c[0])->text(QAccessible::Description), c[2]);
    }
  }

  // Assistive technology hears the setting, not Qt's position on the bar,
  // also during a drag; a value it sets acts as the learner's change, so the
  // bar's read-out lblfrN follows.
  void scrollBarsReadTheSetting_data() {
    QTest::addColumn<Bar>("bar");
    QTest::addColumn<int>("learner");
    QTest::addColumn<int>("assistive");
    QTest::addColumn<QString>("readout");
    QTest::newRow("longest digits, runs down") << &frmPelatto::hscl1 << 9 << 5 << "5";
    QTest::newRow("terms, runs down") << &frmPelatto::hscl6 << 20 << 12 << "12";
    QTest::newRow("pace, runs up") << &frmPelatto::hscl5 << 100 << 300 << "３秒毎";
    QTest::newRow("run length, beyond the end") << &frmPelatto::hscl7 << 4 << 99 << "20";
    QTest::newRow("extension") << &frmPelatto::hscl8 << 3 << 9 << "+9";
  }
  void scrollBarsReadTheSetting() {
    QFETCH(Bar, bar);
    QFETCH(int, learner);
    QFETCH(int, assistive);
    QFETCH(QString, readout);
    Harness h;
    pf::ScrollBar& s = h.f.get()->*bar;
    const QString name = s.widget()->objectName();
    const int lo = std::min(s.Min(), s.Max()), hi = std::max(s.Min(), s.Max());
    QAccessibleInterface* a = tree(h->form.widget()).value(name);
    QAccessibleValueInterface* v = a->valueInterface();
    Harness::dragTo(s, learner);
    QCOMPARE(v->currentValue().toInt(), learner);
    Harness::release(s);
    QCOMPARE(v->currentValue().toInt(), learner);
    QCOMPARE(a->text(QAccessible::Value), QString::number(learner));
    QCOMPARE(QPair(v->minimumValue().toInt(), v->maximumValue().toInt()), QPair(lo, hi));
    v->setCurrentValue(assistive);
    QCOMPARE(s.Value(), std::clamp(assistive, lo, hi));
    QCOMPARE(tree(h->form.widget()).value("lblfr" + name.mid(4))->text(QAccessible::Name), readout);
    // A disabled bar refuses, as it refuses the mouse.
    s.setEnabled(false);
    v->setCurrentValue(learner);
    QCOMPARE(s.Value(), std::clamp(assistive, lo, hi));
  }

  // Tab visits the enabled controls by their tab index, one option button
  // per group, and wraps round; Space and Enter press the focused button.
  void keyboard_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("space") << int(Qt::Key_Space);
    QTest::newRow("enter") << int(Qt::Key_Enter);
    QTest::newRow("return") << int(Qt::Key_Return);
  }
  void keyboard() {
    QFETCH(int, key);
    Harness h;
    QVERIFY(QTest::qWaitForWindowActive(h->form.widget()));
    QVERIFY(h->cmdStart.SetFocus());
    QCOMPARE(tabRound(18), QStringLiteral("cmdStart hscl5 hscl7 hscl6 cmdStop optKaiji cmdAns "
                                          "cmdMojiiro cmdHaikei cmdReSet optC1 cmdEnd hscl1 hscl2 "
                                          "hscl3 chk1 hscl8 cmdStart"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QVERIFY(!h->cmdStart.Enabled());
    QVERIFY(h->tmr1.running());
    QCOMPARE(tabRound(14), QStringLiteral("cmdTome hscl5 hscl7 hscl6 cmdStop optKaiji cmdReSet "
                                          "cmdEnd hscl1 hscl2 hscl3 chk1 hscl8 cmdTome"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(h->cmdTome.Caption(), QStringLiteral("続き"));
  }
};

PELATTO_TEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
