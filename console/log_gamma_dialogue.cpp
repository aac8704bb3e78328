// Option 2: ln Γ(x) and Γ(x) at a nonnegative x.
#include "console/dialogues.hpp"
#include "console/extended_exp.hpp"
#include "console/readers.hpp"
#include "console/records.hpp"
#include "console/texts.hpp"
#include "specfun/specfun.hpp"

namespace console {

void LogGammaDialogue(Channels& channels) {
  WriteBoth(channels, texts::kLogGammaTitle);
  const double x = ReadLimitX(channels, 1);
  const double lnGamma = specfun::LnGamma(x);
  const double gamma = ExtendedExp(lnGamma);
  WriteBoth(channels, texts::kLogGammaHeader);
  WriteRow(channels, {Real(x), Real(lnGamma), Real(gamma)});
}

}  // namespace console
