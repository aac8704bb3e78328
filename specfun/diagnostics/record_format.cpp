// Layout of free-form records: the fixed and exponent forms of a double,
// the leads of numbers, and the spacing of text items.
//
// The digits come from the correctly rounded 17-significant-digit decimal
// conversion of the double (std::to_chars), cut half-up to the digits kept.
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "specfun/diagnostics.hpp"

namespace specfun {
namespace {

constexpr int kConvertedDigits = 17;
constexpr int kExponentFormDigits = 16;
constexpr int kFixedFormDigits = 15;
// Fixed form covers 0.1 <= v < 1e15, that is decimal exponents E of 0 to 15
// in v = 0.d1 d2 ... x 10^E.
constexpr int kLargestFixedExponent = 15;

// A significand's decimal digits d1 d2 ... with v = 0.d1 d2 ... x 10^exponent.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

Decimal SeventeenDigits(double magnitude) {
  std::array<char, 32> buffer{};
  auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                           std::chars_format::scientific, kConvertedDigits - 1)
                 .ptr;
  // buffer holds d.dddddddddddddddde+XX
  Decimal decimal;
  decimal.digits.push_back(buffer[0]);
  const char* cursor = buffer.data() + 2;
  while (*cursor != 'e') decimal.digits.push_back(*cursor++);
  int power = 0;
  std::from_chars(cursor + (cursor[1] == '+' ? 2 : 1), end, power);
  decimal.exponent = power + 1;
  return decimal;
}

// Keeps the first `kept` digits, raised by one unit in the last place when
// the first dropped digit is 5 or more; a carry out of the first digit makes
// the digits 1 followed by zeros and raises the exponent.
Decimal RoundHalfUp(const Decimal& decimal, int kept) {
  Decimal rounded{decimal.digits.substr(0, kept), decimal.exponent};
  if (decimal.digits[kept] < '5') return rounded;
  for (int i = kept - 1; i >= 0; --i) {
    if (rounded.digits[i] != '9') {
      ++rounded.digits[i];
      return rounded;
    }
    rounded.digits[i] = '0';
  }
  rounded.digits[0] = '1';
  ++rounded.exponent;
  return rounded;
}

std::string FixedForm(const Decimal& converted) {
  const Decimal rounded = RoundHalfUp(converted, kFixedFormDigits);
  if (rounded.exponent <= 0) return "0." + rounded.digits;
  std::string integerPart = rounded.digits.substr(0, rounded.exponent);
  integerPart.resize(rounded.exponent, '0');
  const std::string fraction =
      rounded.exponent < kFixedFormDigits ? rounded.digits.substr(rounded.exponent) : "";
  return integerPart + "." + fraction;
}

std::string ExponentForm(const Decimal& rounded) {
  const int power = rounded.exponent - 1;
  std::array<char, 4> magnitude{};
  const int absolute = std::abs(power);
  magnitude[0] = static_cast<char>('0' + absolute / 100);
  magnitude[1] = static_cast<char>('0' + absolute / 10 % 10);
  magnitude[2] = static_cast<char>('0' + absolute % 10);
  return rounded.digits.substr(0, 1) + "." + rounded.digits.substr(1) + "E" +
         (power < 0 ? "-" : "+") + magnitude.data();
}

std::string NumberLead(bool negative) { return negative ? " -" : "  "; }

}  // namespace

std::string FormatDouble(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return "INF";
  const double magnitude = std::fabs(value);
  if (magnitude < DBL_MIN) return "0.000000000000000";
  const Decimal converted = SeventeenDigits(magnitude);
  const Decimal classed = RoundHalfUp(converted, kExponentFormDigits);
  if (classed.exponent >= 0 && classed.exponent <= kLargestFixedExponent) {
    return FixedForm(converted);
  }
  return ExponentForm(classed);
}

std::string FormatFreeFormRecord(Record record) {
  std::string line = " ";
  bool afterNumber = false;
  for (const RecordItem& item : record) {
    switch (item.kind) {
      case RecordItem::Kind::kText:
        if (afterNumber) line += ' ';
        line += item.text;
        afterNumber = false;
        break;
      case RecordItem::Kind::kInteger: {
        const auto magnitude = std::llabs(static_cast<long long>(item.integer));
        line += NumberLead(item.integer < 0) + std::to_string(magnitude);
        afterNumber = true;
        break;
      }
      case RecordItem::Kind::kReal:
        // A negative zero shows without its minus sign; a negative NaN with it.
        line += NumberLead(std::signbit(item.real) && item.real != 0.0) + FormatDouble(item.real);
        afterNumber = true;
        break;
    }
  }
  return line;
}

}  // namespace specfun
