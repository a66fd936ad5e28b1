#include "desktop/features.h"

#include <QPoint>
#include <QToolTip>
#include <QWidget>

#include "desktop/window_menu.h"
#include "platform/clock.h"
#include "shell/drill_port.h"
#include "sound/qt_cue_player.h"
#include "sound/sound_cues.h"

Features::Features(DrillPort& port)
    : port_(port),
      menu_(std::make_unique<WindowMenu>(port.widget())),
      sound_(std::make_unique<SoundCues>(
          port, std::make_unique<QtCuePlayer>([&clock = port.clock()] { return clock.nowNs(); }))) {
  // A passing note in the corner; the drill goes on underneath it.
  sound_->notify = [w = port.widget()](const QString& text) {
    QToolTip::showText(w->mapToGlobal(QPoint(24, 24)), text, w, {}, 6000);
  };
  menu_->addSwitch(QStringLiteral("音を鳴らす"), sound_->enabled(),
                   [this](bool on) { sound_->setEnabled(on); });
}

Features::~Features() = default;
