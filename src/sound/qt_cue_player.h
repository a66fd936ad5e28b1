// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "sound/cue_player.h"

class QThread;

// Plays the cues through Qt Multimedia's default audio output. The output
// is opened and fed on a thread of its own, so a slow, missing or busy
// device never holds up the window: the window only queues requests. The
// output streams silence between cues and places each cue at the sample
// that will be heard at its moment, from how much the device still holds
// before it plays what is written next.
class QtCuePlayer final : public CuePlayer {
 public:
  using Now = std::function<std::int64_t()>;
  // now: the drill's clock in ns; read on the output's thread too.
  explicit QtCuePlayer(Now now);
  ~QtCuePlayer() override;

  void prepare() override;
  void play(Cue cue, std::int64_t atNs) override;
  void cancel() override;
  void release() override;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
  QThread* thread_ = nullptr;
  std::unique_ptr<QObject> home_;  // receives the output's failure on this thread
};
