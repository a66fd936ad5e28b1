#include "desktop/features.h"

#include <cstdio>

#include "answers/typed_answers.h"
#include "desktop/full_screen.h"
#include "desktop/shortcuts.h"
#include "desktop/window_menu.h"
#include "grades/grade_test.h"
#include "grades/grade_tests.h"
#include "settings/remembered_settings.h"
#include "shell/drill_port.h"

Features::Features(DrillPort& port, const StartOptions& options)
    : port_(port),
      menu_(std::make_unique<WindowMenu>(port.widget())),
      answers_(std::make_unique<TypedAnswers>(port)),
      remembered_(
          std::make_unique<RememberedSettings>(port, options.defaults, options.settingsPath)),
      fullScreen_(std::make_unique<FullScreen>(port.widget())) {
  addDrillShortcuts(*menu_, port);
  menu_->addSeparator();
  grades_ = std::make_unique<GradeTests>(port, *menu_, nullptr);
  answers().subscribe(&grades_->test());
  menu_->addSeparator();
  fullScreen_->addTo(*menu_, [this](int n) { remembered_->setScreen(n); });
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

void Features::windowShown() { remembered_->apply(); }

AnswerSheet& Features::answers() const { return answers_->sheet(); }
