// The standard normal distribution as the limit of the t and F families
// (internal): tails, their logarithms, the density and the quantile, each
// to a few units in the last place, the exponent t²/2 carried in
// double-double.
#pragma once

#include "specfun/kernels/precise_beta.hpp"
#include "specfun/kernels/precise_beta_quantile.hpp"

namespace specfun::detail {

// {Φ(t), Q(t)} = {P(Z <= t), P(Z > t)}, and their logarithms.
PreciseTails NormalTails(double t);
PreciseTails NormalLogTails(double t);

// φ(t) and ln φ(t).
double NormalDensity(double t);
double NormalLogDensity(double t);

// The t with Φ(t) (Q(t) where `upper`) at the probability whose smaller
// tail is `target`.
double NormalQuantile(const TailTarget& target, bool upper);

}  // namespace specfun::detail
