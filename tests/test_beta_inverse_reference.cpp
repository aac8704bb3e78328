// The three inverses against the mpmath tables tests/data/beta_inverse.txt
// (generator tools/gen_beta_reference.py: a, b from 0.5 to 1e4 and p from
// 1e-4 to 1 - 1e-4) and beta_inverse_tails.txt (tools/gen_inverse_tails.py:
// a, b from 0.05 to 1e6 and p from 1e-300 to 1 - 1e-12), within the
// header's figures: BetaInv 9.9e-9 relative in x and in 1 - x, FDistInv
// 9.9e-9 and StudentInv 5.0e-9 relative. StudentInv is read off the rows
// with b = 1/2 (a = nu/2), FDistInv off every row (a = nu2/2, b = nu1/2).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"
#include "tests/reference_table.hpp"

namespace {

using testing_support::ReadReferenceTable;
using testing_support::ReferenceRow;
using testing_support::RelativeError;

constexpr double kBetaInvRelative = 9.9e-9;
constexpr double kFDistInvRelative = 9.9e-9;
constexpr double kStudentInvRelative = 5.0e-9;
// The spacing of doubles just below 1: 1 - x cannot be closer than this.
constexpr double kQuantumBelowOne = 1.1102230246251565e-16;

struct Worst {
  const char* name;
  double error = 0.0;
  ReferenceRow row;

  void Note(double e, const ReferenceRow& r) {
    if (e > error) {
      error = e;
      row = r;
    }
  }
  void Print() const {
    if (row.empty()) return;
    std::printf("%s worst %.3g at p=%.17g a=%g b=%g\n", name, error, row[0], row[1], row[2]);
  }
};

// Every row of a table "p a b x 1-x" within the figures above: BetaInv, and
// FDistInv and (for b = 1/2) StudentInv read off the same row.
void CheckAgainst(const char* table, std::size_t minimumRows) {
  const testing_support::DiagnosticCapture capture;
  const std::vector<ReferenceRow> rows = ReadReferenceTable(table);
  ASSERT_GT(rows.size(), minimumRows) << table;
  Worst beta{"BetaInv x", 0.0, {}};
  Worst complement{"BetaInv 1-x", 0.0, {}};
  Worst f{"FDistInv", 0.0, {}};
  Worst t{"StudentInv", 0.0, {}};
  for (const ReferenceRow& row : rows) {
    const double p = row[0];
    const double a = row[1];
    const double b = row[2];
    const double x = row[3];
    const double y = row[4];  // 1 - x
    const double computed = specfun::BetaInv(p, a, b);
    const double xError = RelativeError(computed, x);
    beta.Note(xError, row);
    EXPECT_LE(xError, kBetaInvRelative) << "BetaInv(" << p << ", " << a << ", " << b << ")";
    // 1 - x as a difference of doubles is good only to its quantum.
    const double yMiss = std::fabs((1.0 - computed) - y);
    complement.Note(std::fmax(yMiss - kQuantumBelowOne, 0.0) / y, row);
    EXPECT_LE(yMiss, kBetaInvRelative * y + kQuantumBelowOne)
        << "1 - BetaInv(" << p << ", " << a << ", " << b << ")";

    const double fError = RelativeError(specfun::FDistInv(p, 2.0 * b, 2.0 * a), a * y / (b * x));
    f.Note(fError, row);
    EXPECT_LE(fError, kFDistInvRelative)
        << "FDistInv(" << p << ", " << 2.0 * b << ", " << 2.0 * a << ")";
    if (b == 0.5) {
      const double tError =
          RelativeError(specfun::StudentInv(p, 2.0 * a), std::sqrt(2.0 * a * y / x));
      t.Note(tError, row);
      EXPECT_LE(tError, kStudentInvRelative) << "StudentInv(" << p << ", " << 2.0 * a << ")";
    }
  }
  for (const Worst* w : {&beta, &complement, &f, &t}) w->Print();
}

TEST(BetaInverseReference, WithinTheHeadersFigures) { CheckAgainst("beta_inverse.txt", 1500); }

// Both tails to their ends (tests/data/beta_inverse_tails.txt, generator
// tools/gen_inverse_tails.py): p from 1e-300 to 1 - 1e-12, a and b from 0.05
// to 1e6.
TEST(BetaInverseReference, WithinTheHeadersFiguresToBothEnds) {
  CheckAgainst("beta_inverse_tails.txt", 600);
}

}  // namespace
