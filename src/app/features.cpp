// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/features.h"

#include <cstdio>

#include "answers/typed_answers.h"
#include "classroom/classroom.h"
#include "desktop/full_screen.h"
#include "grades/grade_tests.h"
#include "history/history.h"
#include "host/feature_host.h"
#include "host/window_menu.h"
#include "platform/clock.h"
#include "progress/progress.h"
#include "replay/replay.h"
#include "settings/remembered_settings.h"
#include "sound/loaded_cue_player.h"
#include "sound/sound_cues.h"

Features::Features(DrillPort& port, const StartOptions& options)
    : host_(std::make_unique<FeatureHost>(port)) {
  FeatureHost& host = *host_;
  host.menu().addSeparator();
  answers_ = std::make_unique<TypedAnswers>(host);
  history_ = options.historyPath.isEmpty() ? std::make_unique<History>(host)
                                           : std::make_unique<History>(host, options.historyPath);
  progress_ = std::make_unique<Progress>(host);
  replay_ = std::make_unique<Replay>(host);
  grades_ = std::make_unique<GradeTests>(host);
  host.menu().addSeparator();
  classroom_ = std::make_unique<Classroom>(host);
  host.menu().addSeparator();
  fullScreen_ = std::make_unique<FullScreen>(port.widget());
  fullScreen_->addTo(host.menu(), [this](int n) { remembered_->setScreen(n); });
  sound_ = std::make_unique<SoundCues>(
      host, std::make_unique<LoadedCuePlayer>([&clock = port.clock()] { return clock.nowNs(); }));
  host.menu().addSeparator();
  remembered_ = std::make_unique<RememberedSettings>(host, options.defaults, options.settingsPath);

  // The sound switch and the screen are remembered with the settings.
  sound_->switched = [this](bool on) { remembered_->setSound(on); };
  remembered_->soundChanged = [this](bool on) { sound_->setEnabled(on); };
  const int asked = options.screen ? options.screen : remembered_->screen();
  const int placed = asked ? fullScreen_->placeOnScreen(asked) : 1;
  if (options.screen) {
    if (placed != options.screen)
      std::fprintf(stderr, "pelatto: there is no screen %d; the window opens on screen %d\n",
                   options.screen, placed);
    remembered_->setScreen(options.screen);
  }
}

// Features go before the host they attached to, the last attached first.
Features::~Features() = default;

void Features::windowLoaded() {
  remembered_->apply();
  sound_->setEnabled(remembered_->sound());
}
