// ChiSquareBatch and NCChiSquareBatch: every element bit for bit the scalar
// call, over the reference tables and over random arguments from every
// method region (both fractions at every depth, Wilson-Hilferty, the settled
// values of NaN, infinities and zeros; for the non-central sum the upward
// sum, the outward sum and Pearson's approximation), at lengths around the
// lane width and the chunk size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

#include "specfun/specfun.hpp"
#include "tests/reference_table.hpp"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Arguments {
  std::vector<double> x, nu, lambda;
  void Add(double xValue, double nuValue, double lambdaValue = 0.0) {
    x.push_back(xValue);
    nu.push_back(nuValue);
    lambda.push_back(lambdaValue);
  }
  std::size_t Size() const { return x.size(); }
};

// The specials in every pairing, then random arguments: nu from 1e-12 to
// 1e12, x from 1e-4·nu to 1e4·nu, x near nu where the fractions grow deep,
// small x, even whole nu.
Arguments CentralArguments() {
  Arguments arguments;
  const double specials[] = {0.0,  -0.0, 1.0,     2.0,  4.0,    34.0,   -1.0, -4.0,
                             -1e10, 4.9406564584124654e-324, 1e-310, 1e300, 1e10, kInf, -kInf, kNaN};
  for (const double x : specials) {
    for (const double nu : specials) arguments.Add(x, nu);
  }
  std::mt19937_64 rng(20240610);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 20000; ++i) {
    double nu = std::exp(unit(rng) * 55.0 - 27.6);
    double x = nu * std::exp(unit(rng) * 18.4 - 9.2);
    switch (i % 5) {
      case 0:
        nu = std::exp(unit(rng) * 16.0);
        x = nu + (unit(rng) - 0.5) * 16.0 * std::sqrt(nu);
        break;
      case 1:
        x = unit(rng) * 12.0;
        break;
      case 2:
        nu = std::floor(unit(rng) * 40.0) * 2.0;
        x = unit(rng) * 6.0 * nu;
        break;
      default:
        break;
    }
    arguments.Add(x, nu);
  }
  return arguments;
}

void ExpectCentralBatchIsScalar(const Arguments& arguments, std::size_t count) {
  ASSERT_LE(count, arguments.Size());
  for (const std::int32_t tail : {specfun::kLowerTail, specfun::kUpperTail, std::int32_t{-3}}) {
    std::vector<double> result(count + 1, -7.0);
    specfun::ChiSquareBatch(arguments.x.data(), arguments.nu.data(), tail, result.data(), count);
    for (std::size_t i = 0; i < count; ++i) {
      const double scalar = specfun::ChiSquare(arguments.x[i], arguments.nu[i], tail);
      ASSERT_TRUE(SameBits(result[i], scalar))
          << "x=" << arguments.x[i] << " nu=" << arguments.nu[i] << " tail=" << tail
          << " batch=" << result[i] << " scalar=" << scalar;
    }
    EXPECT_EQ(result[count], -7.0) << "wrote past the end";
  }
}

TEST(ChiSquareBatch, EveryElementIsTheScalarCall) {
  const Arguments arguments = CentralArguments();
  ExpectCentralBatchIsScalar(arguments, arguments.Size());
}

TEST(ChiSquareBatch, LengthsAroundTheLaneWidthAndTheChunk) {
  const Arguments arguments = CentralArguments();
  for (const std::size_t count : {0, 1, 7, 8, 9, 31, 32, 33, 63, 64, 65, 129}) {
    ExpectCentralBatchIsScalar(arguments, count);
  }
}

TEST(ChiSquareBatch, ReferenceTables) {
  for (const char* table : {"chisq_tails.txt", "accuracy/chi_square.txt"}) {
    Arguments arguments;
    for (const auto& row : testing_support::ReadReferenceTable(table)) arguments.Add(row[0], row[1]);
    ExpectCentralBatchIsScalar(arguments, arguments.Size());
  }
}

// The non-central arguments: the specials, then random ones from the
// upward sum (lambda up to 1400, nu up to 400), the outward sum (larger nu
// or lambda up to 2e6) and Pearson's approximation beyond, x around the
// mean and far out in both tails.
Arguments NonCentralArguments() {
  Arguments arguments;
  const double specials[] = {0.0, 1.0, 30.0, -1.0, 1e300, kInf, kNaN};
  for (const double x : specials) {
    for (const double nu : specials) {
      for (const double lambda : specials) arguments.Add(x, nu, lambda);
    }
  }
  std::mt19937_64 rng(20240611);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 1500; ++i) {
    double nu = std::exp(unit(rng) * 11.5 - 4.6);
    double lambda = std::exp(unit(rng) * 14.0 - 7.0);
    if (i % 4 == 1) lambda = unit(rng) * 60.0;
    if (i % 8 == 2) nu = std::exp(unit(rng) * 5.0 + 6.0);
    if (i % 16 == 3) lambda = std::exp(unit(rng) * 8.0 + 7.3);
    if (i % 32 == 5) lambda = std::exp(unit(rng) * 3.0 + 14.6);
    const double mean = nu + lambda;
    const double sd = std::sqrt(2.0 * (nu + 2.0 * lambda));
    const double x = i % 3 == 0 ? mean * std::exp(unit(rng) * 8.0 - 4.0)
                                : std::fmax(0.0, mean + (unit(rng) * 24.0 - 8.0) * sd);
    arguments.Add(x, nu, lambda);
  }
  return arguments;
}

void ExpectNonCentralBatchIsScalar(const Arguments& arguments, std::size_t count) {
  ASSERT_LE(count, arguments.Size());
  for (const std::int32_t tail : {specfun::kLowerTail, specfun::kUpperTail}) {
    std::vector<double> result(count + 1, -7.0);
    specfun::NCChiSquareBatch(arguments.x.data(), arguments.nu.data(), arguments.lambda.data(),
                              tail, result.data(), count);
    for (std::size_t i = 0; i < count; ++i) {
      const double scalar =
          specfun::NCChiSquare(arguments.x[i], arguments.nu[i], arguments.lambda[i], tail);
      ASSERT_TRUE(SameBits(result[i], scalar))
          << "x=" << arguments.x[i] << " nu=" << arguments.nu[i] << " lambda=" << arguments.lambda[i]
          << " tail=" << tail << " batch=" << result[i] << " scalar=" << scalar;
    }
    EXPECT_EQ(result[count], -7.0) << "wrote past the end";
  }
}

TEST(NCChiSquareBatch, EveryElementIsTheScalarCall) {
  const Arguments arguments = NonCentralArguments();
  ExpectNonCentralBatchIsScalar(arguments, arguments.Size());
  for (const std::size_t count : {0, 1, 7, 8, 9, 15, 16, 17}) {
    ExpectNonCentralBatchIsScalar(arguments, count);
  }
}

TEST(NCChiSquareBatch, ReferenceTables) {
  for (const char* table : {"chisq_noncentral.txt", "chisq_noncentral_regions.txt",
                            "accuracy/nc_chi_square.txt"}) {
    Arguments arguments;
    for (const auto& row : testing_support::ReadReferenceTable(table)) {
      arguments.Add(row[0], row[1], row[2]);
    }
    ExpectNonCentralBatchIsScalar(arguments, arguments.Size());
  }
}

TEST(ChiSquareBatch, SpansOfDifferentLengthsAreRefused) {
  const std::vector<double> three(3, 1.0);
  const std::vector<double> two(2, 1.0);
  std::vector<double> result(3);
  EXPECT_THROW(specfun::ChiSquareBatch(three, two, specfun::kLowerTail, result),
               std::invalid_argument);
  EXPECT_THROW(specfun::NCChiSquareBatch(three, three, two, specfun::kLowerTail, result),
               std::invalid_argument);
  specfun::ChiSquareBatch(three, three, specfun::kUpperTail, result);
  EXPECT_TRUE(SameBits(result[2], specfun::ChiSquare(1.0, 1.0, specfun::kUpperTail)));
}

}  // namespace
