// The Poisson-mixture sums shared by the non-central chi-square
// (noncentral_chi2.cpp) and the non-central beta (noncentral_beta.cpp).
// Internal to those two sources.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

#include "distrib/noncentral_series.h"
#include "numeric/functions.h"

namespace vokt::mixture {

using noncentral::ClampIndex;
using noncentral::kAbsTol;
using noncentral::kRelTol;
using noncentral::SeriesCap;

// Start index: the Poisson mode (nearest integer to a, ties to even).
inline int64_t PoissonMode(Real a) { return static_cast<int64_t>(RoundExt(a)); }

constexpr Real kInf = std::numeric_limits<Real>::infinity();

// Bound on the Poisson mass below index j given the weight p at j: the
// weights fall at least geometrically with ratio j / a going down; infinite
// while they may still rise (j >= a).
inline Real LowerMassBound(int64_t j, Real p, Real a) {
  const Real rho = static_cast<Real>(j) / a;
  if (!(rho < 1)) return kInf;
  return p * rho / (1 - rho);
}

// Bound on the Poisson mass above index j given the weight p at j; 1 while
// the weights still rise.
inline Real UpperMassBound(int64_t j, Real p, Real a) {
  const Real rho = a / static_cast<Real>(j + 1);
  if (rho >= 1) return 1;
  return p * rho / (1 - rho);
}

[[noreturn]] inline void TooManyTerms(const char* what) { throw ConvergenceError(what); }

// ln x and ln(1 - x) for 0 < x < 1 given with cx = 1 - x: each through log1p
// of the other where its own argument is close to 1 (a beta with a huge beta
// parameter lives at x near 1e-99, where 1 - x rounds to 1).
inline void LogPair(Real x, Real cx, Real& lx, Real& lcx) {
  lx = x > 0.5L ? std::log1p(-cx) : std::log(x);
  lcx = x < 0.5L ? std::log1p(-x) : std::log(cx);
}

inline Real LnPoisson(int64_t j, Real a) { return LogPoissonWeight(static_cast<Real>(j), a); }

// ln(y^s e^-y / Gamma(s + 1)) for s > -1, y > 0: Loader's form from s = 0 on.
inline Real LnGammaTerm(Real s, Real y) {
  if (s >= 0) return LogPoissonWeight(s, y);
  return s * std::log(y) - y - LogGamma(s + 1);
}

// Sum over j >= 0 of w_j V_j, w_j = e^-a a^j / j!, where V_j is a component
// tail probability that falls with j (a lower tail) or rises (rising, an
// upper tail), and |V_j - V_(j+1)| = D_j.  From index i with V_i and D_i the
// walk goes down with dDown(j) = D_j / D_(j+1) and up with
// dUp(j) = D_(j+1) / D_j; fresh(j) computes V_j directly, used where the
// recurrence subtracts, has lost three digits, and the rounding error it
// carries (a few units of V_ref) could still weigh against the sum: walking
// towards the Poisson mode from a start far in the tail.  Each direction ends when
// a bound on the rest is below kRelTol of the sum.  When densitySum is given
// it receives sum w_j D_j (shape + j): the components' densities are
// D_j (shape + j) over a factor of x (for a solver's Newton steps; its
// truncation follows the tail's).
// lnWeight, when a number, is the log of the Poisson weight of i.
template <class Down, class Up, class Fresh>
inline Real MixtureSum(Real a, int64_t i, Real V0, Real D0, bool rising, Down dDown, Up dUp,
                       Fresh fresh, const char* what, Real shape = 0, Real* densitySum = nullptr,
                       Real lnWeight = std::numeric_limits<Real>::quiet_NaN()) {
  const int64_t cap = SeriesCap(a + static_cast<Real>(i));
  const Real p0 = std::exp(std::isnan(lnWeight) ? LnPoisson(i, a) : lnWeight);
  Real S = p0 * V0;
  const bool wantDensity = densitySum != nullptr;
  Real F = p0 * D0 * (shape + static_cast<Real>(i));
  int64_t n = 0;
  // Downward: a lower tail grows (stable), an upper tail falls (subtracts).
  Real p = p0, V = V0, D = D0, Vref = V0;
  for (int64_t j = i - 1; j >= 0; --j) {
    const Real ej = static_cast<Real>(j);
    D *= dDown(j);
    p = p * (ej + 1) / a;
    if (rising) {
      V -= D;
      if (V < 1e-3L * Vref && p * Vref > 10 * S) Vref = V = fresh(j);
      if (!(V > 0)) break;
    } else {
      V += D;
      if (V > 1) V = 1;
    }
    S += p * V;
    if (wantDensity) F += p * D * (shape + ej);
    if (j == 0) break;
    const Real rest = (rising ? V : 1) * LowerMassBound(j, p, a);
    if (rest <= kRelTol * S || rest <= kAbsTol) break;
    if (!(p > 0) || (V == 0 && D == 0)) break;
    if (++n > cap) TooManyTerms(what);
  }
  // Upward: a lower tail falls (subtracts), an upper tail grows.
  p = p0;
  V = Vref = V0;
  D = D0;
  for (int64_t j = i + 1;; ++j) {
    const Real ej = static_cast<Real>(j);
    p = p * a / ej;
    if (rising) {
      V += D;
      if (V > 1) V = 1;
    } else {
      V -= D;
      if (V < 1e-3L * Vref && p * Vref > 10 * S) Vref = V = fresh(j);
      if (!(V > 0)) break;
    }
    D *= dUp(j - 1);
    S += p * V;
    if (wantDensity) F += p * D * (shape + ej);
    const Real rest = (rising ? 1 : V) * UpperMassBound(j, p, a);
    if (rest <= kRelTol * S || rest <= kAbsTol) break;
    if (!(p > 0) || (V == 0 && D == 0)) break;
    if (++n > cap) TooManyTerms(what);
  }
  if (densitySum) *densitySum = F;
  return noncentral::Clamp01(S);
}

// Largest j >= 0 with j (j + c) <= r: the index where a term ratio of the form
// r / ((j + 1)(j + 1 + c)) ... falls through 1 (clamped to 2^40).
inline int64_t PeakIndex(Real c, Real r) {
  const Real root = (-c + std::sqrt(c * c + 4 * r)) / 2;
  return ClampIndex(std::floor(root), int64_t{1} << 40);
}

}  // namespace vokt::mixture
