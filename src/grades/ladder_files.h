// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include "grades/ladder.h"

// Every ladder the program offers, with what kept any file out.
struct LadderSet {
  QList<Ladder> ladders;  // the bundled ones first, then the user's
  QList<LadderError> errors;
  QStringList searched;  // where the bundled ladders were looked for

  // The grade of that name; "ladder/grade" picks one ladder when several
  // hold the name, otherwise the first ladder that has it wins. A grade
  // whose own name holds "/" is found by that name too.
  const Grade* find(const QString& name, const Ladder** ladder = nullptr) const;
  // "三段 四段 … (ladder)" for each ladder, one line each.
  QStringList gradeLists() const;
};

// Reads every "*.txt" file of each folder, in name order. A later ladder
// whose name is already taken is reported and left out.
void readLadderFolder(const QString& folder, LadderSet& into);

// Where the bundled ladders are installed, beside the program: the install
// prefix's data folder, the build tree's copy, the desktop's data folders.
QStringList bundledLadderFolders();
// The folder of a school's or teacher's own ladder files.
QString userLadderFolder();

// The bundled ladders, then the user's.
LadderSet loadLadders();
