// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Starts the screen watcher (a separate X client) on the band across the
// middle of the digits, the full width of the label where numbers flash.

#include <QFontMetrics>
#include <QProcess>
#include <QWidget>

inline void watchLabel(QProcess& watcher, const QString& watcherPath, QWidget* label) {
  const QFontMetrics fm(label->font());
  const QRect digits = fm.tightBoundingRect(QStringLiteral("0123456789"));
  const QPoint at = label->mapTo(label->window(), QPoint(0, fm.ascent() + digits.center().y()));
  watcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  watcher.start(watcherPath, {QString::number(label->window()->winId()), QString::number(at.x()),
                              QString::number(at.y() - 4), QString::number(label->width()),
                              QStringLiteral("8")});
}
