// Exact null distributions of the Wilcoxon signed rank statistic, the
// Mann-Whitney U statistic and the Wilcoxon rank-sum statistic, computed once
// per parameter change and kept in symmetric tables: the lower half of the
// point probabilities and their running sums, from which both tails are read
// directly.
#pragma once

#include <cstdint>
#include <vector>

#include "distrib/distribution.h"
#include "distrib/progress.h"

namespace vokt {

// A distribution on 0..Top symmetric about Top / 2: P(X = j) and P(X <= j)
// for j = 0..floor(Top / 2).
struct tSymmetricTable {
  int64_t Top = 0;
  std::vector<Extended> Prob, Cum;

  // From the lower half of the counts (any positive scale).
  void Set(int64_t top, std::vector<Extended>&& counts);
  Extended Point(int64_t j) const;
  // P(X <= j) and P(X > j) for any j (below 0: 0 and 1; above Top: 1 and 0),
  // each from the smaller tail.
  Extended Lower(int64_t j) const;
  Extended Upper(int64_t j) const;
};

// The common part of the three: a table shifted by Offset (x = j + Offset),
// with the tails, the interval probability and both quantiles from it.
class tRankSumBase : public tDiscrete_distribution {
 public:
  tSymmetricTable Table;
  int64_t Offset = 0;
  // Progress and stop of the next SetParameters (not owned; may be null).
  const tRankControl* Control = nullptr;

  Extended PointProb(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended IntervalProb(Extended a, Extended b) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;

 protected:
  // The largest table index j with j + Offset <= x (+ Eps), clamped to
  // -1..Top + 1, for any x including the infinities.
  int64_t IndexAtOrBelow(Extended x) const;
  // Installs a computed table and the support, mean and variance.
  void Install(int64_t top, int64_t offset, std::vector<Extended>&& counts, Extended variance);
};

// Sum of the positive ranks among n signed ranks.
class tWilcoxon_Distribution : public tRankSumBase {
 public:
  explicit tWilcoxon_Distribution(Extended n);
  int32_t n = 0;
  int SetParameters(Extended p1, Extended p2, Extended p3) override;
};

// Mann-Whitney U for samples of sizes m and n.
class tMann_Whitney_Distribution : public tRankSumBase {
 public:
  tMann_Whitney_Distribution(Extended m, Extended n);
  int32_t m = 0;
  int32_t n = 0;
  int SetParameters(Extended p1, Extended p2, Extended p3) override;
};

// Sum of the ranks of the first sample (size m): U + m(m+1)/2.
class tRankSum_Distribution : public tRankSumBase {
 public:
  tRankSum_Distribution(Extended m, Extended n);
  int32_t m = 0;
  int32_t n = 0;
  int SetParameters(Extended p1, Extended p2, Extended p3) override;
};

// The counting recursions on their own, for callers that want the tables
// without a distribution object.  Both refuse sizes whose table or work would
// be too large with "Numbers too large." before anything is allocated.
// Subset-sum counts of {1..n} for the sums 0..floor(n(n+1)/4) (long double,
// positive additions only).
std::vector<Extended> SignedRankCounts(int32_t n, const tRankControl* control = nullptr);
// Coefficients 0..floor(m n / 2) of the Gaussian binomial coefficient
// [m+n choose m], each exact before its one rounding to long double.
std::vector<Extended> MannWhitneyCounts(int32_t m, int32_t n,
                                        const tRankControl* control = nullptr);
// Estimated cost of the two recursions.
tRankCost SignedRankCost(int64_t n);
tRankCost MannWhitneyCost(int64_t m, int64_t n);

}  // namespace vokt
