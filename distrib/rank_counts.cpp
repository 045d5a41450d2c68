// The counting recursion behind the signed-rank table, with its cost
// estimate (the Mann-Whitney counts are in mann_whitney_counts.cpp).
//
// Signed rank: c[j] counts the subsets of {1..n} with sum j; adding rank i
// is c[j + i] += c[j] run downwards, so that each rank is used at most once,
// and only the lower half of the support is kept.  Every step adds
// non-negative numbers, so nothing cancels and the relative error of a count
// is at most n times the unit roundoff of the arithmetic.  Up to n = 1020 the
// counts (below 2^n) fit in the range of double, and the recursion runs on
// pairs of doubles (head + tail, about 106 bits), two or four counts per
// instruction: four times faster than long double, and the count is within
// one rounding of the exact integer when it becomes a long double.  Above,
// long double carries the counts (relative error below n 2^-64).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "distrib/rank_dp.h"
#include "distrib/rank_sums.h"
#include "resources/strings.h"

namespace vokt {

namespace {

// The largest n whose signed-rank counts (below 2^n) fit in double.
constexpr int64_t kPairRanksMax = 1020;
// Elementary steps per count addition, measured against the long double
// addition (1): a pair of doubles four counts at a time.
constexpr double kPairStep = 0.3;

int64_t SignedRankHalf(int64_t n) { return n * (n + 1) / 4; }

// The signed-rank recursion on pairs of doubles (head h, tail t): for j from
// top down to 0, (h, t)[j + i] += (h, t)[j], both non-negative.  The sum of
// the heads is split exactly into a head and its rounding error (two-sum);
// the tails and the error go into the new tail, which is then folded back.
void AddPairsDownwards(double* h, double* t, int64_t i, int64_t top) {
  typedef double Two __attribute__((vector_size(16)));
  int64_t j = top;
  if (i >= 2) {
    for (; j >= 1; j -= 2) {
      Two ah, at, bh, bt;
      std::memcpy(&ah, h + j - 1 + i, sizeof ah);
      std::memcpy(&at, t + j - 1 + i, sizeof at);
      std::memcpy(&bh, h + j - 1, sizeof bh);
      std::memcpy(&bt, t + j - 1, sizeof bt);
      const Two s = ah + bh, v = s - ah;
      Two e = (ah - (s - v)) + (bh - v);
      e += at + bt;
      const Two nh = s + e, nt = e - (nh - s);
      std::memcpy(h + j - 1 + i, &nh, sizeof nh);
      std::memcpy(t + j - 1 + i, &nt, sizeof nt);
    }
  }
  for (; j >= 0; --j) {
    const double ah = h[j + i], bh = h[j];
    const double s = ah + bh, v = s - ah;
    double e = (ah - (s - v)) + (bh - v);
    e += t[j + i] + t[j];
    const double nh = s + e;
    t[j + i] = e - (nh - s);
    h[j + i] = nh;
  }
}

}  // namespace

RankCost SignedRankCost(int64_t n) {
  RankCost c;
  if (n < 1 || n > 100000 || n > rank_dp::kMaxLog2Total) {
    c.Steps = c.Bytes = std::numeric_limits<double>::infinity();
    return c;
  }
  const double half = double(SignedRankHalf(n));
  for (int64_t i = 1; i <= n; ++i) {
    const double top = std::min(double(i) * (i - 1) / 2, half - i);
    if (top >= 0) c.Steps += top + 1;
  }
  if (n <= kPairRanksMax) c.Steps *= kPairStep;
  // The counts (a pair of doubles or a long double), then the probabilities
  // and their running sums.
  c.Bytes = 3 * (half + 1) * sizeof(Real);
  return c;
}

std::vector<Real> SignedRankCounts(int32_t n, const RankControl* control) {
  ErrorIf(n < 1, msgTooLarge);
  const RankCost cost = SignedRankCost(n);
  rank_dp::CheckCost(cost);
  RankTicker ticker(control);
  const int64_t half = SignedRankHalf(n);
  const size_t size = static_cast<size_t>(half + 1);
  std::vector<Real> c;
  double done = 0;
  const double weight = n <= kPairRanksMax ? kPairStep : 1;
  if (n <= kPairRanksMax) {
    std::vector<double> h(size, 0), t(size, 0);
    h[0] = 1;
    for (int64_t i = 1; i <= n; ++i) {
      const int64_t top = std::min(i * (i - 1) / 2, half - i);
      if (top >= 0) AddPairsDownwards(h.data(), t.data(), i, top);
      done += weight * double(std::max<int64_t>(top + 1, 0));
      if ((i & 15) == 0) ticker.Tick(done, cost.Steps);
    }
    c.resize(size);
    for (size_t j = 0; j < size; ++j) c[j] = Real(h[j]) + Real(t[j]);
    return c;
  }
  c.assign(size, 0);
  c[0] = 1;
  for (int64_t i = 1; i <= n; ++i) {
    const int64_t top = std::min(i * (i - 1) / 2, half - i);
    for (int64_t j = top; j >= 0; --j) c[static_cast<size_t>(j + i)] += c[static_cast<size_t>(j)];
    done += double(std::max<int64_t>(top + 1, 0));
    if ((i & 15) == 0) ticker.Tick(done, cost.Steps);
  }
  return c;
}

}  // namespace vokt
