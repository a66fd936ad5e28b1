// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

#include "harness.h"
#include "host/window_menu.h"
#include "settings/remembered_settings.h"

// What the program remembers between starts: the values as read from a file
// (no window), and whole restarts of the real window.

namespace {

// The panel as the learner reads it: read-outs, bars, options, the advisory.
QString panel(frmPelatto& f) {
  QStringList out;
  for (pf::Label* l :
       {&f.lblfr1, &f.lblfr2, &f.lblfr3, &f.lblfr5, &f.lblfr5s, &f.lblfr6, &f.lblfr7, &f.lblfr8})
    out << l->Caption();
  for (pf::ScrollBar* s : {&f.hscl1, &f.hscl2, &f.hscl3, &f.hscl5, &f.hscl6, &f.hscl7, &f.hscl8})
    out << QString::number(s->Value()) + (s->Enabled() ? "" : "x");
  out << f.optKaite.Caption() << QString::number(f.optKaiji.Value()) << QString::number(f.taimu)
      << QString::number(f.chk1.Value()) << QString::number(f.lbl1.FontSize());
  for (const QString& t : f.form.printedTexts()) out << t;
  return out.join('|');
}

// "key=value" pairs separated by blanks ("%20" for a blank in a value), as a stored map.
QVariantMap stored(const QString& pairs) {
  QVariantMap m;
  for (const QString& p : pairs.split(' ', Qt::SkipEmptyParts))
    m.insert(p.section('=', 0, 0), p.section('=', 1).replace("%20", " "));
  return m;
}

// The values that differ from the defaults, as "key=value" pairs.
QString differences(const RememberedValues& v) {
  const QVariantMap base = writeValues({}), now = writeValues(v);
  QStringList out;
  for (auto it = now.begin(); it != now.end(); ++it)
    if (base.value(it.key()).toString() != it.value().toString())
      out << it.key() + "=" + it.value().toString();
  return out.join(' ');
}

// A file's bytes, or "missing" when it cannot be read.
QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : "missing";
}

// A started window with its remembered settings applied, as at a real start.
struct Start : Hosted {
  explicit Start(const QString& p, bool defaults = false) : rs(host, defaults, p) { rs.apply(); }
  RememberedSettings rs;
};

}  // namespace

class SettingsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  QString path_;
  int inFile(const char* key) const {
    return QSettings(path_, QSettings::IniFormat).value(key).toInt();
  }

 private slots:
  void init() {
    path_ = dir_.filePath(QString("t%1/pelatto.conf").arg(QRandomGenerator::global()->generate()));
  }

  // Each value read alone and against those it depends on; bad ones take
  // their default and are named.
  void readValues_data() {
    // A file's values, those that differ from the defaults once read, and those ignored.
    QTest::addColumn<QStringList>("row");
    const auto add = [](const char* name, const QStringList& r) { QTest::newRow(name) << r; };
    add("empty", {"", "", ""});
    add("newer version", {"version=2 longest=6", "longest=6", ""});
    add("a daily setting", {"longest=3 shortest=3 terms=10 pace=50 version=1",
                            "longest=3 pace=50 shortest=3 terms=10", ""});
    add("mixed digits", {"longest=9 shortest=5 mix=3", "longest=9 mix=3 shortest=5", ""});
    add("mix up to the terms", {"longest=2 terms=4 mix=4", "longest=2 mix=4 terms=4", ""});
    add("mix above the terms", {"longest=2 terms=4 mix=5", "longest=2 terms=4", "mix"});
    add("mix with equal digits", {"longest=5 shortest=5 mix=2", "longest=5 shortest=5", "mix"});
    add("shortest above longest", {"longest=4 shortest=6", "longest=4", "shortest"});
    add("bad terms drop their mix", {"longest=2 terms=31 mix=8", "longest=2", "terms mix"});
    add("extension near 2 s", {"pace=201 extension=3", "extension=3 pace=201", ""});
    add("extension away from 2 s", {"pace=196 extension=3", "pace=196", "extension"});
    add("ranges", {"longest=15 terms=1 pace=301 runLength=0 countdownSpeed=4 screen=-1", "",
                   "longest terms pace runLength countdownSpeed screen"});
    add("words", {"longest=three grouping=yes answerMode=sometimes sound=1", "",
                  "longest grouping answerMode sound"});
    add("switches", {"grouping=true answerMode=later sound=true countdownSpeed=3",
                     "answerMode=later countdownSpeed=3 grouping=true sound=true", ""});
    add("colours",
        {"textColour=#FF8000 backColour=#00ff00", "backColour=#00ff00 textColour=#ff8000", ""});
    add("bad colours", {"textColour=red backColour=#12345", "", "textColour backColour"});
    add("blanks around", {"longest=%207%20", "longest=7", ""});
  }
  void readValues() {
    QFETCH(QStringList, row);
    const ReadValues r = ::readValues(stored(row[0]));
    QCOMPARE(differences(r.values), row[1]);
    QCOMPARE(r.ignored.join(' '), row[2]);
    QCOMPARE(r.newer, row[0].contains("version=2"));
  }

  // Colours are stored as #rrggbb, the program's own 0x00BBGGRR turned round.
  void colours() {
    QCOMPARE(colourText(0x00FF8040), QString("#4080ff"));
    QCOMPARE(colourFromText("4080ff"), std::nullopt);
  }

  // The learner's panel survives a restart, read-outs and all; each row sets
  // values whose order matters.
  void roundTrip_data() {
    QTest::addColumn<QString>("actions");
    QTest::newRow("daily") << "hscl1=3 hscl6=10 hscl5=50";
    QTest::newRow("digits, then the mix") << "hscl1=9 hscl2=5 hscl3=3";
    QTest::newRow("mix equal to the terms") << "hscl1=9 hscl2=5 hscl6=4 hscl3=4";
    QTest::newRow("extension, then the pace") << "hscl8=3 hscl5+";
    QTest::newRow("extension at 2 s") << "hscl8=9 hscl6=30";
    QTest::newRow("run, then answer later") << "hscl7=5 optKaite";
    QTest::newRow("manual answer") << "optKaite";
    QTest::newRow("grouping and a slow countdown") << "hscl1=8 chk1 optC3";
    QTest::newRow("14 digits with the advisory") << "hscl1=14 hscl6=17";
    QTest::newRow("colours") << "cmdMojiiro cmdHaikei";
  }
  void roundTrip() {
    QFETCH(QString, actions);
    std::optional<Start> s(std::in_place, path_);
    s->h.env.colourDialogs = [](const QString& name, pf::Colour) {
      return name == "cmnDialg1" ? 0x102030 : 0x405060;
    };
    s->h.play(actions);
    const DrillSettings before = s->port.settings();
    const QString shown = panel(*s->h.f);
    s.emplace(path_);  // the old window closes before the new one starts
    QCOMPARE(s->port.settings(), before);
    QCOMPARE(panel(*s->h.f), shown);
    QVERIFY(s->rs.notice().isEmpty());
  }

  // The very first start is the built-in one, and so is a start with the defaults.
  void firstStartAndDefaults() {
    const QString fresh = panel(*Harness().f);
    std::optional<Start> s(std::in_place, path_);
    QCOMPARE(panel(*s->h.f), fresh);
    s->h.play("hscl1=3 hscl6=10");
    s.reset();
    const QByteArray bytes = contents(path_);
    QVERIFY(bytes != "missing");
    s.emplace(path_, true);
    QCOMPARE(panel(*s->h.f), fresh);
    s->h.play("hscl1=5 optKaite");
    QVERIFY(!s->rs.writable());
    s.reset();
    QCOMPARE(contents(path_), bytes);
    QCOMPARE(Start(path_).port.settings().longest, 3);
  }

  // Changes during a drill reach the file only when it ends; closing writes.
  void noWritesDuringDrill() {
    Start s(path_);
    s.h.play("hscl6=3 hscl5=10 cmdStart 100 hscl6=4");
    QCOMPARE(inFile("terms"), 3);
    s.h.play("cmdStop");
    QCOMPARE(inFile("terms"), 4);
  }

  // A damaged or odd file never stops a start; what is ignored is said once.
  void damagedFiles_data() {
    // a word the notice has; empty: no notice
    // after the start
    columns<QByteArray, QString, int>("content", "notice", "longest");
    const auto add = [](const char* name, const QByteArray& file, const char* notice, int n) {
      QTest::newRow(name) << file << QString(notice) << n;
    };
    add("empty", QByteArray(), "", 1);
    add("out of range", "[General]\nlongest=99\nterms=7\nmix=3\n", "longest, mix", 1);
    add("garbage", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "moved", 1);
    add("newer", "[General]\nversion=7\nlongest=6\n", "newer", 6);
    add("unknown keys", "[General]\nlongest=3\nfulscreen=true\n[Window]\nsize=2\n",
        "pelatto.conf: Window/size, fulscreen", 3);
    add("unknown and out of range", "[General]\nlongest=99\nlongst=3\n",
        "used): longest; ignored unknown keys in", 1);
  }
  void damagedFiles() {
    auto [content, notice, longest] =
        fetch<QByteArray, QString, int>("content", "notice", "longest");
    const QString dir = QFileInfo(path_).path();
    QFile f(path_);
    QVERIFY(QDir().mkpath(dir) && f.open(QIODevice::WriteOnly) &&
            f.write(content) == content.size() && f.flush());
    std::optional<Start> s(std::in_place, path_);
    QCOMPARE(s->port.settings().longest, longest);
    QCOMPARE(s->rs.notice().isEmpty(), notice.isEmpty());
    QVERIFY2(s->rs.notice().contains(notice), qPrintable(s->rs.notice()));
    QCOMPARE(s->rs.notice().count('\n'), 0);  // said once
    s->h.play("hscl6=9");
    s.reset();
    const QStringList aside = QDir(dir).entryList({"pelatto.conf.damaged-*"}, QDir::Files);
    QCOMPARE(aside.size(), notice == "moved" ? 1 : 0);
    if (notice == "moved") QCOMPARE(contents(dir + "/" + aside[0]), content);
    // A newer version's file stays as it was; the others now hold the change.
    QCOMPARE(contents(path_) == content, notice == "newer");
    if (notice != "newer") QCOMPARE(Start(path_).port.settings().terms, 9);
  }

  // Something else where the file should be is left alone.
  void notAFile() {
    QVERIFY(QDir().mkpath(path_));
    Start s(path_);
    QVERIFY2(s.rs.notice().contains("cannot be read"), qPrintable(s.rs.notice()));
    QVERIFY(!s.rs.writable() && QFileInfo(path_).isDir());
  }

  // The sound switch and the screen outside the panel survive a restart. The
  // menu's restore ends a drill and sets the defaults, and they are remembered.
  void switchesAndRestore() {
    std::optional<Start> first(std::in_place, path_);
    first->rs.setSound(true), first->rs.setScreen(2), first.reset();
    Start s(path_);
    QCOMPARE(std::pair(s.rs.sound(), s.rs.screen()), std::pair(true, 2));
    s.h.env.colourDialogs = [](const QString&, pf::Colour) { return 0x123456; };
    bool soundTold = true;
    s.rs.soundChanged = [&](bool on) { soundTold = on; };
    s.h.play(
        "hscl1=9 hscl2=5 hscl3=3 hscl8=2 hscl7=4 optKaite chk1 optC2 cmdMojiiro cmdHaikei "
        "cmdStart 5000");
    QVERIFY(s.h->tmr2.Interval() != 0);
    for (QAction* a : s.host.menu().menu()->actions())
      if (a->text() == QStringLiteral("最初の設定に戻す")) a->trigger();
    QCOMPARE(s.port.settings(), DrillSettings{});
    QVERIFY(!soundTold && !s.rs.sound());
    QCOMPARE(s.h->tmr1.Interval() + s.h->tmr2.Interval(), 0);
    QCOMPARE(inFile("longest"), 1);
    QVERIFY(!Start(path_).rs.sound());
  }
};

PELATTO_TEST_MAIN(SettingsTest)
#include "test_settings.moc"
