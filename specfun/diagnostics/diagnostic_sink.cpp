// The installed diagnostic sink, shared by all threads, and the delivery of
// reports to it.
//
// One recursive lock guards the sink and is held while the sink runs, so a
// sink that is replaced is never called again once the replacing call has
// returned, and a sink may itself replace the sink. Reports made on a thread
// that is already inside the sink are dropped rather than delivered again,
// and so are reports while the silent sink is installed, without taking the
// lock or forming the report.
#include "specfun/diagnostics/diagnostic_sink.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <mutex>

namespace specfun {
namespace {

void WriteToStandardOutput(Report report, void*) {
  const std::string lines = FormatFreeFormReport(report);
  std::fwrite(lines.data(), 1, lines.size(), stdout);
  std::fflush(stdout);
}

struct SinkState {
  std::recursive_mutex lock;
  DiagnosticSink outsideScopes{&WriteToStandardOutput, nullptr};
  ScopedDiagnosticSink* latestScope = nullptr;
  DiagnosticSink current{&WriteToStandardOutput, nullptr};  // the one reports go to
  std::atomic<bool> silent{false};                           // current writes nothing

  // Installs `sink` as the current one; the lock is held.
  void MakeCurrent(DiagnosticSink sink) {
    current = sink;
    silent.store(sink.write == nullptr, std::memory_order_release);
  }
};

SinkState& State() {
  static SinkState state;
  return state;
}

thread_local bool insideSink = false;

// Whether a report made now would be dropped.
bool Dropped() {
  return insideSink || State().silent.load(std::memory_order_acquire);
}

void Deliver(Report report) {
  if (Dropped()) return;
  SinkState& state = State();
  const std::lock_guard guard(state.lock);
  const DiagnosticSink sink = state.current;
  if (sink.write == nullptr) return;
  insideSink = true;
  struct LeaveSink {
    ~LeaveSink() { insideSink = false; }
  } leave;
  sink.write(report, sink.context);
}

// At most this many records make one report (BETAF's slow convergence has four).
constexpr std::size_t kMostRecordsPerReport = 8;

}  // namespace

std::string FormatFreeFormReport(Report report) {
  std::string lines;
  for (const Record record : report) lines += FormatFreeFormRecord(record) + "\n";
  return lines;
}

DiagnosticSink StandardOutputSink() { return {&WriteToStandardOutput, nullptr}; }

DiagnosticSink SetDiagnosticSink(DiagnosticSink sink) {
  SinkState& state = State();
  const std::lock_guard guard(state.lock);
  const DiagnosticSink previous = state.outsideScopes;
  state.outsideScopes = sink;
  if (state.latestScope == nullptr) state.MakeCurrent(sink);
  return previous;
}

ScopedDiagnosticSink::ScopedDiagnosticSink(DiagnosticSink sink) : sink_(sink) {
  SinkState& state = State();
  const std::lock_guard guard(state.lock);
  earlier_ = state.latestScope;
  if (earlier_ != nullptr) earlier_->later_ = this;
  state.latestScope = this;
  state.MakeCurrent(sink_);
}

ScopedDiagnosticSink::~ScopedDiagnosticSink() {
  SinkState& state = State();
  const std::lock_guard guard(state.lock);
  if (earlier_ != nullptr) earlier_->later_ = later_;
  if (later_ != nullptr) {
    later_->earlier_ = earlier_;
  } else {
    state.latestScope = earlier_;
    state.MakeCurrent(earlier_ != nullptr ? earlier_->sink_ : state.outsideScopes);
  }
}

namespace detail {

void EmitDiagnostic(std::initializer_list<RecordItem> items) {
  if (Dropped()) return;
  const Record record(items.begin(), items.size());
  Deliver(Report(&record, 1));
}

void EmitDiagnosticReport(std::initializer_list<std::initializer_list<RecordItem>> records,
                          std::size_t count) {
  if (Dropped()) return;
  std::array<Record, kMostRecordsPerReport> report{};
  count = std::min({count, records.size(), report.size()});
  auto source = records.begin();
  for (std::size_t i = 0; i < count; ++i, ++source) report[i] = Record(source->begin(), source->size());
  Deliver(Report(report.data(), count));
}

}  // namespace detail
}  // namespace specfun
