// Records and the diagnostic sink.
//
// A record is one line of output made of text, integer and double items.
// The library writes records only for its two diagnostics (the range
// messages of QGaussInv and the convergence reports of BETAF); it hands
// them to the diagnostic sink, which by default prints each one as a
// free-form line on standard output. Route them elsewhere, or silence them:
//
//   void ToMyLog(specfun::Record record, void* log) {
//     static_cast<MyLog*>(log)->Add(specfun::FormatFreeFormRecord(record));
//   }
//   specfun::SetDiagnosticSink({&ToMyLog, &myLog});
//   specfun::SetDiagnosticSink(specfun::kSilentSink);
//
// or for one scope only:
//
//   const specfun::ScopedDiagnosticSink quiet(specfun::kSilentSink);
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace specfun {

struct RecordItem {
  enum class Kind { kText, kInteger, kReal };
  Kind kind = Kind::kText;
  std::string_view text{};
  std::int32_t integer = 0;
  double real = 0.0;
};

inline constexpr RecordItem Text(std::string_view text) {
  return {RecordItem::Kind::kText, text, 0, 0.0};
}
inline constexpr RecordItem Integer(std::int32_t value) {
  return {RecordItem::Kind::kInteger, {}, value, 0.0};
}
inline constexpr RecordItem Real(double value) {
  return {RecordItem::Kind::kReal, {}, 0, value};
}

using Record = std::span<const RecordItem>;

// The line of a free-form record, without its line end: one blank, then the
// items. A double shows as two blanks (one blank and a minus sign when
// negative) and 15 significant digits in fixed form for 0.1 <= |v| < 1e15
// and zero, else 16 digits in exponent form (1.500000000000000E+020);
// infinities as INF, NaNs as NaN, subnormals as zero. An integer shows as two
// blanks (or a blank and a minus sign) and its digits; a text item that
// follows a number is preceded by one blank.
std::string FormatFreeFormRecord(Record record);

// The number part of a double item: the layout above without its lead.
std::string FormatDouble(double value);

// Where diagnostic records go. write == nullptr silences them.
struct DiagnosticSink {
  void (*write)(Record record, void* context) = nullptr;
  void* context = nullptr;
};

inline constexpr DiagnosticSink kSilentSink{};

// Prints each record as a free-form line on standard output (the default).
DiagnosticSink StandardOutputSink();

// Installs the sink for all threads and returns the one it replaces. The
// sink is called on the thread that detects the condition, at that moment.
DiagnosticSink SetDiagnosticSink(DiagnosticSink sink);

// Installs a sink for its own lifetime and then puts back the one it replaced.
class ScopedDiagnosticSink {
 public:
  explicit ScopedDiagnosticSink(DiagnosticSink sink) : previous_(SetDiagnosticSink(sink)) {}
  ScopedDiagnosticSink(const ScopedDiagnosticSink&) = delete;
  ScopedDiagnosticSink& operator=(const ScopedDiagnosticSink&) = delete;
  ~ScopedDiagnosticSink() { SetDiagnosticSink(previous_); }

 private:
  DiagnosticSink previous_;
};

}  // namespace specfun
