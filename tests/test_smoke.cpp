#include <gtest/gtest.h>
#include "specfun/specfun.hpp"
TEST(Smoke, LnGammaHalf) { EXPECT_NEAR(specfun::LnGamma(0.5), 0.5723649429247001, 4e-15); }
