// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QtGlobal>
#include <deque>
#include <functional>
#include <optional>

#include "engine/drill_events.h"

// The one place where a class's numbers are made. The teacher's program
// makes each run's numbers from the panel's settings and random draws of its
// own; every window, the teacher's included, is then handed the draws from
// which its own number making makes exactly those numbers, so every screen
// shows the same ones and none draws at random.
namespace class_numbers {

// `count` problems under the digits, mix and terms of s, by the window's own
// problem maker.
QList<QList<qint64>> make(const DrillSettings& s, int count, const std::function<float()>& draw);

// The draws that make these problems one after the other under s, followed
// by spare draws from `seed` that every window takes alike should the terms
// grow during a problem; nothing when the numbers do not fit the settings.
std::optional<std::deque<float>> draws(const DrillSettings& s, const QList<QList<qint64>>& problems,
                                       quint64 seed);

// A draw in [0, 1) on the random source's 2^-24 grid.
float gridDraw(quint32 bits);

}  // namespace class_numbers
