// SPDX-License-Identifier: GPL-3.0-or-later
#include "harness.h"

// The settings panel as the learner uses it: the cascades between the digit
// range, the mix and the terms, the pace and extension read-outs, the run
// length and the 14-digit advisory.

namespace {

// Everything the panel shows, one "name=value" each: the read-outs lblfrN
// as N, whether the extension bar is usable, the answer option's caption, the run length
// the answer columns will use, whether a drill runs, the advisory printed.
QStringList panel(Harness& h) {
  QStringList out;
  for (const pf::Label* l : {&h->lblfr1, &h->lblfr2, &h->lblfr3, &h->lblfr5, &h->lblfr5s,
                             &h->lblfr6, &h->lblfr7, &h->lblfr7z, &h->lblfr8})
    out << l->widget()->objectName().mid(5) + '=' + l->Caption();
  const std::vector<QString> printed = h->form.printedTexts();
  return out << QStringLiteral("ext=%1").arg(h->hscl8.Enabled()) << "kaite=" + h->optKaite.Caption()
             << QStringLiteral("run=%1").arg(h->renmondsu)
             << QStringLiteral("drill=%1").arg(!h->cmdStart.Enabled())
             << "advice=" + QStringList(printed.begin(), printed.end()).join('/');
}

}  // namespace

class PanelTest : public QObject {
  Q_OBJECT
 private slots:
  // The learner's actions, and what differs from the start-up panel after them.
  void panelAfter() {
    Harness fresh;
    const QStringList start = panel(fresh);
    const auto add = [&](const char* name, const QString& actions, const QString& changes) {
      QStringList expected = start;
      for (const QString& change : changes.split(' ', Qt::SkipEmptyParts))
        for (QString& item : expected)
          if (item.section('=', 0, 0) == change.section('=', 0, 0)) item = change;
      Harness h(actions);
      QCOMPARE(name + (' ' + panel(h).join(' ')), name + (' ' + expected.join(' ')));
    };
    // A new longest count resets the shortest and the mix and ends the drill,
    // whether the thumb is dragged or released; a new shortest or mix
    // ends it too.
    const QString set = "hscl6=5 hscl1=7 hscl2=5 hscl3=3 cmdStart 5000 ";
    const QString reset = "1=9 2=9 7z=1";
    add("longest dragged mid-drill", set + "hscl1~9", reset);
    add("longest set mid-drill", set + "hscl1=9", reset);
    add("shortest set mid-drill", set + "hscl2=4", "1=7 2=4 3=混-3 7z=1");
    add("mix set mid-drill", set + "hscl3=1", "1=7 2=5 3=混-1 7z=1");
    add("shortest one past the longest", "hscl1=9 hscl2-", "1=9 2=9");
    add("no mix while shortest = longest", "hscl1=5 hscl3=1", "1=5 2=5");
    // Raising the shortest to the longest keeps the mix.
    add("mix = terms is kept", "hscl1=5 hscl2=2 hscl3=5 hscl2=5", "1=5 2=5 3=混-5");
    // A mix above the terms falls to one below them, also while the terms
    // thumb is dragged, and ends the drill.
    add("mix 10 over 2 terms", "hscl6=2 hscl1=5 hscl2=2 hscl3=10", "1=5 2=2 3=混-1 6=2 5s=4秒");
    const QString mixed = "hscl6=10 hscl1=5 hscl2=2 hscl3=8 cmdStart 5000 ";
    const QString fallen = "1=5 2=2 3=混-5 6=6 5s=12秒 7z=1";
    add("terms dragged below the mix mid-drill", mixed + "hscl6~6", fallen);
    // Pace read-outs in either order with the terms; the extension is usable
    // within 3 of 200 and puts the pace back to 200.
    // (Each text for each setting: test_rules.)
    add("pace 100", "hscl5=100", "5=１秒毎 5s=5秒 ext=0");
    add("pace 10, 2 terms", "hscl5=10 hscl6=2", "5=0.1毎 5s=0.2秒 6=2 ext=0");
    add("pace 203", "hscl5=203", "5=2.03毎 5s=10.1秒");
    add("extension 9, then 30 terms", "hscl5=199 hscl8=9 hscl6=30", "8=+9 5=10秒毎 5s=約300 6=30");
    add("extension 1", "hscl5=202 hscl8=1", "8=+1 5=2秒毎");
    add("extension 3, pace 201 by an arrow", "hscl8=3 hscl5+", "8=+3 5=4秒毎 5s=約20");
    // A drag greys the extension out; a pace more than 3 from 200 clears it.
    add("extension 3, pace dragged to 250", "hscl8=3 hscl5~250", "8=+3 5=4秒毎 5s=約20 ext=0");
    add("extension 3, pace set to 204", "hscl8=3 hscl5=204", "5=2秒毎");
    // The run length acts on the read-outs at once and on the run from the
    // release on; the drill goes on.
    const QString later = "kaite=後で解答 drill=1 ";
    add("run length dragged mid-drill", "cmdStart 5000 hscl7~3 hscl7~5", later + "7=5 7z=5 run=0");
    add("run length set mid-drill", "cmdStart 5000 hscl7=5", later + "7=5 7z=5 run=5");
    add("run length back to 1", "cmdStart 5000 hscl7=2 hscl7=1", "drill=1 7z=1 run=1");
    // Shown once, however often it is triggered; cleared below 17 terms or 14 digits.
    const QString many = "hscl6=16 hscl1=14 hscl6-";
    add("14 digits, 17 terms", many, "1=14 2=14 6=17 5s=34秒 advice=14桁は16口以下にしてください");
    add("14 digits, 18 terms", many + " hscl6-",
        "1=14 2=14 6=18 5s=36秒 advice=14桁は16口以下にしてください");
    add("14 digits, back to 16 terms", many + " hscl6=16", "1=14 2=14 6=16 5s=32秒");
    add("17 terms, 13 digits", many + " hscl1=13", "1=13 2=13 6=17 5s=34秒");
  }
};

PELATTO_TEST_MAIN(PanelTest)
#include "test_panel.moc"
