// Records, reports and the diagnostic sink.
//
// A record is one line of output made of text, integer and double items; a
// report is the records of one diagnostic, in order. The library reports
// only its two diagnostics (the range messages of QGaussInv, one record, and
// the convergence reports of BETAF, one to four records). Each report reaches
// the diagnostic sink as one call, which by default prints its records as
// free-form lines on standard output. Route them elsewhere, or silence them:
//
//   void ToMyLog(specfun::Report report, void* log) {
//     for (specfun::Record record : report) {
//       static_cast<MyLog*>(log)->Add(specfun::FormatFreeFormRecord(record));
//     }
//   }
//   specfun::SetDiagnosticSink({&ToMyLog, &myLog});
//   specfun::SetDiagnosticSink(specfun::kSilentSink);
//
// or for one scope only:
//
//   const specfun::ScopedDiagnosticSink quiet(specfun::kSilentSink);
//
// This header compiles as C++17 and later.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "specfun/export.hpp"

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

// A read-only run of elements owned by someone else: the items of a record,
// or the records of a report. Valid only for the call it is passed to. It is
// a contiguous range, so C++20 code can view it as a std::span<const T>.
template <class T>
class View {
 public:
  constexpr View() noexcept = default;
  constexpr View(const T* data, std::size_t size) noexcept : data_(data), size_(size) {}
  template <std::size_t N>
  constexpr View(const T (&array)[N]) noexcept : data_(array), size_(N) {}

  constexpr const T* data() const noexcept { return data_; }
  constexpr std::size_t size() const noexcept { return size_; }
  constexpr bool empty() const noexcept { return size_ == 0; }
  constexpr const T* begin() const noexcept { return data_; }
  constexpr const T* end() const noexcept { return data_ + size_; }
  constexpr const T& operator[](std::size_t index) const noexcept { return data_[index]; }

 private:
  const T* data_ = nullptr;
  std::size_t size_ = 0;
};

using Record = View<RecordItem>;
using Report = View<Record>;

// The line of a free-form record, without its line end: one blank, then the
// items. A double shows as two blanks (one blank and a minus sign when
// negative) and 15 significant digits in fixed form for 0.1 <= |v| < 1e15
// and zero, else 16 digits in exponent form (1.500000000000000E+020);
// infinities as INF, NaNs as NaN, subnormals as zero. An integer shows as two
// blanks (or a blank and a minus sign) and its digits; a text item that
// follows a number is preceded by one blank.
SPECFUN_EXPORT std::string FormatFreeFormRecord(Record record);

// The lines of a report's records, each followed by a line end ("\n").
SPECFUN_EXPORT std::string FormatFreeFormReport(Report report);

// The number part of a double item: the layout above without its lead.
SPECFUN_EXPORT std::string FormatDouble(double value);

// Where diagnostic reports go. write == nullptr silences them.
//
// The sink is called on the thread that detects the condition, at that
// moment, once per report, with the library's sink lock held: calls never
// overlap, and once SetDiagnosticSink or the end of a ScopedDiagnosticSink
// has replaced a sink, that sink is not called again, so its context may be
// destroyed. A sink
//   - may call the library's routines; reports they make while the sink
//     runs are dropped, not delivered;
//   - may call SetDiagnosticSink and begin or end a ScopedDiagnosticSink;
//   - must not wait for another thread that may report or change the sink
//     (that thread waits for the lock the sink holds: a deadlock);
//   - must not throw, and should return quickly (other reporting threads
//     wait for it).
struct DiagnosticSink {
  void (*write)(Report report, void* context) = nullptr;
  void* context = nullptr;
};

inline constexpr DiagnosticSink kSilentSink{};

// Prints each record as a free-form line on standard output (the default).
SPECFUN_EXPORT DiagnosticSink StandardOutputSink();

// Installs the sink used, for all threads, while no ScopedDiagnosticSink is
// alive, and returns the one it replaces. When it returns, a report in
// progress on another thread has finished with the sink replaced.
SPECFUN_EXPORT DiagnosticSink SetDiagnosticSink(DiagnosticSink sink);

// Installs a sink, for all threads, for its own lifetime. The sink of the
// most recently begun scope that is still alive is used; when none is
// alive, the one set by SetDiagnosticSink. Scopes may begin and end on any
// threads in any order; a scope's sink is never called after its end.
class SPECFUN_EXPORT ScopedDiagnosticSink {
 public:
  explicit ScopedDiagnosticSink(DiagnosticSink sink);
  ScopedDiagnosticSink(const ScopedDiagnosticSink&) = delete;
  ScopedDiagnosticSink& operator=(const ScopedDiagnosticSink&) = delete;
  ~ScopedDiagnosticSink();

 private:
  DiagnosticSink sink_;
  ScopedDiagnosticSink* earlier_ = nullptr;  // the live scope begun before this one
  ScopedDiagnosticSink* later_ = nullptr;    // the live scope begun after this one
};

}  // namespace specfun
