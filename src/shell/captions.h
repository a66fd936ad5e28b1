// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Captions that the program writes in more than one place.
namespace caption {

inline const QString kHold = QStringLiteral("保留");        // hold button, ready to hold
inline const QString kResume = QStringLiteral("続き");      // hold button while held
inline const QString kAnswer = QStringLiteral("答");        // answer button at rest
inline const QString kBusy = QStringLiteral("処理中");      // answer button during a drill
inline const QString kManual = QStringLiteral("手動解答");  // answer option, single problems
inline const QString kLater = QStringLiteral("後で解答");   // answer option, runs

}  // namespace caption
