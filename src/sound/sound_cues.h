// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "engine/drill_events.h"
#include "sound/cue_player.h"
#include "sound/timer_follower.h"

class DrillPort;
class FeatureHost;
class QAction;

// Sounds in step with the drill: a tick as each number appears, a call as
// the countdown shows "3" and "2", a chime when the total is revealed. Off
// until switched on. The moments are worked out ahead on the drill's clock
// from the window's timers (the countdown's sweeps, the flash ticks), so the
// player can start each sound early by its output latency. A player that
// fails is reported once and then left alone: the drill
// never waits for sound.
class SoundCues final : public DrillListener {
 public:
  // Adds the switch "音を鳴らす" to the host's menu, off at first; a player
  // that fails is told in the host's passing note.
  SoundCues(FeatureHost& host, std::unique_ptr<CuePlayer> player);
  ~SoundCues() override;
  SoundCues(const SoundCues&) = delete;
  SoundCues& operator=(const SoundCues&) = delete;

  // Also sets the menu's switch; `switched` hears the learner use it.
  void setEnabled(bool on);
  std::function<void(bool)> switched;
  bool enabled() const { return enabled_; }
  // Whether the output failed and the trainer went on without sound.
  bool silenced() const { return silenced_; }

  void onDrillEvent(const DrillEvent& e) override;

 private:
  enum class Phase { Idle, Countdown, Flashing };
  void startCountdown(const DrillEvent& e);
  void replan(std::int64_t nowNs);
  void request(Cue cue, std::int64_t atNs);
  // Runs a call on the player; a throw silences it.
  void guarded(const std::function<void()>& call);
  void fail();

  FeatureHost& host_;
  DrillPort& port_;
  std::unique_ptr<CuePlayer> player_;
  QAction* switch_;
  bool enabled_ = false;
  bool silenced_ = false;
  Phase phase_ = Phase::Idle;
  DrillSettings settings_;
  TimerFollower ticks_;  // tmr1 during the countdown, tmr2 while flashing
  int sweepTicks_ = 48;  // countdown ticks per sweep
  int shown_ = 0;        // numbers of this series shown so far
  std::int64_t lastShownTick_ = 0;
};
