// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// A passing note in the window's corner, above everything and transparent to
// the mouse; the drill goes on underneath it. How a feature says once that
// something does not work (no sound, a history that cannot be written).
void showPassingNote(QWidget* window, const QString& text);
