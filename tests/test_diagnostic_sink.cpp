// Routing the library's diagnostics: the default on standard output, a
// caller's own sink, silence, restoring the previous sink, one call per
// report, scopes that end out of order, and sinks that call back into the
// library.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"

namespace {

const std::string kNegativeInput = " QGaussInv negative input; 0 used; inpu: -0.100000000000000";

void Collect(specfun::Report report, void* lines) {
  for (const specfun::Record record : report) {
    static_cast<std::vector<std::string>*>(lines)->push_back(specfun::FormatFreeFormRecord(record));
  }
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

// Scopes begun A, B and ended A, B: after A's end B's sink is used, and
// after B's end the sink from before both; A's sink is never called again.
TEST(DiagnosticSink, ScopesEndedOutOfOrderNeverReviveAnEndedSink) {
  std::vector<std::string> outside, first, second;
  const specfun::ScopedDiagnosticSink collectOutside({&Collect, &outside});
  std::optional<specfun::ScopedDiagnosticSink> a(std::in_place, specfun::DiagnosticSink{&Collect, &first});
  std::optional<specfun::ScopedDiagnosticSink> b(std::in_place, specfun::DiagnosticSink{&Collect, &second});
  a.reset();
  specfun::QGaussInv(-0.1);
  b.reset();
  specfun::QGaussInv(-0.1);
  EXPECT_TRUE(first.empty());
  EXPECT_EQ(second, std::vector<std::string>{kNegativeInput});
  EXPECT_EQ(outside, std::vector<std::string>{kNegativeInput});
}

// While a scope is alive, SetDiagnosticSink changes only the sink used
// after every scope has ended.
TEST(DiagnosticSink, ScopeTakesPrecedenceOverTheSinkSetOutsideScopes) {
  std::vector<std::string> scoped, set;
  const specfun::DiagnosticSink previous = specfun::SetDiagnosticSink(specfun::kSilentSink);
  {
    const specfun::ScopedDiagnosticSink collectScoped({&Collect, &scoped});
    specfun::SetDiagnosticSink({&Collect, &set});
    specfun::QGaussInv(-0.1);
  }
  specfun::QGaussInv(-0.1);
  specfun::SetDiagnosticSink(previous);
  EXPECT_EQ(scoped, std::vector<std::string>{kNegativeInput});
  EXPECT_EQ(set, std::vector<std::string>{kNegativeInput});
}

// Silence is that of the sink reports go to: a silent scope inside a
// collecting one, a collecting scope while the silent sink is set outside
// scopes, and the collecting sink again once the silent scope ends, for
// reports of one record and of several.
TEST(DiagnosticSink, SilenceFollowsTheSinkInForce) {
  std::vector<std::string> outer, inner;
  const specfun::DiagnosticSink previous = specfun::SetDiagnosticSink(specfun::kSilentSink);
  specfun::QGaussInv(-0.1);
  {
    const specfun::ScopedDiagnosticSink collectOuter({&Collect, &outer});
    {
      const specfun::ScopedDiagnosticSink quiet(specfun::kSilentSink);
      specfun::QGaussInv(-0.1);
      specfun::BETAF(0.5, 1000.0, 1000.0);
    }
    specfun::BETAF(0.5, 1000.0, 1000.0);
    {
      const specfun::ScopedDiagnosticSink quiet(specfun::kSilentSink);
      {
        const specfun::ScopedDiagnosticSink collectInner({&Collect, &inner});
        specfun::QGaussInv(-0.1);
      }
      specfun::QGaussInv(-0.1);
    }
    specfun::QGaussInv(-0.1);
  }
  specfun::QGaussInv(-0.1);
  specfun::SetDiagnosticSink(previous);
  EXPECT_EQ(inner, std::vector<std::string>{kNegativeInput});
  // The four records of BETAF's report (the symmetry taken at x = 1/2),
  // then QGaussInv's.
  ASSERT_EQ(outer.size(), 5u);
  EXPECT_NE(outer.front().find("Slow convergence in BETAF"), std::string::npos) << outer.front();
  EXPECT_EQ(outer.back(), kNegativeInput);
}

// BETAF's slow-convergence report is one call of three records, or four
// when it used the symmetry I(x, a, b) = 1 - I(1 - x, b, a).
TEST(DiagnosticSink, EachReportIsOneCallWithAllItsRecords) {
  struct Case {
    double x, a, b;
    std::size_t records;
  };
  for (const Case& c : {Case{0.499, 1000.0, 1000.0, 3}, Case{0.5001, 1000.0, 1000.0, 4}}) {
    const testing_support::DiagnosticCapture diagnostics;
    specfun::BETAF(c.x, c.a, c.b);
    ASSERT_EQ(diagnostics.reportSizes(), std::vector<std::size_t>{c.records}) << c.x;
    EXPECT_EQ(diagnostics.lines()[0], " Slow convergence in BETAF, last 4 vals & return:");
    EXPECT_EQ(diagnostics.lines()[2].rfind(" x,a,b=", 0), 0u);
    if (c.records == 4) {
      EXPECT_EQ(diagnostics.lines()[3], " Identity I((x),a,b)=1-I((1-x),b,a) used");
    }
  }
}

struct ReentrantSink {
  std::vector<std::string> lines;
  std::vector<std::string>* replacementLines = nullptr;
};

// Calls the library (whose report is dropped) and then replaces itself.
void CallBackAndReplace(specfun::Report report, void* context) {
  auto* sink = static_cast<ReentrantSink*>(context);
  Collect(report, &sink->lines);
  EXPECT_EQ(specfun::QGaussInv(-0.2), 1.0000000200408773e+20);
  const specfun::ScopedDiagnosticSink nested({&Collect, &sink->lines});
  specfun::SetDiagnosticSink({&Collect, sink->replacementLines});
}

TEST(DiagnosticSink, SinkMayCallTheLibraryAndReplaceItself) {
  std::vector<std::string> replacement;
  ReentrantSink reentrant{{}, &replacement};
  const specfun::DiagnosticSink previous = specfun::SetDiagnosticSink({&CallBackAndReplace, &reentrant});
  specfun::QGaussInv(-0.1);
  specfun::QGaussInv(-0.1);
  specfun::SetDiagnosticSink(previous);
  EXPECT_EQ(reentrant.lines, std::vector<std::string>{kNegativeInput});
  EXPECT_EQ(replacement, std::vector<std::string>{kNegativeInput});
}

}  // namespace
