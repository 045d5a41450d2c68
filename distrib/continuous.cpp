// tContinuous_distribution: quantile by geometric bracketing around the mean
// and safeguarded Newton steps, x decimals from the spread, and the density
// maximum by a search whose step is two screen pixels of the plot range.
#include <algorithm>
#include <cmath>
#include <limits>

#include "distrib/distribution.h"
#include "distrib/plotting.h"

namespace vokt {

namespace {
int g_screenWidth = 1920;
// Bisection from a bracket of 2^32 down to the tolerance takes under 80
// steps, but a quantile at a pole of the density (a Weibull with b = 1e-4
// has its 0.005 quantile far below 1e-4000) halves on into the subnormal
// range: about 16,500 steps from 2^31 to the smallest extended number.  The
// cap sits well above that and only guards against a cdf that is not
// monotone or not a number.
constexpr int kQuantileCap = 100000;
// Decimals beyond this say nothing in extended precision; the cap also stops
// the loop for a zero or non-finite spread.
constexpr int kMaxDecimals = 100;
}  // namespace

tContinuous_distribution::tContinuous_distribution() = default;

void tContinuous_distribution::SetScreenWidth(int pixels) {
  if (pixels > 0) g_screenWidth = pixels;
}

int tContinuous_distribution::ScreenWidth() { return g_screenWidth; }

int tContinuous_distribution::XDecimals() {
  Extended w;
  if (HasVariance) {
    w = 0.009L * StdDev();
  } else {
    Extended p1 = 0.75L, p2 = 0.25L;
    w = 0.009L * (Quantile(p1) - Quantile(p2));
  }
  int n = 0;
  while (!(w >= 1) && n < kMaxDecimals) {
    w *= 10;
    ++n;
  }
  return n;
}

Extended tContinuous_distribution::Cdf(Extended x) {
  if (NearlyEqual(SupportLow, x)) return 0;
  return tDistribution::Cdf(x);
}

Extended tContinuous_distribution::Quantile(Extended& p) {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (NearlyEqual(p, 0)) return SupportLow;
  if (NearlyEqual(p, 1)) return SupportHigh;
  Extended lo = SupportLow, hi = SupportHigh;
  const Extended m = HasMean ? Mean : (lo + hi) / 2;
  const Extended s = HasVariance ? 2 * StdDev() : 8;
  if (hi > m + s) hi = m + s;
  if (lo < m - s) lo = m - s;
  // A centre beyond an end of the support (a lognormal whose mean lies past
  // 2147483647, say) leaves lo above hi; search the whole support instead.
  if (lo > hi) {
    lo = SupportLow;
    hi = SupportHigh;
  }
  int guard = 0;
  while (Cdf(hi) < p && hi < SupportHigh) {
    lo = hi;
    hi = m + 8 * (hi - m);
    if (hi > SupportHigh) hi = SupportHigh;
    if (++guard > kQuantileCap) throw EConvergenceError("the quantile search");
  }
  // Downwards whenever the bracket still lies above p.  (Testing only for an
  // unchanged initial width skipped this when step 3 had clipped the upper
  // end at the support, e.g. beta(3, 1), whose 0.01 quantile 0.215 lies
  // below mean - 2 sd; after an upward expansion Cdf(lo) < p anyway.)
  {
    while (Cdf(lo) > p && lo > SupportLow) {
      hi = lo;
      lo = m + 8 * (lo - m);
      if (lo < SupportLow) lo = SupportLow;
      if (++guard > kQuantileCap) throw EConvergenceError("the quantile search");
    }
  }
  Extended x = (lo + hi) / 2, xold;
  // Besides the absolute step Eps the last step must move the cdf by less
  // than Eps relative to the smaller tail probability: an absolute 5e-12 in
  // x alone leaves the cdf far off where the density is large (the 1e-6
  // quantile of a chi-square with 1 degree of freedom is 1.6e-12).  When the
  // cdf cannot get closer the bracket still shrinks to adjacent numbers.
  const Extended cdfTolerance = Eps * std::min(p, 1 - p);
  Extended g = 0;
  int steps = 0;
  do {
    Extended e = Cdf(x) - p;
    g = Density(x);
    xold = x;
    if (e <= 0) lo = x;
    if (e >= 0) hi = x;
    if (g * (hi - lo) > std::fabs(2 * e))
      x = x - e / g;
    else
      x = lo + (hi - lo) / 2;
    if (++steps > kQuantileCap || std::isnan(x)) throw EConvergenceError("the quantile search");
  } while (!(std::fabs(x - xold) < Eps && !(g * std::fabs(x - xold) > cdfTolerance)));
  return x;
}

Extended tContinuous_distribution::MaxDensity() {
  tPlotRange r = Range();
  // When the moments put the whole plotting window beyond the stand-in for
  // infinity (a gamma with mean 1e16, say) the range is empty or reversed and
  // 5 / width is no cap at all: a negative "maximum" would turn the graph
  // upside down.  There is nothing to cap then.
  const Extended cap = r.Right > r.Left ? 5 / (r.Right - r.Left)
                                        : std::numeric_limits<Extended>::infinity();
  Extended d;
  if (MaxDens > 0) {
    d = MaxDens;
  } else if (InSupport(Mode)) {
    d = Density(Mode);
  } else {
    Extended half = 0.5L;
    Extended x = Quantile(half);
    d = Density(x);
    const Extended h = 2 * (r.Right - r.Left) / g_screenWidth;
    // Each walk covers at most the plot range in steps of two pixels.
    const int cap_steps = 4 * g_screenWidth + 16;
    bool failed = false;
    int steps = 0;
    do {
      Extended t = Density(x - h);
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
        Extended t = Density(x + h);
        if (t > d) {
          x += h;
          d = t;
        } else {
          failed = true;
        }
      } while (!failed && !(x > r.Right) && !(d > cap) && ++steps < cap_steps);
    }
    Mode = x;
  }
  // A density that is not a number at the peak (an underflowed argument at
  // an extreme parameter set) cannot scale a graph; say so rather than draw
  // a graph with an undefined height.
  if (std::isnan(d)) RaiseInvalidOp();
  const Extended height = d < cap ? d : cap;
  if (std::isinf(height)) RaiseOverflow();
  MaxDens = d;
  return height;
}

void tContinuous_distribution::DrawDensity(DrawingSurface& box, Color pen, Color brush,
                                           Extended from, Extended to) {
  DrawContinuousDensity(*this, box, pen, brush, from, to);
}

void tContinuous_distribution::DrawCdf(DrawingSurface& box, Extended x, Extended upper) {
  DrawContinuousCdf(*this, box, x, upper);
}

}  // namespace vokt
