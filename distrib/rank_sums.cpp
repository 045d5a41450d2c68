// Wilcoxon signed rank, Mann-Whitney and rank-sum null distributions.
//
// Signed rank: c[j] counts the subsets of {1..n} with sum j; adding rank i
// is c[j + i] += c[j] run downwards, so that each rank is used at most once,
// and only the lower half of the support is kept.
//
// Mann-Whitney: the counts of U for sizes i and L are the coefficients of the
// Gaussian binomial polynomial G_i(q) = G_(i-1)(q) (1 - q^(L+i)) / (1 - q^i).
// Each G_i is symmetric, so the recursion runs in place over the lower half
// and mirrors every new coefficient onto the upper half; a delay line D
// carries the new coefficient j - i less the old coefficient j - i - L.
#include "distrib/rank_sums.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vokt {

namespace {
// Tables and working arrays are bounded: beyond this many entries a size is
// refused rather than allowed to exhaust memory.
constexpr int64_t kMaxEntries = 50000000;
// The recursions have no Cancel button, so their work is bounded too: two
// billion additions take a few seconds.
constexpr int64_t kMaxSteps = 2000000000;
constexpr Extended kMaxPlotPoints = 9999990;

// True when x would pass the integer parameter checks (an integer >= 1 below
// the infinite bound); the checks themselves raise the messages.
bool ValidSize(Extended x) { return x >= 1 && IsIntegerValue(x) && x < InfBound - Eps; }

int64_t SignedRankHalfTop(int64_t n) { return n * (n + 1) / 4; }

void CheckSignedRankSize(int64_t n) {
  ErrorIf(SignedRankHalfTop(n) + 1 > kMaxEntries, msgTooLarge);
  const int64_t half = SignedRankHalfTop(n);
  int64_t steps = 0;
  for (int64_t i = 1; i <= n; ++i) {
    const int64_t top = std::min(i * (i - 1) / 2, half - i);
    if (top >= 0) steps += top + 1;
  }
  ErrorIf(steps > kMaxSteps, msgTooLarge);
}

void CheckMannWhitneySize(int64_t m, int64_t n) {
  const int64_t N = m * n;  // both below 2^31, so no overflow
  const int64_t S = std::min(m, n), L = std::max(m, n);
  ErrorIf(N + 1 > kMaxEntries || S + 1 + N / 2 > kMaxEntries, msgTooLarge);
  // The graphs' point table covers the mean plus and minus four standard
  // deviations and holds at most ten million points; a size whose table would
  // be refused there is refused here, before the counts are computed.
  const Extended sd = std::sqrt(Extended(m) * n * (m + n + 1) / 12);
  ErrorIf(std::min(Extended(N), 8 * sd) > kMaxPlotPoints, msgTooLarge);
  int64_t steps = 0;
  for (int64_t i = 2; i <= S; ++i) steps += i * L / 2 + 1;
  ErrorIf(steps > kMaxSteps, msgTooLarge);
}
// The fields of the base classes that SetParameters changes after
// validation; put back when the point table is refused, so that a failed
// change leaves the distribution as it was.
class tBaseState {
 public:
  explicit tBaseState(const tDiscrete_distribution& d)
      : nameId_(d.NameId), low_(d.SupportLow), high_(d.SupportHigh), mean_(d.Mean),
        variance_(d.Variance), mode_(d.Mode), maxDens_(d.MaxDens), hatWidth_(d.HatWidth),
        hasMean_(d.HasMean), hasVariance_(d.HasVariance) {}
  void Restore(tDiscrete_distribution& d) const {
    d.NameId = nameId_;
    d.SupportLow = low_;
    d.SupportHigh = high_;
    d.Mean = mean_;
    d.Variance = variance_;
    d.Mode = mode_;
    d.MaxDens = maxDens_;
    d.HatWidth = hatWidth_;
    d.HasMean = hasMean_;
    d.HasVariance = hasVariance_;
  }

 private:
  uint16_t nameId_;
  Extended low_, high_, mean_, variance_, mode_, maxDens_, hatWidth_;
  bool hasMean_, hasVariance_;
};
}  // namespace

std::vector<Extended> SignedRankCounts(int32_t n) {
  ErrorIf(n < 1, msgTooLarge);
  CheckSignedRankSize(n);
  const int64_t half = SignedRankHalfTop(n);
  std::vector<Extended> c(static_cast<size_t>(half + 1), 0);
  c[0] = 1;
  for (int64_t i = 1; i <= n; ++i) {
    for (int64_t j = std::min(i * (i - 1) / 2, half - i); j >= 0; --j)
      c[static_cast<size_t>(j + i)] += c[static_cast<size_t>(j)];
  }
  return c;
}

std::vector<Extended> MannWhitneyCounts(int32_t m, int32_t n) {
  ErrorIf(m < 1 || n < 1, msgTooLarge);
  CheckMannWhitneySize(m, n);
  const int64_t S = std::min(m, n), L = std::max(m, n), N = int64_t{m} * n;
  std::vector<Extended> P(static_cast<size_t>(N + 1), 0);
  for (int64_t j = 0; j <= L; ++j) P[static_cast<size_t>(j)] = 1;
  if (S > 1) {
    std::vector<Extended> D(static_cast<size_t>(S + 1 + N / 2), 0);
    for (int64_t i = 2; i <= S; ++i) {
      D[static_cast<size_t>(i - 1)] = 0;
      const int64_t h = i * L;
      for (int64_t j = 0; j <= h / 2; ++j) {
        const Extended s = P[static_cast<size_t>(j)] + D[static_cast<size_t>(j)];
        P[static_cast<size_t>(j)] = s;
        D[static_cast<size_t>(i + j)] = s - P[static_cast<size_t>(h - j)];
        P[static_cast<size_t>(h - j)] = s;
      }
    }
  }
  // Beyond 2^64 the counts are no longer exact and the subtractions can leave
  // a tail count a hair below zero; a count is never negative.
  for (Extended& p : P)
    if (p < 0) p = 0;
  return P;
}

// ---------------------------------------------------------------------------

tWilcoxon_Distribution::tWilcoxon_Distribution(Extended n) { SetParameters(n, 0, 0); }

int tWilcoxon_Distribution::SetParameters(Extended p1, Extended, Extended) {
  ParCount = 1;
  DefineParameter(1, 1, InfBound, true, "n");
  // The table is built before anything changes, so that a refused size leaves
  // the distribution as it was.
  std::vector<Extended> table;
  if (ValidSize(p1)) table = SignedRankCounts(RoundInt(p1));
  const tBaseState saved(*this);
  int r = tDiscrete_distribution::SetParameters(p1, 1.0L, 1.0L);
  if (r != 0) return r;
  const int32_t size = RoundInt(p1);
  const Extended scale = std::ldexp(1.0L, -size);
  for (Extended& c : table) c *= scale;
  const int32_t oldN = n;
  std::swap(ProbTable, table);
  n = size;
  try {
    NameId = 926;
    const Extended top = Extended(int64_t{n} * (n + 1) / 2);
    SupportLow = 0;
    SupportHigh = top;
    Mean = top / 2;
    Variance = (2 * Extended(n) + 1) * Mean / 6;
    HasMean = HasVariance = true;
    BuildPointTable();
  } catch (...) {
    saved.Restore(*this);
    std::swap(ProbTable, table);
    n = oldN;
    throw;
  }
  return 0;
}

Extended tWilcoxon_Distribution::PointProb(Extended x) {
  if (!InSupport(x)) return 0;
  if (x > Mean) x = SupportHigh - x;
  const int64_t i = static_cast<int64_t>(RoundExt(x));
  if (i < 0 || i >= static_cast<int64_t>(ProbTable.size())) return 0;
  return ProbTable[static_cast<size_t>(i)];
}

// ---------------------------------------------------------------------------

tMann_Whitney_Distribution::tMann_Whitney_Distribution(Extended m, Extended n) {
  SetParameters(m, n, 0);
}

int tMann_Whitney_Distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, 1, InfBound, true, "m");
  DefineParameter(2, 1, InfBound, true, "n");
  std::vector<Extended> table;
  if (ValidSize(p1) && ValidSize(p2)) table = MannWhitneyCounts(RoundInt(p1), RoundInt(p2));
  const tBaseState saved(*this);
  int r = tDiscrete_distribution::SetParameters(p1, p2, 1.0L);
  if (r != 0) return r;
  Extended total = 0;
  for (Extended c : table) total += c;
  for (Extended& c : table) c /= total;
  const int32_t oldM = m, oldN = n;
  std::swap(ProbTable, table);
  m = RoundInt(p1);
  n = RoundInt(p2);
  try {
    NameId = 927;
    const Extended N = Extended(m) * n;
    SupportLow = 0;
    SupportHigh = N;
    Mean = N / 2;
    Variance = (Extended(m) + n + 1) * Mean / 6;
    HasMean = HasVariance = true;
    BuildPointTable();
  } catch (...) {
    saved.Restore(*this);
    std::swap(ProbTable, table);
    m = oldM;
    n = oldN;
    throw;
  }
  return 0;
}

Extended tMann_Whitney_Distribution::PointProb(Extended x) {
  if (!InSupport(x)) return 0;
  const int64_t i = static_cast<int64_t>(RoundExt(x));
  if (i < 0 || i >= static_cast<int64_t>(ProbTable.size())) return 0;
  return ProbTable[static_cast<size_t>(i)];
}

// ---------------------------------------------------------------------------

tRankSum_Distribution::tRankSum_Distribution(Extended m, Extended n) { SetParameters(m, n, 0); }

int tRankSum_Distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, 1, InfBound, true, "m");
  DefineParameter(2, 1, InfBound, true, "n");
  std::unique_ptr<tMann_Whitney_Distribution> inner;
  if (ValidSize(p1) && ValidSize(p2)) {
    // The support m(m+1)/2 .. m(m+1)/2 + mn must stay below the infinite bound.
    const Extended a = RoundExt(p1), b = RoundExt(p2);
    ErrorIf(a * (a + 1) / 2 + a * b >= InfBound, msgTooLarge);
    inner = std::make_unique<tMann_Whitney_Distribution>(p1, p2);
  }
  const tBaseState saved(*this);
  int r = tDiscrete_distribution::SetParameters(p1, p2, 1.0L);
  if (r != 0) return r;
  const int32_t oldM = m, oldN = n, oldShift = Shift;
  std::swap(Inner, inner);
  m = RoundInt(p1);
  n = RoundInt(p2);
  Shift = static_cast<int32_t>(int64_t{m} * (m + 1) / 2);
  try {
    NameId = 928;
    SupportLow = Shift;
    SupportHigh = Shift + Inner->SupportHigh;
    Mean = Shift + Inner->Mean;
    Variance = Inner->Variance;
    HasMean = HasVariance = true;
    BuildPointTable();
  } catch (...) {
    saved.Restore(*this);
    std::swap(Inner, inner);
    m = oldM;
    n = oldN;
    Shift = oldShift;
    throw;
  }
  return 0;
}

Extended tRankSum_Distribution::PointProb(Extended x) {
  if (!Inner) return 0;
  return Inner->PointProb(x - Shift);
}

}  // namespace vokt
