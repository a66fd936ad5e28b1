// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/passing_note.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <algorithm>

void showPassingNote(QWidget* window, const QString& text) {
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
  note->setAccessibleName(text);
  // A long note wraps within the window rather than running off its edge.
  note->setWordWrap(true);
  note->setMaximumWidth(std::max(100, window->width() - 32));
  note->adjustSize();
  note->move(16, 16);
  note->raise();
  note->show();
  QTimer::singleShot(6000, note, &QWidget::hide);
}
