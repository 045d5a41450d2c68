// Wilcoxon signed rank, Mann-Whitney and rank-sum null distributions.
//
// The tables and the three distributions; the counting recursions are in
// distrib/rank_counts.cpp.
#include "distrib/rank_sums.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "resources/strings.h"

namespace vokt {

namespace {

constexpr Real kMaxPlotPoints = 9999990;

// True when x would pass the integer parameter checks (an integer >= 1 and
// finite); the checks themselves raise the messages.
bool ValidSize(Real x) { return x >= 1 && std::isfinite(x) && IsIntegerValue(x); }

// The control and any counts prepared for other sizes stay with the
// distribution when a fresh object takes its place.
void KeepInputs(RankSumBase& from, RankSumBase& to) noexcept {
  to.Control = from.Control;
  to.Prepared = std::move(from.Prepared);
}

// The graphs' point table covers the mean plus and minus four standard
// deviations and holds at most ten million points; a size whose table would
// be refused there is refused here, before the counts are computed.
void CheckPlotPoints(Real top, Real variance) {
  ErrorIf(std::min(top, 8 * std::sqrt(variance)) > kMaxPlotPoints, msgTooLarge);
}

}  // namespace

// ---------------------------------------------------------------------------

void SymmetricTable::Set(int64_t top, std::vector<Real>&& counts) {
  Top = top;
  const size_t h = counts.size();  // floor(top / 2) + 1
  // Total: twice the lower half, less the middle when top is even.
  Real total = 0;
  for (size_t j = 0; j < h; ++j) total += counts[j];
  total *= 2;
  if (top % 2 == 0) total -= counts[h - 1];
  Cum.resize(h);
  Real run = 0;
  for (size_t j = 0; j < h; ++j) {
    counts[j] /= total;
    run += counts[j];
    Cum[j] = run;
  }
  Prob = std::move(counts);
}

Real SymmetricTable::Point(int64_t j) const {
  if (j < 0 || j > Top) return 0;
  if (2 * j > Top) j = Top - j;
  return Prob[static_cast<size_t>(j)];
}

Real SymmetricTable::Lower(int64_t j) const {
  if (j < 0) return 0;
  if (j >= Top) return 1;
  if (2 * j <= Top) return Cum[static_cast<size_t>(j)];
  // P(X <= j) = 1 - P(X >= j + 1) = 1 - P(X <= Top - j - 1), at least 1/2.
  return 1 - Cum[static_cast<size_t>(Top - j - 1)];
}

Real SymmetricTable::Upper(int64_t j) const {
  if (j < 0) return 1;
  if (j >= Top) return 0;
  // P(X > j) = P(X < Top - j) = P(X <= Top - j - 1).
  const int64_t k = Top - j - 1;
  if (2 * k <= Top) return Cum[static_cast<size_t>(k)];
  return 1 - Cum[static_cast<size_t>(j)];
}

// ---------------------------------------------------------------------------

int64_t RankSumBase::IndexAtOrBelow(Real x) const {
  const Real j = std::floor(x - Real(Offset) + Eps);
  if (!(j >= 0)) return -1;  // NaN is caught by the callers
  if (j > Real(Table.Top)) return Table.Top + 1;
  return static_cast<int64_t>(j);
}

Real RankSumBase::PointProb(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  const int64_t j = IndexAtOrBelow(x);
  if (j < 0 || j > Table.Top) return 0;
  if (std::fabs(x - Real(j + Offset)) > Eps) return 0;
  return Table.Point(j);
}

Real RankSumBase::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  return Table.Lower(IndexAtOrBelow(x));
}

Real RankSumBase::UpperTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  return Table.Upper(IndexAtOrBelow(x));
}

Real RankSumBase::IntervalProb(Real a, Real b) const {
  if (std::isnan(a) || std::isnan(b)) RaiseMessage(msgNotANumber);
  if (b < a) return 0;
  // Points j in [ceil(a - Eps), floor(b + Eps)]: below is P(X < a).
  const int64_t hi = IndexAtOrBelow(b);
  int64_t lo = IndexAtOrBelow(a);
  if (lo >= 0 && lo <= Table.Top && std::fabs(a - Real(lo + Offset)) > Eps) ++lo;
  if (lo > hi) return 0;
  const Real below = Table.Lower(lo - 1), above = Table.Upper(hi);
  Real r = below > above ? Table.Lower(hi) - below : Table.Upper(lo - 1) - above;
  if (r < 0) r = 0;
  if (r > 1) r = 1;
  return r;
}

// The smallest point whose cumulative probability reaches p, "reaches" with a
// tolerance relative to p; the probability reached is p unless it differs by
// more than the tolerance.  Above 1/2 the same point is found in
// the upper tails, P(X > x) <= 1 - p, with the tolerance relative to 1 - p
// (exact there): relative to p it would swallow every upper tail below 1e-15,
// and p = 1 would stop short of the end.
QuantileResult RankSumBase::Quantile(Real p) const {
  if (std::isnan(p)) RaiseMessage(msgNotANumber);
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  constexpr Real tol = 1e-15L;
  int64_t lo = 0, hi = Table.Top;
  if (p > 0.5L) {
    const Real q = 1 - p;
    const Real target = q + q * tol;
    while (lo < hi) {
      const int64_t mid = lo + (hi - lo) / 2;
      if (Table.Upper(mid) > target)
        lo = mid + 1;
      else
        hi = mid;
    }
    const Real reached = std::fabs(Table.Upper(lo) - q) > q * tol ? Table.Lower(lo) : p;
    return {Real(lo + Offset), reached};
  }
  const Real target = p - p * tol;
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    if (Table.Lower(mid) < target)
      lo = mid + 1;
    else
      hi = mid;
  }
  const Real reached = Table.Lower(lo);
  return {Real(lo + Offset), std::fabs(reached - p) > p * tol ? reached : p};
}

Real RankSumBase::UpperQuantile(Real q) const {
  if (std::isnan(q)) RaiseMessage(msgNotANumber);
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  constexpr Real tol = 1e-15L;
  const Real target = q + q * tol;
  int64_t lo = 0, hi = Table.Top;
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    if (Table.Upper(mid) > target)
      lo = mid + 1;
    else
      hi = mid;
  }
  return Real(lo + Offset);
}

void RankSumBase::Install(int64_t top, int64_t offset, std::vector<Real>&& counts, Real variance) {
  Table.Set(top, std::move(counts));
  Offset = offset;
  supportLow_ = Real(offset);
  supportHigh_ = Real(offset + top);
  mean_ = Real(offset) + Real(top) / 2;
  variance_ = variance;
  hasMean_ = hasVariance_ = true;
  BuildPointTable();
}

// ---------------------------------------------------------------------------

SignedRankDistribution::SignedRankDistribution(Real size) { Build(size, Counts(size)); }

void SignedRankDistribution::SetParameters(Real p1, Real, Real) {
  std::vector<Real> counts = Counts(p1);
  SignedRankDistribution next;
  next.par_ = par_;
  next.Build(p1, std::move(counts));
  KeepInputs(*this, next);
  ReplaceWith(*this, std::move(next));
}

std::vector<Real> SignedRankDistribution::Counts(Real p1) {
  // Counted only for a size the checks will pass; any other is refused by
  // them in Build.
  if (!ValidSize(p1)) return {};
  ErrorIf(p1 > 100000, msgTooLarge);
  return TakeOrCount(p1, 0, [&] { return SignedRankCounts(static_cast<int32_t>(p1), Control); });
}

void SignedRankDistribution::Build(Real p1, std::vector<Real>&& counts) {
  parCount_ = 1;
  DefineParameter(1, 1, InfBound, true, "n");
  DiscreteDistribution::SetParameters(p1, 1.0L, 1.0L);
  n = static_cast<int32_t>(p1);
  nameId_ = 926;
  const int64_t top = int64_t{n} * (n + 1) / 2;
  Install(top, 0, std::move(counts), (2 * Real(n) + 1) * Real(top) / 12);
}

// ---------------------------------------------------------------------------

std::vector<Real> RankSumBase::PairCounts(Real p1, Real p2) {
  if (!(ValidSize(p1) && ValidSize(p2))) return {};
  ErrorIf(p1 > 100000 || p2 > 100000, msgTooLarge);
  const Real top = p1 * p2;
  CheckPlotPoints(top, top * (p1 + p2 + 1) / 12);
  return TakeOrCount(p1, p2, [&] {
    return MannWhitneyCounts(static_cast<int32_t>(p1), static_cast<int32_t>(p2), Control);
  });
}

MannWhitneyDistribution::MannWhitneyDistribution(Real first, Real second) {
  Build(first, second, PairCounts(first, second));
}

void MannWhitneyDistribution::SetParameters(Real p1, Real p2, Real) {
  std::vector<Real> counts = PairCounts(p1, p2);
  MannWhitneyDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, std::move(counts));
  KeepInputs(*this, next);
  ReplaceWith(*this, std::move(next));
}

void MannWhitneyDistribution::Build(Real p1, Real p2, std::vector<Real>&& counts) {
  parCount_ = 2;
  DefineParameter(1, 1, InfBound, true, "m");
  DefineParameter(2, 1, InfBound, true, "n");
  DiscreteDistribution::SetParameters(p1, p2, 1.0L);
  m = static_cast<int32_t>(p1);
  n = static_cast<int32_t>(p2);
  nameId_ = 927;
  const int64_t top = int64_t{m} * n;
  Install(top, 0, std::move(counts), Real(top) * (Real(m) + n + 1) / 12);
}

// ---------------------------------------------------------------------------

RankSumDistribution::RankSumDistribution(Real first, Real second) {
  Build(first, second, PairCounts(first, second));
}

void RankSumDistribution::SetParameters(Real p1, Real p2, Real) {
  std::vector<Real> counts = PairCounts(p1, p2);
  RankSumDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, std::move(counts));
  KeepInputs(*this, next);
  ReplaceWith(*this, std::move(next));
}

void RankSumDistribution::Build(Real p1, Real p2, std::vector<Real>&& counts) {
  parCount_ = 2;
  DefineParameter(1, 1, InfBound, true, "m");
  DefineParameter(2, 1, InfBound, true, "n");
  DiscreteDistribution::SetParameters(p1, p2, 1.0L);
  m = static_cast<int32_t>(p1);
  n = static_cast<int32_t>(p2);
  nameId_ = 928;
  const int64_t top = int64_t{m} * n;
  Install(top, int64_t{m} * (m + 1) / 2, std::move(counts), Real(top) * (Real(m) + n + 1) / 12);
}

}  // namespace vokt
