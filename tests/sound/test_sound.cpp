// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <stdexcept>

#include "harness.h"
#include "host/window_menu.h"
#include "sound/loaded_cue_player.h"
#include "sound/qt_cue_player.h"
#include "sound/sound_cues.h"

// The sound cues against what the learner sees, in virtual time: every
// tick at the moment its number appears, the count at "3" and "2", the
// chime at the answer; and a failing output never touches the drill.

namespace {

using K = DrillEvent::Kind;

// Keeps the requests; one is heard once the clock reaches its moment
// without a cancel in between.
struct FakePlayer : CuePlayer {
  explicit FakePlayer(pf::VirtualClock& c) : clock(c) {}
  void prepare() override { ++prepared; }
  void play(Cue cue, std::int64_t atNs) override {
    if (throws) throw std::runtime_error("no device");
    pending.push_back({cue, atNs});
  }
  void cancel() override { settle(), pending.clear(); }
  void release() override {}
  void settle() {
    for (auto it = pending.begin(); it != pending.end();)
      it->second <= clock.nowNs() ? (heard << name(*it), it = pending.erase(it)) : ++it;
  }
  static QString name(const std::pair<Cue, std::int64_t>& r) {
    return QString("%1@%2").arg("TCA"[static_cast<int>(r.first)]).arg(r.second / 1'000'000);
  }
  pf::VirtualClock& clock;
  std::vector<std::pair<Cue, std::int64_t>> pending;
  QStringList heard;
  int prepared = 0;
  bool throws = false;
};

// What the learner saw and when: the countdown's "3" and "2", the numbers,
// the revealed answer; and every event as word@ms.
struct Seen : DrillListener {
  QStringList cues, events;
  bool counting = false;
  void onDrillEvent(const DrillEvent& e) override {
    const qint64 ms = e.timeNs / 1'000'000;
    events << QString("%1:%2@%3").arg(int(e.kind)).arg(e.text).arg(ms);
    if (e.kind == K::Started || e.kind == K::NextProblem) counting = true;
    if (e.kind == K::CountdownEnded || e.kind == K::Aborted) counting = false;
    if (e.kind == K::NumberShown) cues << QString("T@%1").arg(ms);
    if (e.kind == K::AnswerRevealed) cues << QString("A@%1").arg(ms);
  }
};

// Plays learner actions; waits run a millisecond at a time so that the
// countdown's captions are seen when they change.
void drive(Harness& h, Seen& seen, const QString& actions) {
  for (const QString& a : actions.split(' ', Qt::SkipEmptyParts)) {
    if (!a[0].isDigit()) h.play(a);
    for (int k = 0; a[0].isDigit() && k < a.toInt(); ++k) {
      const QString last = h->lbl1.Caption();
      h.clock.advance(1);
      if (const QString now = h->lbl1.Caption();
          now != last && seen.counting && (now == "3" || now == "2"))
        seen.cues << QString("C@%1").arg(h.clock.now());
    }
  }
}

QString byTime(QStringList l) {
  std::ranges::sort(l, {}, [](const QString& s) { return std::pair(s.mid(2).toLongLong(), s); });
  return l.join(' ');
}

// The window with the sound feature, on the fake player or the real output.
struct Sounded : Hosted {
  FakePlayer* fake = nullptr;
  LoadedCuePlayer* loaded = nullptr;
  SoundCues sound;
  Seen seen;
  // A fake, or "output": Qt Multimedia's, "module": the same loaded from
  // the built module, "no module": from a folder without it.
  explicit Sounded(const QString& kind = {}) : sound(host, player(kind)) { port.subscribe(&seen); }
  std::unique_ptr<CuePlayer> player(const QString& kind) {
    const auto now = [this] { return h.clock.nowNs(); };
    if (kind == "output") return std::make_unique<QtCuePlayer>(now);
    const QStringList folder{kind == "module" ? PELATTO_TEST_MODULES : "/nonexistent"};
    if (kind.contains("module"))
      return std::unique_ptr<CuePlayer>(loaded = new LoadedCuePlayer(now, folder));
    return std::unique_ptr<CuePlayer>(fake = new FakePlayer(h.clock));
  }
  QLabel* note() const { return h->form.widget()->findChild<QLabel*>("featureNote"); }
};

}  // namespace

class SoundTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    // No sound server: the real output must fail, whatever this machine has.
    qputenv("PULSE_SERVER", "unix:/nonexistent/pelatto-test");
  }

  void cuesMatchThePicture_data() {
    QTest::addColumn<QString>("actions");
    QTest::newRow("defaults") << "cmdStart 30000";
    QTest::newRow("fast, second countdown speed") << "hscl6=3 hscl5=10 optC2 cmdStart 20000";
    QTest::newRow("third speed, extension") << "hscl6=3 hscl5=10 hscl8=2 optC3 cmdStart 20000";
    QTest::newRow("held in countdown")
        << "hscl6=2 hscl5=10 cmdStart 1000 cmdTome 500 cmdTome 20000";
    QTest::newRow("held flashing") << "hscl6=3 hscl5=10 cmdStart 3900 cmdTome 1000 cmdTome 20000";
    QTest::newRow("extension raised on a number") << "hscl6=4 hscl5=10 cmdStart 3895 hscl8=4 20000";
    QTest::newRow("terms lowered") << "hscl6=5 hscl5=10 cmdStart 4000 hscl6=3 20000";
    QTest::newRow("pace changed in countdown") << "hscl6=3 hscl5=10 cmdStart 2000 hscl5=30 20000";
    QTest::newRow("run of two") << "hscl6=2 hscl5=10 hscl7=2 cmdStart 40000";
    QTest::newRow("manual answer") << "hscl6=2 hscl5=10 optKaite cmdStart 20000 cmdAns 100";
    QTest::newRow("abort in the countdown") << "cmdStart 1500 cmdStop 10000";
  }
  void cuesMatchThePicture() {
    QFETCH(QString, actions);
    Sounded s;
    s.sound.setEnabled(true);
    drive(s.h, s.seen, actions);
    s.fake->settle();
    QVERIFY(!s.seen.cues.isEmpty());
    QCOMPARE(byTime(s.fake->heard), byTime(s.seen.cues));
    QVERIFY(s.fake->prepared >= 1);
  }

  // Off by default, and off means no requests at all.
  void silentWhenOff() {
    Sounded s;
    s.h.play("hscl5=10 cmdStart 15000");
    s.fake->settle();
    QCOMPARE(s.fake->heard.join(' ') + QString::number(s.fake->prepared), "0");  // nor prepared
  }

  // A player that throws, the real output with no sound server (built in
  // or loaded as the program loads it), no module to load: the drill runs
  // as it does without sound, and the learner is told once. The switch is
  // the window's menu entry, off at first.
  void failingOutputLeavesTheDrillAlone_data() {
    QTest::addColumn<QString>("player");
    QTest::newRow("throwing player") << "throwing";
    QTest::newRow("no sound server") << "output";
    QTest::newRow("no sound server, loaded module") << "module";
    QTest::newRow("no module") << "no module";
  }
  void failingOutputLeavesTheDrillAlone() {
    QFETCH(QString, player);
    const QString run = "hscl6=3 hscl5=10 hscl7=2 cmdStart 40000";
    Harness plain;
    Seen without;
    WindowPort(*plain.f).subscribe(&without);
    drive(plain, without, run);
    Sounded s(player);
    if (s.fake) s.fake->throws = true;
    QAction* entry = nullptr;
    for (QAction* a : s.host.menu().menu()->actions())
      if (a->text() == QStringLiteral("音を鳴らす")) entry = a;
    QVERIFY(entry && entry->isCheckable() && !entry->isChecked() && !s.sound.enabled());
    entry->trigger();
    QVERIFY(s.sound.enabled());
    drive(s.h, s.seen, run);
    QCOMPARE(s.seen.events, without.events);
    QTRY_VERIFY_WITH_TIMEOUT(s.sound.silenced(), 10000);
    if (s.loaded) QCOMPARE(s.loaded->loaded(), player == "module");
    QVERIFY(s.note() && s.note()->isVisible() &&
            s.note()->text().contains(QStringLiteral("音なし")));
    // Another run: no second note.
    s.note()->hide(), s.seen.events.clear();
    drive(s.h, s.seen, "cmdStart 20000");
    QCoreApplication::processEvents();
    QVERIFY(!s.note()->isVisible());
    QVERIFY(s.seen.events.size() > 10);
    entry->trigger();
    QVERIFY(!s.sound.enabled());
  }
};

PELATTO_TEST_MAIN(SoundTest)
#include "test_sound.moc"
