// Exact null distributions of the Wilcoxon signed rank statistic, the
// Mann-Whitney U statistic and the Wilcoxon rank-sum statistic, computed once
// per parameter change and kept in symmetric tables: the lower half of the
// point probabilities and their running sums, from which both tails are read
// directly.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "distrib/distribution.h"
#include "distrib/progress.h"

namespace vokt {

// A distribution on 0..Top symmetric about Top / 2: P(X = j) and P(X <= j)
// for j = 0..floor(Top / 2).
struct SymmetricTable {
  int64_t Top = 0;
  std::vector<Real> Prob, Cum;

  // From the lower half of the counts (any positive scale).
  void Set(int64_t top, std::vector<Real>&& counts);
  Real Point(int64_t j) const;
  // P(X <= j) and P(X > j) for any j (below 0: 0 and 1; above Top: 1 and 0),
  // each from the smaller tail.
  Real Lower(int64_t j) const;
  Real Upper(int64_t j) const;
};

// The common part of the three: a table shifted by Offset (x = j + Offset),
// with the tails, the interval probability and both quantiles from it.
class RankSumBase : public DiscreteDistribution {
 public:
  SymmetricTable Table;
  int64_t Offset = 0;
  // Progress and stop of the next SetParameters (not owned; may be null).
  const RankControl* Control = nullptr;
  // Counts computed elsewhere (by a worker thread) for the sizes given: the
  // next SetParameters with these sizes takes them instead of counting.
  struct PreparedCounts {
    Real First = 0, Second = 0;
    std::vector<Real> Counts;
  };
  std::optional<PreparedCounts> Prepared;

  Real PointProb(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real IntervalProb(Real a, Real b) const override;
  QuantileResult Quantile(Real p) const override;
  Real UpperQuantile(Real q) const override;

 protected:
  // The largest table index j with j + Offset <= x (+ Eps), clamped to
  // -1..Top + 1, for any x including the infinities.
  int64_t IndexAtOrBelow(Real x) const;
  // The prepared counts when they are for these sizes, else count().
  template <class Count>
  std::vector<Real> TakeOrCount(Real first, Real second, Count&& count) {
    if (Prepared && Prepared->First == first && Prepared->Second == second) {
      std::vector<Real> counts = std::move(Prepared->Counts);
      Prepared.reset();
      return counts;
    }
    return count();
  }
  // Installs a computed table and the support, mean and variance.
  void Install(int64_t top, int64_t offset, std::vector<Real>&& counts, Real variance);
  // The counts of the two-sample tables for sizes that will pass the checks
  // (none for others, which the checks refuse).
  std::vector<Real> PairCounts(Real p1, Real p2);
};

// Sum of the positive ranks among n signed ranks.
class SignedRankDistribution : public RankSumBase {
 public:
  explicit SignedRankDistribution(Real size);
  int32_t n = 0;
  void SetParameters(Real p1, Real p2, Real p3) override;

 private:
  // SetParameters builds a fresh object with counts computed beforehand.
  SignedRankDistribution() = default;
  std::vector<Real> Counts(Real p1);
  void Build(Real p1, std::vector<Real>&& counts);
};

// Mann-Whitney U for samples of sizes m and n.
class MannWhitneyDistribution : public RankSumBase {
 public:
  MannWhitneyDistribution(Real first, Real second);
  int32_t m = 0;
  int32_t n = 0;
  void SetParameters(Real p1, Real p2, Real p3) override;

 private:
  // SetParameters builds a fresh object with counts computed beforehand.
  MannWhitneyDistribution() = default;
  void Build(Real p1, Real p2, std::vector<Real>&& counts);
};

// Sum of the ranks of the first sample (size m): U + m(m+1)/2.
class RankSumDistribution : public RankSumBase {
 public:
  RankSumDistribution(Real first, Real second);
  int32_t m = 0;
  int32_t n = 0;
  void SetParameters(Real p1, Real p2, Real p3) override;

 private:
  // SetParameters builds a fresh object with counts computed beforehand.
  RankSumDistribution() = default;
  void Build(Real p1, Real p2, std::vector<Real>&& counts);
};

// The counting recursions on their own (distrib/rank_counts.cpp), for callers
// that want the tables without a distribution object.  Both refuse sizes
// whose estimated work or memory is beyond a minute or 1 GB with "Numbers too
// large." before anything is allocated, report progress and honour a stop
// through the control.
// Subset-sum counts of {1..n} for the sums 0..floor(n(n+1)/4), positive
// additions only (pairs of doubles up to n = 1020, long double above).
std::vector<Real> SignedRankCounts(int32_t n, const RankControl* control = nullptr);
// Coefficients 0..floor(m n / 2) of the Gaussian binomial coefficient
// [m+n choose m], each exact before its one rounding to long double.
std::vector<Real> MannWhitneyCounts(int32_t m, int32_t n, const RankControl* control = nullptr);
// The same recursion on counts of `words` words (4..16: rounded, each count
// keeping its top words; 0: the exact integers).  Empty when the rounding
// errors outgrew a difference, or for another width.
std::vector<Real> MannWhitneyCountsIn(int32_t m, int32_t n, int words,
                                      const RankControl* control = nullptr);
// The same recursion on counts rounded to `words` words (4..10 or 12); empty
// when the rounding errors outgrew a difference.
std::vector<Real> MannWhitneyRoundedCounts(int32_t m, int32_t n, int words,
                                           const RankControl* control = nullptr);
// Estimated cost of the two recursions, known from the sizes alone.
RankCost SignedRankCost(int64_t n);
RankCost MannWhitneyCost(int64_t m, int64_t n);

}  // namespace vokt
