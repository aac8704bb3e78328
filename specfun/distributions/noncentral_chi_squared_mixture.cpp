// The non-central chi-square tails and density as Poisson mixtures of
// central ones (A&S 26.4.25), summed from the term that dominates outward.
//
// The central tails move along j by A&S 6.5.21,
//   P(b, z) = P(b + 1, z) + e_b,   Q(b + 1, z) = Q(b, z) + e_b,
//   e_b = z^b e^-z / Γ(b + 1),   e_(b-1) = e_b·b/z,
// each in the direction in which it only adds (P downward, Q upward), and the
// weights by w_(j+1) = w_j·m/(j + 1). So the sum runs in two pieces: from the
// dominant index j* in the stable direction, and from the far end of the
// range on the other side back to j*, that end found first from bounds on
// the terms' ratios. Each piece is carried relative to its own start and
// joined at j*, whose term is the one taken from the central tail directly;
// where the far end is near j*, one sweep from it does.
//
// The bounds (b = a + j; P(b+1)/P(b) <= z/(b+1) from the series of P,
// Q(b-1)/Q(b) <= (b-1)/z from Q's integral; e_b/P(b) grows with b and
// e_b/Q(b) falls with it):
//   lower tail, above j*: t_(j+1)/t_j <= (m/(j+1))·min(1, z/(a+j+1));
//               below j:  t_(i-1)/t_i <= (j/m)(1 + (e_j/P_j)(a+j)/z);
//   upper tail, below j*: t_(j-1)/t_j <= (j/m)·min(1, (a+j-1)/z);
//               above j:  t_(i+1)/t_i <= (m/(j+1))(1 + e_j/Q_j);
// each falls along its direction, so a ratio r < 1 bounds what is left by
// t·r/(1 − r). Beside the tail the sweeps add up z f(z) = Σ w_j e_j (a + j),
// f the density of z, over the tail's range: the slope of ln tail in ln x.
#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

#include "specfun/distributions/noncentral_chi_squared_parts.hpp"
#include "specfun/kernels/double_double.hpp"
#include "specfun/kernels/incomplete_gamma.hpp"

namespace specfun::detail {
namespace {

// What a direction may leave out, relative to the sum.
constexpr double kNegligible = 0x1p-54;
// Up to this many steps from the end of the range to the dominant term the
// sweep starts at the end (one central tail fewer): the rounding of its
// steps adds up to below 2e-15 there.
constexpr double kShortSweep = 32;
// A guard on every loop over j: MixtureTakes keeps the ranges far shorter.
constexpr double kMostTerms = 1e5;

// The double nearest a + j and what it leaves out: the central functions
// at a + j move by up to ln(z/b) per unit of b, so that rounding, up to
// 2^-53·b, would cost digits where b is large.
struct ShiftedIndex {
  double b;
  double offset;  // a + j − b, exactly
};

ShiftedIndex IndexOf(double a, double j) {
  const DoubleDouble sum = TwoSum(a, j);
  return {sum.hi, sum.lo};
}

// Whether offset·d/db of the central functions' logs matters: their slope
// is below |ln(z/b)| + 2 (ψ(b + 1) − ln b and the tails' Mills ratios add
// less), so not where that times the offset is below 2^-60.
bool ShiftMatters(double b, double offset, double z) {
  return offset != 0 && !(std::fabs(offset) * (std::fabs(std::log(z / b)) + 2) < 0x1p-60);
}

// A step above b small enough that the second derivative (of order
// 1/sqrt(b)) does not show in a difference over it.
double StepAbove(double b) { return b + 1e-6 * std::max(1.0, std::sqrt(b)); }

// offset·d/db of a logarithm f(b), by a difference over StepAbove.
template <class LogOf>
double ShiftOf(LogOf logOf, double b, double offset, double z) {
  if (!ShiftMatters(b, offset, z)) return 0.0;
  const double next = StepAbove(b);
  return offset * (logOf(next) - logOf(b)) / (next - b);
}

// The difference of two logarithms in two parts.
double Difference(const DoubleDouble& x, const DoubleDouble& y) { return (x.hi - y.hi) + (x.lo - y.lo); }

// A central tail at a + j, its logarithm in two parts, and it over
// e_(a+j): P(b, z)/e_b or Q(b, z)/e_b (+inf where e_b is below the
// doubles' reach beside the tail).
struct CentralTail {
  double tail;
  DoubleDouble log;
  double overTerm;
};

CentralTail CentralTailAt(double a, double j, double z, TailSide side) {
  const ShiftedIndex index = IndexOf(a, j);
  const double b = index.b;
  const bool lower = side == TailSide::kLower;
  // The logarithms in two parts, whose difference keeps the ratio's digits
  // (one call for the tail and the term, one more for their shifts).
  const LogGammaTailsAndTerm logs = LogRegularizedGammaTailsAndTerm(b, z);
  const DoubleDouble logTail = lower ? logs.lower : logs.upper;
  if (!std::isnan(logTail.hi)) {
    double tailShift = 0.0, termShift = 0.0;
    if (ShiftMatters(b, index.offset, z)) {
      const double next = StepAbove(b);
      const LogGammaTailsAndTerm there = LogRegularizedGammaTailsAndTerm(next, z);
      const double scale = index.offset / (next - b);
      tailShift = scale * Difference(lower ? there.lower : there.upper, logTail);
      termShift = scale * Difference(there.logTerm, logs.logTerm);
    }
    const DoubleDouble log = logTail + tailShift;
    return {Exp(log), log, Exp(log - logs.logTerm - termShift)};
  }
  const auto plainLogTail = [&](double c) {
    const GammaTails plainLogs = LogRegularizedGammaTails(c, z);
    return lower ? plainLogs.lower : plainLogs.upper;
  };
  const double tailShift = ShiftOf(plainLogTail, b, index.offset, z);
  const double termShift = ShiftOf([&](double c) { return LogPoissonTerm(c, z); }, b, index.offset, z);
  const GammaTails tails = RegularizedGammaTails(b, z);
  const double plain = plainLogTail(b) + tailShift;
  return {(lower ? tails.lower : tails.upper) * (1 + tailShift), {plain, 0.0},
          std::exp(plain - LogPoissonTerm(b, z) - termShift)};
}

// The Poisson weight w_j and its logarithm (in two parts below the doubles'
// range or when asked for).
struct Weight {
  double value;
  DoubleDouble log;
};

// j! for j up to 22, each exact in a double (22!/2^19 < 2^53).
constexpr int kExactFactorials = 22;
constexpr std::array<double, kExactFactorials + 1> Factorials() {
  std::array<double, kExactFactorials + 1> f{};
  f[0] = 1;
  for (int k = 1; k <= kExactFactorials; ++k) f[k] = f[k - 1] * k;
  return f;
}
constexpr std::array<double, kExactFactorials + 1> kFactorials = Factorials();
// Below this m, e^-m is a normal double and m^22 far from overflow.
constexpr double kLargestDirectMean = 700;

// w_j = e^-m m^j/j!: up to j = 22 from three roundings (e^-m, m^j and the
// quotient), else from the Poisson term's logarithm.
double PoissonWeight(double j, double m) {
  if (j > kExactFactorials || m > kLargestDirectMean) return PoissonTerm(j, m);
  return std::exp(-m) * (std::pow(m, j) / kFactorials[static_cast<int>(j)]);
}

Weight WeightAt(double j, double m, bool logInTwoParts) {
  const double w = PoissonWeight(j, m);
  if (w < DBL_MIN) return {w, LogPoissonTermAsDoubleDouble(j, m)};
  return {w, logInTwoParts ? Log(Exact(w)) : Exact(std::log(w))};
}

// sum·w·tail, the total of a sum carried relative to the term w·tail; its
// log in two parts when asked for (else as one double where the total is
// one).
Probability Scaled(double sum, const Weight& weight, const CentralTail& central, bool logInTwoParts) {
  if (weight.value >= DBL_MIN && central.tail >= DBL_MIN) {
    const double value = weight.value * (central.tail * sum);
    if (value >= DBL_MIN && !logInTwoParts) return {value, std::log(value)};
    if (value >= DBL_MIN) {
      const DoubleDouble log = weight.log + central.log + std::log(sum);
      return {value, log.hi, log.lo};
    }
  }
  const DoubleDouble log = weight.log + central.log + std::log(sum);
  return {Exp(log), log.hi, log.lo};
}

// The largest j above `start` whose terms of the lower tail may matter:
// beyond it they add to less than kNegligible of the term at `start`.
double EndOfLowerRange(double a, double m, double z, double start) {
  double bound = 1.0;
  for (double j = start; j < start + kMostTerms; ++j) {
    const double b = a + j + 1;
    const double r = m * std::min(b, z) / ((j + 1) * b);
    if (r < 1 && bound * r <= kNegligible * (1 - r)) return j;
    bound *= r;
  }
  return start + kMostTerms;
}

// The smallest j below `start` whose terms of the upper tail may matter.
double StartOfUpperRange(double a, double m, double z, double start) {
  double bound = 1.0;
  double j = start;
  const double inverse = 1 / (m * z);
  for (; j > 0 && j > start - kMostTerms; --j) {
    const double r = j * std::min(z, a + (j - 1)) * inverse;
    if (r < 1 && bound * r <= kNegligible * (1 - r)) break;
    bound *= r;
  }
  return j;
}

// A sweep of the lower tail's terms downward from j, carried as the term
// t_j = w_j P_j (relative to the first) and σ_j = P_j/e_j >= 1:
//   t_(j-1) = t_j (j/m)(1 + 1/p),  σ_(j-1) = 1 + p,  p = σ_j z/(a + j),
// so that nothing overflows however far apart w_j and P_j move (σ may
// reach +inf, where the terms are the weights'), and no division holds up
// the next step.
struct DownwardSweep {
  double a, m, z;
  double t = 1.0, sigma;
  double sum = 0.0, density = 0.0;

  // Adds the term at j; returns the ratio to the next one, t_(j-1)/t_j.
  double Add(double j) {
    const double p = sigma * (z / (a + j));
    const double inverse = 1 / p;
    sum += t;
    density += t * (z * inverse);
    const double r = (j / m) * (1 + inverse);
    t *= r;
    sigma = 1 + p;
    return r;
  }
};

// The same upward for the upper tail, with σ_j = Q_j/e_j:
//   t_(j+1) = t_j (m/(j+1))(1 + 1/σ_j),  σ_(j+1) = (σ_j + 1)(a + j + 1)/z.
struct UpwardSweep {
  double a, m, z;
  double t = 1.0, sigma;
  double sum = 0.0, density = 0.0;

  double Add(double j) {
    sum += t;
    const double w = m / (j + 1);
    // σ may be below 1/DBL_MAX (a tiny a puts Q near a e^-z/z): there the
    // quotients by it are taken whole.
    const double inverse = 1 / sigma;
    const bool finite = inverse <= DBL_MAX;
    density += t * (finite ? inverse * (a + j) : (a + j) / sigma);
    const double r = finite ? w * (1 + inverse) : w + w / sigma;
    t *= r;
    sigma = (sigma + 1) * ((a + j + 1) / z);
    return r;
  }
};

// Whether a direction whose terms fall at least by r a step (from `term`
// on) leaves out less than kNegligible of `sum`.
bool Negligible(double term, double r, double sum) {
  // A sum that is not a number ends too: it stays one.
  return (r < 1 && term * r <= kNegligible * (1 - r) * sum) || std::isnan(sum);
}

TailAndSlope LowerMixture(double a, double m, double z, bool logInTwoParts) {
  // The dominant term lies at or below the weights' mode; where P(a + j, z)
  // is small it falls by about z/(a + j + 1) a step, so that the terms grow
  // while (j + 1)(a + j + 1) < m z.
  const double mode = std::floor(m);
  double peak = mode;
  if (z < a + m) {
    const double u = 0.5 * (std::sqrt(a * a + 4 * m * z) - a);
    peak = std::min(mode, std::max(0.0, std::ceil(u - 1)));
  }
  // From the end of the range down to the peak, relative to the peak's
  // term as this sweep reaches it; a short way down is taken in one sweep.
  double above = 0.0, densityAbove = 0.0;
  const double top = EndOfLowerRange(a, m, z, peak);
  if (top - peak <= kShortSweep) {
    peak = top;
  } else {
    DownwardSweep sweep{a, m, z, 1.0, CentralTailAt(a, top, z, TailSide::kLower).overTerm};
    for (double j = top; j > peak; --j) sweep.Add(j);
    above = sweep.sum / sweep.t;
    densityAbove = sweep.density / sweep.t;
  }
  // From the peak downward, relative to the peak's term.
  const CentralTail central = CentralTailAt(a, peak, z, TailSide::kLower);
  DownwardSweep sweep{a, m, z, 1.0, central.overTerm, above, densityAbove};
  for (double j = peak; j > peak - kMostTerms; --j) {
    const double term = sweep.t;
    const double r = sweep.Add(j);
    if (j == 0 || Negligible(term, r, sweep.sum)) break;
  }
  return {Scaled(sweep.sum, WeightAt(peak, m, logInTwoParts), central, logInTwoParts), sweep.density / sweep.sum};
}

TailAndSlope UpperMixture(double a, double m, double z, bool logInTwoParts) {
  // The dominant term lies at or above the weights' mode; where Q(a + j, z)
  // is small it grows by about z/(a + j) a step: the terms grow while
  // (j + 1)(a + j) < m z.
  const double mode = std::floor(m);
  double peak = mode;
  if (z > a + m) {
    const double u = 0.5 * (std::sqrt((a - 1) * (a - 1) + 4 * m * z) - (a - 1));
    peak = std::max(mode, std::ceil(u - 1));
  }
  double below = 0.0, densityBelow = 0.0;
  const double bottom = StartOfUpperRange(a, m, z, peak);
  if (peak - bottom <= kShortSweep) {
    peak = bottom;
  } else {
    UpwardSweep sweep{a, m, z, 1.0, CentralTailAt(a, bottom, z, TailSide::kUpper).overTerm};
    for (double j = bottom; j < peak; ++j) sweep.Add(j);
    below = sweep.sum / sweep.t;
    densityBelow = sweep.density / sweep.t;
  }
  const CentralTail central = CentralTailAt(a, peak, z, TailSide::kUpper);
  UpwardSweep sweep{a, m, z, 1.0, central.overTerm, below, densityBelow};
  for (double j = peak; j < peak + kMostTerms; ++j) {
    const double term = sweep.t;
    if (Negligible(term, sweep.Add(j), sweep.sum)) break;
  }
  return {Scaled(sweep.sum, WeightAt(peak, m, logInTwoParts), central, logInTwoParts), sweep.density / sweep.sum};
}

// z^(a+j-1) e^-z / Γ(a + j), the central density of z, and its logarithm.
Weight CentralDensityTerm(double a, double j, double z) {
  if (j == 0 && a < 1) {
    // a − 1 in (−1, 0): from e_a = e_(a-1)·z/a.
    const DoubleDouble log = LogPoissonTermAsDoubleDouble(a, z) + Log(Exact(a)) - Log(Exact(z));
    const double g = PoissonTerm(a, z) * (a / z);
    return {g >= DBL_MIN && std::isfinite(g) ? g : Exp(log), log};
  }
  const ShiftedIndex index = IndexOf(a, j - 1);
  const double shift = ShiftOf([&](double c) { return LogPoissonTerm(c, z); }, index.b, index.offset, z);
  const double g = PoissonTerm(index.b, z);
  if (g >= DBL_MIN) return {g * (1 + shift), Log(Exact(g)) + shift};
  const DoubleDouble log = LogPoissonTermAsDoubleDouble(index.b, z) + shift;
  return {Exp(log), log};
}

}  // namespace

TailAndSlope MixtureTail(double a, double m, double z, TailSide side, bool logInTwoParts) {
  return side == TailSide::kLower ? LowerMixture(a, m, z, logInTwoParts) : UpperMixture(a, m, z, logInTwoParts);
}

Probability MixtureDensity(double a, double m, double z) {
  // Terms w_j g_j with ratio g_(j+1) w_(j+1)/(g_j w_j) = m z/((j+1)(a+j)),
  // which falls with j: the largest is the first j with (j + 1)(a + j) >= m z.
  const double u = 0.5 * (std::sqrt((a - 1) * (a - 1) + 4 * m * z) - (a + 1));
  const double peak = std::max(0.0, std::ceil(u));
  double sum = 1.0;
  double t = 1.0;
  for (double j = peak; j < peak + kMostTerms; ++j) {
    const double r = (m / (j + 1)) * (z / (a + j));
    t *= r;
    sum += t;
    if (r < 1 && t * r <= kNegligible * (1 - r) * sum) break;
  }
  t = 1.0;
  for (double j = peak; j > 0 && j > peak - kMostTerms; --j) {
    const double r = (j / m) * ((a + (j - 1)) / z);
    t *= r;
    sum += t;
    if (r < 1 && t * r <= kNegligible * (1 - r) * sum) break;
  }
  const Weight weight = WeightAt(peak, m, true);
  const Weight g = CentralDensityTerm(a, peak, z);
  const DoubleDouble log = weight.log + g.log + std::log(0.5 * sum);
  if (weight.value >= DBL_MIN && g.value >= DBL_MIN) {
    const double value = weight.value * (g.value * (0.5 * sum));
    if (value >= DBL_MIN && std::isfinite(value)) return {value, log.hi + log.lo};
  }
  return {Exp(log), log.hi + log.lo};
}

}  // namespace specfun::detail
