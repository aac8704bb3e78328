// The normal quantiles' batch forms: each element's fit chosen one at a
// time, the fits' polynomials evaluated side by side on the lanes (the
// scalar call's operations in its order, so every element is its bits).
#include <cmath>
#include <cstddef>
#include <limits>

#include "specfun/batch.hpp"
#include "specfun/distributions.hpp"
#include "specfun/distributions/normal_quantile.hpp"
#include "specfun/lanes.hpp"

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

void Quantiles(const Normal* d, std::size_t step, bool upper, const double* p, double* out,
               std::size_t count) {
  detail::RunQuietBatch(count, [=](std::size_t begin, std::size_t end) {
    QuantilesInLanes(d + begin * step, step, upper, p + begin, out + begin, end - begin);
  });
}

}  // namespace

void quantile(const Normal& d, const double* p, double* out, std::size_t count) {
  Quantiles(&d, 0, false, p, out, count);
}
void quantile(const Normal* d, const double* p, double* out, std::size_t count) {
  Quantiles(d, 1, false, p, out, count);
}
void quantile_upper(const Normal& d, const double* q, double* out, std::size_t count) {
  Quantiles(&d, 0, true, q, out, count);
}
void quantile_upper(const Normal* d, const double* q, double* out, std::size_t count) {
  Quantiles(d, 1, true, q, out, count);
}

}  // namespace specfun
