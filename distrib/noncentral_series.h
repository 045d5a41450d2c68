// Helpers shared by the non-central families: the incomplete beta function
// evaluated on the side where its argument is exact, the outward summation of
// a log-concave series, direct random generators, and the quantile solver on
// either tail.  The special functions themselves come from numeric/functions.h.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "numeric/checks.h"
#include "numeric/errors.h"
#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt::noncentral {

// Relative accuracy to which the mixture sums are carried: below the extended
// precision's rounding, so the truncation never shows in a difference
// quotient of the cdf.
inline constexpr Real kRelTol = 1e-21L;
// Absolute floor for the tail sums: below the smallest normal long double
// times 1e-20, so that tails down to 1e-4900 keep their relative accuracy.
inline constexpr Real kAbsTol = 1e-4920L;

// I_x(a, b) and its complement 1 - I_x(a, b), with cx = 1 - x given
// separately: the kernel's incomplete beta is called on the side of 1/2
// where its argument is exact (x near 1 goes in as I_cx(b, a) = 1 - I_x(a, b)).
Real IncBeta(Real x, Real cx, Real a, Real b);
Real IncBetaC(Real x, Real cx, Real a, Real b);
// The same with the shapes and their constants given as f = I(a, b).
Real IncBeta(Real x, Real cx, const BetaFunction& f);
Real IncBetaC(Real x, Real cx, const BetaFunction& f);

// A probability forced into [0, 1]: the incomplete functions may overshoot
// by a rounding error.
inline Real Clamp01(Real v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Random values for the direct generators of the non-central families (far
// cheaper than inverting a series cdf for every value).  GammaValue: gamma(k, 1)
// by Marsaglia and Tsang's squeeze method (k < 1 through gamma(k + 1) U^(1/k));
// PoissonValue: inversion from the mode, O(sqrt a) steps; NcChiSquareValue:
// chi-square with k degrees of freedom and non-centrality lambda, as
// (Z + sqrt lambda)^2 + chi-square(k - 1) for k >= 1 and as the Poisson
// mixture chi-square(k + 2J) below.
Real StdNormalValue(RandomEngine& engine);
Real GammaValue(RandomEngine& engine, Real k);
int64_t PoissonValue(RandomEngine& engine, Real a);
Real NcChiSquareValue(RandomEngine& engine, Real k, Real lambda);

// Term cap for series centred at index about a with spread sqrt(a): fifty
// times the spread is already far beyond the 1e-21 truncation.
int64_t SeriesCap(Real a);

// Index from a floating estimate, clamped to [0, limit].
int64_t ClampIndex(Real j, int64_t limit);

// Sum of t_j, j >= 0, for a series whose ratio r(j) = t_(j+1) / t_j decreases
// in j (the terms rise to one peak and fall), given t0 = t_(j0).  Works from
// j0 both ways; once the ratio falls below 1 the rest of the tail is bounded
// by a geometric series and the sum stops when that bound is below kRelTol
// of the sum.  More than cap terms raise ConvergenceError.
template <class Ratio>
Real SumOutward(int64_t j0, Real t0, Ratio r, int64_t cap, const char* what) {
  if (!(t0 > 0)) return 0;
  Real s = t0, t = t0;
  int64_t n = 0;
  for (int64_t j = j0;; ++j) {
    const Real rho = r(j);
    t *= rho;
    s += t;
    if (!(t > 0)) break;
    if (rho < 1 && t * rho <= kRelTol * s * (1 - rho)) break;
    if (++n > cap) throw ConvergenceError(what);
  }
  t = t0;
  for (int64_t j = j0; j > 0; --j) {
    const Real rho = 1 / r(j - 1);
    t *= rho;
    s += t;
    if (!(t > 0)) break;
    if (rho < 1 && t * rho <= kRelTol * s * (1 - rho)) break;
    if (++n > cap) throw ConvergenceError(what);
  }
  return s;
}

// x in [low, high] with Lower(x) = target (upper false) or Upper(x) = target
// (upper true), where tail(x) is that tail and density(x) its derivative's
// magnitude.  Safeguarded Newton steps on ln tail - ln target from the start
// x0 (multiplicative steps, x e^du, on positive supports and far from 0, so
// that power and exponential tails converge in a few steps), bisection
// (geometric where the bracket spans orders of magnitude) when a step leaves
// the bracket.  Ends after a Newton step below 1e-10 of x (quadratic
// convergence: the error left is of order 1e-20) or when the bracket holds
// no number in between.
// Where slope(x) gives the density's log-derivative f'(x) / f(x) (NaN where
// unknown), the steps are Halley's: cubic convergence, so that a step below
// 1e-7 of x already leaves an error of order 1e-21.
struct NoSlope {
  Real operator()(Real) const { return std::numeric_limits<Real>::quiet_NaN(); }
};

template <class Tail, class Density, class Slope = NoSlope>
Real SolveTail(Tail tail, Density density, bool upper, Real target, Real x0, Real low, Real high,
               const char* what, Slope slope = Slope()) {
  const Real inf = std::numeric_limits<Real>::infinity();
  const Real lt = std::log(target);
  const Real sgn = upper ? -1 : 1;  // sgn * (ln tail - lt) rises with x
  Real a = low, b = high;
  Real x = x0;
  if (!(x > a && x < b) || !std::isfinite(x)) {
    if (std::isfinite(a) && std::isfinite(b))
      x = (a + b) / 2;
    else if (std::isfinite(a))
      x = a + 1;
    else if (std::isfinite(b))
      x = b - 1;
    else
      x = 0;
  }
  for (int step = 0; step < 2000; ++step) {
    const Real t = tail(x);
    const Real h = t > 0 ? std::log(t) - lt : -inf;
    if (h == 0) return x;
    if (sgn * h < 0)
      a = x;
    else
      b = x;
    const Real g = density(x);
    Real next = std::numeric_limits<Real>::quiet_NaN();
    if (t > 0 && g > 0 && std::isfinite(h)) {
      const bool multiplicative = x != 0 && (low >= 0 || std::fabs(x) >= 1);
      // Halley's factor c on the Newton step, from H = ln tail - ln target:
      // H' = sgn f / tail and H'' = H' s - H'^2 in x (s = f'/f); in u = ln x
      // H_u = x H', H_uu = x H' + x^2 H''.  Plain Newton where c is unknown
      // or far from 1.
      Real c = 1;
      bool halley = false;
      if (const Real s = slope(x); std::isfinite(s)) {
        const Real h1 = sgn * g / t, h2 = h1 * s - h1 * h1;
        Real f = 1 - h * h2 / (2 * h1 * h1);
        if (multiplicative) {
          const Real hu1 = x * h1, hu2 = x * h1 + x * x * h2;
          f = 1 - h * hu2 / (2 * hu1 * hu1);
        }
        if (f >= 0.5L && f <= 2) {
          c = f;
          halley = true;
        }
      }
      const Real dx = -sgn * h * t / g / c;  // Newton (or Halley) step in x
      if (multiplicative) {
        const Real du = dx / x;
        next = du > -11000 && du < 11000 ? x * std::exp(du) : next;
      } else {
        next = x + dx;
      }
      // Newton converges quadratically: a step below 1e-10 of the scale of x
      // (its distance to 0 or to a finite end of the support, whichever is
      // nearer) leaves an error of order 1e-20 of it behind.
      Real scale = std::fabs(x);
      if (std::isfinite(high)) scale = std::min(scale, high - x);
      if (std::isfinite(low) && low != 0) scale = std::min(scale, x - low);
      if (std::fabs(next - x) <= (halley ? 1e-7L : 1e-10L) * scale)
        return next > a && next < b ? next : x;
    }
    if (!(next > a && next < b)) {
      // Outward by squaring far out (the end of the range in a dozen steps),
      // geometric bisection where the bracket spans orders of magnitude.
      const Real big = std::numeric_limits<Real>::max();
      if (std::isinf(b))
        next = x >= 2 ? (x < 1e2000L ? x * x : big) : (x > 0 ? 16 * x : x + 16 * (1 - x));
      else if (std::isinf(a))
        next = x <= -2 ? (x > -1e2000L ? -x * x : -big) : (x < 0 ? 16 * x : x - 16 * (1 + x));
      else if (a == 0 && b > 0)
        next = b < 0.5L ? b * b : b / 16;
      else if (a > 0 && b > 4 * a)
        next = std::sqrt(a) * std::sqrt(b);
      else if (b < 0 && a < 4 * b)
        next = -std::sqrt(-a) * std::sqrt(-b);
      else
        next = a + (b - a) / 2;
      if (!(next > a && next < b)) return std::fabs(a - x) < std::fabs(b - x) ? a : b;
    }
    x = next;
  }
  throw ConvergenceError(what);
}

// Quantile on whichever tail holds the probability: p below 1/2 on the lower
// tail, above it on the upper tail with 1 - p (exact there).  upper says that
// p is an upper-tail probability.  The ends of the support at 0 and 1.
template <class Lower, class Upper, class Density, class Slope = NoSlope>
Real TailQuantile(Lower lower, Upper upperTail, Density density, Real p, bool upper, Real x0,
                  Real low, Real high, const char* what, Slope slope = Slope()) {
  if (std::isnan(p)) RaiseMessage(msgNotANumber);
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p == 0) return upper ? high : low;
  if (p == 1) return upper ? low : high;
  if (p > 0.5L) {
    p = 1 - p;
    upper = !upper;
  }
  if (upper) return SolveTail(upperTail, density, true, p, x0, low, high, what, slope);
  return SolveTail(lower, density, false, p, x0, low, high, what, slope);
}

}  // namespace vokt::noncentral
