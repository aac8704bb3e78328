// The routines' equivalents in Boost.Math, with Boost's default policy: an
// argument it cannot handle, or a series that does not converge, throws, and
// the evaluator counts the failure.
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/non_central_chi_squared.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/poisson.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/gamma.hpp>

#include <boost/version.hpp>

#include <cmath>
#include <string>

#include "accuracy/peers.hpp"

namespace accuracy {

std::string BoostVersion() {
  return std::to_string(BOOST_VERSION / 100000) + "." + std::to_string(BOOST_VERSION / 100 % 1000) +
         "." + std::to_string(BOOST_VERSION % 100);
}

}  // namespace accuracy

namespace accuracy::boost_math {

namespace bm = boost::math;

double LnGamma(Arguments a) { return bm::lgamma(a[0]); }
double QGauss(Arguments a) { return bm::cdf(bm::complement(bm::normal(), a[0])); }
double QGaussInv(Arguments a) { return bm::quantile(bm::complement(bm::normal(), a[0])); }
double BETAF(Arguments a) { return bm::ibeta(a[1], a[2], a[0]); }

// A(t | nu) as beside R's: the incomplete beta for t^2 < nu, else the
// complement of the two-sided tail.
double StudentA(Arguments a) {
  const double t2 = a[0] * a[0];
  if (t2 < a[1]) return bm::ibeta(0.5, 0.5 * a[1], t2 / (a[1] + t2));
  return 1.0 - 2.0 * bm::cdf(bm::complement(bm::students_t(a[1]), std::fabs(a[0])));
}
double StudentAQ(Arguments a) {
  return 2.0 * bm::cdf(bm::complement(bm::students_t(a[1]), std::fabs(a[0])));
}
double FDistP(Arguments a) { return bm::cdf(bm::fisher_f(a[1], a[2]), a[0]); }
double FDistQ(Arguments a) { return bm::cdf(bm::complement(bm::fisher_f(a[1], a[2]), a[0])); }
double BinomP(Arguments a) { return bm::ibetac(a[1], a[2] - a[1] + 1.0, a[0]); }
double BinomQ(Arguments a) { return bm::ibeta(a[1], a[2] - a[1] + 1.0, a[0]); }
double BetaInv(Arguments a) { return bm::ibeta_inv(a[1], a[2], a[0]); }
double StudentInv(Arguments a) {
  return bm::quantile(bm::complement(bm::students_t(a[1]), 0.5 * a[0]));
}
double FDistInv(Arguments a) {
  return bm::quantile(bm::complement(bm::fisher_f(a[1], a[2]), a[0]));
}
double ChiSquareP(Arguments a) { return bm::cdf(bm::chi_squared(a[1]), a[0]); }
double ChiSquareQ(Arguments a) { return bm::cdf(bm::complement(bm::chi_squared(a[1]), a[0])); }
double ChiSquareInv(Arguments a) {
  return bm::quantile(bm::complement(bm::chi_squared(a[1]), a[0]));
}
double NCChiSquareP(Arguments a) {
  return bm::cdf(bm::non_central_chi_squared(a[1], a[2]), a[0]);
}
double NCChiSquareQ(Arguments a) {
  return bm::cdf(bm::complement(bm::non_central_chi_squared(a[1], a[2]), a[0]));
}

double GammaP(Arguments a) { return bm::gamma_p(a[1], a[0]); }
double GammaQ(Arguments a) { return bm::gamma_q(a[1], a[0]); }
double GammaInv(Arguments a) { return bm::gamma_p_inv(a[1], a[0]); }
double PoissonCdf(Arguments a) { return bm::cdf(bm::poisson(a[1]), a[0]); }
double PoissonSf(Arguments a) { return bm::cdf(bm::complement(bm::poisson(a[1]), a[0])); }

}  // namespace accuracy::boost_math
