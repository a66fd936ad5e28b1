// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <stdexcept>

#include "harness.h"
#include "host/feature_host.h"
#include "host/window_menu.h"
#include "shell/window_port.h"
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
  void cancel() override {
    settle();
    pending.clear();
  }
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
    bool wait = false;
    const int ms = a.toInt(&wait);
    if (!wait) {
      h.play(a);
      continue;
    }
    QString last = h->lbl1.Caption();
    for (int k = 0; k < ms; ++k) {
      h.clock.advance(1);
      const QString now = h->lbl1.Caption();
      if (now != last && seen.counting && (now == "3" || now == "2"))
        seen.cues << QString("C@%1").arg(h.clock.now());
      last = now;
    }
  }
}

QStringList byTime(QStringList l) {
  std::sort(l.begin(), l.end(), [](const QString& a, const QString& b) {
    return a.mid(2).toLongLong() < b.mid(2).toLongLong() || (a.mid(2) == b.mid(2) && a < b);
  });
  return l;
}

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
    QTest::newRow("hold in the countdown")
        << "hscl6=2 hscl5=10 cmdStart 1000 cmdTome 500 cmdTome 20000";
    QTest::newRow("hold while flashing")
        << "hscl6=3 hscl5=10 cmdStart 3900 cmdTome 1000 cmdTome 20000";
    QTest::newRow("extension raised on a number") << "hscl6=4 hscl5=10 cmdStart 3895 hscl8=4 20000";
    QTest::newRow("terms lowered") << "hscl6=5 hscl5=10 cmdStart 4000 hscl6=3 20000";
    QTest::newRow("pace changed in the countdown")
        << "hscl6=3 hscl5=10 cmdStart 2000 hscl5=30 20000";
    QTest::newRow("run of two") << "hscl6=2 hscl5=10 hscl7=2 cmdStart 40000";
    QTest::newRow("manual answer") << "hscl6=2 hscl5=10 optKaite cmdStart 20000 cmdAns 100";
    QTest::newRow("abort in the countdown") << "cmdStart 1500 cmdStop 10000";
  }
  void cuesMatchThePicture() {
    QFETCH(QString, actions);
    Harness h;
    WindowPort port(*h.f);
    FeatureHost host(port);
    auto owned = std::make_unique<FakePlayer>(h.clock);
    FakePlayer& player = *owned;
    SoundCues sound(host, std::move(owned));
    Seen seen;
    port.subscribe(&seen);
    sound.setEnabled(true);
    drive(h, seen, actions);
    player.settle();
    QVERIFY(!seen.cues.isEmpty());
    QCOMPARE(byTime(player.heard).join(' '), byTime(seen.cues).join(' '));
    QVERIFY(player.prepared >= 1);
  }

  // Off by default, and off means no requests at all.
  void silentWhenOff() {
    Harness h;
    WindowPort port(*h.f);
    FeatureHost host(port);
    auto owned = std::make_unique<FakePlayer>(h.clock);
    FakePlayer& player = *owned;
    SoundCues sound(host, std::move(owned));
    QVERIFY(!sound.enabled());
    h.play("hscl5=10 cmdStart 15000");
    player.settle();
    QCOMPARE(player.heard, QStringList());
    QCOMPARE(player.prepared, 0);
  }

  // A player that throws, and the real output with no sound server: the
  // drill runs as it does without sound, and the learner is told once.
  void failingOutputLeavesTheDrillAlone_data() {
    QTest::addColumn<bool>("real");
    QTest::newRow("throwing player") << false;
    QTest::newRow("no sound server") << true;
  }
  void failingOutputLeavesTheDrillAlone() {
    QFETCH(bool, real);
    const QString run = "hscl6=3 hscl5=10 hscl7=2 cmdStart 40000";
    QStringList plain;
    {
      Harness h;
      Seen seen;
      WindowPort(*h.f).subscribe(&seen);
      drive(h, seen, run);
      plain = seen.events;
    }
    Harness h;
    WindowPort port(*h.f);
    FeatureHost host(port);
    std::unique_ptr<CuePlayer> player;
    if (real) {
      player = std::make_unique<QtCuePlayer>([&h] { return h.clock.nowNs(); });
    } else {
      auto fake = std::make_unique<FakePlayer>(h.clock);
      fake->throws = true;
      player = std::move(fake);
    }
    SoundCues sound(host, std::move(player));
    Seen seen;
    port.subscribe(&seen);
    sound.setEnabled(true);
    drive(h, seen, run);
    QCOMPARE(seen.events, plain);
    QTRY_VERIFY_WITH_TIMEOUT(sound.silenced(), 10000);
    auto* note = h->form.widget()->findChild<QLabel*>("featureNote");
    QVERIFY(note && note->isVisible() && note->text().contains(QStringLiteral("音なし")));
    // Another run: no second note.
    note->hide();
    seen.events.clear();
    drive(h, seen, "cmdStart 20000");
    QCoreApplication::processEvents();
    QVERIFY(!note->isVisible());
    QVERIFY(seen.events.size() > 10);
  }

  // The switch in the window's menu, off at first, and the note it leads to.
  void menuSwitch() {
    Harness h;
    WindowPort port(*h.f);
    FeatureHost host(port);
    SoundCues sound(host, std::make_unique<QtCuePlayer>([&h] { return h.clock.nowNs(); }));
    QAction* entry = nullptr;
    for (QAction* a : host.menu().menu()->actions())
      if (a->text() == QStringLiteral("音を鳴らす")) entry = a;
    QVERIFY(entry);
    QVERIFY(entry->isCheckable());
    QVERIFY(!entry->isChecked());
    QVERIFY(!sound.enabled());
    entry->trigger();
    QVERIFY(sound.enabled());
    // No sound server here: a note on the window says so.
    QTRY_VERIFY_WITH_TIMEOUT(sound.silenced(), 10000);
    auto* note = h->form.widget()->findChild<QLabel*>("featureNote");
    QVERIFY(note && note->isVisible());
    QVERIFY(note->text().contains(QStringLiteral("音なし")));
    entry->trigger();
    QVERIFY(!sound.enabled());
  }
};

PELATTO_TEST_MAIN(SoundTest)
#include "test_sound.moc"
