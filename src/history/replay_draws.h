#pragma once

#include <QList>
#include <deque>
#include <optional>

#include "engine/drill_events.h"

// The draws of the random source from which the window's number making
// produces exactly `numbers`, one problem of numbers.size() terms made under
// the digit counts and mix of `settings`. Each draw lies on the source's
// 2^-24 grid. Nothing when no draws can give these numbers (a mix that
// does not match their digit counts, or a value off the grid).
//
// The making rule, per problem: the first number asked for places the mix's
// shorter numbers (position, then value, for the first; position, in-between
// digit count, then value, for each further one); then every position not
// placed takes a longest-digit number (one value draw) when it is asked for.
std::optional<std::deque<float>> replayDraws(const DrillSettings& settings,
                                             const QList<qint64>& numbers);

// The k-digit number a value draw r makes: floor(10^(k-1) + 10^(k-1) * 9 * r).
double numberFromDraw(int digits, float r);
