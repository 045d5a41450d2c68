// Empirical distribution: the table's counts (or probabilities) give the
// probabilities, the running sums from below the cumulative probabilities
// and the running sums from above the upper tails; random values come from
// rejection under the constant hat MaxProb.
#include "distrib/empirical.h"

#include <cmath>

#include "numeric/uniform.h"

namespace vokt {

EmpiricalDistribution::EmpiricalDistribution() { points_ = std::make_unique<PointTable>(); }

void EmpiricalDistribution::SetProbabilityTable(std::unique_ptr<PointTable>&& points,
                                                std::vector<Real>&& upper) noexcept {
  points_ = std::move(points);
  UpperProb = std::move(upper);
  fromProbabilities_ = true;
}

void EmpiricalDistribution::DeriveFromCounts(std::vector<Real>&& upper) {
  PointTable& t = *points_;
  const int count = t.Count();
  if (!fromProbabilities_) {
    TotalCount = 0;
    MaxCount = 0;
    for (int i = 0; i < count; ++i) {
      TotalCount += t[i].Count;
      if (t[i].Count > MaxCount) MaxCount = t[i].Count;
    }
    int64_t running = 0;
    for (int i = 0; i < count; ++i) {
      PointRecord& p = t[i];
      running += p.Count;
      p.Prob = TotalCount > 0 ? Real(p.Count) / TotalCount : 0;
      p.CumProb = TotalCount > 0 ? Real(running) / TotalCount : 0;
    }
    int64_t above = 0;
    for (int i = count - 1; i >= 0; --i) {
      upper[static_cast<size_t>(i)] = TotalCount > 0 ? Real(above) / TotalCount : 0;
      above += t[i].Count;
    }
    UpperProb = std::move(upper);
  } else {
    TotalCount = 0;
    MaxCount = 0;
  }
  Real s1 = 0, s2 = 0;
  MaxProb = 0;
  for (int i = 0; i < count; ++i) {
    const PointRecord& p = t[i];
    s1 += p.Prob * p.X;
    s2 += p.X * p.X * p.Prob;
    if (p.Prob > MaxProb) {  // ties keep the smallest value as the mode
      MaxProb = p.Prob;
      mode_ = p.X;
    }
  }
  hasMean_ = true;
  hasVariance_ = true;
  if (count > 0) {
    mean_ = s1;
    // Cancellation can leave a variance a hair below zero; it is never
    // negative, and a negative one would make the standard deviation NaN.
    variance_ = s2 - mean_ * mean_;
    if (variance_ < 0) variance_ = 0;
  } else {
    mean_ = 0;
    variance_ = 0;
  }
}

void EmpiricalDistribution::SetParameters(Real p1, Real p2, Real p3) {
  // The table is the distribution; the parameters describe it.  What can
  // fail (the checks, the memory of the upper tails of a counted table)
  // comes before anything changes.
  CheckParameters(parCount_, p1, p2, p3);
  std::vector<Real> upper(fromProbabilities_ ? 0 : static_cast<size_t>(points_->Count()), 0);
  StoreParameters(parCount_, p1, p2, p3);
  DeriveFromCounts(std::move(upper));
  BuildPointTable();
}

void EmpiricalDistribution::BuildPointTable() {
  const PointTable& t = *points_;
  AllSingle = false;
  if (t.Count() == 0) {
    maxDens_ = 0;
    return;
  }
  // Counted tables: every value occurs once; others: equal probabilities.
  if (!fromProbabilities_) {
    AllSingle = MaxCount == 1;
  } else {
    AllSingle = true;
    for (int i = 1; i < t.Count() && AllSingle; ++i) AllSingle = t[i].Prob == t[0].Prob;
  }
  supportLow_ = t[0].X;
  supportHigh_ = t[t.Count() - 1].X;
  maxDens_ = PointProb(mode_);
}

int EmpiricalDistribution::XDecimals() const {
  Real d = StdDev() * 0.009L;
  if (!(d > 0)) return 0;
  int r = 0;
  // Real numbers have at most 4951 decimals below the point.
  while (d < 1 && r < 5000) {
    d *= 10;
    ++r;
  }
  return r;
}

bool EmpiricalDistribution::InSupport(Real x) const {
  int i;
  return !std::isnan(x) && FindPoint(*points_, x, i);
}

Real EmpiricalDistribution::PointProb(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  int i;
  return FindPoint(*points_, x, i) ? (*points_)[i].Prob : 0;
}

// The tolerant look-up comes first: a value within Eps of the lowest point is
// that point, not a value below the support.
Real EmpiricalDistribution::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  const PointTable& t = *points_;
  if (t.Count() == 0) return 0;
  int i;
  if (FindPoint(t, x, i)) return t[i].CumProb;
  if (i <= 0) return 0;
  if (i >= t.Count()) return 1;
  return t[i - 1].CumProb;
}

Real EmpiricalDistribution::UpperTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  const PointTable& t = *points_;
  if (t.Count() == 0) return 0;
  int i;
  if (FindPoint(t, x, i)) return UpperProb[static_cast<size_t>(i)];
  if (i <= 0) return 1;
  if (i >= t.Count()) return 0;
  return UpperProb[static_cast<size_t>(i - 1)];
}

// P(X < x): the cumulative probability of the point below.  The discrete
// base steps down by one, which is wrong for a table whose values are not
// integers (its point below 1 may be 0.9).
Real EmpiricalDistribution::StrictLowerTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  const PointTable& t = *points_;
  if (t.Count() == 0) return 0;
  int i;
  FindPoint(t, x, i);  // found: i is the point; not found: the point above x
  if (i <= 0) return 0;
  if (i >= t.Count()) return 1;
  return t[i - 1].CumProb;
}

// P(a <= X <= b) from the table.  The discrete base steps over the integers,
// which misses every value of a table whose values are not integers.
Real EmpiricalDistribution::IntervalProb(Real a, Real b) const {
  if (std::isnan(a) || std::isnan(b)) RaiseMessage(msgNotANumber);
  if (b < a) return 0;
  // From whichever tail is smaller, so that no digits are lost.
  const Real below = StrictLowerTail(a), above = UpperTail(b);
  Real r;
  if (below > above)
    r = Cdf(b) - below;
  else
    r = UpperTail(a) + PointProb(a) - above;
  if (r < 0) return 0;
  if (r > 1) return 1;
  return r;
}

// The smallest point whose cumulative probability reaches p, "reaches" with a
// tolerance relative to p, so that far-tail quantiles are exact.  Above 1/2
// the same point is found in the upper tails, P(X > x) <= 1 - p, with the
// tolerance relative to 1 - p (1 - p is exact there): relative to p, the
// tolerance would swallow every upper tail below 1e-15 and p = 1 would stop
// short of the end.  The probability reached is p unless it differs by more.
QuantileResult EmpiricalDistribution::Quantile(Real p) const {
  if (std::isnan(p)) RaiseMessage(msgNotANumber);
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  const PointTable& t = *points_;
  ErrorIf(t.Count() == 0, 1374);
  int lo = 0, hi = t.Count() - 1;
  if (p > 0.5L) {
    const Real q = 1 - p;
    const Real target = q + q * kQuantileRelTol;
    while (lo < hi) {
      const int mid = lo + (hi - lo) / 2;
      if (UpperProb[static_cast<size_t>(mid)] > target)
        lo = mid + 1;
      else
        hi = mid;
    }
    const bool differs = std::fabs(UpperProb[static_cast<size_t>(lo)] - q) > q * kQuantileRelTol;
    return {t[lo].X, differs ? t[lo].CumProb : p};
  }
  const Real target = p - p * kQuantileRelTol;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (t[mid].CumProb < target)
      lo = mid + 1;
    else
      hi = mid;
  }
  const bool differs = std::fabs(t[lo].CumProb - p) > p * kQuantileRelTol;
  return {t[lo].X, differs ? t[lo].CumProb : p};
}

// The smallest point whose upper tail P(X > x) is at most q (relative
// tolerance as above), searched in the upper tails themselves.
Real EmpiricalDistribution::UpperQuantile(Real q) const {
  if (std::isnan(q)) RaiseMessage(msgNotANumber);
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  const PointTable& t = *points_;
  ErrorIf(t.Count() == 0, 1374);
  const Real target = q + q * kQuantileRelTol;
  int lo = 0, hi = t.Count() - 1;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (UpperProb[static_cast<size_t>(mid)] > target)
      lo = mid + 1;
    else
      hi = mid;
  }
  return t[lo].X;
}

Real EmpiricalDistribution::RandomValue(RandomEngine& engine) const {
  const PointTable& t = *points_;
  const int count = t.Count();
  ErrorIf(count == 0, 1374);
  if (AllSingle) {
    int i = static_cast<int>(engine.Uniform() * count);
    if (i >= count) i = count - 1;
    return t[i].X;
  }
  // The expected number of trials is count * MaxProb, at most count; the cap
  // is far beyond any run that is merely unlucky.
  const Real expected = Real(count) * MaxProb;
  const Real cap = 1000 * expected + 1000000;
  for (Real trial = 0; trial < cap; trial += 1) {
    int i = static_cast<int>(engine.Uniform() * count);
    if (i >= count) i = count - 1;
    const Real u2 = engine.Uniform();
    if (t[i].Prob >= u2 * MaxProb) return t[i].X;
  }
  throw ConvergenceError("the random generator");
}

void EmpiricalDistribution::PlotRange(GraphRange& r) const {
  const Real s = StdDev();
  r.Left = mean_ - 4 * s;
  if (r.Left < supportLow_) r.Left = supportLow_;
  r.Right = mean_ + 4 * s;
  if (r.Right > supportHigh_) r.Right = supportHigh_;
}

}  // namespace vokt
