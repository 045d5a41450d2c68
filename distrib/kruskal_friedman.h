// Exact null distributions of the Kruskal-Wallis statistic H and the Friedman
// statistic Q, computed by dynamic programming and kept as the table of an
// empirical distribution.
//
// A build has three steps, so that the window can run the long middle one on
// a worker thread: Prepare (checks the sizes and estimates the cost, on the
// object, changing nothing), Compute (a function of the sizes alone; it
// reports progress and stops on request through its RankControl) and
// Install (puts the computed table into the object).  Build does all three.
#pragma once

#include <cstdint>
#include <vector>

#include "distrib/empirical.h"
#include "distrib/progress.h"

namespace vokt {

// A computed table: points with X, Prob and CumProb, and the upper tails.
struct RankTable {
  std::vector<PointRecord> Records;
  std::vector<Real> Upper;
};

class KruskalWallisDistribution : public EmpiricalDistribution {
 public:
  // sizes: entries 1..k are the group sizes, entry 0 is not used.
  explicit KruskalWallisDistribution(const std::vector<int32_t>& sizes,
                                     const RankControl* control = nullptr);

  int32_t GroupCount = 0;
  std::vector<int32_t> GroupSizes;  // last applied sizes, entry 0 not used

  // Stores the sizes of the window's grid rows: values above 0 are kept, in
  // order, from place 1; empty (0) and negative rows drop out.
  void SetGroupSizes(const std::vector<int32_t>& rowValues);

  // Checks the sizes (at least two groups, every size at least 1, at most
  // 255 ranks) and the cost (work and memory within the bounds); raises the
  // message of the first fault.  Changes nothing.
  RankCost PrepareKruskalWallis(const std::vector<int32_t>& sizes) const;
  // The table for checked sizes.  Throws CancelledError on a requested stop.
  static RankTable ComputeKruskalWallis(const std::vector<int32_t>& sizes,
                                        const RankControl* control);
  // Installs a computed table; a refused count of groups changes nothing.
  void InstallKruskalWallis(const std::vector<int32_t>& sizes, RankTable&& table);
  // All three; a refused size or a cancelled run leaves the distribution as
  // it was.
  void BuildKruskalWallis(const std::vector<int32_t>& sizes, const RankControl* control = nullptr);
  // Builds from GroupSizes.
  void Rebuild(const RankControl* control = nullptr) { BuildKruskalWallis(GroupSizes, control); }
};

class FriedmanDistribution : public EmpiricalDistribution {
 public:
  FriedmanDistribution(const RankControl* control, Real T, Real B);

  int32_t Blocks = 0;      // B
  int32_t Treatments = 0;  // T

  // Checks T and B (integers, 2 <= T <= 12, 2 <= B <= 63) and the cost.
  RankCost PrepareFriedman(Real T, Real B) const;
  static RankTable ComputeFriedman(int32_t T, int32_t B, const RankControl* control);
  // Installs a computed table; refused sizes change nothing.
  void InstallFriedman(int32_t T, int32_t B, RankTable&& table);
  void BuildFriedman(const RankControl* control, Real T, Real B);
};

// The estimated cost of the dynamic programmes, from the sizes alone (entries
// 1..k, entry 0 not used).  Steps and bytes are infinite for sizes whose
// estimate itself would be too long.
RankCost KruskalWallisCost(const std::vector<int32_t>& sizes);
RankCost FriedmanCost(int32_t T, int32_t B);
// H and Q from their exact integer keys: H = 12 key / (L N (N+1)) - 3 (N+1)
// with key = L sum(R_i^2 / n_i), Q = 12 S / (B T (T+1)) - 3 B (T+1) with
// S = sum(R_t^2); one rounding, so that a value that is 0 is 0.
Real KruskalWallisH(int64_t key, int64_t lcm, int32_t N);
Real FriedmanQ(int64_t S, int32_t T, int32_t B);

}  // namespace vokt
