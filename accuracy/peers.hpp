// Each routine's equivalent in R's standalone math library and in Boost.Math,
// called on the same arguments as ours. Where a peer has no routine of the
// same meaning, the equivalent is formed exactly from one it has (a
// two-sided t tail is twice a one-sided one; the binomial sums are
// incomplete beta functions).
#pragma once

#include <span>
#include <string>

namespace accuracy {

using Arguments = std::span<const double>;

// Boost's version as major.minor.patch.
std::string BoostVersion();

// The R and Boost sides of every routine. The Boost functions use Boost's
// default policy and so may throw; the caller counts what they throw.
namespace r_math {
double LnGamma(Arguments a);
double QGauss(Arguments a);
double QGaussInv(Arguments a);
double BETAF(Arguments a);
double StudentA(Arguments a);
double StudentAQ(Arguments a);
double FDistP(Arguments a);
double FDistQ(Arguments a);
double BinomP(Arguments a);
double BinomQ(Arguments a);
double BetaInv(Arguments a);
double StudentInv(Arguments a);
double FDistInv(Arguments a);
double ChiSquareP(Arguments a);
double ChiSquareQ(Arguments a);
double ChiSquareInv(Arguments a);
double NCChiSquareP(Arguments a);
double NCChiSquareQ(Arguments a);
double GammaP(Arguments a);
double GammaQ(Arguments a);
double GammaInv(Arguments a);
double PoissonCdf(Arguments a);
double PoissonSf(Arguments a);
}  // namespace r_math

namespace boost_math {
double LnGamma(Arguments a);
double QGauss(Arguments a);
double QGaussInv(Arguments a);
double BETAF(Arguments a);
double StudentA(Arguments a);
double StudentAQ(Arguments a);
double FDistP(Arguments a);
double FDistQ(Arguments a);
double BinomP(Arguments a);
double BinomQ(Arguments a);
double BetaInv(Arguments a);
double StudentInv(Arguments a);
double FDistInv(Arguments a);
double ChiSquareP(Arguments a);
double ChiSquareQ(Arguments a);
double ChiSquareInv(Arguments a);
double NCChiSquareP(Arguments a);
double NCChiSquareQ(Arguments a);
double GammaP(Arguments a);
double GammaQ(Arguments a);
double GammaInv(Arguments a);
double PoissonCdf(Arguments a);
double PoissonSf(Arguments a);
}  // namespace boost_math

}  // namespace accuracy
