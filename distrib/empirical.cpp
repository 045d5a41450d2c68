// Empirical distribution: the table's counts give the probabilities, the
// running count the cumulative probabilities (the last one exactly 1), and
// random values come from rejection under the constant hat MaxCount.
#include "distrib/empirical.h"

#include <cmath>

#include "numeric/uniform.h"

namespace vokt {

tEmpirical_distribution::tEmpirical_distribution() {
  Points = std::make_unique<tRealPointList>();
}

void tEmpirical_distribution::DeriveFromCounts() {
  tRealPointList& t = *Points;
  const int count = t.Count();
  TotalCount = 0;
  MaxCount = 0;
  Extended s1 = 0, s2 = 0;
  for (int i = 0; i < count; ++i) {
    const tPointRecord& p = t[i];
    TotalCount += p.Count;
    s1 += p.Count * p.X;
    s2 += p.X * p.X * p.Count;
    if (p.Count > MaxCount) {  // ties keep the smallest value as the mode
      MaxCount = p.Count;
      Mode = p.X;
    }
  }
  int64_t running = 0;
  for (int i = 0; i < count; ++i) {
    tPointRecord& p = t[i];
    running += p.Count;
    p.Prob = Extended(p.Count) / TotalCount;
    p.CumProb = Extended(running) / TotalCount;
  }
  HasMean = true;
  HasVariance = true;
  if (TotalCount > 0) {
    Mean = s1 / TotalCount;
    // Cancellation can leave a variance a hair below zero; it is never
    // negative, and a negative one would make the standard deviation NaN.
    Variance = s2 / TotalCount - Mean * Mean;
    if (Variance < 0) Variance = 0;
  } else {
    Mean = 0;
    Variance = 0;
  }
}

int tEmpirical_distribution::SetParameters(Extended p1, Extended p2, Extended p3) {
  DeriveFromCounts();
  int result = 0;
  try {
    result = tDistribution::SetParameters(p1, p2, p3);
  } catch (...) {
    BuildPointTable();
    throw;
  }
  BuildPointTable();
  return result;
}

void tEmpirical_distribution::BuildPointTable() {
  const tRealPointList& t = *Points;
  AllSingle = MaxCount == 1;
  if (t.Count() == 0) {
    MaxDens = 0;
    return;
  }
  SupportLow = t[0].X;
  SupportHigh = t[t.Count() - 1].X;
  MaxDens = PointProb(Mode);
}

int tEmpirical_distribution::XDecimals() {
  Extended d = StdDev() * 0.009L;
  if (!(d > 0)) return 0;
  int r = 0;
  // Extended numbers have at most 4951 decimals below the point.
  while (d < 1 && r < 5000) {
    d *= 10;
    ++r;
  }
  return r;
}

bool tEmpirical_distribution::InSupport(Extended x) const {
  int i;
  return !std::isnan(x) && FindPoint(*Points, x, i);
}

Extended tEmpirical_distribution::PointProb(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  int i;
  return FindPoint(*Points, x, i) ? (*Points)[i].Prob : 0;
}

Extended tEmpirical_distribution::Cdf(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (Points->Count() == 0 || x < SupportLow) return 0;
  if (x >= SupportHigh) return 1;
  int i;
  if (FindPoint(*Points, x, i)) return (*Points)[i].CumProb;
  return i > 0 ? (*Points)[i - 1].CumProb : 0;
}

// P(a <= X <= b) from the table.  The discrete base steps over the integers,
// which misses every value of a table whose values are not integers.
Extended tEmpirical_distribution::IntervalProb(Extended a, Extended b) {
  if (std::isnan(a) || std::isnan(b)) RaiseMessage(msgNotANumber);
  if (b < a) return 0;
  Extended r = Cdf(b) - Cdf(a) + PointProb(a);
  if (r < 0) return 0;
  if (r > 1) return 1;
  return r;
}

Extended tEmpirical_distribution::Quantile(Extended& p) {
  if (std::isnan(p)) RaiseMessage(msgNotANumber);
  const tRealPointList& t = *Points;
  ErrorIf(t.Count() == 0, 1374);
  int lo = 0, hi = t.Count() - 1;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (p > t[mid].CumProb)
      lo = mid + 1;
    else
      hi = mid;
  }
  if (std::fabs(t[lo].CumProb - p) >= Eps) p = t[lo].CumProb;
  return t[lo].X;
}

Extended tEmpirical_distribution::RandomValue() {
  const tRealPointList& t = *Points;
  const int count = t.Count();
  ErrorIf(count == 0, 1374);
  if (AllSingle) {
    int i = static_cast<int>(Uniform() * count);
    if (i >= count) i = count - 1;
    return t[i].X;
  }
  // The expected number of trials is count * MaxCount / TotalCount, at most
  // count; the cap is far beyond any run that is merely unlucky.
  const Extended expected = Extended(count) * MaxCount / TotalCount;
  const Extended cap = 1000 * expected + 1000000;
  for (Extended trial = 0; trial < cap; trial += 1) {
    int i = static_cast<int>(Uniform() * count);
    if (i >= count) i = count - 1;
    const Extended u2 = Uniform();
    if (t[i].Count >= u2 * MaxCount) return t[i].X;
  }
  throw EConvergenceError("the random generator");
}

void tEmpirical_distribution::PlotRange(tPlotRange& r) {
  const Extended s = StdDev();
  r.Left = Mean - 4 * s;
  if (r.Left < SupportLow) r.Left = SupportLow;
  r.Right = Mean + 4 * s;
  if (r.Right > SupportHigh) r.Right = SupportHigh;
}

}  // namespace vokt
