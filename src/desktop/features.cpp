#include "desktop/features.h"

#include <QAction>
#include <cstdio>

#include "answers/typed_answers.h"
#include "classroom/classroom.h"
#include "desktop/full_screen.h"
#include "desktop/passing_note.h"
#include "desktop/shortcuts.h"
#include "desktop/window_menu.h"
#include "grades/grade_test.h"
#include "grades/grade_tests.h"
#include "history/history.h"
#include "platform/clock.h"
#include "progress/progress_window.h"
#include "settings/remembered_settings.h"
#include "shell/drill_port.h"
#include "sound/qt_cue_player.h"
#include "sound/sound_cues.h"

// Construction order is listening order: the answers are marked before the
// history records a problem, and the history knows a test before it starts.
Features::Features(DrillPort& port, const StartOptions& options)
    : port_(port),
      menu_(std::make_unique<WindowMenu>(port.widget())),
      answers_(std::make_unique<TypedAnswers>(port)),
      remembered_(
          std::make_unique<RememberedSettings>(port, options.defaults, options.settingsPath)),
      fullScreen_(std::make_unique<FullScreen>(port.widget())),
      sound_(std::make_unique<SoundCues>(
          port, std::make_unique<QtCuePlayer>([&clock = port.clock()] { return clock.nowNs(); }))),
      history_(options.historyPath.isEmpty()
                   ? std::make_unique<History>(port)
                   : std::make_unique<History>(port, options.historyPath)) {
  const auto note = [w = port.widget()](const QString& text) { showPassingNote(w, text); };
  answers().subscribe(&history_->answerListener());
  history_->setNotice(note);
  sound_->notify = note;

  addDrillShortcuts(*menu_, port);
  menu_->addSeparator();
  const ShortcutInfo& progress = shortcutInfo(shortcut::Progress);
  menu_->add(progress.japanese, QKeySequence(progress.key), [this] {
    if (!progress_) progress_ = std::make_unique<ProgressWindow>(*history_);
    progress_->open();
  });
  const ShortcutInfo& replay = shortcutInfo(shortcut::Replay);
  menu_->add(replay.japanese, QKeySequence(replay.key), [this] { history_->replayLast(); });
  grades_ = std::make_unique<GradeTests>(port, *menu_, history_.get());
  answers().subscribe(&grades_->test());
  menu_->addSeparator();
  classroom_ = std::make_unique<Classroom>(port, *menu_, answers(), history_.get(), note);
  menu_->addSeparator();
  fullScreen_->addTo(*menu_, [this](int n) { remembered_->setScreen(n); });

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

Features::~Features() {
  classroom_.reset();
  answers().unsubscribe(&grades_->test());
  answers().unsubscribe(&history_->answerListener());
}

void Features::windowShown() {
  remembered_->apply();
  sound_->setEnabled(remembered_->sound());
}

AnswerSheet& Features::answers() const { return answers_->sheet(); }
