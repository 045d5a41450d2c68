// Exact null distributions of the Kruskal-Wallis statistic H and the Friedman
// statistic Q, computed by enumerating every equally likely configuration and
// kept as the table of an empirical distribution.
#pragma once

#include <vector>

#include "distrib/empirical.h"
#include "distrib/progress.h"

namespace vokt {

class tKruskalWallis_Distribution : public tEmpirical_distribution {
 public:
  // sizes: entries 1..k are the group sizes, entry 0 is not used.
  tKruskalWallis_Distribution(const std::vector<int32_t>& sizes, ProgressSink* progress);

  int32_t GroupCount = 0;
  std::vector<int32_t> GroupSizes;  // last applied sizes, entry 0 not used
  bool Cancelled = false;           // the last build was cancelled: the table is partial

  // Stores the sizes of the window's grid rows: values above 0 are kept, in
  // order, from place 1; empty (0) and negative rows drop out.
  void SetGroupSizes(const std::vector<int32_t>& rowValues);

  // Enumerates every assignment of the ranks 1..N to groups of the given sizes
  // (entries 1..k; entry 0 not used) and fills the table with the values of H
  // and their counts.  The sizes are checked first (at least two groups, every
  // size at least 1, at most 255 ranks, a table that fits); a refused size
  // leaves the distribution as it was.  Clears CancelRequested before it
  // starts; when the flag is set during the run it stops and keeps the
  // configurations counted so far.  Returns the result of SetParameters.
  int BuildKruskalWallis(const std::vector<int32_t>& sizes, ProgressSink* progress);
  // Builds from GroupSizes.
  int Rebuild(ProgressSink* progress) { return BuildKruskalWallis(GroupSizes, progress); }
};

class tFriedman_Distribution : public tEmpirical_distribution {
 public:
  tFriedman_Distribution(ProgressSink* progress, Extended T, Extended B);

  int32_t Blocks = 0;      // B
  int32_t Treatments = 0;  // T
  bool Cancelled = false;  // the last build was cancelled: the table is partial

  // Enumerates the multisets of B rankings of T treatments, each weighted by
  // the number of ordered tuples it stands for, and fills the table with the
  // values of Q and their counts.  T and B are checked first (integers,
  // 2 <= T <= 10 so that the T! rankings fit in memory, 2 <= B <= 62 and
  // B < FriedmanBlockLimit(T)); a refused pair leaves the distribution as it
  // was.  Cancellation as for Kruskal-Wallis.  Returns the result of
  // SetParameters.
  int BuildFriedman(ProgressSink* progress, Extended T, Extended B);
};

// Number of configurations the Kruskal-Wallis enumeration evaluates for the
// sizes (entries 1..k, entry 0 not used): the product over j = 2..k of
// C(n_1 + ... + n_j, n_j).  0 for fewer than two groups.
Extended KruskalWallisConfigurations(const std::vector<int32_t>& sizes);
// Number of multisets the Friedman enumeration evaluates: C(T! + B - 1, B).
Extended FriedmanConfigurations(int32_t T, int32_t B);
// B must be smaller than this, trunc(63 ln 2 / ln T!) + 1, so that the (T!)^B
// equally likely configurations can be counted in a signed 64-bit integer.
int32_t FriedmanBlockLimit(int32_t T);

}  // namespace vokt
