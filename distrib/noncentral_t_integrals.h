// The non-central t left of 0 as an integral over the chi-square variable:
// there Lenth's two series cancel, and in the far lower tail their difference
// keeps no digits.  Internal to noncentral_t.cpp.
#pragma once

#include "numeric/checks.h"

namespace vokt::noncentral_t {

// Density at x = -ax < 0 of the non-central t with nu degrees of freedom and
// non-centrality d > 0.
Real LowerTailDensity(Real ax, Real nu, Real d);

// P(T <= -ax) for ax > 0, d > 0 in the same situation.
Real LowerTailCdf(Real ax, Real nu, Real d);

}  // namespace vokt::noncentral_t
