#include "harness.h"

// The settings panel as the learner uses it: the cascades between the digit
// range, the mix and the terms, the pace and extension read-outs and the run
// length.

namespace {

QString shown(std::initializer_list<const pf::Label*> labels) {
  QStringList out;
  for (const pf::Label* l : labels) out << l->Caption();
  return out.join(' ');
}
QString digitReadouts(Harness& h) { return shown({&h->lblfr1, &h->lblfr2, &h->lblfr3}); }
// The extension and pace read-outs, the pace and whether the extension is usable.
QString paceState(Harness& h) {
  return shown({&h->lblfr8, &h->lblfr5, &h->lblfr5s}) +
         QStringLiteral(" %1 %2").arg(h->hayasa).arg(h->hscl8.Enabled() ? "on" : "off");
}

// Terms, longest, shortest and mix through the scroll bars, in an order that keeps each.
void settings(Harness& h, int dai, int syo, int kazu = 5, int kon = 0) {
  Harness::set(h->hscl6, kazu);
  Harness::set(h->hscl1, dai);
  Harness::set(h->hscl2, syo);
  Harness::set(h->hscl3, kon);
}

void startDrill(Harness& h) {
  Harness::click(h->cmdStart);
  h.advance(5000);  // into the flashing
  QVERIFY(h->tmr2.running());
}

bool idle(Harness& h) { return h.clock.idle() && h->cmdStart.Enabled() && !h->lbl1.Visible(); }

enum class Means { Drag, DragRelease, TrackLeft };

struct MixCase {
  int kazu, syo, mix, expected;
};

struct PaceCase {
  int kazu, hayasa, tyo;
  QString state;
};

}  // namespace

Q_DECLARE_METATYPE(Means)
Q_DECLARE_METATYPE(MixCase)
Q_DECLARE_METATYPE(PaceCase)

class PanelTest : public QObject {
  Q_OBJECT
 private slots:
  void digitCascades_data() {
    QTest::addColumn<Means>("means");
    QTest::newRow("thumb dragged") << Means::Drag;
    QTest::newRow("thumb dragged and released") << Means::DragRelease;
    QTest::newRow("track clicked") << Means::TrackLeft;
  }
  void digitCascades() {
    QFETCH(Means, means);
    const auto move = [means](pf::ScrollBar& s, int value) {
      if (means == Means::TrackLeft) return Harness::track(s, false);
      Harness::dragTo(s, value);
      if (means == Means::DragRelease) Harness::release(s);
    };
    Harness h;
    settings(h, 7, 5, 5, 3);
    QCOMPARE(digitReadouts(h), QStringLiteral("7 5 混-3"));
    startDrill(h);
    move(h->hscl1, 9);  // a new longest count resets the shortest and the mix, and ends the drill
    QCOMPARE(digitReadouts(h), QStringLiteral("9 9 混-0"));
    QCOMPARE(QList<int>({h->ketaDai, h->ketaSyo, h->kon}), QList<int>({9, 9, 0}));
    QVERIFY(idle(h));
    if (means == Means::Drag) Harness::release(h->hscl1);
    move(h->hscl2, 11);  // the shortest cannot pass the longest
    QCOMPARE(digitReadouts(h), QStringLiteral("9 9 混-0"));
    QCOMPARE(QList<int>({h->ketaSyo, h->hscl2.Value()}), QList<int>({9, 9}));
  }

  void mixWithinTerms_data() {
    QTest::addColumn<MixCase>("c");
    QTest::newRow("no mix while shortest = longest") << MixCase{5, 5, 1, 0};
    QTest::newRow("mix = terms is kept") << MixCase{5, 2, 5, 5};
    QTest::newRow("mix 6 over 5 terms") << MixCase{5, 2, 6, 4};
    for (int m = 3; m <= 10; ++m) QTest::addRow("mix %d over 2 terms", m) << MixCase{2, 2, m, 1};
  }
  void mixWithinTerms() {
    QFETCH(MixCase, c);
    Harness h;
    settings(h, 5, c.syo, c.kazu, c.mix);
    QCOMPARE(QList<int>({h->kon, h->hscl3.Value()}), QList<int>({c.expected, c.expected}));
    QCOMPARE(h->lblfr3.Caption(), QStringLiteral("混-%1").arg(c.expected));
    Harness::set(h->hscl2, 5);  // raising the shortest to the longest keeps the mix
    QCOMPARE(digitReadouts(h), QStringLiteral("5 5 混-%1").arg(c.expected));
  }

  // The mix falls to one below the terms, already while the thumb is dragged.
  void termsLoweredBelowMix() {
    for (bool released : {false, true}) {
      Harness h;
      settings(h, 5, 2, 10, 8);
      startDrill(h);
      Harness::dragTo(h->hscl6, 6);
      if (released) Harness::release(h->hscl6);
      QCOMPARE(h->lblfr3.Caption(), QStringLiteral("混-5"));
      QCOMPARE(h->kon, 5);
      QVERIFY(idle(h));
    }
  }

  void advisory() {
    Harness h;
    const auto printed = [&] {
      const std::vector<QString> texts = h->form.printedTexts();
      return QStringList(texts.begin(), texts.end());
    };
    const QStringList advice{"14桁は16口以下にしてください"};
    settings(h, 14, 14, 16);
    QCOMPARE(printed(), QStringList());
    Harness::arrow(h->hscl6, false);  // 17 terms
    QCOMPARE(printed(), advice);
    QCOMPARE(h->form.FontSize(), 26.0);
    Harness::arrow(h->hscl6, false);  // 18 terms: still one line
    QCOMPARE(printed(), advice);
    Harness::set(h->hscl6, 16);
    QCOMPARE(printed(), QStringList());
    Harness::set(h->hscl6, 17);
    Harness::set(h->hscl1, 13);
    QCOMPARE(printed(), QStringList());
  }

  void paceAndExtension_data() {
    QTest::addColumn<PaceCase>("c");
    QTest::newRow("pace 100") << PaceCase{5, 100, 0, "+0 １秒毎 5秒 100 off"};
    QTest::newRow("pace 75") << PaceCase{5, 75, 0, "+0 0.75毎 3.75秒 75 off"};
    QTest::newRow("pace 10, 2 terms") << PaceCase{2, 10, 0, "+0 0.1毎 0.2秒 10 off"};
    QTest::newRow("pace 299, 29 terms") << PaceCase{29, 299, 0, "+0 2.99毎 86.7秒 299 off"};
    QTest::newRow("pace 300") << PaceCase{5, 300, 0, "+0 ３秒毎 15秒 300 off"};
    QTest::newRow("pace 203") << PaceCase{5, 203, 0, "+0 2.03毎 10.1秒 203 on"};
    QTest::newRow("pace 204") << PaceCase{5, 204, 0, "+0 2.04毎 10.2秒 204 off"};
    QTest::newRow("pace 196") << PaceCase{5, 196, 0, "+0 1.96毎 9.8秒 196 off"};
    // The extension puts the pace back to 200.
    QTest::newRow("extension 4, 5 terms") << PaceCase{5, 201, 4, "+4 5秒毎 約25 200 on"};
    QTest::newRow("extension 9, 30 terms") << PaceCase{30, 199, 9, "+9 10秒毎 約300 200 on"};
    QTest::newRow("extension 1") << PaceCase{5, 202, 1, "+1 2秒毎 10秒 200 on"};
  }
  void paceAndExtension() {
    QFETCH(PaceCase, c);
    for (bool termsFirst : {true, false}) {
      Harness h;
      if (termsFirst) Harness::set(h->hscl6, c.kazu);
      Harness::set(h->hscl5, c.hayasa);
      Harness::set(h->hscl8, c.tyo);
      if (!termsFirst) Harness::set(h->hscl6, c.kazu);
      QCOMPARE(paceState(h), c.state);
    }
  }

  void paceMovedWithExtension() {
    Harness h;
    Harness::set(h->hscl8, 3);
    Harness::track(h->hscl5, true);  // 205 clears the extension, the pace stays 200
    QCOMPARE(paceState(h), QStringLiteral("+0 2秒毎 10秒 200 on"));
    Harness::track(h->hscl5, true);
    QCOMPARE(paceState(h), QStringLiteral("+0 2.05毎 10.2秒 205 off"));
    Harness::set(h->hscl5, 200);
    Harness::set(h->hscl8, 3);
    Harness::arrow(h->hscl5, true);  // 201 keeps the extension
    QCOMPARE(paceState(h), QStringLiteral("+3 4秒毎 約20 201 on"));
    Harness::dragTo(h->hscl5, 250);  // greys the extension out; the release clears it
    QCOMPARE(paceState(h), QStringLiteral("+3 4秒毎 約20 250 off"));
    Harness::release(h->hscl5);
    QCOMPARE(paceState(h), QStringLiteral("+0 2秒毎 10秒 200 on"));
  }

  void runLength() {
    Harness h;
    startDrill(h);
    const auto run = [&] {
      return shown({&h->lblfr7, &h->lblfr7z}) + ' ' + h->optKaite.Caption() + ' ' +
             QString::number(h->renmondsu);
    };
    Harness::dragTo(h->hscl7, 3);
    QCOMPARE(run(), QStringLiteral("3 3 後で解答 0"));
    Harness::dragTo(h->hscl7, 5);
    QCOMPARE(run(), QStringLiteral("5 5 後で解答 0"));
    Harness::release(h->hscl7);
    QCOMPARE(run(), QStringLiteral("5 5 後で解答 5"));
    Harness::track(h->hscl7, false);
    QCOMPARE(run(), QStringLiteral("7 7 後で解答 7"));
    Harness::set(h->hscl7, 1);
    QCOMPARE(run(), QStringLiteral("1 1 手動解答 1"));
    Harness::arrow(h->hscl7, false);
    QCOMPARE(run(), QStringLiteral("2 2 後で解答 2"));
    QVERIFY(h->tmr2.running());  // the drill goes on
  }
};

PELATTO_TEST_MAIN(PanelTest)
#include "test_panel.moc"
