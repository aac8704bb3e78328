// The normal distribution against mpmath's values at the exact doubles
// (tests/data/distributions/normal.txt, tools/gen_distribution_normal.py),
// its identities, limits, and its batch forms bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "specfun/distributions.hpp"
#include "tests/reference_table.hpp"

namespace {

using specfun::Normal;
using testing_support::ReadReferenceTable;
using testing_support::RelativeError;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Every function's bound at the standardised argument, relative.
constexpr double kBound = 1e-15;

using Function = double (*)(const Normal&, double);
struct Named {
  const char* name;
  Function f;
};
// In the tables' code order (code k is kFunctions[k - 1]).
const Named kFunctions[] = {
    {"cdf", specfun::cdf},
    {"sf", specfun::sf},
    {"log_cdf", specfun::log_cdf},
    {"log_sf", specfun::log_sf},
    {"pdf", specfun::pdf},
    {"log_pdf", specfun::log_pdf},
    {"quantile", specfun::quantile},
    {"quantile_upper", specfun::quantile_upper},
    {"quantile_log", specfun::quantile_log},
    {"quantile_upper_log", specfun::quantile_upper_log},
};

TEST(NormalDistribution, ReferenceTableWithinBound) {
  const auto rows = ReadReferenceTable("distributions/normal.txt");
  ASSERT_GT(rows.size(), 1000u);
  for (const auto& row : rows) {
    const Named& function = kFunctions[static_cast<int>(row[0]) - 1];
    const Normal d{row[1], row[2]};
    const double value = function.f(d, row[3]);
    EXPECT_LE(RelativeError(value, row[4]), kBound)
        << function.name << "(Normal{" << row[1] << ", " << row[2] << "}, " << row[3]
        << ") = " << value << ", reference " << row[4];
  }
}

TEST(NormalDistribution, TailsAddUpToOne) {
  for (double x = -3.0; x <= 3.0; x += 0.0625) {
    EXPECT_NEAR(specfun::cdf(Normal{}, x) + specfun::sf(Normal{}, x), 1.0, 2.3e-16) << x;
    EXPECT_EQ(specfun::log_cdf(Normal{}, x), specfun::log_sf(Normal{}, -x)) << x;
    EXPECT_EQ(specfun::pdf(Normal{}, x), specfun::pdf(Normal{}, -x)) << x;
  }
}

TEST(NormalDistribution, QuantilesInvertTheTails) {
  for (double x = -37.0; x <= 37.0; x += 0.37) {
    // The smaller tail, so that its deviate is well defined.
    const double p = x < 0.0 ? specfun::cdf(Normal{}, x) : specfun::sf(Normal{}, x);
    const double inverse = x < 0.0 ? specfun::quantile(Normal{}, p)
                                   : specfun::quantile_upper(Normal{}, p);
    const double lq = specfun::log_sf(Normal{}, x);
    // The round trip's error is the tail's, times the quantile's condition.
    const double tolerance = 4e-15 * (1.0 + std::fabs(x));
    EXPECT_NEAR(inverse, x, tolerance) << x;
    EXPECT_NEAR(specfun::quantile_upper_log(Normal{}, lq), x, tolerance) << x;
    EXPECT_EQ(specfun::quantile_upper(Normal{}, p), -specfun::quantile(Normal{}, p)) << p;
  }
  for (double lp : {-1e300, -1e100, -1e10, -2000.0}) {
    const double x = specfun::quantile_log(Normal{}, lp);
    EXPECT_LE(RelativeError(specfun::log_cdf(Normal{}, x), lp), 1e-15) << lp;
  }
}

TEST(NormalDistribution, LimitsAndInvalidParameters) {
  struct Case {
    const char* function;
    Normal d;
    double argument;
    double expected;
  };
  const Function byName[] = {specfun::cdf, specfun::sf, specfun::log_cdf, specfun::log_sf,
                             specfun::pdf, specfun::log_pdf, specfun::quantile,
                             specfun::quantile_upper, specfun::quantile_log,
                             specfun::quantile_upper_log};
  const Case cases[] = {
      {"cdf", {}, -kInfinity, 0.0},        {"cdf", {}, kInfinity, 1.0},
      {"cdf", {}, -39.0, 0.0},             {"sf", {}, 39.0, 0.0},
      {"log_cdf", {}, -kInfinity, -kInfinity}, {"log_sf", {}, 1e200, -kInfinity},
      {"log_sf", {}, -kInfinity, 0.0},     {"pdf", {}, kInfinity, 0.0},
      {"log_pdf", {}, -kInfinity, -kInfinity}, {"quantile", {}, 0.0, -kInfinity},
      {"quantile", {}, 1.0, kInfinity},    {"quantile_upper", {}, 0.0, kInfinity},
      {"quantile_log", {}, -kInfinity, -kInfinity}, {"quantile_log", {}, 0.0, kInfinity},
      {"quantile_upper_log", {}, 0.0, -kInfinity},
      {"quantile", {}, -0.5, kNaN},        {"quantile", {}, 1.5, kNaN},
      {"quantile_log", {}, 1e-300, kNaN},  {"quantile", {}, kNaN, kNaN},
      {"cdf", {}, kNaN, kNaN},             {"cdf", {0.0, -1.0}, 1.0, kNaN},
      {"sf", {0.0, 0.0}, 1.0, kNaN},       {"pdf", {kNaN, 1.0}, 1.0, kNaN},
      {"log_sf", {kInfinity, 1.0}, 1.0, kNaN}, {"quantile", {0.0, kInfinity}, 0.3, kNaN},
  };
  for (const Case& c : cases) {
    int code = 0;
    while (std::string(kFunctions[code].name) != c.function) ++code;
    const double value = byName[code](c.d, c.argument);
    if (std::isnan(c.expected)) {
      EXPECT_TRUE(std::isnan(value)) << c.function << "(" << c.argument << ") = " << value;
    } else {
      EXPECT_EQ(value, c.expected) << c.function << "(" << c.argument << ")";
    }
  }
}

// Arguments for every function: deviates of both signs through every method,
// probabilities and log-probabilities, limits and NaNs.
std::vector<double> BatchArguments(std::size_t count) {
  const double pattern[] = {-40.0, -9.0, -0.3, 0.0, 0.2, 0.6, 1.7, 7.9, 8.1, 37.9,
                            1e-300, 0.1875, 0.5, 0.8125, 0.999, 1.0, -1e-5, -3000.0,
                            -kInfinity, kNaN, -1.0, 2.5, 1e160};
  std::vector<double> x(count);
  for (std::size_t i = 0; i < count; ++i) {
    x[i] = pattern[i % (sizeof pattern / sizeof pattern[0])] * (1.0 + 1e-3 * (i / 23));
  }
  return x;
}

TEST(NormalDistribution, BatchFormsAreTheScalarCalls) {
  using BatchOne = void (*)(const Normal&, const double*, double*, std::size_t);
  using BatchEach = void (*)(const Normal*, const double*, double*, std::size_t);
  struct Forms {
    Function scalar;
    BatchOne one;
    BatchEach each;
  };
  const Forms forms[] = {
      {specfun::cdf, specfun::cdf, specfun::cdf},
      {specfun::sf, specfun::sf, specfun::sf},
      {specfun::log_cdf, specfun::log_cdf, specfun::log_cdf},
      {specfun::log_sf, specfun::log_sf, specfun::log_sf},
      {specfun::pdf, specfun::pdf, specfun::pdf},
      {specfun::log_pdf, specfun::log_pdf, specfun::log_pdf},
      {specfun::quantile, specfun::quantile, specfun::quantile},
      {specfun::quantile_upper, specfun::quantile_upper, specfun::quantile_upper},
      {specfun::quantile_log, specfun::quantile_log, specfun::quantile_log},
      {specfun::quantile_upper_log, specfun::quantile_upper_log, specfun::quantile_upper_log},
  };
  const Normal shared{0.5, 2.0};
  for (std::size_t count : {0u, 1u, 15u, 16u, 17u, 20000u}) {
    const std::vector<double> x = BatchArguments(count);
    std::vector<Normal> each(count);
    for (std::size_t i = 0; i < count; ++i) each[i] = Normal{0.25 * (i % 5), 0.5 + (i % 3)};
    for (std::size_t f = 0; f < std::size(forms); ++f) {
      std::vector<double> one(count + 1, -7.0);
      std::vector<double> perElement(count + 1, -7.0);
      forms[f].one(shared, x.data(), one.data(), count);
      forms[f].each(each.data(), x.data(), perElement.data(), count);
      for (std::size_t i = 0; i < count; ++i) {
        const double expectOne = forms[f].scalar(shared, x[i]);
        const double expectEach = forms[f].scalar(each[i], x[i]);
        ASSERT_TRUE(std::memcmp(&one[i], &expectOne, sizeof(double)) == 0)
            << kFunctions[f].name << " one, length " << count << ", element " << i;
        ASSERT_TRUE(std::memcmp(&perElement[i], &expectEach, sizeof(double)) == 0)
            << kFunctions[f].name << " each, length " << count << ", element " << i;
      }
      EXPECT_EQ(one[count], -7.0);
      EXPECT_EQ(perElement[count], -7.0);
    }
  }
}

}  // namespace
