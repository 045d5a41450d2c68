// ContinuousDistribution: quantile by geometric bracketing around the mean
// and safeguarded Newton steps on the smaller tail, x decimals from the spread, and the density
// maximum by a search whose step is two screen pixels of the plot range.
#include <algorithm>
#include <cmath>
#include <limits>

#include "distrib/distribution.h"

namespace vokt {

namespace {
// The search for the highest density walks the plot range in this many
// parts (a fine grid, independent of any display).
constexpr int kModeSearchParts = 1920;
// The bracket grows by a factor of 8 per step: from a spread of 1e-4950 to
// the largest extended number is under 11,000 steps.  The refinement halves
// the exponent range before the mantissa (under 100 steps from any bracket)
// or takes Newton steps; both caps only guard against a tail that is not
// monotone or not a number.
constexpr int kBracketCap = 12000;
constexpr int kRefineCap = 2000;
// More decimals than this say nothing in extended precision.
constexpr int kMaxDecimals = 30;
constexpr Real kInf = std::numeric_limits<Real>::infinity();
constexpr Real kBig = std::numeric_limits<Real>::max();
// Relative tolerances of the generic inversion: on the tail probability
// reached, and on the bracket around x (a tail computed by a series to 1e-15
// cannot steer x closer than that).
constexpr Real kTailTolerance = 1e-16L;
constexpr Real kWidthTolerance = 2e-17L;
}  // namespace

ContinuousDistribution::ContinuousDistribution() = default;

int ContinuousDistribution::XDecimals() const {
  Real w;
  if (hasVariance_) {
    w = 0.009L * StdDev();
  } else {
    w = 0.009L * (Quantile(0.75L).X - Quantile(0.25L).X);
  }
  // An infinite or undefined spread (quantiles beyond the extended range)
  // asks for no decimals; a spread below 1e-30 gets the cap.
  if (!std::isfinite(w)) return 0;
  int n = 0;
  while (!(w >= 1) && n < kMaxDecimals) {
    w *= 10;
    ++n;
  }
  return n;
}

Real ContinuousDistribution::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x <= supportLow_) return 0;
  return Distribution::Cdf(x);
}

QuantileResult ContinuousDistribution::Quantile(Real p) const { return {InverseCdf(p), p}; }

Real ContinuousDistribution::InverseCdf(Real p) const {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p == 0) return supportLow_;
  if (p == 1) return supportHigh_;
  // Above 1/2 the upper tail 1 - p (exact there) is the smaller one.
  if (p > 0.5L) return SolveTail(1 - p, true);
  return SolveTail(p, false);
}

Real ContinuousDistribution::UpperQuantile(Real q) const {
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  if (q == 0) return supportHigh_;
  if (q == 1) return supportLow_;
  if (q > 0.5L) return SolveTail(1 - q, false);
  return SolveTail(q, true);
}

// Where the quantile search starts: the mean, else the middle of a finite
// support, else next to its finite end, else 0.
Real ContinuousDistribution::SearchStart() const {
  if (hasMean_ && std::isfinite(mean_)) return mean_;
  if (std::isfinite(supportLow_) && std::isfinite(supportHigh_))
    return supportLow_ / 2 + supportHigh_ / 2;
  if (std::isfinite(supportLow_)) return supportLow_ + 1;
  if (std::isfinite(supportHigh_)) return supportHigh_ - 1;
  return 0;
}

namespace {
// A point strictly inside (lo, hi) that halves the bracket: of the exponent
// range (a geometric mean) where it spans orders of magnitude, 0 where it
// straddles 0 widely or narrowly, else the middle.
Real BisectionPoint(Real lo, Real hi) {
  const Real tiny = std::numeric_limits<Real>::denorm_min();
  Real y;
  if (lo >= 0 && hi / std::max(lo, tiny) > 16)
    y = std::sqrt(std::max(lo, tiny)) * std::sqrt(hi);
  else if (hi <= 0 && lo / std::min(hi, -tiny) > 16)
    y = -std::sqrt(-lo) * std::sqrt(std::max(-hi, tiny));
  else if (lo < 0 && hi > 0 && (hi > 16 || lo < -16 || (hi < 1 / 16.0L && lo > -1 / 16.0L)))
    y = 0;
  else
    y = lo + (hi - lo) / 2;
  if (!(y > lo && y < hi)) y = lo + (hi - lo) / 2;
  return y;
}
}  // namespace

Real ContinuousDistribution::SolveTail(Real t, bool upper) const {
  // e(x) increases with x and is 0 at the answer.
  auto e = [&](Real x) {
    const Real v = upper ? t - UpperTail(x) : Cdf(x) - t;
    if (std::isnan(v)) throw ConvergenceError("the quantile search");
    return v;
  };
  const Real lowEnd = std::max(supportLow_, -kBig);
  const Real highEnd = std::min(supportHigh_, kBig);
  const Real m = std::clamp(SearchStart(), lowEnd, highEnd);
  Real s = hasVariance_ ? 2 * std::sqrt(variance_) : 1;
  if (!(s > 0) || !std::isfinite(s)) s = 1;
  Real lo = m, hi = m;
  Real elo = e(m), ehi = elo;
  int guard = 0;
  // Grow the bracket on the side that does not yet hold the answer.
  if (ehi < 0) {
    Real step = s;
    while (ehi < 0) {
      lo = hi;
      elo = ehi;
      if (hi >= highEnd) return supportHigh_;  // beyond the largest number
      hi = hi + step > highEnd ? highEnd : hi + step;
      step *= 8;
      ehi = e(hi);
      if (++guard > kBracketCap) throw ConvergenceError("the quantile search");
    }
  } else if (elo > 0) {
    Real step = s;
    while (elo > 0) {
      hi = lo;
      ehi = elo;
      if (lo <= lowEnd) return supportLow_;
      lo = lo - step < lowEnd ? lowEnd : lo - step;
      step *= 8;
      elo = e(lo);
      if (++guard > kBracketCap) throw ConvergenceError("the quantile search");
    }
  }
  if (elo == 0) return lo;
  if (ehi == 0) return hi;
  // Refine: Newton from the end whose tail is closer, kept inside the
  // bracket; bisection (of the exponent range first when the bracket spans
  // orders of magnitude) where Newton leaves it or gains too little.
  Real x = std::fabs(elo) < std::fabs(ehi) ? lo : hi;
  Real ex = x == lo ? elo : ehi;
  Real lastWidth = kInf;
  for (int steps = 0;; ++steps) {
    if (steps > kRefineCap) throw ConvergenceError("the quantile search");
    if (std::fabs(ex) <= kTailTolerance * t) return x;
    const Real next = std::nextafter(lo, hi);
    if (next >= hi || hi - lo <= kWidthTolerance * std::max(std::fabs(lo), std::fabs(hi)))
      return std::fabs(elo) <= std::fabs(ehi) ? lo : hi;
    const Real width = hi - lo;
    Real y = kInf;
    const Real g = Density(x);
    if (g > 0 && std::isfinite(g) && width < 0.5L * lastWidth) y = x - ex / g;
    lastWidth = width;
    if (!(y > lo && y < hi)) {
      y = BisectionPoint(lo, hi);
      if (!(y > lo && y < hi)) y = next;
      lastWidth = kInf;  // let Newton try again from the new point
    }
    x = y;
    ex = e(x);
    if (ex < 0) {
      lo = x;
      elo = ex;
    } else if (ex > 0) {
      hi = x;
      ehi = ex;
    } else {
      return x;
    }
  }
}

Real ContinuousDistribution::MaxDensity() const {
  GraphRange r = Range();
  // When the moments put the whole plotting window beyond the stand-in for
  // infinity (a gamma with mean 1e16, say) the range is empty or reversed and
  // 5 / width is no cap at all: a negative "maximum" would turn the graph
  // upside down.  There is nothing to cap then.
  const Real cap =
      r.Right > r.Left ? 5 / (r.Right - r.Left) : std::numeric_limits<Real>::infinity();
  Real d;
  if (maxDens_ > 0) {
    d = maxDens_;
  } else if (peakDensity_ > 0) {
    d = peakDensity_;
  } else if (InSupport(mode_)) {
    d = Density(mode_);
  } else {
    Real x = Quantile(0.5L).X;
    d = Density(x);
    const Real h = 2 * (r.Right - r.Left) / kModeSearchParts;
    // Each walk covers at most the plot range in steps of two pixels.
    const int cap_steps = 4 * kModeSearchParts + 16;
    bool failed = false;
    int steps = 0;
    do {
      Real t = Density(x - h);
      if (t > d) {
        x -= h;
        d = t;
      } else {
        failed = true;
      }
    } while (!failed && !(x < r.Left) && !(d > cap) && ++steps < cap_steps);
    if (failed) {
      failed = false;
      steps = 0;
      do {
        Real t = Density(x + h);
        if (t > d) {
          x += h;
          d = t;
        } else {
          failed = true;
        }
      } while (!failed && !(x > r.Right) && !(d > cap) && ++steps < cap_steps);
    }
    // A mode at an end of the support (a density infinite there, gamma with
    // shape 1/2) stays: the search only found the highest drawn point.
    if (!(mode_ == supportLow_ || mode_ == supportHigh_)) {
      peakMode_ = x;
      peakFound_ = true;
    }
  }
  // A density that is not a number at the peak (an underflowed argument at
  // an extreme parameter set) cannot scale a graph; say so rather than draw
  // a graph with an undefined height.
  if (std::isnan(d)) RaiseInvalidOp();
  const Real height = d < cap ? d : cap;
  if (std::isinf(height)) RaiseOverflow();
  peakDensity_ = d;
  return height;
}

}  // namespace vokt
