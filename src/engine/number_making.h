#pragma once

// The rules by which a number of a problem is made from the settings and a
// random draw r in [0, 1). The generator keeps the slots and the order of
// draws; these give the values.

// A k-digit number (k from 1 to 14): 10^(k-1) + 10^(k-1) * 9 * r, floored,
// in double precision, so its first digit is never 0.
double digitsNumber(int k, float r);

// A position among `terms`: Int(terms * r) in single precision, never
// beyond the last one.
int drawnPosition(int terms, float r);

// The digit count of a shorter number other than the one of exactly
// `shortest` digits: uniformly one of shortest + 1 to longest - 1, or
// `shortest` itself when no count lies in between.
int inBetweenDigitCount(int longest, int shortest, float r);
