// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/classroom.h"

#include <QInputDialog>
#include <QTimer>
#include <cstdio>

#include "classroom/board_window.h"
#include "classroom/class_banner.h"
#include "classroom/join_dialog.h"
#include "classroom/learner_class.h"
#include "classroom/teacher_class.h"
#include "host/feature_host.h"
#include "host/window_menu.h"

Classroom::Classroom(FeatureHost& host) : host_(host), port_(host.port()) {
  WindowMenu& menu = host.menu();
  menu.add(QStringLiteral("教室を開く…"), {}, [this] { askRoom(); });
  menu.add(QStringLiteral("教室に参加…"), {}, [this] { askJoin(); });
  menu.add(QStringLiteral("教室の成績表"), {}, [this] {
    if (board_) board_->show(), board_->raise();
  });
  menu.add(QStringLiteral("教室を閉じる／離れる"), {}, [this] { end(); });
}

Classroom::~Classroom() { end(); }

bool Classroom::start(const ClassOptions& o, QString* why) {
  if (!o.teach.isEmpty()) return teach(o.teach, o.broker, o.password, why);
  return join(o.join, o.room, o.name, o.password, why);
}

bool Classroom::teach(const QString& room, const QString& brokerUrl, const QString& password,
                      QString* why) {
  if (teacher_ || learner_) {
    *why = QStringLiteral("このウィンドウはもう教室に入っています。");
    return false;
  }
  TeacherClass::Setup setup{room, std::nullopt, password};
  if (!brokerUrl.isEmpty() && !(setup.broker = parseBrokerUrl(brokerUrl, why))) return false;
  auto teacher = std::make_unique<TeacherClass>(port_, setup, host_.records());
  if (!teacher->open(why)) return false;
  teacher_ = std::move(teacher);
  teacher_->notice = [this](const QString& text) { host_.note(text); };
  auto banner = std::make_shared<ClassBanner>(port_, false);
  const auto show = [this, banner] {
    if (!teacher_->isOpen()) {
      QTimer::singleShot(0, this, [this] { dropEnded(); });
      return;
    }
    banner->setText(QStringLiteral("教室「%1」　%2　パスワード %3　参加 %4人")
                        .arg(teacher_->room(), teacher_->address(), teacher_->password())
                        .arg(teacher_->board().learners().size()));
  };
  connect(teacher_.get(), &TeacherClass::changed, this, show);
  show();
  board_ = std::make_unique<BoardWindow>(*teacher_);
  board_->show();
  std::fprintf(stdout, "%s\n", qPrintable(teacher_->joinLine()));
  std::fflush(stdout);
  return true;
}

bool Classroom::join(const QString& url, const QString& room, const QString& name,
                     const QString& password, QString* why) {
  if (teacher_ || learner_) {
    *why = QStringLiteral("このウィンドウはもう教室に入っています。");
    return false;
  }
  const std::optional<BrokerAddress> broker = parseBrokerUrl(url, why);
  if (!broker) return false;
  auto learner = std::make_unique<LearnerClass>(
      port_, LearnerClass::Setup{*broker, room, name, password}, host_.records());
  learner->notice = [this](const QString& text) { host_.note(text); };
  if (!learner->join(why)) return false;
  learner_ = std::move(learner);
  host_.answers().subscribe(learner_.get());
  connect(learner_.get(), &LearnerClass::left, this,
          [this] { QTimer::singleShot(0, this, [this] { dropEnded(); }); });
  return true;
}

void Classroom::end() {
  if (teacher_) teacher_->close();
  if (learner_) learner_->leave();
  dropEnded();
}

void Classroom::dropEnded() {
  if (teacher_ && !teacher_->isOpen()) {
    board_.reset();
    teacher_.reset();
  }
  if (learner_ && learner_->state() == LearnerClass::State::Left) {
    host_.answers().unsubscribe(learner_.get());
    learner_.reset();
  }
}

// Both dialogs are window-modal but do not block: the drill's timers go on.
void Classroom::askRoom() {
  auto* dialog = new QInputDialog(port_.widget());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("教室を開く"));
  dialog->setLabelText(QStringLiteral("教室の名前（空白や / + # を含まない32文字まで）"));
  dialog->setTextValue(QStringLiteral("class"));
  dialog->setOkButtonText(QStringLiteral("開く"));
  dialog->setCancelButtonText(QStringLiteral("やめる"));
  connect(dialog, &QInputDialog::textValueSelected, this, [this](const QString& room) {
    QString why;
    if (!teach(room.trimmed(), {}, {}, &why))
      host_.note(QStringLiteral("教室を開けませんでした：") + why);
  });
  dialog->open();
}

void Classroom::askJoin() {
  auto* dialog = new JoinDialog(port_.widget());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this, [this, dialog] {
    dialog->remember();
    QString why;
    if (!join(dialog->url(), dialog->room(), dialog->name(), dialog->password(), &why))
      host_.note(QStringLiteral("教室に参加できませんでした：") + why);
  });
  dialog->open();
}
