// Helpers shared by the non-central families: an accurate log-gamma for the
// mixture terms, Poisson weights, the incomplete beta function evaluated on
// the side where it is accurate, and the outward summation of a log-concave
// series.
#pragma once

#include <cmath>
#include <cstdint>

#include "numeric/checks.h"

namespace vokt::noncentral {

// Relative accuracy to which the mixture sums are carried: below the extended
// precision's rounding, so the truncation never shows in a difference
// quotient of the cdf.
inline constexpr Extended kRelTol = 1e-21L;
// Absolute floor for the cdf sums, far below any probability the program
// shows; it bounds the work in the extreme lower tail.
inline constexpr Extended kAbsTol = 1e-60L;

// ln Gamma(x) for x > 0 to nearly full extended precision: the Stirling
// series from 15 on, the recurrence Gamma(x + 1) = x Gamma(x) below.  The
// mixture terms take differences of log-gammas at large arguments, where a
// six-term Lanczos sum would lose ten digits.
Extended LnGammaX(Extended x);

// ln Gamma(x) - ln Gamma(y) for x, y > 0, without the cancellation of two
// large log-gammas when x and y are large and close.
Extended LnGammaRatio(Extended x, Extended y);

// ln of the Poisson weight e^(-a) a^j / j! (a > 0, j >= 0), accurate to the
// last digits also at large a (Loader's saddle-point form).
Extended LnPoisson(int64_t j, Extended a);

// I_x(a, b) with cx = 1 - x, evaluated through the complement I_cx(b, a) on
// the side where the continued fraction works on the smaller argument.
Extended BetaIc(Extended x, Extended cx, Extended a, Extended b);

// The regularized incomplete beta I_x(a, b) (cx = 1 - x) and incomplete
// gamma P(a, y), Q(a, y) to nearly full extended precision: continued
// fractions (modified Lentz) and the power series carried to 1e-20 with
// prefactors from LnGammaX.  The mixture sums subtract component values
// from each other (the t's lower tail is a difference of two sums), so the
// start values need more than the kernel's twelve digits.
Extended BetaIX(Extended x, Extended cx, Extended a, Extended b);
Extended GammaPX(Extended y, Extended a);
Extended GammaQX(Extended y, Extended a);

// Standard normal tail Phi(-z) for z >= 0 without the cancellation of
// 1/2 - erf / 2: the incomplete gamma continued fraction gives Q(1/2, z^2/2).
Extended NormalTail(Extended z);

// A probability forced into [0, 1]: the incomplete functions may overshoot
// by a rounding error.
inline Extended Clamp01(Extended v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Random values for the direct generators of the non-central families (far
// cheaper than inverting a series cdf for every value).  GammaValue: gamma(k, 1)
// by Marsaglia and Tsang's squeeze method (k < 1 through gamma(k + 1) U^(1/k));
// PoissonValue: inversion from the mode, O(sqrt a) steps; NcChiSquareValue:
// chi-square with k degrees of freedom and non-centrality lambda, as
// (Z + sqrt lambda)^2 + chi-square(k - 1) for k >= 1 and as the Poisson
// mixture chi-square(k + 2J) below.
Extended StdNormalValue();
Extended GammaValue(Extended k);
int64_t PoissonValue(Extended a);
Extended NcChiSquareValue(Extended k, Extended lambda);

// Lowers a parameter count for the lifetime of the object and restores it
// however the scope ends: the central paths validate only the central
// family's records, and a refused value must not leave the grid one row short.
class ScopedParCount {
 public:
  ScopedParCount(uint8_t& count, uint8_t temporary) : count_(count), saved_(count) {
    count_ = temporary;
  }
  ~ScopedParCount() { count_ = saved_; }
  ScopedParCount(const ScopedParCount&) = delete;
  ScopedParCount& operator=(const ScopedParCount&) = delete;

 private:
  uint8_t& count_;
  uint8_t saved_;
};

// Term cap for series centred at index about a with spread sqrt(a): fifty
// times the spread is already far beyond the 1e-21 truncation.
int64_t SeriesCap(Extended a);

// Index from a floating estimate, clamped to [0, limit].
int64_t ClampIndex(Extended j, int64_t limit);

// Sum of t_j, j >= 0, for a series whose ratio r(j) = t_(j+1) / t_j decreases
// in j (the terms rise to one peak and fall), given t0 = t_(j0).  Works from
// j0 both ways; once the ratio falls below 1 the rest of the tail is bounded
// by a geometric series and the sum stops when that bound is below kRelTol
// of the sum.  More than cap terms raise EConvergenceError.
template <class Ratio>
Extended SumOutward(int64_t j0, Extended t0, Ratio r, int64_t cap, const char* what) {
  if (!(t0 > 0)) return 0;
  Extended s = t0, t = t0;
  int64_t n = 0;
  for (int64_t j = j0;; ++j) {
    const Extended rho = r(j);
    t *= rho;
    s += t;
    if (!(t > 0)) break;
    if (rho < 1 && t * rho <= kRelTol * s * (1 - rho)) break;
    if (++n > cap) throw EConvergenceError(what);
  }
  t = t0;
  for (int64_t j = j0; j > 0; --j) {
    const Extended rho = 1 / r(j - 1);
    t *= rho;
    s += t;
    if (!(t > 0)) break;
    if (rho < 1 && t * rho <= kRelTol * s * (1 - rho)) break;
    if (++n > cap) throw EConvergenceError(what);
  }
  return s;
}

}  // namespace vokt::noncentral
