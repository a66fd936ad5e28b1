// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The texts of the panel's read-outs, from the settings alone. `hayasa` is
// the time per number in hundredths of a second, `tyo` the display
// extension, `kazu` the terms per problem.

// A whole number of hundredths as seconds with at most two decimals and no
// trailing zeros, cut to four characters: 75 gives "0.75", 8671 "86.7".
QString shortForm(int hundredths);

// The time per number as the pace bar writes it: "３秒毎", "２秒毎" and
// "１秒毎" for the whole seconds, else "0.75毎"; with an extension from 2 on,
// the extension's own text.
QString paceText(int hayasa, int tyo);
// The same as the extension bar writes it: "2秒毎" at 200 (half-width).
QString extensionPaceText(int hayasa, int tyo);
// With an extension from 2 on a number stays tyo + 1 seconds: "4秒毎".
QString extendedPaceText(int tyo);
// The time of a whole problem: "10秒", or "約25" with an extension from 2 on.
QString problemTimeText(int tyo, int kazu, int hayasa);

// The extension is usable only within 3 of two seconds per number.
bool extensionUsable(int hayasa);

// The mix read-out, "混-3".
QString mixText(int kon);
