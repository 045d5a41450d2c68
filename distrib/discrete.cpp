// DiscreteDistribution: tails summed from their own side with the family's
// probability ratio, a quantile found by bracketing and bisection from a
// Cornish-Fisher start on the tail it lies in, and rejection from a table-mountain hat (constant
// around the mode, falling like the inverse cube of the distance) that needs no family-specific
// constants.
#include <algorithm>
#include <cmath>
#include <limits>

#include "distrib/distribution.h"
#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {
// A point table holds one record per integer of the plot range; beyond ten
// million records (64 bytes each) a parameter set is refused instead.
constexpr Real kMaxTableRecords = 10000000;
// A thinned table (see ThinTableAllowed) holds about this many points, each
// with its own point probability and distribution function: more than the
// columns of any plot.
constexpr Real kThinTableRecords = 20000;
// Sums step once per support point; a tail ends long before this.
constexpr int64_t kMaxSteps = 50000000;
// Expected trials per value are below 3 for any unimodal distribution.
constexpr int64_t kMaxTrials = 10000000;
// A sum ends when the next terms, bounded by a geometric series, add less
// than this part of it.
constexpr Real kSumTolerance = 1e-21L;
// Relative tolerance of "reaches p" in the quantile.
constexpr Real kQuantileTolerance = Eps;
// The resolution of a probability next to 1 (four units of its last place).
constexpr Real kResolutionNearOne = 4 * std::numeric_limits<Real>::epsilon();
// Bracketing and bisection steps of the quantile: doubling reaches any long
// double in 16400 steps, bisection halves a bracket of at most 2^64 points.
constexpr int kMaxSearchSteps = 20000;

void CountStep(int64_t& steps, const char* what) {
  if (++steps > kMaxSteps) throw ConvergenceError(what);
}

// P(X = x), read from the point table where it covers x (the random
// generator's acceptance test would otherwise evaluate it again and again).
Real TableProb(const DiscreteDistribution& d, Real x) {
  if (d.Points() && d.Points()->Count() > 0) {
    const auto& items = d.Points()->Items();
    const Real i = x - items.front().X;
    if (i >= 0 && i < static_cast<Real>(items.size())) {
      const PointRecord& rec = items[static_cast<size_t>(i)];
      if (rec.X == x) return rec.Prob;
    }
  }
  return d.PointProb(x);
}
}  // namespace

DiscreteDistribution::DiscreteDistribution() = default;

bool DiscreteDistribution::InSupport(Real x) const {
  // A value within Eps of a support point is that point, also at the ends.
  return IsIntegerValue(x) && Distribution::InSupport(RoundExt(x));
}

Real DiscreteDistribution::PointProb(Real) const { return 0; }

Real DiscreteDistribution::ProbRatio(int32_t) const { return 0; }

Real DiscreteDistribution::MaxDensity() const { return PointProb(mode_); }

void DiscreteDistribution::PlotRange(GraphRange& r) const {
  if (supportHigh_ - supportLow_ < 21) {
    r.Left = supportLow_;
    r.Right = supportHigh_;
  } else {
    Distribution::PlotRange(r);
    r.Left = RoundExt(r.Left);
    r.Right = RoundExt(r.Right);
  }
  r.Left -= 1;
  r.Right += 1;
}

void DiscreteDistribution::BuildPointTable() {
  // Called on an object whose parameters are being set (a fresh one, see
  // SetParameters): a failure here is discarded with it.  The size is
  // checked first, before the mode search, so that a refused parameter set
  // is answered at once.
  GraphRange r = Range();
  const Real lo = RoundExt(std::max(supportLow_, r.Left));
  const Real hi = RoundExt(std::min(supportHigh_, r.Right));
  // Refused as well: a distribution whose mass lies beyond the 32-bit
  // support (a negative binomial with a mean above 2147483647, say), where
  // the range is empty.
  ErrorIf(hi < lo, msgTooLarge);
  // Wider than a table, a family that allows it gets every step-th point,
  // within the 32-bit support its probability ratio counts in.
  const bool thin = hi - lo + 1 > kMaxTableRecords;
  ErrorIf(thin && !(ThinTableAllowed() && hi <= 2147483647.0L), msgTooLarge);
  const Real step = thin ? std::ceil((hi - lo + 1) / kThinTableRecords) : 1;
  // The mode lies within a few standard deviations of the mean, inside the
  // plot range; the cap only stops a family whose probabilities never peak.
  const int64_t modeCap = static_cast<int64_t>(std::max<Real>(hi - lo, 0)) + 1000;
  // P(mode - 1) > P(mode) is read from the probability ratio where the
  // family has one (a ratio below 1), which spares two point probabilities
  // per step on a long way to the mode.
  auto fallsTo = [this](Real k) {  // P(k) < P(k - 1)
    const Real ratio = RatioAt(k);
    return ratio > 0 ? ratio < 1 : PointProb(k - 1) > PointProb(k);
  };
  auto risesTo = [this](Real k) {  // P(k) > P(k - 1)
    const Real ratio = RatioAt(k);
    return ratio > 0 ? ratio > 1 : PointProb(k) > PointProb(k - 1);
  };
  Real mode = ModeStart();
  int64_t steps = 0;
  while (fallsTo(mode)) {
    mode -= 1;
    if (++steps > modeCap) throw ConvergenceError("the mode search");
  }
  while (risesTo(mode + 1)) {
    mode += 1;
    if (++steps > modeCap) throw ConvergenceError("the mode search");
  }
  const Real maxDens = PointProb(mode);
  ErrorIf(!(maxDens > 0), msgTooLarge);
  const Real hatWidth =
      std::cbrt(3 * maxDens * maxDens * ((mode - mean_) * (mode - mean_) + variance_));
  auto points = std::make_unique<PointTable>();
  if (hi >= lo) points->Reserve(static_cast<size_t>((hi - lo) / step + 2));
  // The interval sums behind Cdf read Mode.
  mode_ = mode;
  for (Real k = lo; thin; k += step) {
    // Spaced points, each computed on its own.
    if (k > hi) k = hi;
    PointRecord rec;
    rec.X = k;
    rec.Prob = k == mode ? maxDens : PointProb(k);
    rec.CumProb = Cdf(k);
    points->Add(rec);
    if (k == hi) break;
  }
  // One point probability, then a step with the family's probability
  // ratio per record where it has one; the cumulative column is the cdf
  // at the first point plus a running sum.  So the table never evaluates
  // the distribution function more than once.
  Real cum = 0, prob = 0;
  for (Real k = lo; !thin && k <= hi; k += 1) {
    const Real ratio = (k == lo || prob <= 0) ? 0 : RatioAt(k);
    prob = k == mode ? maxDens : ratio > 0 ? prob * ratio : PointProb(k);
    cum = (k == lo) ? Cdf(k) : cum + prob;
    PointRecord rec;
    rec.X = k;
    rec.Prob = prob;
    rec.CumProb = cum > 1 ? 1 : cum;
    points->Add(rec);
  }
  maxDens_ = maxDens;
  HatWidth = hatWidth;
  points_ = std::move(points);
}

Real DiscreteDistribution::CdfPoint(Real x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  return IsIntegerValue(x) ? RoundExt(x) : std::floor(x);
}

Real DiscreteDistribution::RatioAt(Real k) const {
  if (!(std::fabs(k) <= 2147483647.0L)) return 0;
  return ProbRatio(static_cast<int32_t>(k));
}

Real DiscreteDistribution::ModeStart() const {
  Real m = hasMean_ && std::isfinite(mean_) ? RoundExt(mean_) : supportLow_;
  if (m < supportLow_) m = supportLow_;
  if (m > supportHigh_) m = supportHigh_;
  return m;
}

Real DiscreteDistribution::SumPoints(Real lo, Real hi, bool fromTop) const {
  if (lo < supportLow_) lo = supportLow_;
  if (hi > supportHigh_) hi = supportHigh_;
  if (hi < lo) return 0;
  Real k = fromTop ? hi : lo;
  Real p = PointProb(k);
  Real sum = p;
  int64_t steps = 0;
  // Walking away from the larger terms: once a term has fallen below its
  // predecessor, the rest is at most p r / (1 - r) with r the last ratio.
  while (fromTop ? k > lo : k < hi) {
    Real next;
    if (fromTop) {
      const Real r = RatioAt(k);  // P(k) / P(k - 1)
      next = (r > 0 && p > 0) ? p / r : PointProb(k - 1);
      k -= 1;
    } else {
      const Real r = RatioAt(k + 1);
      next = (r > 0 && p > 0) ? p * r : PointProb(k + 1);
      k += 1;
    }
    sum += next;
    if (next <= p) {
      if (next == 0) break;
      const Real r = next / p;
      if (r < 1 && next * r / (1 - r) <= kSumTolerance * sum) break;
    }
    p = next;
    CountStep(steps, "the probability sum");
  }
  return sum;
}

Real DiscreteDistribution::Cdf(Real x) const {
  const Real k = CdfPoint(x);
  if (k < supportLow_) return 0;
  if (k >= supportHigh_) return 1;
  // Below the mean the lower tail is the smaller one and is summed; above,
  // the upper tail is summed and its complement keeps all digits.
  if (!hasMean_ || k < mean_) return std::min<Real>(1, SumPoints(supportLow_, k, true));
  const Real r = 1 - SumPoints(k + 1, supportHigh_, false);
  return r < 0 ? 0 : r;
}

Real DiscreteDistribution::UpperTail(Real x) const {
  const Real k = CdfPoint(x);
  if (k < supportLow_) return 1;
  if (k >= supportHigh_) return 0;
  if (hasMean_ && k >= mean_) return std::min<Real>(1, SumPoints(k + 1, supportHigh_, false));
  const Real r = 1 - SumPoints(supportLow_, k, true);
  return r < 0 ? 0 : r;
}

Real DiscreteDistribution::StrictLowerTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (IsIntegerValue(x)) {
    const Real k = RoundExt(x);
    return k - 1 < supportLow_ ? 0 : Cdf(k - 1);
  }
  if (InSupport(x)) return Distribution::StrictLowerTail(x);  // non-integer points
  return Cdf(x);
}

Real DiscreteDistribution::IntervalProb(Real a, Real b) const {
  if (std::isnan(a) || std::isnan(b)) RaiseMessage(msgNotANumber);
  // The integer points of [a, b], a value within Eps of a point counting as
  // that point.
  Real lo = IsIntegerValue(a) ? RoundExt(a) : std::ceil(a);
  Real hi = CdfPoint(b);
  if (lo < supportLow_) lo = supportLow_;
  if (hi > supportHigh_) hi = supportHigh_;
  if (hi < lo) return 0;
  if (lo <= supportLow_) return Cdf(hi);
  if (hi >= supportHigh_) return UpperTail(lo - 1);
  Real r;
  if (hi - lo < 1000) {
    // A short interval is summed from its larger end.
    const bool fromTop = !hasMean_ || hi <= mean_ || (lo < mean_ && PointProb(hi) >= PointProb(lo));
    r = SumPoints(lo, hi, fromTop);
  } else if (hasMean_ && hi <= mean_) {
    r = Cdf(hi) - Cdf(lo - 1);
  } else if (hasMean_ && lo - 1 >= mean_) {
    r = UpperTail(lo - 1) - UpperTail(hi);
  } else {
    r = 1 - Cdf(lo - 1) - UpperTail(hi);
  }
  return r < 0 ? 0 : (r > 1 ? 1 : r);
}

Real DiscreteDistribution::StartGuess(Real z) const {
  // The normal approximation: within a few standard deviations of the
  // answer even far out, which the bracketing steps (an eighth of a standard
  // deviation, doubling) cover in a handful of evaluations.
  Real n = hasMean_ && std::isfinite(mean_) ? mean_ : supportLow_;
  if (hasVariance_ && std::isfinite(variance_) && std::isfinite(z)) n += z * std::sqrt(variance_);
  n = std::floor(n);
  if (!(n >= supportLow_)) n = supportLow_;
  if (!(n <= supportHigh_)) n = supportHigh_;
  if (!std::isfinite(n)) n = std::isfinite(supportLow_) ? supportLow_ : 0;
  return n;
}

template <class Pred>
Real DiscreteDistribution::SearchPoint(Real start, Pred holds) const {
  // Bracket: lo fails (or lies below the support), hi holds.
  Real lo, hi;
  Real step = std::max<Real>(
      1, hasVariance_ && std::isfinite(variance_) ? std::floor(std::sqrt(variance_) / 8) : 1);
  int steps = 0;
  auto count = [&steps] {
    if (++steps > kMaxSearchSteps) throw ConvergenceError("the quantile search");
  };
  if (holds(start)) {
    hi = start;
    for (;;) {
      count();
      if (hi <= supportLow_) return supportLow_;
      lo = std::max(supportLow_, hi - step);
      if (!holds(lo)) break;
      hi = lo;
      step *= 2;
    }
  } else {
    lo = start;
    for (;;) {
      count();
      if (lo >= supportHigh_) return supportHigh_;
      hi = std::min(supportHigh_, lo + step);
      if (!std::isfinite(hi)) throw ConvergenceError("the quantile search");
      if (holds(hi)) break;
      lo = hi;
      step *= 2;
    }
  }
  while (hi - lo > 1) {
    count();
    const Real mid = std::floor(lo + (hi - lo) / 2);
    if (mid <= lo || mid >= hi) break;  // beyond the exact integers
    if (holds(mid))
      hi = mid;
    else
      lo = mid;
  }
  return hi;
}

template <class Pred>
Real DiscreteDistribution::SettlePoint(Real n, Pred holds) const {
  // Without quicker forms the search has settled n already.
  if (!QuickSearchTails()) return n;
  for (int steps = 0; steps < kMaxSearchSteps; ++steps) {
    if (n + 1 == n) return n;  // beyond the exact integers
    if (n < supportHigh_ && !holds(n)) {
      n += 1;
    } else if (n > supportLow_ && holds(n - 1)) {
      n -= 1;
    } else {
      return n;
    }
  }
  throw ConvergenceError("the quantile search");
}

QuantileResult DiscreteDistribution::Quantile(Real p) const {
  if (std::isnan(p)) RaiseMessage(msgNotANumber);
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p == 0) return {supportLow_, p};
  if (p == 1) return {supportHigh_, p};
  Real n;
  if (p <= 0.5L) {
    const Real target = p * (1 - kQuantileTolerance);
    n = SearchPoint(StartGuess(NormalLowerInv(p)),
                    [&](Real k) { return k >= supportHigh_ || SearchCdf(k) >= target; });
    n = SettlePoint(n, [&](Real k) { return k >= supportHigh_ || Cdf(k) >= target; });
  } else {
    // 1 - p is exact for p >= 1/2, but p itself (a rounded distribution
    // function, say) is known to a few units of 2^-64 only.
    const Real target = (1 - p) * (1 + kQuantileTolerance) + kResolutionNearOne;
    n = SearchPoint(StartGuess(NormalUpperInv(1 - p)),
                    [&](Real k) { return k >= supportHigh_ || SearchUpperTail(k) <= target; });
    n = SettlePoint(n, [&](Real k) { return k >= supportHigh_ || UpperTail(k) <= target; });
  }
  return {n, Cdf(n)};
}

Real DiscreteDistribution::UpperQuantile(Real q) const {
  if (std::isnan(q)) RaiseMessage(msgNotANumber);
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  if (q == 0) return supportHigh_;
  if (q == 1) return supportLow_;
  if (q <= 0.5L) {
    const Real target = q * (1 + kQuantileTolerance);
    auto holds = [&](Real k) { return k >= supportHigh_ || UpperTail(k) <= target; };
    return SettlePoint(
        SearchPoint(StartGuess(NormalUpperInv(q)),
                    [&](Real k) { return k >= supportHigh_ || SearchUpperTail(k) <= target; }),
        holds);
  }
  // Next to 1 the tolerance is relative to 1 - q, on the lower tail (as the
  // lower quantile does above 1/2): q = 1 - 1e-10 must not stop where the
  // lower tail is still 5 % short of 1e-10.
  const Real target = (1 - q) * (1 - kQuantileTolerance) - kResolutionNearOne;
  return SettlePoint(
      SearchPoint(StartGuess(NormalLowerInv(1 - q)),
                  [&](Real k) { return k >= supportHigh_ || SearchCdf(k) >= target; }),
      [&](Real k) { return k >= supportHigh_ || Cdf(k) >= target; });
}

Real DiscreteDistribution::RandomValue(RandomEngine& engine) const {
  const Real M = maxDens_, s = HatWidth, m = mode_;
  const Real centre = s / (3 * s + M), halfWidth = s / M + 0.5L;
  for (int64_t trial = 0; trial < kMaxTrials; ++trial) {
    Real u = engine.Uniform();
    Real v = 2 * engine.Uniform() - 1;
    Real w = engine.Uniform();
    Real x, y;
    // std::rint rounds half to even like RoundExt (the default rounding
    // mode) at a fraction of nearbyint's cost; |v|^(3/2) is |v| sqrt|v|.
    if (u >= centre) {
      x = std::rint(m + v * halfWidth);
      y = w * M;
    } else {
      const Real a = std::fabs(v), root = std::sqrt(a);
      const Real t = s / (M * root) + 0.5L;
      x = v > 0 ? std::rint(m + t) : std::rint(m - t);
      y = w * M * a * root;
    }
    // A tail trial with v = 0 lands at infinity with y = 0: only points of
    // positive probability are accepted.
    const Real px = TableProb(*this, x);
    if (px > 0 && y <= px) return x;
  }
  throw ConvergenceError("the random generator");
}

}  // namespace vokt
