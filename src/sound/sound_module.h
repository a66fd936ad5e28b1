// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

#include "sound/cue_player.h"

// What the sound output module offers: one function that makes a player on
// Qt Multimedia, handed the drill's clock in ns.
using MakeCuePlayer = CuePlayer*(const std::function<std::int64_t()>& now);
inline constexpr char kMakeCuePlayer[] = "pelatto_make_cue_player";
