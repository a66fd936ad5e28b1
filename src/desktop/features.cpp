#include "desktop/features.h"

#include <cstdio>

#include "desktop/full_screen.h"
#include "desktop/shortcuts.h"
#include "desktop/window_menu.h"
#include "settings/remembered_settings.h"
#include "shell/drill_port.h"

Features::Features(DrillPort& port, const StartOptions& options)
    : port_(port),
      menu_(std::make_unique<WindowMenu>(port.widget())),
      remembered_(
          std::make_unique<RememberedSettings>(port, options.defaults, options.settingsPath)),
      fullScreen_(std::make_unique<FullScreen>(port.widget())) {
  addDrillShortcuts(*menu_, port);
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

Features::~Features() = default;

void Features::windowShown() { remembered_->apply(); }
