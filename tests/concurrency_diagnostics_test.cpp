// Reports from several threads while other threads begin and end scoped
// sinks and replace the sink set outside scopes: every report reaches
// exactly one sink, whole and in one call, and no sink is called after it
// has been replaced. Run under ThreadSanitizer by `make test`, which also
// catches a sink whose context is used after it is destroyed.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string_view>
#include <thread>
#include <vector>

#include "specfun/specfun.hpp"

namespace {

using namespace specfun;

std::atomic<long> callsAfterReplacement{0};
std::atomic<long> brokenReports{0};

// The context of one sink: the reports it received while it was installed.
struct Receiver {
  std::atomic<bool> replaced{false};
  std::atomic<long> reports{0};
};

bool IsText(const Record& record, std::string_view text) {
  return record.size() == 1 && record[0].kind == RecordItem::Kind::kText && record[0].text == text;
}

bool AllReal(const Record& record, std::size_t from) {
  for (std::size_t i = from; i < record.size(); ++i) {
    if (record[i].kind != RecordItem::Kind::kReal) return false;
  }
  return true;
}

// A report of QGaussInv (one record) or of BETAF's slow convergence (three
// records, four after the symmetry at x = 0.5001).
bool IsWhole(Report report) {
  if (report.size() == 1) {
    return report[0].size() == 2 && report[0][0].text.rfind("QGaussInv negative input", 0) == 0;
  }
  if (report.size() != 3 && report.size() != 4) return false;
  const Record arguments = report[2];
  if (!IsText(report[0], "Slow convergence in BETAF, last 4 vals & return:") ||
      report[1].size() != 5 || !AllReal(report[1], 0) || arguments.size() != 4 ||
      arguments[0].text != "x,a,b=" || !AllReal(arguments, 1)) {
    return false;
  }
  const bool swapped = arguments[1].real > 0.5;
  return swapped ? report.size() == 4 && IsText(report[3], "Identity I((x),a,b)=1-I((1-x),b,a) used")
                 : report.size() == 3;
}

void Receive(Report report, void* context) {
  // Gives a thread that replaces this sink the chance to do so while the
  // call is in progress, which it must not be able to.
  std::this_thread::yield();
  auto* receiver = static_cast<Receiver*>(context);
  if (receiver->replaced.load()) callsAfterReplacement.fetch_add(1);
  if (!IsWhole(report)) brokenReports.fetch_add(1);
  receiver->reports.fetch_add(1);
}

TEST(ConcurrentDiagnostics, ReportsArriveWholeAndNeverAtAReplacedSink) {
  constexpr int kReporters = 3;
  constexpr int kRoundsPerReporter = 150;  // three reports per round
  constexpr int kScopers = 2;
  constexpr int kScopesPerScoper = 300;
  constexpr int kReplacements = 300;

  std::atomic<long> received{0};
  const auto retire = [&received](std::unique_ptr<Receiver>& receiver) {
    receiver->replaced.store(true);
    received.fetch_add(receiver->reports.load());
    receiver.reset();  // a later call to its sink would use freed memory
  };

  auto outside = std::make_unique<Receiver>();
  const DiagnosticSink before = SetDiagnosticSink({&Receive, outside.get()});
  std::atomic<int> reportersRunning{kReporters};
  std::vector<std::thread> threads;
  for (int t = 0; t < kReporters; ++t) {
    threads.emplace_back([&] {
      for (int round = 0; round < kRoundsPerReporter; ++round) {
        QGaussInv(-0.1);
        BETAF(0.499, 1000.0, 1000.0);
        BETAF(0.5001, 1000.0, 1000.0);
      }
      reportersRunning.fetch_sub(1);
    });
  }
  for (int t = 0; t < kScopers; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kScopesPerScoper; ++i) {
        auto receiver = std::make_unique<Receiver>();
        {
          const ScopedDiagnosticSink scope({&Receive, receiver.get()});
          std::this_thread::yield();
        }
        retire(receiver);
      }
    });
  }
  threads.emplace_back([&] {
    for (int i = 0; i < kReplacements; ++i) {
      auto next = std::make_unique<Receiver>();
      SetDiagnosticSink({&Receive, next.get()});
      retire(outside);
      outside = std::move(next);
    }
  });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(reportersRunning.load(), 0);
  SetDiagnosticSink(before);
  retire(outside);

  EXPECT_EQ(callsAfterReplacement.load(), 0);
  EXPECT_EQ(brokenReports.load(), 0);
  EXPECT_EQ(received.load(), 3L * kReporters * kRoundsPerReporter);
}

}  // namespace
