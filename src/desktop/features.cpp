#include "desktop/features.h"

#include <QMessageBox>

#include "desktop/window_menu.h"
#include "history/history.h"
#include "progress/progress_window.h"
#include "shell/drill_port.h"

namespace {

// A notice that never takes the keyboard from the drill and never waits.
void showNotice(QWidget* window, const QString& text) {
  auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Pelatto"), text,
                              QMessageBox::Ok, window);
  box->setModal(false);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setAttribute(Qt::WA_ShowWithoutActivating);
  box->show();
}

}  // namespace

Features::Features(DrillPort& port)
    : port_(port),
      menu_(std::make_unique<WindowMenu>(port.widget())),
      history_(std::make_unique<History>(port)) {
  history_->setNotice([w = port.widget()](const QString& text) { showNotice(w, text); });
  menu_->add(QStringLiteral("成績を見る"), QKeySequence(Qt::CTRL | Qt::Key_H), [this] {
    if (!progress_) progress_ = std::make_unique<ProgressWindow>(*history_);
    progress_->open();
  });
  menu_->add(QStringLiteral("直前の問題をもう一度"), QKeySequence(Qt::CTRL | Qt::Key_R),
             [this] { history_->replayLast(); });
}

Features::~Features() = default;
