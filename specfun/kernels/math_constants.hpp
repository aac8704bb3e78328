// Constants of the routines' mathematics (internal): each the double
// nearest to its value, written as a literal, so that it is set before any
// caller's static initialiser runs.
#pragma once

namespace specfun::detail {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kLogTwo = 0.69314718055994531;
inline constexpr double kLogHalf = -0.69314718055994531;
inline constexpr double kRootTwo = 1.4142135623730950488;
// 2^-53, the unit roundoff of a double: a rounding moves a value by at
// most this share of it.
inline constexpr double kUnitRoundoff = 0x1p-53;
// √(2π), 1/√(2π) and ln √(2π) (kHalfLogTwoPi of Stirling's formula is the
// C library's value, one unit below this).
inline constexpr double kRootTwoPi = 2.5066282746310005024;
inline constexpr double kInvSqrtTwoPi = 0.3989422804014327;
inline constexpr double kLogSqrtTwoPi = 0.91893853320467274;

}  // namespace specfun::detail
