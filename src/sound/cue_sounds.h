// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "sound/cue_player.h"

// The cues as mono 16-bit samples, made in memory: nothing is read from
// disk or decoded while a drill runs.
std::vector<std::int16_t> cueSamples(Cue cue, int sampleRate);
