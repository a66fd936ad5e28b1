// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// How the program was asked to take part in a class (the command line).
struct ClassOptions {
  QString teach;     // --teach ROOM
  QString broker;    // --broker URL: a school's broker instead of one of our own
  QString join;      // --join URL
  QString room;      // --room ROOM
  QString name;      // --name NAME
  QString password;  // --password P
  bool any() const { return !teach.isEmpty() || !join.isEmpty(); }
};
