// tDiscrete_distribution: interval probabilities summed from the cheaper side
// with the family's probability ratio, a quantile that walks from a normal
// approximation, and rejection from a table-mountain hat (constant around the
// mode, falling like the inverse cube of the distance) that needs no
// family-specific constants.
#include <cmath>

#include "distrib/distribution.h"
#include "distrib/plotting.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {
// A point table holds one record per integer of the plot range; beyond ten
// million records (64 bytes each) a parameter set is refused instead.
constexpr Extended kMaxTableRecords = 10000000;
// Sums and walks step once per support point.  Past the plot range the terms
// fall below the tolerance and stop the sum long before this.
constexpr int64_t kMaxSteps = 50000000;
// Expected trials per value are below 3 for any unimodal distribution.
constexpr int64_t kMaxTrials = 10000000;
// Terms below this are left out of a sum when they lie far below the mode:
// even two billion of them add less than 1e-20.
constexpr Extended kNegligible = 1e-30L;
// Steps the quantile may take on the distribution function after its walk.
constexpr int kSettleSteps = 3;
// Beyond this many steps the quantile walk gives way to bisection.
constexpr int64_t kLongWalk = 100000;

void CountStep(int64_t& steps, const char* what) {
  if (++steps > kMaxSteps) throw EConvergenceError(what);
}

// Smallest k in [lo, hi] with P(X = k) >= kNegligible, or hi; the
// probabilities increase on [lo, hi].
Extended FirstCountingPoint(tDiscrete_distribution& d, Extended lo, Extended hi) {
  while (lo < hi) {
    const Extended mid = std::floor(lo + (hi - lo) / 2);
    if (d.PointProb(mid) >= kNegligible)
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

// Smallest support point n with Cdf(n) >= p - Eps, found by doubling steps
// from the point `from` where a walk stopped and then bisection: about sixty
// evaluations of the distribution function for any support.
Extended BisectQuantile(tDiscrete_distribution& d, Extended p, Extended from) {
  const Extended target = p - Eps;
  // The infinite bound itself is never passed to Cdf: the highest point is
  // the answer only if nothing below it will do.
  const Extended top = d.SupportHigh >= InfBound ? InfBound - 1 : d.SupportHigh;
  if (from > top) from = top;
  Extended lo, hi;  // Cdf(lo) < target <= Cdf(hi), or hi at an end
  if (d.Cdf(from) >= target) {
    hi = from;
    Extended step = 1;
    lo = from - step;
    while (lo > d.SupportLow && d.Cdf(lo) >= target) {
      hi = lo;
      step *= 2;
      lo = std::max(d.SupportLow, hi - step);
    }
    if (lo <= d.SupportLow) {
      lo = d.SupportLow;
      if (d.Cdf(lo) >= target) return lo;
    }
  } else {
    lo = from;
    Extended step = 1;
    hi = from + step;
    while (hi < top && d.Cdf(hi) < target) {
      lo = hi;
      step *= 2;
      hi = std::min(top, lo + step);
    }
    if (hi >= top && d.Cdf(top) < target) return d.SupportHigh;
  }
  while (hi - lo > 1) {
    const Extended mid = std::floor(lo + (hi - lo) / 2);
    if (d.Cdf(mid) >= target)
      hi = mid;
    else
      lo = mid;
  }
  return hi;
}

// P(X = x), read from the point table where it covers x (the random
// generator's acceptance test would otherwise evaluate it again and again).
Extended TableProb(tDiscrete_distribution& d, Extended x) {
  if (d.Points && d.Points->Count() > 0) {
    const auto& items = d.Points->Items();
    const Extended i = x - items.front().X;
    if (i >= 0 && i < static_cast<Extended>(items.size())) {
      const tPointRecord& rec = items[static_cast<size_t>(i)];
      if (rec.X == x) return rec.Prob;
    }
  }
  return d.PointProb(x);
}
}  // namespace

tDiscrete_distribution::tDiscrete_distribution() = default;

bool tDiscrete_distribution::InSupport(Extended x) const {
  return tDistribution::InSupport(x) && IsIntegerValue(x);
}

Extended tDiscrete_distribution::PointProb(Extended) { return 0; }

Extended tDiscrete_distribution::ProbRatio(int32_t) { return 0; }

Extended tDiscrete_distribution::MaxDensity() { return PointProb(Mode); }

void tDiscrete_distribution::PlotRange(tPlotRange& r) {
  if (SupportHigh - SupportLow < 21) {
    r.Left = SupportLow;
    r.Right = SupportHigh;
  } else {
    tDistribution::PlotRange(r);
    r.Left = RoundExt(r.Left);
    r.Right = RoundExt(r.Right);
  }
  r.Left -= 1;
  r.Right += 1;
}

void tDiscrete_distribution::BuildPointTable() {
  // Everything is computed into locals and stored at the end: a refused or
  // failed table leaves the previous mode, maximum and table in place.  The
  // size is checked first, before the mode search, so that a refused
  // parameter set is answered at once.
  tPlotRange r = Range();
  const Extended lo = RoundExt(std::max(SupportLow, r.Left));
  const Extended hi = RoundExt(std::min(SupportHigh, r.Right));
  // Refused as well: a distribution whose mass lies beyond the 32-bit
  // support (a negative binomial with a mean above 2147483647, say), where
  // the range is empty.
  ErrorIf(hi - lo + 1 > kMaxTableRecords || hi < lo, msgTooLarge);
  // The mode lies within a few standard deviations of the mean, inside the
  // plot range; the cap only stops a family whose probabilities never peak.
  const int64_t modeCap = static_cast<int64_t>(std::max<Extended>(hi - lo, 0)) + 1000;
  // P(mode - 1) > P(mode) is read from the probability ratio where the
  // family has one (a ratio below 1), which spares two point probabilities
  // per step on a long way to the mode.
  auto fallsTo = [this](Extended k) {  // P(k) < P(k - 1)
    const Extended r = std::fabs(k) < InfBound ? ProbRatio(static_cast<int32_t>(k)) : 0;
    return r > 0 ? r < 1 : PointProb(k - 1) > PointProb(k);
  };
  auto risesTo = [this](Extended k) {  // P(k) > P(k - 1)
    const Extended r = std::fabs(k) < InfBound ? ProbRatio(static_cast<int32_t>(k)) : 0;
    return r > 0 ? r > 1 : PointProb(k) > PointProb(k - 1);
  };
  Extended mode = RoundExt(Mean);
  int64_t steps = 0;
  while (fallsTo(mode)) {
    mode -= 1;
    if (++steps > modeCap) throw EConvergenceError("the mode search");
  }
  while (risesTo(mode + 1)) {
    mode += 1;
    if (++steps > modeCap) throw EConvergenceError("the mode search");
  }
  const Extended maxDens = PointProb(mode);
  ErrorIf(!(maxDens > 0), msgTooLarge);
  const Extended hatWidth =
      std::cbrt(3 * maxDens * maxDens * ((mode - Mean) * (mode - Mean) + Variance));
  auto points = std::make_unique<tRealPointList>();
  if (hi >= lo) points->Reserve(static_cast<size_t>(hi - lo + 1));
  // The interval sums behind Cdf read Mode, so it is set while the table is
  // filled and put back if that fails.
  const Extended oldMode = Mode;
  Mode = mode;
  try {
    // One point probability, then a step with the family's probability
    // ratio per record where it has one; the cumulative column is the cdf
    // at the first point plus a running sum.  So the table never evaluates
    // the distribution function more than once.
    Extended cum = 0, prob = 0;
    for (Extended k = lo; k <= hi; k += 1) {
      const Extended ratio = (k == lo || prob <= 0) ? 0 : ProbRatio(static_cast<int32_t>(k));
      prob = k == mode ? maxDens : ratio > 0 ? prob * ratio : PointProb(k);
      cum = (k == lo) ? Cdf(k) : cum + prob;
      tPointRecord rec;
      rec.X = k;
      rec.Prob = prob;
      rec.CumProb = cum > 1 ? 1 : cum;
      points->Add(rec);
    }
  } catch (...) {
    Mode = oldMode;
    throw;
  }
  MaxDens = maxDens;
  HatWidth = hatWidth;
  Points = std::move(points);
}

Extended tDiscrete_distribution::IntervalProb(Extended a, Extended b) {
  if (std::isnan(a) || std::isnan(b)) RaiseMessage(msgNotANumber);
  if (a < SupportLow) a = SupportLow;
  Extended lo = InSupport(a) ? RoundExt(a) : std::floor(a + 1);
  if (b > SupportHigh) b = SupportHigh;
  Extended hi = InSupport(b) ? RoundExt(b) : std::floor(b);
  if (hi < lo) return 0;
  // Sum whichever side holds fewer points.  The part right of the interval
  // is always subtracted unless the interval reaches the top of the
  // support: a point far out (above a tenth of the infinite bound, say) may
  // still be the middle of a Poisson distribution with a mean of 2e9, and a
  // tail that really is negligible ends its own sum at the first term.
  if (hi - lo + 1 > (lo - SupportLow) + (SupportHigh - hi)) {
    Extended r = 1 - IntervalProb(SupportLow, lo - 1);
    if (hi < SupportHigh) r -= IntervalProb(hi + 1, SupportHigh);
    if (r < 0) return 0;
    if (r > 1) return 1;
    return r;
  }
  Extended p = PointProb(lo);
  Extended sum = p, pmax = p;
  Extended ratio = 2;  // the last step's ratio of neighbouring terms
  int64_t steps = 0;
  // Once past the peak (or beyond the mode, where the terms only fall), the
  // sum ends when the terms are not above the tolerance and neither is the
  // rest of the tail.  The terms fall at least geometrically there (by the
  // last ratio r, or faster), so the rest is at most p r / (1 - r); a long
  // tail such as a geometric one with p = 1e-6 still holds 5e-6 when its
  // terms reach 5e-12.
  auto goOn = [&] {
    if (p > Eps || (p >= pmax && lo <= Mode)) return true;
    return ratio < 1 ? p * ratio / (1 - ratio) > Eps : p > 0;
  };
  while (lo < hi && goOn()) {
    lo += 1;
    const Extended previous = p;
    Extended r = std::fabs(lo) < InfBound ? ProbRatio(static_cast<int32_t>(lo)) : 0;
    if (r > 0 && p < kNegligible && lo < Mode) {
      // Far below the mode the terms are too small to count (or have
      // underflowed to zero, where the ratio steps would keep them zero).
      // The families with a probability ratio are unimodal, so the first
      // term that counts is found by bisection instead of a walk of up to
      // two billion steps.
      lo = FirstCountingPoint(*this, lo, std::min(hi, Mode));
      p = PointProb(lo);
    } else if (r > 0 && p > 0) {
      p *= r;
    } else {
      p = PointProb(lo);
    }
    ratio = previous > 0 ? p / previous : 2;
    sum += p;
    if (p > pmax) pmax = p;
    CountStep(steps, "the probability sum");
  }
  if (sum < 0) return 0;
  if (sum > 1) return 1;
  return sum;
}

Extended tDiscrete_distribution::Quantile(Extended& p) {
  CheckValue(msgAtLeast, p, 0);
  if (NearlyEqual(p, 0)) return SupportLow;
  CheckValue(msgNotGreaterThan, p, 1);
  if (NearlyEqual(p, 1)) return SupportHigh;
  // Start from the normal approximation.
  Extended n = HasMean ? RoundExt(Mean) : RoundExt(SupportLow);
  if (HasVariance) {
    if (p > 0.5L)
      n += RoundExt(std::sqrt(-Variance * std::log(2 * (1 - p))));
    else
      n -= RoundExt(std::sqrt(-Variance * std::log(2 * p)));
  } else {
    n += 1;
  }
  // The start stays below the infinite bound, which is no point of the
  // distribution (a Poisson Cdf refuses it).
  const Extended top = SupportHigh >= InfBound ? InfBound - 1 : SupportHigh;
  if (n > top) n = RoundExt(top);
  if (n < SupportLow) n = RoundExt(SupportLow);
  Extended c = Cdf(n);
  Extended f = PointProb(n);
  int64_t steps = 0;
  // The walks stop at the ends of the support: below the lowest point there
  // is nothing to subtract, and the highest point has cumulative probability
  // one whatever rounding has left in c.  A walk that has not arrived after
  // kLongWalk steps (a far quantile of a long-tailed distribution) hands
  // over to a bisection on the distribution function.
  bool arrived = true;
  while (c > p + Eps && n > SupportLow) {
    if (++steps > kLongWalk) {
      arrived = false;
      break;
    }
    c -= f;
    Extended r = ProbRatio(RoundInt(n));
    n -= 1;
    if (r > 0 && f > 0)
      f /= r;
    else
      f = PointProb(n);
  }
  while (arrived && c < p - Eps && n < SupportHigh) {
    if (++steps > kLongWalk) {
      arrived = false;
      break;
    }
    n += 1;
    Extended r = n < InfBound ? ProbRatio(RoundInt(n)) : 0;
    if (r > 0 && f > 0)
      f *= r;
    else
      f = PointProb(n);
    c += f;
  }
  if (!arrived) {
    n = BisectQuantile(*this, p, n);
    p = Cdf(n);
    return n;
  }
  // The walk adds and subtracts point probabilities; a family whose closed
  // form Cdf differs from those sums by more than the tolerance (the
  // Poisson's incomplete gamma function and its point probabilities carry
  // different parts of the 1e-11 error of the log-gamma series) would
  // otherwise end one point off.  The distribution function itself settles
  // the last step, so that n is the smallest point with Cdf(n) >= p - Eps.
  // Such a difference moves the answer by one point at most; the few steps
  // allowed here keep a slow (summing) Cdf from being called on and on.
  if (n >= InfBound) {  // the infinite bound: nothing to settle
    p = c;
    return n;
  }
  Extended cn = Cdf(n);
  for (int i = 0; i < kSettleSteps && cn < p - Eps && n < SupportHigh; ++i) {
    n += 1;
    cn = Cdf(n);
  }
  for (int i = 0; i < kSettleSteps && n > SupportLow; ++i) {
    const Extended below = Cdf(n - 1);
    if (below < p - Eps) break;
    n -= 1;
    cn = below;
  }
  p = cn;
  return n;
}

Extended tDiscrete_distribution::RandomValue() {
  const Extended M = MaxDens, s = HatWidth, m = Mode;
  const Extended centre = s / (3 * s + M), halfWidth = s / M + 0.5L;
  for (int64_t trial = 0; trial < kMaxTrials; ++trial) {
    Extended u = Uniform();
    Extended v = 2 * Uniform() - 1;
    Extended w = Uniform();
    Extended x, y;
    // std::rint rounds half to even like RoundExt (the default rounding
    // mode) at a fraction of nearbyint's cost; |v|^(3/2) is |v| sqrt|v|.
    if (u >= centre) {
      x = std::rint(m + v * halfWidth);
      y = w * M;
    } else {
      const Extended a = std::fabs(v), root = std::sqrt(a);
      const Extended t = s / (M * root) + 0.5L;
      x = v > 0 ? std::rint(m + t) : std::rint(m - t);
      y = w * M * a * root;
    }
    // A tail trial with v = 0 lands at infinity with y = 0: only points of
    // positive probability are accepted.
    const Extended px = TableProb(*this, x);
    if (px > 0 && y <= px) return x;
  }
  throw EConvergenceError("the random generator");
}

void tDiscrete_distribution::DrawDensity(DrawingSurface& box, Color pen, Color, Extended from,
                                         Extended to) {
  DrawDiscreteDensity(*this, box, pen, from, to);
}

void tDiscrete_distribution::DrawCdf(DrawingSurface& box, Extended x, Extended upper) {
  DrawDiscreteCdf(*this, box, x, upper);
}

}  // namespace vokt
