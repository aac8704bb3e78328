// The batch forms of the normal distribution's tails and quantiles: each
// element's fit chosen one at a time, the fits' polynomials evaluated side
// by side on the lanes (the scalar call's operations in its order, so
// every element is its bits).
#include <cmath>
#include <cstddef>
#include <limits>

#include "specfun/kernels/batch.hpp"
#include "specfun/distributions.hpp"
#include "specfun/distributions/normal_stages.hpp"
#include "specfun/kernels/lanes.hpp"

namespace specfun {
namespace {

// A lane whose quantile is not a fit (p = 0, 1, outside [0, 1], NaN) runs
// the polynomial 1 and takes its value as the factor: value · 1 = value.
constexpr double kUnitRow[detail::normal_fits::kCoefficients] = {1.0};

// Elements [0, count) with the distribution d[i * step] (step 0: one for
// all), the upper quantile's sign where `upper`.
SPECFUN_LANE_TARGETS
void QuantilesInLanes(const Normal* d, std::size_t step, bool upper, const double* p,
                      double* out, std::size_t count) {
  using detail::kLaneCount;
  using detail::Lanes;
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  for (std::size_t first = 0; first < count; first += kLaneCount) {
    const std::size_t used = count - first < kLaneCount ? count - first : kLaneCount;
    detail::FitRows<Lanes> rows;
    double s[kLaneCount];
    double factor[kLaneCount];
    for (std::size_t lane = 0; lane < kLaneCount; ++lane) {
      detail::DeviateFit fit{kUnitRow, 0.0, 0.0};
      double value = 0.0;
      if (lane < used && !detail::NormalQuantileFit(p[first + lane], fit, value)) {
        fit = {kUnitRow, 0.0, value};
      }
      rows.row[lane] = fit.row;
      s[lane] = fit.s;
      factor[lane] = fit.factor;
    }
    const Lanes z = Lanes::Load(factor) * detail::FitPolynomial(rows, Lanes::Load(s));
    double result[kLaneCount];
    (upper ? -z : z).Store(result);
    if (step == 0 && detail::Valid(*d)) {
      const Normal shared = *d;
      for (std::size_t lane = 0; lane < used; ++lane) {
        const double x = shared.mean + shared.sd * result[lane];
        out[first + lane] = std::isnan(x) ? kNaN : x;
      }
    } else {
      for (std::size_t lane = 0; lane < used; ++lane) {
        out[first + lane] = detail::Destandardised(d[(first + lane) * step], result[lane]);
      }
    }
  }
}

// cdf (`lower`) or sf of elements [0, count) with the distribution
// d[i * step]: the centre and the tails up to 38.5 on the lanes, the rest
// (limits, NaNs) by the scalar call.
SPECFUN_LANE_TARGETS
void TailsInLanes(const Normal* d, std::size_t step, bool lower, const double* x, double* out,
                  std::size_t count) {
  using detail::kLaneCount;
  using detail::Lanes;
  enum Method : unsigned char { kScalar, kCentre, kTail };
  for (std::size_t first = 0; first < count; first += kLaneCount) {
    const std::size_t used = count - first < kLaneCount ? count - first : kLaneCount;
    detail::FitRows<Lanes> rows;
    double s[kLaneCount];
    double z[kLaneCount];
    bool overW[kLaneCount];
    Method method[kLaneCount];
    for (std::size_t lane = 0; lane < kLaneCount; ++lane) {
      method[lane] = kScalar;
      rows.row[lane] = detail::normal_fits::kCentre;
      s[lane] = 0.0;
      if (lane >= used) continue;
      const double standard = detail::Standardised(d[(first + lane) * step], x[first + lane]);
      z[lane] = lower ? -standard : standard;
      const double w = std::fabs(z[lane]);
      if (w <= detail::kGaussianCentreEnd) {
        method[lane] = kCentre;
        s[lane] = z[lane] * z[lane];
      } else if (w <= detail::kGaussianUnderflow) {
        const detail::MillsFit fit = detail::MillsFitAt(w);
        method[lane] = kTail;
        rows.row[lane] = fit.row;
        s[lane] = fit.s;
        overW[lane] = fit.overW;
      }
    }
    double fitted[kLaneCount];
    detail::FitPolynomial(rows, Lanes::Load(s)).Store(fitted);
    for (std::size_t lane = 0; lane < used; ++lane) {
      const std::size_t i = first + lane;
      if (method[lane] == kCentre) {
        out[i] = 0.5 - z[lane] * fitted[lane];
      } else if (method[lane] == kTail) {
        const double small =
            detail::GaussianUpperTailOfFit(std::fabs(z[lane]), fitted[lane], overW[lane]);
        out[i] = z[lane] > 0.0 ? small : 1.0 - small;
      } else {
        out[i] = lower ? cdf(d[i * step], x[i]) : sf(d[i * step], x[i]);
      }
    }
  }
}

void Tails(const Normal* d, std::size_t step, bool lower, const double* x, double* out,
           std::size_t count) {
  detail::RunQuietBatch(count, [=](std::size_t begin, std::size_t end) {
    TailsInLanes(d + begin * step, step, lower, x + begin, out + begin, end - begin);
  });
}

void Quantiles(const Normal* d, std::size_t step, bool upper, const double* p, double* out,
               std::size_t count) {
  detail::RunQuietBatch(count, [=](std::size_t begin, std::size_t end) {
    QuantilesInLanes(d + begin * step, step, upper, p + begin, out + begin, end - begin);
  });
}

}  // namespace

// Both batch forms of f: one distribution (step 0) or one per element.
#define SPECFUN_NORMAL_LANE_FORMS(f, run, flag)                             \
  void f(const Normal& d, const double* x, double* out, std::size_t count) { \
    run(&d, 0, flag, x, out, count);                                          \
  }                                                                           \
  void f(const Normal* d, const double* x, double* out, std::size_t count) { \
    run(d, 1, flag, x, out, count);                                           \
  }
SPECFUN_NORMAL_LANE_FORMS(cdf, Tails, true)
SPECFUN_NORMAL_LANE_FORMS(sf, Tails, false)
SPECFUN_NORMAL_LANE_FORMS(quantile, Quantiles, false)
SPECFUN_NORMAL_LANE_FORMS(quantile_upper, Quantiles, true)
#undef SPECFUN_NORMAL_LANE_FORMS

}  // namespace specfun
