// Routing the library's diagnostics: the default on standard output, a
// caller's own sink, silence, and restoring the previous sink.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "specfun/specfun.hpp"

namespace {

const std::string kNegativeInput = " QGaussInv negative input; 0 used; inpu: -0.100000000000000";

void Collect(specfun::Record record, void* lines) {
  static_cast<std::vector<std::string>*>(lines)->push_back(specfun::FormatFreeFormRecord(record));
}

TEST(DiagnosticSink, DefaultWritesFreeFormLinesToStandardOutput) {
  const specfun::DiagnosticSink previous = specfun::SetDiagnosticSink(specfun::StandardOutputSink());
  testing::internal::CaptureStdout();
  specfun::QGaussInv(-0.1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kNegativeInput + "\n");
  specfun::SetDiagnosticSink(previous);
}

TEST(DiagnosticSink, CallersSinkReceivesTheRecordsAndCanBeReplaced) {
  std::vector<std::string> lines;
  const specfun::DiagnosticSink previous = specfun::SetDiagnosticSink({&Collect, &lines});
  specfun::QGaussInv(-0.1);
  specfun::QGaussInv(0.5);  // in range: nothing to say
  EXPECT_EQ(lines, std::vector<std::string>{kNegativeInput});

  const specfun::DiagnosticSink mine = specfun::SetDiagnosticSink(specfun::kSilentSink);
  EXPECT_EQ(mine.write, &Collect);
  EXPECT_EQ(mine.context, &lines);
  testing::internal::CaptureStdout();
  EXPECT_EQ(specfun::QGaussInv(1.5), -1.0000000200408773e+20);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(lines.size(), 1u);
  specfun::SetDiagnosticSink(previous);
}

TEST(DiagnosticSink, ScopedSinkPutsBackTheOneItReplaced) {
  std::vector<std::string> outer, inner;
  const specfun::ScopedDiagnosticSink collectOuter({&Collect, &outer});
  {
    const specfun::ScopedDiagnosticSink collectInner({&Collect, &inner});
    specfun::QGaussInv(-0.1);
  }
  specfun::QGaussInv(-0.1);
  EXPECT_EQ(inner, std::vector<std::string>{kNegativeInput});
  EXPECT_EQ(outer, std::vector<std::string>{kNegativeInput});
}

}  // namespace
