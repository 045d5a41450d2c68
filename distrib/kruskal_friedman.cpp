// Kruskal-Wallis and Friedman null distributions by exact enumeration.
//
// Both statistics are grouped by an exact integer key rather than by a
// floating-point value: L * sum(R_i^2 / n_i) with L the least common multiple
// of the group sizes (Kruskal-Wallis), and S = sum over treatments of the
// squared rank sums (Friedman).  Float grouping within a tolerance splits
// equal values once the sums grow large.  The keys index a dense count array,
// so an evaluation costs a few integer operations and no search.
//
// Kruskal-Wallis assigns to group k every n_k-subset of the ranks, then to
// group k - 1 every subset of the rest, and so on; group 1 takes what is
// left.  Rank sums are carried down the recursion, and the innermost level
// enumerates the subsets of the smaller of groups 1 and 2.
//
// Friedman enumerates multisets of B rankings (non-decreasing index vectors)
// instead of the (T!)^B ordered tuples; a multiset with runs of equal entries
// r_1, r_2, ... stands for B! / (r_1! r_2! ...) tuples.  With the column sums
// c of the first B - 1 rankings fixed, the last ranking p adds
// S = sum(c_t^2) + T(T+1)(2T+1)/6 + 2 c.p, one dot product per multiset.
//
// Every 256 evaluations the position is reported, pending events are let
// through and CancelRequested is read.
#include "distrib/kruskal_friedman.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "numeric/functions.h"
#include "resources/strings.h"

namespace vokt {

namespace {

// Tables and working memory are bounded; beyond this many entries a size is
// refused with "Numbers too large." before anything is allocated.
constexpr int64_t kMaxEntries = 50000000;
// Key ranges up to this many entries are counted in a dense array (64 MB);
// wider ranges, which only enumerations far too long to finish have, go to a
// hash table.
constexpr int64_t kMaxDenseKeys = 8000000;
constexpr int kMaxRanks = 255;

// Reports progress and reads the cancel flag; true when the run must stop.
class Ticker {
 public:
  Ticker(ProgressSink* sink, Extended total) : sink_(sink), total_(total) {}
  bool Tick(int64_t counter) {
    if (sink_) {
      Extended pos = total_ > 0 ? RoundExt(Extended(counter) / total_ * 100) : 0;
      if (pos < 0) pos = 0;
      if (pos > 100) pos = 100;
      sink_->SetPosition(static_cast<int>(pos));
      sink_->ProcessEvents();
    }
    return CancelRequested;
  }

 private:
  ProgressSink* sink_;
  Extended total_;
};

// Counts per exact key, dense over [lo, hi] or hashed.
class KeyCounts {
 public:
  KeyCounts(int64_t lo, int64_t hi) : lo_(lo) {
    if (hi - lo + 1 <= kMaxDenseKeys) dense_.assign(static_cast<size_t>(hi - lo + 1), 0);
  }
  bool Dense() const { return !dense_.empty(); }
  void AddDense(int64_t key, int64_t n) { dense_[static_cast<size_t>(key - lo_)] += n; }
  void AddHashed(int64_t key, int64_t n) { hashed_[key] += n; }
  // Distinct keys so far in the hashed table (the dense one is bounded).
  size_t HashedSize() const { return hashed_.size(); }
  // The keys with their counts, in increasing order.
  std::vector<std::pair<int64_t, int64_t>> Sorted() const {
    std::vector<std::pair<int64_t, int64_t>> r;
    if (Dense()) {
      for (size_t i = 0; i < dense_.size(); ++i)
        if (dense_[i] != 0) r.emplace_back(lo_ + static_cast<int64_t>(i), dense_[i]);
    } else {
      r.assign(hashed_.begin(), hashed_.end());
      std::sort(r.begin(), r.end());
    }
    return r;
  }

 private:
  int64_t lo_;
  std::vector<int64_t> dense_;
  std::unordered_map<int64_t, int64_t> hashed_;
};

// ---------------------------------------------------------------------------
// Kruskal-Wallis enumeration.

class KruskalWallisRun {
 public:
  KruskalWallisRun(const std::vector<int32_t>& sizes, int64_t lcm, int64_t lo, int64_t hi,
                   ProgressSink* sink)
      : k_(static_cast<int>(sizes.size()) - 1),
        n_(sizes),
        coef_(sizes.size()),
        counts_(lo, hi),
        ticker_(sink, KruskalWallisConfigurations(sizes)),
        avail_(sizes.size()),
        chosen_(sizes.size()) {
    int m = 0;
    for (int g = 1; g <= k_; ++g) {
      coef_[static_cast<size_t>(g)] = lcm / n_[static_cast<size_t>(g)];
      m += n_[static_cast<size_t>(g)];
      avail_[static_cast<size_t>(g)].resize(static_cast<size_t>(m));
      chosen_[static_cast<size_t>(g)].resize(static_cast<size_t>(n_[static_cast<size_t>(g)]));
    }
    for (int r = 0; r < m; ++r) avail_[static_cast<size_t>(k_)][static_cast<size_t>(r)] = r + 1;
    const int64_t maxSum = int64_t{m} * (m + 1) / 2;
    sq_.resize(static_cast<size_t>(maxSum + 1));
    for (int64_t s = 0; s <= maxSum; ++s) sq_[static_cast<size_t>(s)] = s * s;
  }

  void Run() {
    if (counts_.Dense())
      Level<true>(k_, 0);
    else
      Level<false>(k_, 0);
  }
  bool Stopped() const { return stop_; }
  int64_t Evaluations() const { return counter_; }
  const KeyCounts& Counts() const { return counts_; }

 private:
  // Group g chooses from avail_[g]; base is the key part of groups above g.
  template <bool Dense>
  void Level(int g, int64_t base) {
    if (g == 2) {
      Innermost<Dense>(base);
    } else {
      Choose<Dense>(g, 0, 0, 0, base);
    }
  }

  // Recursive subset choice for an outer group g: position d of the subset
  // takes the free ranks from index start on.
  template <bool Dense>
  void Choose(int g, int d, int start, int64_t sum, int64_t base) {
    const size_t G = static_cast<size_t>(g);
    const std::vector<int>& a = avail_[G];
    const int m = static_cast<int>(a.size()), r = n_[G];
    if (d == r) {
      // Hand the unchosen ranks, still increasing, to the next group.
      std::vector<int>& next = avail_[G - 1];
      const std::vector<int>& c = chosen_[G];
      size_t w = 0, ci = 0;
      for (int i = 0; i < m; ++i) {
        if (ci < c.size() && c[ci] == i)
          ++ci;
        else
          next[w++] = a[static_cast<size_t>(i)];
      }
      Level<Dense>(g - 1, base + coef_[G] * sq_[static_cast<size_t>(sum)]);
      return;
    }
    for (int j = start; j <= m - (r - d); ++j) {
      chosen_[G][static_cast<size_t>(d)] = j;
      Choose<Dense>(g, d + 1, j + 1, sum + a[static_cast<size_t>(j)], base);
      if (stop_) return;
    }
  }

  // Groups 1 and 2 share the ranks left in avail_[2]; the subsets of the
  // smaller group are enumerated and the other group takes the rest.
  template <bool Dense>
  void Innermost(int64_t base) {
    const std::vector<int>& a = avail_[2];
    int64_t rest = 0;
    for (int v : a) rest += v;
    const bool second = n_[2] <= n_[1];
    inner_.r = second ? n_[2] : n_[1];
    inner_.cA = second ? coef_[2] : coef_[1];
    inner_.cB = second ? coef_[1] : coef_[2];
    inner_.rest = rest;
    inner_.base = base;
    InnerChoose<Dense>(0, 0, 0);
  }

  template <bool Dense>
  void InnerChoose(int d, int start, int64_t sum) {
    const std::vector<int>& a = avail_[2];
    const int m = static_cast<int>(a.size()), r = inner_.r;
    if (d == r - 1) {
      const int64_t* sq = sq_.data();
      for (int j = start; j < m; ++j) {
        const int64_t R = sum + a[static_cast<size_t>(j)];
        const int64_t key = inner_.base + inner_.cA * sq[R] + inner_.cB * sq[inner_.rest - R];
        if constexpr (Dense)
          counts_.AddDense(key, 1);
        else
          counts_.AddHashed(key, 1);
        if ((++counter_ & 255) == 0) {
          if constexpr (!Dense) ErrorIf(counts_.HashedSize() > kMaxEntries, msgTooLarge);
          if (ticker_.Tick(counter_)) {
            stop_ = true;
            return;
          }
        }
      }
      return;
    }
    for (int j = start; j <= m - (r - d); ++j) {
      InnerChoose<Dense>(d + 1, j + 1, sum + a[static_cast<size_t>(j)]);
      if (stop_) return;
    }
  }

  struct Inner {
    int r = 0;
    int64_t cA = 0, cB = 0, rest = 0, base = 0;
  };

  int k_;
  std::vector<int32_t> n_;
  std::vector<int64_t> coef_;
  KeyCounts counts_;
  Ticker ticker_;
  std::vector<std::vector<int>> avail_;   // free ranks when group g chooses
  std::vector<std::vector<int>> chosen_;  // positions in avail_[g] chosen by group g
  std::vector<int64_t> sq_;
  Inner inner_;
  int64_t counter_ = 0;
  bool stop_ = false;
};

// ---------------------------------------------------------------------------
// Friedman enumeration.

class FriedmanRun {
 public:
  FriedmanRun(int T, int B, ProgressSink* sink)
      : T_(T),
        B_(B),
        ticker_(sink, FriedmanConfigurations(T, B)),
        idx_(static_cast<size_t>(B)),
        run_(static_cast<size_t>(B)),
        mult_(static_cast<size_t>(B)),
        col_(static_cast<size_t>(B) * static_cast<size_t>(T)) {
    P_ = static_cast<int>(RoundExt(Factorial(T)));
    perms_.reserve(static_cast<size_t>(P_) * static_cast<size_t>(T));
    std::vector<int32_t> arr(static_cast<size_t>(T));
    std::iota(arr.begin(), arr.end(), 1);
    Permute(arr, 0);
    const int64_t colMax = int64_t{B} * T;
    maxKey_ = int64_t{T} * colMax * colMax;
    counts_.assign(static_cast<size_t>(maxKey_ + 1), 0);
    squares_ = int64_t{T} * (T + 1) * (2 * T + 1) / 6;
  }

  void Run() { Level(0, 0); }
  bool Stopped() const { return stop_; }
  std::vector<std::pair<int64_t, int64_t>> Sorted() const {
    std::vector<std::pair<int64_t, int64_t>> r;
    for (size_t s = 0; s < counts_.size(); ++s)
      if (counts_[s] != 0) r.emplace_back(static_cast<int64_t>(s), counts_[s]);
    return r;
  }

 private:
  // All permutations of 1..T by the exchange recursion.
  void Permute(std::vector<int32_t>& arr, int d) {
    for (int i = d; i < T_; ++i) {
      std::swap(arr[static_cast<size_t>(d)], arr[static_cast<size_t>(i)]);
      if (d < T_ - 2)
        Permute(arr, d + 1);
      else
        perms_.insert(perms_.end(), arr.begin(), arr.end());
      std::swap(arr[static_cast<size_t>(d)], arr[static_cast<size_t>(i)]);
    }
  }

  const int32_t* Perm(int j) const { return perms_.data() + static_cast<size_t>(j) * T_; }
  int32_t* Col(int l) { return col_.data() + static_cast<size_t>(l) * T_; }

  // Block l takes the rankings from index `from` on (non-decreasing indices).
  void Level(int l, int from) {
    if (l == B_ - 1) {
      Innermost(from);
      return;
    }
    const size_t L = static_cast<size_t>(l);
    for (int j = from; j < P_; ++j) {
      idx_[L] = j;
      run_[L] = (l > 0 && idx_[L - 1] == j) ? run_[L - 1] + 1 : 1;
      // Orderings of the first l + 1 entries: (l+1)! / product of run-length
      // factorials, updated by (l+1) / run.  The product can pass 2^63 for a
      // moment before the division; the quotient always fits.
      mult_[L] = l == 0 ? 1
                        : static_cast<int64_t>(static_cast<unsigned __int128>(mult_[L - 1]) *
                                               static_cast<unsigned>(l + 1) /
                                               static_cast<unsigned>(run_[L]));
      const int32_t* p = Perm(j);
      int32_t* c = Col(l);
      if (l == 0) {
        for (int t = 0; t < T_; ++t) c[t] = p[t];
      } else {
        const int32_t* prev = Col(l - 1);
        for (int t = 0; t < T_; ++t) c[t] = prev[t] + p[t];
      }
      Level(l + 1, j);
      if (stop_) return;
    }
  }

  void Innermost(int from) {
    const size_t L = static_cast<size_t>(B_ - 2);
    const int32_t* c = Col(B_ - 2);
    int64_t base = squares_;
    for (int t = 0; t < T_; ++t) base += int64_t{c[t]} * c[t];
    const auto M = static_cast<unsigned __int128>(mult_[L]);
    const auto b = static_cast<unsigned>(B_);
    const int64_t multSame = static_cast<int64_t>(M * b / static_cast<unsigned>(run_[L] + 1));
    const int64_t multNew = static_cast<int64_t>(M * b);
    int64_t* counts = counts_.data();
    for (int j = from; j < P_; ++j) {
      const int32_t* p = Perm(j);
      int32_t dot = 0;
      for (int t = 0; t < T_; ++t) dot += c[t] * p[t];
      counts[base + 2 * dot] += j == from ? multSame : multNew;
      if ((++counter_ & 255) == 0 && ticker_.Tick(counter_)) {
        stop_ = true;
        return;
      }
    }
  }

  int T_, B_, P_ = 0;
  Ticker ticker_;
  std::vector<int32_t> perms_;  // P rankings of T entries, one after the other
  std::vector<int> idx_, run_;
  std::vector<int64_t> mult_;
  std::vector<int32_t> col_;  // column sums of blocks 0..l, per level
  std::vector<int64_t> counts_;
  int64_t maxKey_ = 0, squares_ = 0;
  int64_t counter_ = 0;
  bool stop_ = false;
};

void FillTable(tRealPointList& table, const std::vector<std::pair<int64_t, int64_t>>& keys,
               Extended scale, Extended shift) {
  table.Clear();
  table.Reserve(keys.size());
  for (const auto& [key, count] : keys) {
    tPointRecord r;
    r.X = scale * Extended(key) - shift;
    r.Count = count;
    table.Add(r);
  }
}

}  // namespace

Extended KruskalWallisConfigurations(const std::vector<int32_t>& sizes) {
  if (sizes.size() < 3) return 0;
  Extended lnTotal = 0;
  int64_t cum = sizes[1];
  for (size_t j = 2; j < sizes.size(); ++j) {
    if (sizes[j] < 1 || sizes[1] < 1) return 0;
    cum += sizes[j];
    // More ranks than the enumeration takes: the builder refuses them, and
    // the log binomial coefficient would take a step per rank.
    if (cum > kMaxRanks) return std::numeric_limits<Extended>::infinity();
    lnTotal += LnChoose(Extended(cum), Extended(sizes[j]));
  }
  return std::exp(lnTotal);
}

Extended FriedmanConfigurations(int32_t T, int32_t B) {
  if (T < 2 || B < 1) return 0;
  if (T > 11 || B > 62) return std::numeric_limits<Extended>::infinity();
  const Extended d = RoundExt(Factorial(T));
  return std::exp(LnChoose(d + B - 1, B));
}

int32_t FriedmanBlockLimit(int32_t T) {
  // Below two treatments ln T! is 0; the treatments' own check answers.
  CheckValue(msgAtLeast, T, 2);
  ErrorIf(T > 1754, msgTooLarge);
  const Extended d = RoundExt(Factorial(T));
  return static_cast<int32_t>(std::trunc(63 * std::log(2.0L) / std::log(d))) + 1;
}

// ---------------------------------------------------------------------------

tKruskalWallis_Distribution::tKruskalWallis_Distribution(const std::vector<int32_t>& sizes,
                                                         ProgressSink* progress) {
  GroupSizes = sizes;
  BuildKruskalWallis(sizes, progress);
}

void tKruskalWallis_Distribution::SetGroupSizes(const std::vector<int32_t>& rowValues) {
  std::vector<int32_t> s{0};
  for (int32_t v : rowValues)
    if (v > 0) s.push_back(v);
  GroupSizes = std::move(s);
}

int tKruskalWallis_Distribution::BuildKruskalWallis(const std::vector<int32_t>& sizes,
                                                    ProgressSink* progress) {
  ParCount = 1;
  DefineParameter(1, 2, 255, true, "k");
  // Everything is checked before anything changes.
  const int k = sizes.empty() ? 0 : static_cast<int>(sizes.size()) - 1;
  CheckParameter(1, k);
  int N = 0;
  for (int g = 1; g <= k; ++g) {
    CheckValue(msgAtLeast, sizes[static_cast<size_t>(g)], 1);
    N += std::min(sizes[static_cast<size_t>(g)], kMaxRanks + 1);
    if (N > kMaxRanks) throw ERangeError(LoadString(msgTooLarge));
  }
  // Keys are L * sum(R_i^2 / n_i), between L N (N+1)^2 / 4 (all rank sums
  // equal, by Cauchy-Schwarz) and L N (N+1)(2N+1) / 6 (the sum of the squared
  // ranks); the largest must fit in 63 bits.
  using I128 = __int128;
  I128 lcm = 1;
  for (int g = 1; g <= k; ++g) {
    const int64_t s = sizes[static_cast<size_t>(g)];
    lcm = lcm / std::gcd(static_cast<int64_t>(lcm), s) * s;
    ErrorIf(lcm > (I128{1} << 40), msgTooLarge);
  }
  const I128 hi = lcm * N * (N + 1) * (2 * N + 1) / 6;
  ErrorIf(hi > (I128{1} << 62), msgTooLarge);
  const I128 lo = lcm * N * (N + 1) * (N + 1) / 4;

  BusyScope busy(progress);
  CancelRequested = false;
  KruskalWallisRun run(sizes, static_cast<int64_t>(lcm), static_cast<int64_t>(lo),
                       static_cast<int64_t>(hi), progress);
  run.Run();
  const auto keys = run.Counts().Sorted();
  ErrorIf(static_cast<int64_t>(keys.size()) > kMaxEntries, msgTooLarge);

  // H = 12 / (N (N+1)) * sum(R_i^2 / n_i) - 3 (N+1).
  const int nn = N * (N + 1);
  FillTable(*Points, keys, 12.0L / nn / Extended(static_cast<int64_t>(lcm)), Extended(3 * (N + 1)));
  GroupCount = k;
  Cancelled = run.Stopped();
  const int result = SetParameters(k, 0, 0);
  if (result == 0) NameId = 929;
  return result;
}

// ---------------------------------------------------------------------------

tFriedman_Distribution::tFriedman_Distribution(ProgressSink* progress, Extended T, Extended B) {
  BuildFriedman(progress, T, B);
}

int tFriedman_Distribution::BuildFriedman(ProgressSink* progress, Extended T, Extended B) {
  ParCount = 2;
  DefineParameter(1, 2, 12, true, "T");
  DefineParameter(2, 2, 63, true, "B");
  // Everything is checked before anything changes.
  CheckParameter(1, T);
  CheckParameter(2, B);
  const int t = RoundInt(T), b = RoundInt(B);
  const Extended P = RoundExt(Factorial(t));
  ErrorIf(P * t > kMaxEntries, msgTooLarge);  // the list of the T! rankings
  CheckValue(msgSecondSmaller, b, FriedmanBlockLimit(t));

  BusyScope busy(progress);
  CancelRequested = false;
  FriedmanRun run(t, b, progress);
  run.Run();

  // Q = 12 / (B T (T+1)) * S - 3 B (T+1).
  FillTable(*Points, run.Sorted(), 12.0L / (b * t * (t + 1)), Extended(3 * b * (t + 1)));
  Treatments = t;
  Blocks = b;
  Cancelled = run.Stopped();
  const int result = SetParameters(t, b, 0);
  if (result == 0) NameId = 931;
  return result;
}

}  // namespace vokt
