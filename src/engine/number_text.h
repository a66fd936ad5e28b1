#pragma once

#include <QString>

// The plain decimal digits of a whole number below 2^53: no sign,
// separator or exponent.
QString numberText(double value);
