// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The plain decimal digits of a whole number below 2^53: no sign,
// separator or exponent.
QString numberText(double value);

// The same digits with "," between groups of three from the right:
// "1234567" gives "1,234,567"; fewer than four digits come back unchanged.
QString groupDigits(const QString& digits);
