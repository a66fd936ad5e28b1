#include "answers/answer_field.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>

#include "answers/answer_sheet.h"
#include "answers/answer_text.h"
#include "answers/screen_space.h"
#include "host/drill_port.h"

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
  if (sheet_.field().isEmpty()) {
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
  QWidget* window = port_.widget();
  label_->move(answers::freeCorner(window, label_->size(), answers::occupiedAreas(window, true)));
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
  if (sheet_.field().isEmpty()) return false;
  if (k == Qt::Key_Backspace) return !act || sheet_.erase();
  if (k == Qt::Key_Return || k == Qt::Key_Enter) return !act || sheet_.commit();
  return false;
}
