#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "specfun/diagnostics.hpp"

namespace {

using specfun::FormatDouble;
using specfun::FormatFreeFormRecord;
using specfun::Integer;
using specfun::Real;
using specfun::RecordItem;
using specfun::Text;

struct NumberCase {
  double value;
  const char* printed;
};

std::string Record(std::initializer_list<RecordItem> items) {
  return FormatFreeFormRecord(specfun::Record(items.begin(), items.size()));
}

TEST(RecordFormat, FixedAndExponentForms) {
  const NumberCase cases[] = {
      {1.0, "1.00000000000000"},
      {0.5, "0.500000000000000"},
      {0.1, "0.100000000000000"},
      {123.456, "123.456000000000"},
      {999999999999999.0, "999999999999999."},
      {0.0, "0.000000000000000"},
      {0.09, "9.000000000000000E-002"},
      {0.01, "1.000000000000000E-002"},
      {1e15, "1.000000000000000E+015"},
      {1.5e20, "1.500000000000000E+020"},
      {2.5e-300, "2.500000000000000E-300"},
      {1e-5, "1.000000000000000E-005"},
      {2.25, "2.25000000000000"},
      {12345678.9, "12345678.9000000"},
      {DBL_MAX, "1.797693134862316E+308"},
      {DBL_MIN, "2.225073858507201E-308"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDouble(c.value), c.printed) << c.value;
}

TEST(RecordFormat, RoundingCarriesAndTies) {
  const NumberCase cases[] = {
      // A carry out of the first digit raises E and keeps the chosen form.
      {1.0 - 0x1p-53, "1.00000000000000"},
      {999999999999999.9, "1000000000000000."},
      // Classed by the value rounded to 16 digits, which stays below 0.1.
      {0.09999999999999999, "9.999999999999999E-002"},
      // Half-up on the correctly rounded 17-digit conversion: 1 + 2^-15 is
      // 1.0000305175781250 exactly, and the tie rounds up.
      {1.000030517578125, "1.00003051757813"},
      {0.30000000000000004, "0.300000000000000"},
      {2.0 / 3.0, "0.666666666666667"},
      {9.9999999999999995e-8, "1.000000000000000E-007"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDouble(c.value), c.printed) << c.value;
}

TEST(RecordFormat, SpecialValuesAndTheirLeads) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double subnormal = std::numeric_limits<double>::denorm_min();
  const struct {
    double value;
    const char* record;
  } cases[] = {
      {INFINITY, "  INF"},
      {-INFINITY, " -INF"},
      {nan, "  NaN"},
      {-nan, " -NaN"},
      {-0.0, "  0.000000000000000"},
      {subnormal, "  0.000000000000000"},
      {-subnormal, " -0.000000000000000"},
      {DBL_MIN / 2, "  0.000000000000000"},
      {-2.5, " -2.50000000000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(Record({Real(c.value)}), std::string(" ") + c.record);
}

TEST(RecordFormat, WholeRecords) {
  EXPECT_EQ(Record({}), " ");
  EXPECT_EQ(Record({Real(2.5), Real(-0.125), Real(1e-5)}),
            "   2.50000000000000 -0.125000000000000  1.000000000000000E-005");
  EXPECT_EQ(Record({Real(1.0), Real(-1.0), Real(0.0)}),
            "   1.00000000000000 -1.00000000000000  0.000000000000000");
  EXPECT_EQ(Record({Text("Option not in range:"), Integer(12)}), " Option not in range:  12");
  EXPECT_EQ(Record({Integer(-1)}), "  -1");
  EXPECT_EQ(Record({Integer(0)}), "   0");
  EXPECT_EQ(Record({Integer(INT_MIN)}), "  -2147483648");
  EXPECT_EQ(Record({Integer(25), Text(" iterations in BETAF")}), "   25  iterations in BETAF");
  EXPECT_EQ(Record({Real(1.0), Text("x"), Text("y")}), "   1.00000000000000 xy");
  EXPECT_EQ(Record({Text("nu1, nu2:"), Real(60.0), Real(1.0)}),
            " nu1, nu2:  60.0000000000000  1.00000000000000");
}

}  // namespace
