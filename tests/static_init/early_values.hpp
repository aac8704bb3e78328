// Values computed during static initialisation (early_caller.cpp).
#pragma once

namespace static_init {

struct EarlyValues {
  double lnGammaOfTen;         // LnGamma(10)
  double studentInvOneDegree;  // StudentInv(0.05, 1)
};

extern const EarlyValues kEarlyValues;

}  // namespace static_init
