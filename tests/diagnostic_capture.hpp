// Captures the library's diagnostic records for the length of a test.
#pragma once

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
  void clear() { records_.clear(); }

 private:
  static void Capture(specfun::Record record, void* self) {
    CapturedRecord captured{specfun::FormatFreeFormRecord(record), {}};
    for (const specfun::RecordItem& item : record) {
      if (item.kind == specfun::RecordItem::Kind::kReal) captured.reals.push_back(item.real);
    }
    static_cast<DiagnosticCapture*>(self)->records_.push_back(captured);
  }

  std::vector<CapturedRecord> records_;
  specfun::ScopedDiagnosticSink sink_;  // after records_, so it is removed first
};

}  // namespace testing_support
