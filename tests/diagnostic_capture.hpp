// Captures the library's diagnostic reports for the length of a test: their
// records one after another, and how many records each report holds.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "specfun/diagnostics.hpp"

namespace testing_support {

struct CapturedRecord {
  std::string line;           // the free-form line, without its line end
  std::vector<double> reals;  // the double items, in order
};

class DiagnosticCapture {
 public:
  DiagnosticCapture() : sink_({&Capture, this}) {}

  const std::vector<CapturedRecord>& records() const { return records_; }
  std::vector<std::string> lines() const {
    std::vector<std::string> lines;
    for (const CapturedRecord& record : records_) lines.push_back(record.line);
    return lines;
  }
  // The number of records of each report, in order.
  const std::vector<std::size_t>& reportSizes() const { return reportSizes_; }
  void clear() {
    records_.clear();
    reportSizes_.clear();
  }

 private:
  static void Capture(specfun::Report report, void* self) {
    auto* capture = static_cast<DiagnosticCapture*>(self);
    capture->reportSizes_.push_back(report.size());
    for (const specfun::Record record : report) {
      CapturedRecord captured{specfun::FormatFreeFormRecord(record), {}};
      for (const specfun::RecordItem& item : record) {
        if (item.kind == specfun::RecordItem::Kind::kReal) captured.reals.push_back(item.real);
      }
      capture->records_.push_back(captured);
    }
  }

  std::vector<CapturedRecord> records_;
  std::vector<std::size_t> reportSizes_;
  specfun::ScopedDiagnosticSink sink_;  // after records_, so it is removed first
};

}  // namespace testing_support
