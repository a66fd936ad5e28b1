// SPDX-License-Identifier: GPL-3.0-or-later
#include "harness.h"

// Runs of several problems in the three answer modes: the hand-over between
// problems, the remaining count, the answer columns and the answer button.

class RunsTest : public QObject {
  Q_OBJECT
 private slots:
  // Each run ends idle with every total in the answer columns, five to a
  // column. In answer-later mode the answer button shows the columns: font
  // size, centre (from W/2) and top (when not 1000) of each filled column, by
  // run length and digits. Start pressed 210 ms into the last hand-over, held or not, begins
  // a run that gets all its problems and an undisturbed countdown.
  void runs_data() {
    columns<QString, QString, QString>("settings", "restart", "columns");
    const auto add = [](const char* name, const char* set, const char* restart, const char* cols) {
      const QString mode = *name == 'a' ? "" : " optKaite";  // automatic at start-up
      QTest::newRow(name) << set + mode << QString(restart) << QString(cols);
    };
    add("automatic, 3, restarted", "hscl1=2 hscl7=3", "cmdStart", "");
    add("manual", "hscl1=4 hscl7=1", "", "");
    add("later, 3, restarted", "hscl1=2 hscl7=3", "cmdStart", "50 0,1920");
    add("later, 3, restarted held", "hscl1=2 hscl7=3", "cmdTome cmdStart", "50 0,1920");
    add("later, 7 of 8 digits", "hscl1=8 hscl7=7", "", "50 -2600 50 2600");
    add("later, 7 of 9 digits", "hscl1=9 hscl7=7", "", "28 -2600 28 2600");
    add("later, 12 of 6 digits", "hscl1=6 hscl7=12", "", "38 -3400 38 0 38 3400");
    add("later, 12 of 10 digits", "hscl1=10 hscl7=12", "", "24 -2600 24 -2600,3700 24 2600");
    add("later, 20 of 4 digits", "hscl1=4 hscl7=20", "", "42 -4000 42 -1400 42 1400 42 4000");
    add("later, 20 of 5 digits", "hscl1=5 hscl7=20", "", "30 -4000 30 -1400 30 1400 30 4000");
    add("later, 20 of 14 digits", "hscl1=14 hscl7=20", "",
        "24 -2600 24 -2600,3700 24 2600 24 2600,3700");
  }
  void runs() {
    const auto [settings, restart, columns] =
        fetch<QString, QString, QString>("settings", "restart", "columns");
    // A full screen's width: the columns as designed; narrower windows are
    // in test_columns.
    Harness h("hscl6=3 hscl5=10 " + settings + " cmdStart", {1280, 800});  // three terms at 0.1 s
    const qint64 automatic = h->optKaiji.Value(), count = h->hscl7.Value();
    const qint64 problem = 3840 + 7 * 50 + 9500, handOver = automatic ? 3500 : 1000;
    QStringList totals;
    // Each answer comes at its time, with the remaining count.
    const auto playRun = [&](qint64 t0) {
      totals.clear();
      for (int j = 0; j < count; ++j) {
        h.clock.advance(t0 + j * (problem + handOver) + problem - 1 - h.clock.now());
        QCOMPARE(h->lblfr7z.Caption(), QString::number(count - j));
        h.clock.advance(1);
        QCOMPARE(QPair(h->lbl2.Visible() && h->lbl3.Visible(), h->cmdStart.Enabled()),
                 QPair(automatic == 1, j == count - 1));
        totals << h->lbl2.Caption();
      }
    };
    playRun(0);
    if (!restart.isEmpty()) h.play("210 " + restart), playRun(h.clock.now());
    h.clock.advance(handOver);
    QVERIFY(h.clock.idle() && h->cmdAns.Enabled() && !h->cmdTome.Enabled());
    QCOMPARE(h->cmdAns.Caption() + h->lblfr7z.Caption(), QStringLiteral("答0"));
    const pf::Label* cols[] = {&h->lbl6, &h->lbl7, &h->lbl8, &h->lbl9};
    for (int c = 0; c < 4; ++c) QCOMPARE(cols[c]->Caption(), listText(totals.mid(5 * c, 5)));
    h.play("cmdAns");  // in manual mode: the total and its numbers
    QCOMPARE(h->lbl2.Visible() && h->lbl3.Visible() && h->lbl4.Caption().count("\r\n") == 3,
             automatic || count == 1);
    QCOMPARE(h->lbl6.Visible() && h->lbl10.Visible(), !columns.isEmpty());
    if (columns.isEmpty()) return;
    QStringList seen;
    for (const pf::Label* c : cols)
      if (!c->Caption().isEmpty())
        seen << QString::asprintf("%g %d,%g", c->FontSize(),
                                  qRound(c->Left() + c->Width() / 2 - h->form.Width() / 2),
                                  c->Top());
    QCOMPARE(seen.join(' ').remove(",1000"), columns);
    QCOMPARE(QPointF(h->lbl10.Left(), h->lbl10.Top()),
             QPointF(h->lbl6.Left() + h->lbl6.Width() / 2 - 200, 350));
  }
};

PELATTO_TEST_MAIN(RunsTest)
#include "test_runs.moc"
