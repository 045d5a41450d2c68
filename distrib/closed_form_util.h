// Helpers shared by the closed-form families (closed_form.cpp and
// location_scale.cpp).  Internal to those sources.
#pragma once

#include <cmath>
#include <limits>

#include "numeric/checks.h"

namespace vokt::closed_form {

constexpr Real kPi = 3.141592653589793238462643383279502884L;

inline void RefuseNaN(Real x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
}

inline Real Clamp01(Real p) {
  if (p < 0) return 0;
  if (p > 1) return 1;
  return p;
}

// Checks a probability for a quantile; true when it is 0 or 1, with x the
// matching end of the support (low for 0, high for 1).
inline bool QuantileEnd(Real p, Real low, Real high, Real& x) {
  if (std::isnan(p)) RaiseMessage(msgNotANumber);
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p == 0) {
    x = low;
    return true;
  }
  if (p == 1) {
    x = high;
    return true;
  }
  return false;
}

// ln p and ln(1 - p) for 0 < p < 1, each to full precision: the one of the
// two that is close to 0 through log1p of the exact complement.
inline void LogPair(Real p, Real& lp, Real& lc) {
  if (p <= 0.5L) {
    lp = std::log(p);
    lc = std::log1p(-p);
  } else {
    const Real c = 1 - p;  // exact
    lp = std::log1p(-c);
    lc = std::log(c);
  }
}

}  // namespace vokt::closed_form
