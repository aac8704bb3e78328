#include "console/menu.hpp"

#include <cfenv>
#include <optional>
#include <string>
#include <string_view>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "console/dialogues.hpp"
#include "console/general_test.hpp"
#include "console/input.hpp"
#include "console/log_file.hpp"
#include "console/records.hpp"
#include "console/texts.hpp"
#include "specfun/diagnostics.hpp"

namespace console {
namespace {


using Dialogue = void (*)(Channels&);
// Options 2 to 9, in order.
constexpr Dialogue kDialogues[] = {
    LogGammaDialogue, GaussianDialogue, ChiSquareDialogue, NonCentralChiSquareDialogue,
    StudentDialogue,  FDistributionDialogue, BinomialDialogue, IncompleteBetaDialogue,
};
constexpr int kFirstDialogueOption = 2;

void WriteDiagnosticToConsole(specfun::Report report, void* console) {
  *static_cast<std::ostream*>(console) << specfun::FormatFreeFormReport(report);
}

void WriteMenu(std::ostream& out) {
  for (std::string_view line : texts::kMenu) out << line << '\n';
}

// Runs one selection; false when the run ends with it.
bool Dispatch(Channels& channels, std::int32_t selection) {
  if (selection == 0) return false;
  if (selection == 1) {
    GeneralTest(channels.log);
    return false;
  }
  if (selection >= kFirstDialogueOption && selection <= 9) {
    kDialogues[selection - kFirstDialogueOption](channels);
    return true;
  }
  WriteConsole(channels, {Text(texts::kSelectionOutOfRange), Integer(selection)});
  return true;
}

}  // namespace

// Doubles are computed in SSE registers with their 53-bit significand; the
// x87 unit keeps its 64-bit significand for the extended-precision
// exponential.
void SetFloatingPointEnvironment() {
  std::fesetround(FE_TONEAREST);
  std::feclearexcept(FE_ALL_EXCEPT);
#if defined(__SSE__)
  constexpr unsigned kAllExceptionMasks = 0x1F80;
  constexpr unsigned kFlushToZero = 0x8000;
  constexpr unsigned kDenormalsAreZero = 0x0040;
  _mm_setcsr((_mm_getcsr() | kAllExceptionMasks) & ~(kFlushToZero | kDenormalsAreZero));
#endif
}

void RunMenu(Channels& channels) {
  std::string line;
  try {
    while (channels.out) {
      WriteMenu(channels.out);
      if (!ReadLine(channels.in, line)) return;
      const std::optional<std::int32_t> selection = ParseMenuSelection(line);
      if (!selection) {
        WriteConsole(channels, {Text(texts::kInvalidSelection)});
        continue;
      }
      if (!Dispatch(channels, *selection)) return;
    }
  } catch (const EndOfInput&) {
    // The input has ended: the run ends as for option 0.
  }
}

int MainMenu(std::istream& in, std::ostream& out, std::ostream& errors,
             const std::filesystem::path& logPath) {
  SetFloatingPointEnvironment();
  out << FreeForm({Text(texts::kAnnouncement)}) << '\n';
  std::optional<LogFile> log;
  try {
    log.emplace(logPath);
  } catch (const LogError& error) {
    out.flush();
    errors << "specfun: " << error.what() << '\n';
    return 1;
  }
  try {
    Channels channels{in, out, *log};
    // The library's diagnostics go to the console for the length of the run.
    const specfun::ScopedDiagnosticSink diagnostics({&WriteDiagnosticToConsole, &out});
    RunMenu(channels);
    log->Close();
  } catch (const LogError& error) {
    out.flush();
    errors << "specfun: " << error.what() << '\n';
    return 2;
  }
  out.flush();
  return 0;
}

}  // namespace console
