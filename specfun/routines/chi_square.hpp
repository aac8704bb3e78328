// The chi-square tails for callers inside the library: with the parts that
// depend on the degrees of freedom alone worked out once (for many x at one
// nu), many at once side by side, and the prefactor of the lower fraction
// (internal).
#pragma once

#include <cstddef>
#include <cstdint>

namespace specfun::detail {

// ln Γ(ν/2) and ln Γ(ν/2 + 1), the normalising constants of the two
// continued fractions, and the largest x/2 at which 30 levels of the lower
// fraction suffice. A value left NaN is computed when it is needed.
struct ChiSquareConstants {
  double lnGammaHalfNu;
  double lnGammaHalfNuPlusOne;
  double lowerKeepHalfX;
};

// All constants for nu.
ChiSquareConstants ChiSquareConstantsFor(double nu);

// ChiSquare(x, nu, tail), taking from `constants` what is not NaN there; the
// result is the same, bit for bit.
double ChiSquareTail(double x, double nu, std::int32_t tail, const ChiSquareConstants& constants);

// How one tail is evaluated: a continued fraction of `depth` levels (the
// upper fraction of Γ(a, z) or the lower one of γ(a, z)), the
// Wilson–Hilferty approximation, or a value the arguments settle by
// themselves (`settled`, already the wanted tail).
enum class Method : std::uint8_t { kUpperFraction, kLowerFraction, kWilsonHilferty, kSettled };
struct Plan {
  Method method;
  int depth;
  double settled;
};

// The tails ChiSquare(x[i], nu[i], tail) of up to kChiSquareChunk elements:
// each element planned, the fractions of each method run sixteen lanes side
// by side with the lanes ordered by depth; Tail(i) then completes element i
// (its prefactor, whose ln Γ is taken for sixteen elements at a time side
// by side, and the complement), bit for bit the scalar result. With
// `sameX` every x[i] is x[0] and ln(x/2) is taken once; with `constants`,
// constants[i] holds those of nu[i] (ChiSquareConstantsFor) and they are
// not taken again. The arrays must outlive the chunk.
inline constexpr std::size_t kChiSquareChunk = 256;
class ChiSquareChunk {
 public:
  ChiSquareChunk(const double* x, const double* nu, std::int32_t tail, std::size_t count,
                 bool sameX = false, const ChiSquareConstants* constants = nullptr);
  double Tail(std::size_t i);

 private:
  // The ln Γ of the prefactors of the elements i / 16 = group, side by side.
  void LnGammasOfGroup(std::size_t group);

  const double* x_;
  const double* nu_;
  const ChiSquareConstants* constants_;
  std::size_t count_;
  bool upperWanted_;
  double logHalfX_;
  // Bit g: the ln Γ of group g are in lnGammas_.
  std::uint32_t lnGammaGroupsDone_ = 0;
  static_assert(kChiSquareChunk <= 16 * 32, "one bit per group of sixteen");
  Plan plans_[kChiSquareChunk];
  double fractions_[kChiSquareChunk];
  double lnGammas_[kChiSquareChunk];
};

// ChiSquare(x, nu, tail) from the 30-level fraction of the branch that x/ν
// selects (the finite form for an even ν up to 32), whatever its error:
// the fixed-depth evaluation, for measuring how far it strays.
double ChiSquareWithFixedDepth(double x, double nu, std::int32_t tail);

// ln(z^a·e^(−z)/Γ(a + 1)) for a >= 200, free of the cancellation between
// its large terms.
double LogLowerPrefactor(double a, double z);

}  // namespace specfun::detail
