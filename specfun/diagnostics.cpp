// The installed diagnostic sink, shared by all threads.
#include <cstdio>
#include <mutex>

#include "specfun/diagnostic_sink.hpp"

namespace specfun {
namespace {

void WriteToStandardOutput(Record record, void*) {
  const std::string line = FormatFreeFormRecord(record) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

std::mutex& SinkMutex() {
  static std::mutex mutex;
  return mutex;
}

DiagnosticSink& InstalledSink() {
  static DiagnosticSink sink{&WriteToStandardOutput, nullptr};
  return sink;
}

}  // namespace

DiagnosticSink StandardOutputSink() { return {&WriteToStandardOutput, nullptr}; }

DiagnosticSink SetDiagnosticSink(DiagnosticSink sink) {
  const std::lock_guard lock(SinkMutex());
  const DiagnosticSink previous = InstalledSink();
  InstalledSink() = sink;
  return previous;
}

namespace detail {

void EmitDiagnostic(std::initializer_list<RecordItem> items) {
  DiagnosticSink sink;
  {
    const std::lock_guard lock(SinkMutex());
    sink = InstalledSink();
  }
  if (sink.write != nullptr) sink.write(Record(items.begin(), items.size()), sink.context);
}

}  // namespace detail
}  // namespace specfun
