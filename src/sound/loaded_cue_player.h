// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

#include "sound/cue_player.h"

// Plays through the sound output module, loaded when sound is first wanted:
// a learner who leaves the sound off never has Qt Multimedia and the audio
// stack it brings mapped into the program, and its start-up does not wait
// for them. The load runs on the next turn of the event loop, so sound
// switched on at start does not hold up the window's first paint; a cue
// asked for before then is not heard. A module that cannot be loaded is an
// output that failed.
class LoadedCuePlayer final : public CuePlayer {
 public:
  using Now = std::function<std::int64_t()>;
  // now: the drill's clock in ns. folders: where the module is looked for.
  explicit LoadedCuePlayer(Now now, QStringList folders = moduleFolders());
  ~LoadedCuePlayer() override;

  void prepare() override;
  void play(Cue cue, std::int64_t atNs) override;
  void cancel() override;
  void release() override;

  bool loaded() const { return player_ != nullptr; }

  // Beside the program in a build tree, the program's library folder once installed.
  static QStringList moduleFolders();

 private:
  void load();

  Now now_;
  QStringList folders_;
  std::unique_ptr<CuePlayer> player_;
  bool wanted_ = false;
  bool loading_ = false;
  bool missing_ = false;
  QObject context_;  // ends a load still to run with the player
};
