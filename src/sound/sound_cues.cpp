// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_cues.h"

#include <QAction>
#include <QCoreApplication>
#include <algorithm>
#include <exception>

#include "engine/drill_timing.h"
#include "host/feature_host.h"
#include "host/window_menu.h"
#include "platform/clock.h"

namespace {
constexpr std::int64_t kMs = 1'000'000;
}  // namespace

SoundCues::SoundCues(FeatureHost& host, std::unique_ptr<CuePlayer> player)
    : host_(host), port_(host.port()), player_(std::move(player)) {
  player_->failed = [this] { fail(); };
  port_.subscribe(this);
  switch_ = host_.menu().addSwitch(QStringLiteral("音を鳴らす"), false, [this](bool on) {
    setEnabled(on);
    if (switched) switched(on);
  });
}

SoundCues::~SoundCues() {
  port_.unsubscribe(this);
  try {
    player_->release();
  } catch (...) {
  }
}

void SoundCues::setEnabled(bool on) {
  switch_->setChecked(on);
  if (on == enabled_) return;
  enabled_ = on;
  silenced_ = false;  // switching it on again tries the output afresh
  if (on) {
    guarded([this] { player_->prepare(); });
    replan(port_.clock().nowNs());
  } else {
    guarded([this] {
      player_->cancel();
      player_->release();
    });
  }
}

void SoundCues::onDrillEvent(const DrillEvent& e) {
  using K = DrillEvent::Kind;
  settings_ = e.settings;
  switch (e.kind) {
    case K::Started:
      // Opening the output here leaves it the whole countdown to get ready.
      if (enabled_) guarded([this] { player_->prepare(); });
      [[fallthrough]];
    case K::NextProblem:
      startCountdown(e);
      break;
    case K::CountdownEnded:
      phase_ = Phase::Flashing;
      ticks_.start(e.timeNs, drill_timing::flashTickMs(settings_.pace) * kMs);
      shown_ = 0;
      lastShownTick_ = 0;
      break;
    case K::NumberShown:
      shown_ = e.index + 1;
      lastShownTick_ = ticks_.ticksBy(e.timeNs);
      break;
    case K::Held:
      ticks_.hold(e.timeNs);
      break;
    case K::Resumed:
      ticks_.resume(e.timeNs);
      break;
    case K::AnswerRevealed:
      phase_ = Phase::Idle;
      if (enabled_) request(Cue::Answer, e.timeNs);
      break;
    case K::SettingsChanged:
    case K::Blanked:
      break;
    default:  // the series, the run or the window ended
      phase_ = Phase::Idle;
      break;
  }
  if (e.kind != K::AnswerRevealed) replan(e.timeNs);
}

void SoundCues::startCountdown(const DrillEvent& e) {
  const int speed = settings_.countdownSpeed;
  phase_ = Phase::Countdown;
  sweepTicks_ = drill_timing::ticksPerSweep(speed);
  ticks_.start(e.timeNs, drill_timing::countdownSpeed(speed).tickMs * kMs);
}

// Asks again for every cue still ahead, from what is known now: a change of
// the pace, the extension or the terms, or a hold, moves them.
void SoundCues::replan(std::int64_t nowNs) {
  if (!enabled_ || silenced_) return;
  guarded([this] { player_->cancel(); });
  if (phase_ == Phase::Idle || ticks_.held()) return;
  const auto ahead = [&](Cue cue, std::int64_t at) {
    if (at > nowNs) request(cue, at);
  };
  const std::int64_t flashTick = drill_timing::flashTickMs(settings_.pace) * kMs;
  if (phase_ == Phase::Countdown) {
    // "3" and "2" appear as the first and second sweeps end.
    ahead(Cue::Count, ticks_.timeOf(sweepTicks_));
    ahead(Cue::Count, ticks_.timeOf(2 * sweepTicks_));
    if (settings_.terms > 0)
      ahead(Cue::Tick, ticks_.timeOf(drill_timing::kSweeps * sweepTicks_) + flashTick);
    return;
  }
  if (shown_ >= settings_.terms) return;
  const std::int64_t next =
      shown_ == 0 ? 1 : lastShownTick_ + drill_timing::ticksPerNumber(settings_.extension);
  ahead(Cue::Tick, ticks_.timeOf(next));
}

void SoundCues::request(Cue cue, std::int64_t atNs) {
  if (silenced_) return;
  guarded([&] { player_->play(cue, atNs); });
}

void SoundCues::guarded(const std::function<void()>& call) {
  if (silenced_) return;
  try {
    call();
  } catch (const std::exception&) {
    fail();
  } catch (...) {
    fail();
  }
}

void SoundCues::fail() {
  if (silenced_ || !enabled_) return;
  silenced_ = true;
  try {
    player_->cancel();
  } catch (...) {
  }
  host_.note(QCoreApplication::translate("SoundCues", "音が出せないため、音なしで続けます。"));
}
