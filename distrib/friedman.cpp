// The Friedman null distribution by dynamic programming over the blocks
// (see kruskal_wallis.cpp for the exact keys and counts both programmes use).
#include "distrib/kruskal_friedman.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>

#include "distrib/rank_dp.h"
#include "resources/strings.h"

namespace vokt {

using namespace rank_dp;

namespace {

// ---------------------------------------------------------------------------
// Friedman

// Sorted column-sum vectors packed into 128 bits, `bits` bits per entry.
struct FrCodec {
  int T, bits;
  U128 Encode(const int* v) const {
    U128 k = 0;
    for (int t = 0; t < T; ++t) k = (k << bits) | static_cast<U128>(v[t]);
    return k;
  }
  void Decode(U128 k, int* v) const {
    const U128 mask = (U128(1) << bits) - 1;
    for (int t = T - 1; t >= 0; --t) {
      v[t] = static_cast<int>(k & mask);
      k >>= bits;
    }
  }
};

// Open-addressing table from packed vectors (never 0) to counts.
template <class C>
class FrTable {
 public:
  explicit FrTable(size_t expected) {
    size_t cap = 16;
    while (cap < 2 * expected + 16) cap *= 2;
    keys_.assign(cap, 0);
    vals_.assign(cap, C(0));
  }
  void Add(U128 key, C v) {
    if (2 * (size_ + 1) > keys_.size()) Grow();
    Insert(key, v);
  }
  template <class F>
  void ForEach(F&& f) const {
    for (size_t i = 0; i < keys_.size(); ++i)
      if (keys_[i] != 0) f(keys_[i], vals_[i]);
  }
  size_t Size() const { return size_; }

 private:
  static size_t Hash(U128 k) {
    const uint64_t a = static_cast<uint64_t>(k), b = static_cast<uint64_t>(k >> 64);
    uint64_t h = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<size_t>(h ^ (h >> 29));
  }
  void Insert(U128 key, C v) {
    const size_t mask = keys_.size() - 1;
    size_t i = Hash(key) & mask;
    while (keys_[i] != 0 && keys_[i] != key) i = (i + 1) & mask;
    if (keys_[i] == 0) {
      keys_[i] = key;
      ++size_;
    }
    vals_[i] += v;
  }
  void Grow() {
    std::vector<U128> k;
    std::vector<C> v;
    k.swap(keys_);
    v.swap(vals_);
    keys_.assign(k.size() * 2, 0);
    vals_.assign(k.size() * 2, C(0));
    size_ = 0;
    for (size_t i = 0; i < k.size(); ++i)
      if (k[i] != 0) Insert(k[i], v[i]);
  }
  std::vector<U128> keys_;
  std::vector<C> vals_;
  size_t size_ = 0;
};

std::vector<int> Permutations(int T) {
  std::vector<int> p(static_cast<size_t>(T)), all;
  std::iota(p.begin(), p.end(), 1);
  do {
    all.insert(all.end(), p.begin(), p.end());
  } while (std::next_permutation(p.begin(), p.end()));
  return all;
}

int BitsFor(int64_t v) {
  int b = 1;
  while ((int64_t{1} << b) <= v) ++b;
  return b;
}

template <class C>
std::vector<std::pair<int64_t, C>> FriedmanKeys(int T, int B, const RankControl* control,
                                                double totalSteps) {
  const std::vector<int> perms = Permutations(T);
  const size_t P = perms.size() / static_cast<size_t>(T);
  const FrCodec codec{T, BitsFor(int64_t{B} * T)};
  RankTicker ticker(control);
  double done = 0;
  std::vector<int> c(static_cast<size_t>(T)), v(static_cast<size_t>(T));
  // Block 1: every ranking sorts to 1..T.
  FrTable<C> table(1);
  std::iota(c.begin(), c.end(), 1);
  table.Add(codec.Encode(c.data()), C(static_cast<int64_t>(P)));
  for (int b = 2; b < B; ++b) {
    FrTable<C> next(table.Size() * 4);
    table.ForEach([&](U128 key, C cnt) {
      codec.Decode(key, c.data());
      for (size_t j = 0; j < P; ++j) {
        const int* p = perms.data() + j * static_cast<size_t>(T);
        for (int t = 0; t < T; ++t) v[static_cast<size_t>(t)] = c[static_cast<size_t>(t)] + p[t];
        // Insertion sort: T is small.
        for (int t = 1; t < T; ++t) {
          const int x = v[static_cast<size_t>(t)];
          int s = t - 1;
          while (s >= 0 && v[static_cast<size_t>(s)] > x) {
            v[static_cast<size_t>(s + 1)] = v[static_cast<size_t>(s)];
            --s;
          }
          v[static_cast<size_t>(s + 1)] = x;
        }
        next.Add(codec.Encode(v.data()), cnt);
      }
      done += double(P) * T * 2;
      ticker.Tick(done, totalSteps);
    });
    table = std::move(next);
  }
  // The last block: S = sum (c_t + p_t)^2 into a dense array.
  const int64_t sMax = int64_t{B} * B * T * (T + 1) * (2 * T + 1) / 6;
  std::vector<C> counts(static_cast<size_t>(sMax + 1), C(0));
  if (B == 1) {
    counts[static_cast<size_t>(int64_t{T} * (T + 1) * (2 * T + 1) / 6)] =
        C(static_cast<int64_t>(P));
  } else {
    table.ForEach([&](U128 key, C cnt) {
      codec.Decode(key, c.data());
      for (size_t j = 0; j < P; ++j) {
        const int* p = perms.data() + j * static_cast<size_t>(T);
        int64_t s = 0;
        for (int t = 0; t < T; ++t) {
          const int64_t x = c[static_cast<size_t>(t)] + p[t];
          s += x * x;
        }
        counts[static_cast<size_t>(s)] += cnt;
      }
      done += double(P) * T;
      ticker.Tick(done, totalSteps);
    });
  }
  std::vector<std::pair<int64_t, C>> keys;
  for (size_t s = 0; s < counts.size(); ++s)
    if (counts[s] != C(0)) keys.emplace_back(static_cast<int64_t>(s), counts[s]);
  return keys;
}

// Number of sorted T-vectors with entries in [lo, hi] summing to total: an
// upper bound of the Friedman states after b blocks.
double SortedVectors(int T, int lo, int hi, int total) {
  // f[k][s]: non-decreasing sequences of k entries from the values so far.
  const int span = total - T * lo;
  if (span < 0) return 0;
  std::vector<std::vector<double>> f(static_cast<size_t>(T + 1),
                                     std::vector<double>(static_cast<size_t>(span + 1), 0));
  f[0][0] = 1;
  for (int val = 0; val <= hi - lo; ++val)
    for (int k = 1; k <= T; ++k)
      for (int s = val; s <= span; ++s)
        f[static_cast<size_t>(k)][static_cast<size_t>(s)] +=
            f[static_cast<size_t>(k - 1)][static_cast<size_t>(s - val)];
  return f[static_cast<size_t>(T)][static_cast<size_t>(span)];
}

}  // namespace

Real FriedmanQ(int64_t S, int32_t T, int32_t B) {
  const I128 den = I128{B} * T * (T + 1);
  const I128 num = I128{12} * S - I128{3} * B * (T + 1) * den;
  return static_cast<Real>(num) / static_cast<Real>(den);
}

RankCost FriedmanCost(int32_t T, int32_t B) {
  RankCost cost;
  if (T < 2 || B < 1) return cost;
  double P = 1;
  for (int t = 2; t <= T; ++t) P *= t;
  if (P * T * 4 > kMaxRankBytes || T > 12) {
    cost.Steps = cost.Bytes = kInf;
    return cost;
  }
  const bool wide = B * std::log2(P) >= 126;
  const double cell = wide ? sizeof(long double) : sizeof(U128);
  double maxStates = 1;
  for (int b = 1; b < B; ++b) {
    const double states = SortedVectors(T, b, b * T, b * T * (T + 1) / 2);
    maxStates = std::max(maxStates, states);
    cost.Steps += states * P * T * 2;  // the sort and the hashed addition
    if (cost.Steps > 1e13) break;
  }
  const double sMax = double(B) * B * T * (T + 1) * (2 * T + 1) / 6;
  // Two hash tables at most half full, grown by doubling, and the key array.
  cost.Bytes = 2 * 4 * maxStates * (16 + cell) + (sMax + 1) * cell + P * T * 4;
  if (wide) cost.Steps *= 1.5;
  return cost;
}

// ---------------------------------------------------------------------------

FriedmanDistribution::FriedmanDistribution(const RankControl* control, Real T, Real B) {
  nameId_ = 931;
  parCount_ = 2;
  DefineParameter(1, 2, 12, true, "T");
  DefineParameter(2, 2, 63, true, "B");
  BuildFriedman(control, T, B);
}

RankCost FriedmanDistribution::PrepareFriedman(Real T, Real B) const {
  CheckParameters(2, T, B, 0);
  const RankCost cost = FriedmanCost(static_cast<int32_t>(T), static_cast<int32_t>(B));
  CheckCost(cost);
  return cost;
}

RankTable FriedmanDistribution::ComputeFriedman(int32_t T, int32_t B, const RankControl* control) {
  double P = 1;
  for (int t = 2; t <= T; ++t) P *= t;
  const double steps = FriedmanCost(T, B).Steps / (B * std::log2(P) < 126 ? 1 : 1.5);
  auto toX = [&](int64_t S) { return FriedmanQ(S, T, B); };
  if (B * std::log2(P) < 126) return MakeTable(FriedmanKeys<U128>(T, B, control, steps), toX);
  return MakeTable(FriedmanKeys<long double>(T, B, control, steps), toX);
}

void FriedmanDistribution::InstallFriedman(int32_t T, int32_t B, RankTable&& table) {
  // Checked and allocated before anything changes; nothing after can fail.
  CheckParameters(2, T, B, 0);
  auto points = std::make_unique<PointTable>(std::move(table.Records));
  SetProbabilityTable(std::move(points), std::move(table.Upper));
  Treatments = T;
  Blocks = B;
  SetParameters(T, B, 0);
}

void FriedmanDistribution::BuildFriedman(const RankControl* control, Real T, Real B) {
  PrepareFriedman(T, B);
  const int32_t t = static_cast<int32_t>(T), b = static_cast<int32_t>(B);
  RankTable table = ComputeFriedman(t, b, control);
  InstallFriedman(t, b, std::move(table));
}

}  // namespace vokt
