// The argument sets of the non-central chi-square benchmarks, shared by the
// specified routine and the precise distribution so both are timed alike.
#pragma once

#include "bench/compare.hpp"

namespace bench {

// Non-centralities from 1 to 50, where the sum runs upward term by term.
inline const ArgumentSet kSmallNonCentralities = {
    "(x, nu, lambda): (2,3,1) (13,3,10) (7.5,0.5,20) (60,10,50) (55,50,5) (100,50,30)",
    {{2.0, 3.0, 1.0},
     {13.0, 3.0, 10.0},
     {7.5, 0.5, 20.0},
     {60.0, 10.0, 50.0},
     {55.0, 50.0, 5.0},
     {100.0, 50.0, 30.0}}};
// Non-centralities above 1400 and the largest arguments, where the sum runs
// outward from the Poisson mode.
inline const ArgumentSet kLargeNonCentralities = {
    "(x, nu, lambda): (1700,100,1500) (5200,1,5e3) (3e4,1e4,2e4) (1e5,100,1e5) (1e6,1,1e6) "
    "(2.0014e6,2e6,1400) (2e6,1e4,2e6) (1.002e9,1e9,2e6)",
    {{1700.0, 100.0, 1500.0},
     {5200.0, 1.0, 5e3},
     {3e4, 1e4, 2e4},
     {1e5, 100.0, 1e5},
     {1e6, 1.0, 1e6},
     {2.0014e6, 2e6, 1400.0},
     {2e6, 1e4, 2e6},
     {1.002e9, 1e9, 2e6}}};

}  // namespace bench
