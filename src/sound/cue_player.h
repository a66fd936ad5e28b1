// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

// The three sounds of a drill: a tick with every number, a call for the
// countdown's "3" and "2", a chime for the revealed answer.
enum class Cue { Tick, Count, Answer };

// Where the cues go. Requests name the moment, on the drill's clock, at
// which the sound is to be heard, so that a player that knows its output
// latency can start it early enough; a moment already past means at once.
class CuePlayer {
 public:
  virtual ~CuePlayer() = default;
  // Makes the sounds and opens the output; may finish later. Calling it
  // again while prepared does nothing.
  virtual void prepare() = 0;
  virtual void play(Cue cue, std::int64_t atNs) = 0;
  // Drops the requests for moments still ahead that have not begun to sound.
  virtual void cancel() = 0;
  // Closes the output.
  virtual void release() = 0;

  // Called on the user-interface thread when the output cannot be used.
  std::function<void()> failed;
};
