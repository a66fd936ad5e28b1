// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QApplication>

#include "harness.h"

class AccessibilityTest : public QObject {
  Q_OBJECT
 private slots:
  // Every button, option button, check box and scroll bar in the accessible
  // tree has a name and its tooltip as description. Assistive technology
  // hears a bar's setting, not Qt's position on it, also during a drag; a
  // value it sets acts as the learner's change, so the read-out follows; a
  // disabled bar refuses it.
  void accessibleControls() {
    using enum QAccessible::Role;
    using enum QAccessible::Text;
    Harness h;
    QList<QAccessibleInterface*> tree{QAccessible::queryAccessibleInterface(h->form.widget())};
    for (int i = 0; i < tree.size(); ++i)
      for (int k = 0; k < tree[i]->childCount(); ++k) tree << tree[i]->child(k);
    QStringList controls;
    for (QAccessibleInterface* a : tree) {
      if (!QList{PushButton, RadioButton, CheckBox, ScrollBar}.contains(a->role())) continue;
      controls << a->object()->objectName() + '=' + a->text(Name);
      QVERIFY2(!a->text(Name).trimmed().isEmpty(), qPrintable(controls.last()));
      QCOMPARE(a->text(Description), static_cast<QWidget*>(a->object())->toolTip());
    }
    QCOMPARE(controls.size(), 8 + 5 + 1 + 7);
    QVERIFY(controls.contains(QStringLiteral("cmdReSet=ボタンの色")));
    const std::tuple<pf::ScrollBar*, int, int, pf::Label*, QString> bars[] = {
        {&h->hscl1, 9, 99, &h->lblfr1, "14"}, {&h->hscl5, 100, 300, &h->lblfr5, "３秒毎"}};
    for (auto [s, learner, assistive, readout, shown] : bars) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(s->bar());
      QAccessibleValueInterface* v = a->valueInterface();
      const int lo = std::min(s->Min(), s->Max()), hi = std::max(s->Min(), s->Max());
      Harness::dragTo(*s, learner);
      QCOMPARE(a->text(Value), QString::number(learner));
      Harness::release(*s);
      QCOMPARE(v->currentValue().toInt(), learner);
      QCOMPARE(QPair(v->minimumValue().toInt(), v->maximumValue().toInt()), QPair(lo, hi));
      v->setCurrentValue(assistive);
      QCOMPARE(readout->Caption(), shown);
      s->setEnabled(false), v->setCurrentValue(learner);
      QCOMPARE(s->Value(), std::clamp(assistive, lo, hi));
    }
  }

  // The window opens with the focus on the first enabled control in tab
  // order, the pace bar (the hold button before it is disabled): Space or
  // Enter there begins no drill. Tab visits the enabled controls by their tab
  // index, one option button per group, and wraps round; Space, Enter and
  // Return press the focused button (the start hands the focus to the hold button).
  void keyboard() {
    Harness h;
    QVERIFY(QTest::qWaitForWindowActive(h->form.widget()));
    QCOMPARE(qApp->focusWidget(), h->hscl5.widget());
    for (Qt::Key k : {Qt::Key_Space, Qt::Key_Enter, Qt::Key_Return})
      QTest::keyClick(qApp->focusWidget(), k);
    QVERIFY(h->cmdStart.Enabled() && h.clock.idle() && !h->lbl1.Visible());
    QVERIFY(h->cmdStart.SetFocus());
    QStringList order{"cmdStart"};
    for (int k = 0; k < 17; ++k)
      QTest::keyClick(qApp->focusWidget(), Qt::Key_Tab), order << qApp->focusWidget()->objectName();
    QCOMPARE(order.join(' '), QStringLiteral("cmdStart hscl5 hscl7 hscl6 cmdStop optKaiji cmdAns "
                                             "cmdMojiiro cmdHaikei cmdReSet optC1 cmdEnd hscl1 "
                                             "hscl2 hscl3 chk1 hscl8 cmdStart"));
    QTest::keyClick(qApp->focusWidget(), Qt::Key_Space);
    QVERIFY(!h->cmdStart.Enabled());
    QTest::keyClick(qApp->focusWidget(), Qt::Key_Enter);
    QCOMPARE(h->cmdTome.Caption(), QStringLiteral("続き"));
    QTest::keyClick(qApp->focusWidget(), Qt::Key_Return);
    QCOMPARE(h->cmdTome.Caption(), QStringLiteral("保留"));
  }
};

PELATTO_TEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
