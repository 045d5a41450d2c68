// Exact null distributions of the Wilcoxon signed rank statistic, the
// Mann-Whitney U statistic and the Wilcoxon rank-sum statistic, computed once
// per parameter change by counting recursions and kept in tables.
#pragma once

#include <memory>
#include <vector>

#include "distrib/distribution.h"

namespace vokt {

// Sum of the positive ranks among n signed ranks.  Only the lower half of the
// support is stored; the upper half follows from the symmetry
// P(W = w) = P(W = n(n+1)/2 - w).
class tWilcoxon_Distribution : public tDiscrete_distribution {
 public:
  explicit tWilcoxon_Distribution(Extended n);

  int32_t n = 0;
  std::vector<Extended> ProbTable;  // P(W = j), j = 0..HalfTop

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended PointProb(Extended x) override;
};

// Mann-Whitney U for samples of sizes m and n.
class tMann_Whitney_Distribution : public tDiscrete_distribution {
 public:
  tMann_Whitney_Distribution(Extended m, Extended n);

  std::vector<Extended> ProbTable;  // P(U = u), u = 0..m*n
  int32_t m = 0;
  int32_t n = 0;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended PointProb(Extended x) override;
};

// Sum of the ranks of the first sample (size m): U + m(m+1)/2.
class tRankSum_Distribution : public tDiscrete_distribution {
 public:
  tRankSum_Distribution(Extended m, Extended n);

  std::unique_ptr<tMann_Whitney_Distribution> Inner;
  int32_t Shift = 0;
  int32_t m = 0;
  int32_t n = 0;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended PointProb(Extended x) override;
};

// The counting recursions on their own (counts, not probabilities), for
// callers that want the tables without a distribution object.  Both refuse
// sizes whose table or work would be too large with "Numbers too large.".
// Subset-sum counts of {1..n} for the sums 0..floor(n(n+1)/4).
std::vector<Extended> SignedRankCounts(int32_t n);
// Coefficients 0..m*n of the Gaussian binomial coefficient [m+n choose m].
std::vector<Extended> MannWhitneyCounts(int32_t m, int32_t n);

}  // namespace vokt
