// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QVariantMap>

#include "engine/drill_events.h"

// What the program remembers between starts, as plain values: read from
// and written to a key/value map, checked without a window.
struct RememberedValues {
  DrillSettings panel;  // every panel setting, the answer mode, countdown speed, colours
  bool sound = false;   // the sound switch
  int screen = 0;       // the screen the window opens on, from 1; 0 for the first
};

// The version written with the values; a file from a newer version is left alone.
inline constexpr int kRememberedVersion = 1;

struct ReadValues {
  RememberedValues values;
  // Keys whose value was out of range or unreadable; each took its default.
  QStringList ignored;
  // Keys this version does not know (a typing mistake, an older version's);
  // not listed for a newer version's file, which has its own.
  QStringList unknown;
  // The file names a newer version than this program writes.
  bool newer = false;
};

// Reads the values in `stored` as the learner would have set them on the
// panel: a missing key keeps its default, a bad one takes its default and is
// listed in `ignored`. Values that depend on others (shortest on longest, mix
// on terms and digits, extension on pace) are checked against the values
// already accepted.
ReadValues readValues(const QVariantMap& stored);
QVariantMap writeValues(const RememberedValues& values);

// "#rrggbb" text of a colour held as 0x00BBGGRR, and back; nullopt when the
// text is no such colour.
QString colourText(pf::Colour c);
std::optional<pf::Colour> colourFromText(const QString& text);
