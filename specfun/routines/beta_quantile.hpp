// The quantile of the beta distribution to full precision (internal): the
// accurate completion of BetaInv's Newton run, shared by the inverse beta, t
// and F routines and by callers that run those Newton steps themselves.
#pragma once

namespace specfun::detail {

// x with I(x, a, b) = p, and y = 1 - x, each to its own relative precision,
// and u = ln(x / y), which stays finite where x or y underflows. Where
// `oddsFromLogRatio` is set, the odds x/y are to be taken from u, which is
// more precise than x and y kept from BetaInv's own run.
struct BetaQuantile {
  double x;
  double y;
  double logRatio;
  bool oddsFromLogRatio = false;
};

// The x with I(x, a, b) = p for 0 < p < 1 and finite a, b > 0, found by
// Newton's method on the logarithm of the smaller tail, min(p, 1 - p), as a
// function of u = ln(x / (1 - x)), kept inside a bracket that shrinks with
// every step; starts at `start` when that lies in (0, 1). Relative error of
// the smaller of x and 1 - x below 1e-12 (about 1e-9 for parameters near
// 1e6); a root below the doubles' range gives 0.
BetaQuantile SolveBetaQuantile(double p, double a, double b, double start);

// The quantile given x, the result of BetaInv's Newton run, and whether
// that run met its tolerance: x and 1 - x themselves where it did and each
// is within 1e-8 relative of the root (x within its quantum near 1), else
// the root from SolveBetaQuantile, started at x.
BetaQuantile RefineBetaQuantile(double p, double a, double b, double x, bool converged);

// The quantile for parameters beyond those the continued fraction serves
// (the larger above 1e6), by asymptotic expansions: the gamma limit where
// the smaller parameter is below 600, Temme's uniform expansion above;
// where the smaller is below 1e5 either is corrected by Newton's method on
// the tail once it is off by more than 1e-9. Relative error in x, 1 - x
// and the odds x/(1 - x) below about 1e-9.
BetaQuantile LargeParameterBetaQuantile(double p, double a, double b);

}  // namespace specfun::detail
