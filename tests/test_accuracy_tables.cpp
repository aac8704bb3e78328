// The reference tables of the accuracy report (tests/data/accuracy/), checked
// against closed forms that share nothing with the series and root finding
// that produced them, and for consistency between their columns.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "tests/reference_table.hpp"

namespace {

using testing_support::ReadReferenceTable;
using testing_support::RelativeError;

struct TableShape {
  std::string name;
  std::size_t columns;  // arguments and references
  int first_tail;       // column of P where the table holds P and Q = 1 - P, else -1
};

class AccuracyTable : public testing::TestWithParam<TableShape> {};

TEST_P(AccuracyTable, RowsAreCompleteAndTailsAddUpToOne) {
  const TableShape& shape = GetParam();
  const auto rows = ReadReferenceTable("accuracy/" + shape.name + ".txt");
  ASSERT_GT(rows.size(), 200u);
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), shape.columns) << shape.name << " at " << row[0];
    for (double value : row) ASSERT_TRUE(std::isfinite(value)) << shape.name << " at " << row[0];
    if (shape.first_tail < 0) continue;
    const double lower = row[shape.first_tail];
    const double upper = row[shape.first_tail + 1];
    EXPECT_GE(lower, 0.0);
    EXPECT_GE(upper, 0.0);
    EXPECT_NEAR(lower + upper, 1.0, 3e-16) << shape.name << " at " << row[0] << " " << row[1];
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, AccuracyTable,
    testing::Values(TableShape{"ln_gamma", 2, -1}, TableShape{"qgauss", 2, -1},
                    TableShape{"qgauss_inv", 2, -1}, TableShape{"betaf", 4, -1},
                    TableShape{"student", 4, 2}, TableShape{"fdist", 5, 3},
                    TableShape{"binom", 5, 3}, TableShape{"beta_inv", 4, -1},
                    TableShape{"student_inv", 3, -1}, TableShape{"fdist_inv", 4, -1},
                    TableShape{"chi_square", 4, 2}, TableShape{"chi_square_inv", 3, -1},
                    TableShape{"nc_chi_square", 5, 3}),
    [](const testing::TestParamInfo<TableShape>& info) { return info.param.name; });

// Rows of the tables where the function has an elementary closed form.
TEST(AccuracyTableClosedForms, AgreeWithTheRows) {
  int checked = 0;
  // I(x, 1/2, 1/2) = (2/π) asin(√x).
  for (const auto& row : ReadReferenceTable("accuracy/betaf.txt")) {
    if (row[1] != 0.5 || row[2] != 0.5 || row[0] > 0.5) continue;
    EXPECT_LT(RelativeError(2.0 / std::numbers::pi * std::asin(std::sqrt(row[0])), row[3]), 1e-14)
        << "x = " << row[0];
    ++checked;
  }
  // Two degrees of freedom: Q(x | 2) = e^(-x/2), and its inverse -2 ln p.
  for (const auto& row : ReadReferenceTable("accuracy/chi_square.txt")) {
    if (row[1] != 2.0) continue;
    EXPECT_LT(RelativeError(std::exp(-0.5 * row[0]), row[3]), 1e-14) << "x = " << row[0];
    ++checked;
  }
  for (const auto& row : ReadReferenceTable("accuracy/chi_square_inv.txt")) {
    if (row[1] != 2.0 || row[0] > 0.5) continue;
    EXPECT_LT(RelativeError(-2.0 * std::log(row[0]), row[2]), 1e-14) << "p = " << row[0];
    ++checked;
  }
  // Student's t with one degree of freedom is Cauchy: t = cot(π p / 2), taken
  // as tan(π (1 - p) / 2) above p = 1/2, where 1 - p is exact.
  for (const auto& row : ReadReferenceTable("accuracy/student_inv.txt")) {
    if (row[1] != 1.0 || row[0] < 1e-300) continue;
    const double half_pi = std::numbers::pi / 2;
    const double t = row[0] > 0.5 ? std::tan(half_pi * (1.0 - row[0]))
                                  : 1.0 / std::tan(half_pi * row[0]);
    EXPECT_LT(RelativeError(t, row[2]), 1e-13) << "p = " << row[0];
    ++checked;
  }
  // ln Γ(n) = ln (n - 1)! at whole numbers.
  for (const auto& row : ReadReferenceTable("accuracy/ln_gamma.txt")) {
    if (row[0] != std::floor(row[0]) || row[0] > 20.0 || row[0] < 3.0) continue;
    EXPECT_LT(RelativeError(std::lgamma(row[0]), row[1]), 1e-14) << "x = " << row[0];
    ++checked;
  }
  EXPECT_GT(checked, 40);
}

}  // namespace
