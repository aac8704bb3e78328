// The normal quantiles' batch forms: each element's fit chosen one at a
// time, the fits' polynomials evaluated side by side on the lanes (the
// scalar call's operations in its order, so every element is its bits).
#include <cstddef>

#include "specfun/batch.hpp"
#include "specfun/distributions.hpp"
#include "specfun/distributions/normal_quantile.hpp"
#include "specfun/lanes.hpp"

namespace specfun {
namespace {

// Where a lane has no fit to evaluate, its polynomial runs on this row.
const double* const kIdleRow = detail::normal_fits::kQuantileCentre;

// Elements [0, count) with the distribution d[i * step] (step 0: one for
// all), the upper quantile's sign where `upper`.
SPECFUN_LANE_TARGETS
void QuantilesInLanes(const Normal* d, std::size_t step, bool upper, const double* p,
                      double* out, std::size_t count) {
  using detail::kLaneCount;
  for (std::size_t first = 0; first < count; first += kLaneCount) {
    const std::size_t used = count - first < kLaneCount ? count - first : kLaneCount;
    detail::FitRows<detail::Lanes> rows;
    double s[kLaneCount];
    double factor[kLaneCount];
    double direct[kLaneCount];
    bool fitted[kLaneCount];
    for (std::size_t lane = 0; lane < kLaneCount; ++lane) {
      detail::DeviateFit fit{kIdleRow, 0.0, 1.0};
      fitted[lane] = lane < used && detail::NormalQuantileFit(p[first + lane], fit, direct[lane]);
      rows.row[lane] = fitted[lane] ? fit.row : kIdleRow;
      s[lane] = fitted[lane] ? fit.s : 0.0;
      factor[lane] = fit.factor;
    }
    const detail::Lanes polynomial = detail::FitPolynomial(rows, detail::Lanes::Load(s));
    for (std::size_t lane = 0; lane < used; ++lane) {
      const double z = fitted[lane] ? factor[lane] * polynomial.Get(lane) : direct[lane];
      out[first + lane] = detail::Destandardised(d[(first + lane) * step], upper ? -z : z);
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
