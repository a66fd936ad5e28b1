// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "classroom/class_options.h"

// What the command line asked for. `exitCode` >= 0 means: print `output`
// (stdout) and `error` (stderr) and end with that code without opening the
// window (--help, --version, a bad option).
struct CommandLine {
  int exitCode = -1;
  QString output;
  QString error;
  bool defaults = false;   // --defaults: built-in settings, the remembered ones untouched
  int screen = 0;          // --screen N, from 1; 0: the remembered one
  QString exportHistory;   // --export-history FILE
  bool partial = false;    // --partial: export what a damaged history still holds
  QString grade;           // --grade NAME
  ClassOptions classroom;  // --teach ROOM [--broker URL] or --join URL --room ROOM --name NAME
};

// Parses the program's arguments (the first is the program itself). Needs
// no display and no application object.
CommandLine parseCommandLine(const QStringList& arguments);
// The same from the program's own arguments; one that is not valid UTF-8 is
// refused, so that no file is ever written under another name.
CommandLine parseCommandLine(int argc, const char* const* argv);
