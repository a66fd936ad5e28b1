#include "desktop/features.h"

#include <QAction>
#include <cstdio>

#include "answers/typed_answers.h"
#include "desktop/full_screen.h"
#include "desktop/passing_note.h"
#include "desktop/shortcuts.h"
#include "desktop/window_menu.h"
#include "grades/grade_test.h"
#include "grades/grade_tests.h"
#include "platform/clock.h"
#include "settings/remembered_settings.h"
#include "shell/drill_port.h"
#include "sound/qt_cue_player.h"
#include "sound/sound_cues.h"

Features::Features(DrillPort& port, const StartOptions& options)
    : port_(port),
      menu_(std::make_unique<WindowMenu>(port.widget())),
      answers_(std::make_unique<TypedAnswers>(port)),
      remembered_(
          std::make_unique<RememberedSettings>(port, options.defaults, options.settingsPath)),
      fullScreen_(std::make_unique<FullScreen>(port.widget())),
      sound_(std::make_unique<SoundCues>(
          port, std::make_unique<QtCuePlayer>([&clock = port.clock()] { return clock.nowNs(); }))) {
  const auto note = [w = port.widget()](const QString& text) { showPassingNote(w, text); };
  addDrillShortcuts(*menu_, port);
  menu_->addSeparator();
  grades_ = std::make_unique<GradeTests>(port, *menu_, nullptr);
  answers().subscribe(&grades_->test());
  menu_->addSeparator();
  fullScreen_->addTo(*menu_, [this](int n) { remembered_->setScreen(n); });

  sound_->notify = note;
  QAction* soundSwitch = menu_->addSwitch(QStringLiteral("音を鳴らす"), remembered_->sound(),
                                          [this](bool on) { remembered_->setSound(on); });
  remembered_->soundChanged = [this, soundSwitch](bool on) {
    sound_->setEnabled(on);
    soundSwitch->setChecked(on);
  };
  menu_->addSeparator();
  menu_->add(QStringLiteral("最初の設定に戻す"), {}, [this] { remembered_->restoreDefaults(); });

  const int asked = options.screen ? options.screen : remembered_->screen();
  const int placed = asked ? fullScreen_->placeOnScreen(asked) : 1;
  if (options.screen) {
    if (placed != options.screen)
      std::fprintf(stderr, "pelatto: there is no screen %d; the window opens on screen %d\n",
                   options.screen, placed);
    remembered_->setScreen(options.screen);
  }
}

Features::~Features() { answers().unsubscribe(&grades_->test()); }

void Features::windowShown() {
  remembered_->apply();
  sound_->setEnabled(remembered_->sound());
}

AnswerSheet& Features::answers() const { return answers_->sheet(); }
