// Placeholder until the general test is built.
#include "gentest/general_test.hpp"

namespace gentest {

void GeneralTest(console::LogChannel&) {}

}  // namespace gentest
