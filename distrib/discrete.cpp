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
// million records (160 MB) a parameter set is refused instead.
constexpr Extended kMaxTableRecords = 10000000;
// Sums and walks step once per support point.  Past the plot range the terms
// fall below the tolerance and stop the sum long before this.
constexpr int64_t kMaxSteps = 50000000;
// Expected trials per value are below 3 for any unimodal distribution.
constexpr int64_t kMaxTrials = 10000000;

void CountStep(int64_t& steps, const char* what) {
  if (++steps > kMaxSteps) throw EConvergenceError(what);
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
  // Everything is computed into locals first: a refused table leaves the
  // previous one in place.
  Extended mode = RoundExt(Mean);
  int64_t steps = 0;
  while (PointProb(mode - 1) > PointProb(mode)) {
    mode -= 1;
    CountStep(steps, "the mode search");
  }
  while (PointProb(mode + 1) > PointProb(mode)) {
    mode += 1;
    CountStep(steps, "the mode search");
  }
  Mode = mode;
  tPlotRange r = Range();
  Extended lo = RoundExt(std::max(SupportLow, r.Left));
  Extended hi = RoundExt(std::min(SupportHigh, r.Right));
  ErrorIf(hi - lo + 1 > kMaxTableRecords, msgTooLarge);
  auto points = std::make_unique<tRealPointList>();
  if (hi >= lo) points->Reserve(static_cast<size_t>(hi - lo + 1));
  // The cumulative column is the cdf at the first point plus a running sum,
  // so the table costs one point probability per record rather than one
  // distribution function.
  Extended cum = 0;
  for (Extended k = lo; k <= hi; k += 1) {
    tPointRecord rec;
    rec.X = k;
    rec.Prob = PointProb(k);
    cum = (k == lo) ? Cdf(k) : cum + rec.Prob;
    rec.CumProb = cum > 1 ? 1 : cum;
    points->Add(rec);
  }
  MaxDens = PointProb(Mode);
  HatWidth = std::cbrt(3 * MaxDens * MaxDens * ((Mode - Mean) * (Mode - Mean) + Variance));
  Points = std::move(points);
}

Extended tDiscrete_distribution::IntervalProb(Extended a, Extended b) {
  if (std::isnan(a) || std::isnan(b)) RaiseMessage(msgNotANumber);
  if (a < SupportLow) a = SupportLow;
  Extended lo = InSupport(a) ? RoundExt(a) : std::floor(a + 1);
  if (b > SupportHigh) b = SupportHigh;
  Extended hi = InSupport(b) ? RoundExt(b) : std::floor(b);
  if (hi < lo) return 0;
  if (hi - lo + 1 > (lo - SupportLow) + (SupportHigh - hi)) {
    if (b > 214748364.7L) return 1 - IntervalProb(SupportLow, lo - 1);
    return 1 - IntervalProb(SupportLow, lo - 1) - IntervalProb(hi + 1, SupportHigh);
  }
  Extended p = PointProb(lo);
  Extended sum = p, pmax = p;
  int64_t steps = 0;
  while (lo < hi && (p > Eps || p >= pmax)) {
    lo += 1;
    Extended r = std::fabs(lo) < InfBound ? ProbRatio(static_cast<int32_t>(lo)) : 0;
    if (r > 0)
      p *= r;
    else
      p = PointProb(lo);
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
  Extended n = HasMean ? RoundExt(Mean) : RoundExt(SupportLow);
  if (HasVariance) {
    if (p > 0.5L)
      n += RoundExt(std::sqrt(-Variance * std::log(2 * (1 - p))));
    else
      n -= RoundExt(std::sqrt(-Variance * std::log(2 * p)));
  } else {
    n += 1;
  }
  if (n > SupportHigh) n = RoundExt(SupportHigh);
  if (n < SupportLow) n = RoundExt(SupportLow);
  Extended c = Cdf(n);
  Extended f = PointProb(n);
  int64_t steps = 0;
  while (c > p + Eps) {
    c -= f;
    Extended r = ProbRatio(RoundInt(n));
    n -= 1;
    if (r > 0)
      f /= r;
    else
      f = PointProb(n);
    CountStep(steps, "the quantile walk");
  }
  while (c < p - Eps) {
    n += 1;
    Extended r = ProbRatio(RoundInt(n));
    if (r != 0)
      f *= r;
    else
      f = PointProb(n);
    c += f;
    CountStep(steps, "the quantile walk");
  }
  p = c;
  return n;
}

Extended tDiscrete_distribution::RandomValue() {
  const Extended M = MaxDens, s = HatWidth, m = Mode;
  for (int64_t trial = 0; trial < kMaxTrials; ++trial) {
    Extended u = Uniform();
    Extended v = 2 * Uniform() - 1;
    Extended w = Uniform();
    Extended x, y;
    if (u >= s / (3 * s + M)) {
      x = RoundExt(m + v * (s / M + 0.5L));
      y = w * M;
    } else {
      Extended t = s / (M * std::sqrt(std::fabs(v))) + 0.5L;
      x = v > 0 ? RoundExt(m + t) : RoundExt(m - t);
      y = w * M * std::pow(std::fabs(v), 1.5L);
    }
    if (!(y > PointProb(x))) return x;
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
