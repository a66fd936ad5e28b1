// SPDX-License-Identifier: GPL-3.0-or-later
// The sound output module, loaded by the program when sound is first wanted.
#include "sound/sound_module.h"

#include <QtGlobal>

#include "sound/qt_cue_player.h"

extern "C" Q_DECL_EXPORT CuePlayer* pelatto_make_cue_player(
    const std::function<std::int64_t()>& now) {
  return new QtCuePlayer(now);
}
