#include "desktop/features.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "desktop/window_menu.h"
#include "platform/clock.h"
#include "shell/drill_port.h"
#include "sound/qt_cue_player.h"
#include "sound/sound_cues.h"

namespace {

// A passing note in the window's corner, above everything and transparent to
// the mouse; the drill goes on underneath it.
void showNote(QWidget* window, const QString& text) {
  auto* note = window->findChild<QLabel*>(QStringLiteral("featureNote"));
  if (!note) {
    note = new QLabel(window);
    note->setObjectName(QStringLiteral("featureNote"));
    note->setAttribute(Qt::WA_TransparentForMouseEvents);
    note->setStyleSheet(
        QStringLiteral("QLabel { background: #fff6c8; color: #000000; border: 1px solid #8a6d00;"
                       " padding: 6px 10px; font-size: 11pt; }"));
  }
  note->setText(text);
  note->adjustSize();
  note->move(16, 16);
  note->raise();
  note->show();
  QTimer::singleShot(6000, note, &QWidget::hide);
}

}  // namespace

Features::Features(DrillPort& port)
    : port_(port),
      menu_(std::make_unique<WindowMenu>(port.widget())),
      sound_(std::make_unique<SoundCues>(
          port, std::make_unique<QtCuePlayer>([&clock = port.clock()] { return clock.nowNs(); }))) {
  sound_->notify = [w = port.widget()](const QString& text) { showNote(w, text); };
  menu_->addSwitch(QStringLiteral("音を鳴らす"), sound_->enabled(),
                   [this](bool on) { sound_->setEnabled(on); });
}

Features::~Features() = default;
