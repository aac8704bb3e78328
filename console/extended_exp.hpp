// e^x evaluated with a 64-bit significand and rounded once to double.
#pragma once

namespace console {

// t = x·log2(e), n = t rounded to the nearest integer, f = t - n, and
// e^x = 2^f · 2^n, all in extended precision. Overflows to +∞; x = +∞ gives
// ∞ - ∞ in the split and so a NaN with its sign bit set.
double ExtendedExp(double x);

}  // namespace console
