// Stops a fuzz target when one of its invariants fails: the message goes to
// standard error and the abort makes libFuzzer keep the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzz {

[[noreturn]] inline void Fail(std::string_view what) {
  std::fprintf(stderr, "\n*** invariant broken: %.*s\n", static_cast<int>(what.size()),
               what.data());
  std::abort();
}

inline void Require(bool condition, std::string_view what) {
  if (!condition) Fail(what);
}

}  // namespace fuzz
