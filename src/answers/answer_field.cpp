// SPDX-License-Identifier: GPL-3.0-or-later
#include "answers/answer_field.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>

#include "answers/answer_sheet.h"
#include "answers/answer_text.h"
#include "host/drill_port.h"
#include "host/screen_space.h"

namespace {
constexpr double kFieldPoints = 24;
}

AnswerField::AnswerField(DrillPort& port, AnswerSheet& sheet)
    : port_(port), sheet_(sheet), label_(new QLabel(port.widget())) {
  label_->setObjectName(QStringLiteral("answerField"));
  label_->setAccessibleName(QStringLiteral("あなたの答"));
  label_->setTextFormat(Qt::PlainText);
  label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label_->setFont(port_.font(kFieldPoints, true));
  label_->hide();
  qApp->installEventFilter(this);
}

AnswerField::~AnswerField() { qApp->removeEventFilter(this); }

void AnswerField::refresh() {
  if (sheet_.field().isEmpty() || sheet_.sheetShown()) {
    label_->hide();
    return;
  }
  const QString text = answers::shownNumber(sheet_.field(), port_.grouping());
  label_->setText(text);
  label_->setAccessibleDescription(text);
  const QString colour = answers::cssColour(port_.settings().textColour);
  label_->setStyleSheet(QStringLiteral("QLabel { color: %1; border: 2px solid %1; "
                                       "padding: 2px 8px; background: transparent; }")
                            .arg(colour));
  label_->adjustSize();
  const QRect area = port_.displayArea();
  label_->move(space::freeCorner(area, label_->size(), port_.takenAreas(true))
                   .value_or(QPoint(0, std::max(0, area.bottom() + 1 - label_->height()))));
  label_->raise();
  label_->show();
}

bool AnswerField::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
  const auto* w = qobject_cast<QWidget*>(watched);
  if (!w || w->window() != port_.widget()->window()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  // A shortcut on these keys must not fire while the field wants them.
  if (type == QEvent::ShortcutOverride) {
    if (!takeKey(key, false)) return false;
    event->accept();
    return true;
  }
  return takeKey(key, true);
}

bool AnswerField::takeKey(const QKeyEvent* key, bool act) {
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const int k = key->key();
  if (k >= Qt::Key_0 && k <= Qt::Key_9)
    return act ? sheet_.typeDigit(k - Qt::Key_0) : sheet_.accepting();
  const bool sheet = sheet_.sheetShown(), typing = !sheet_.field().isEmpty();
  // Taken even where the sheet ends: the key was meant for it.
  if (sheet && (k == Qt::Key_Plus || k == Qt::Key_Minus))
    return !act || (sheet_.step(k == Qt::Key_Plus ? 1 : -1), true);
  if (sheet && !typing && k == Qt::Key_Delete) return !act || (sheet_.clearAnswer(), true);
  if (!typing) return false;
  if (k == Qt::Key_Backspace) return !act || sheet_.erase();
  if (k == Qt::Key_Return || k == Qt::Key_Enter) return !act || sheet_.commit();
  if (sheet && (k == Qt::Key_Up || k == Qt::Key_Down))
    return !act || (sheet_.step(k == Qt::Key_Down ? 1 : -1), true);
  return false;
}
