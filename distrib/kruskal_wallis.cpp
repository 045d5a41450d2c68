// Kruskal-Wallis and Friedman null distributions by dynamic programming;
// this file holds Kruskal-Wallis, friedman.cpp the Friedman programme.
//
// Both statistics are grouped by an exact integer key rather than by a
// floating-point value: L * sum(R_i^2 / n_i) with L the least common multiple
// of the group sizes (Kruskal-Wallis), and S = sum over treatments of the
// squared rank sums (Friedman).  The statistic is computed from its key with
// one rounding.
//
// Kruskal-Wallis places the ranks 1..N one at a time.  The state is, for
// every group but the last, how many of its members are placed (c) and their
// rank sum, kept as u = sum - c(c+1)/2, which lies in 0..c(r-c) after r
// ranks; the last group takes what the others leave.  The states of one step
// are blocks, one per count vector, each a dense array over the u's.  Rank r
// goes to group g (from the state with c_g - 1 and u_g + c_g - r) or to the
// last group (same state).  At the end the rank sums give the key.  The
// largest group is the untracked last one.
//
// Friedman adds one block (a ranking of the T treatments) at a time to a
// table of column-sum vectors with their counts; the vectors are kept
// sorted, so that the permutations of one vector share a state.  The last
// block goes straight into the key S.
//
// Counts are 128-bit integers, exact, when the number of equally likely
// configurations (N! / prod n_i! or T!^B) is below 2^126; beyond that they
// are long double numbers.  Every operation of both programmes adds
// non-negative numbers, so a long double count has a relative error of at
// most (number of steps) * 2^-64, a few units of 1e-18: nothing cancels.
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

constexpr int kMaxRanks = 255;
// Count vectors beyond this many make even the estimate too long.
constexpr double kMaxCountVectors = 3e5;

// log2 of the multinomial N! / prod n_i!.
double Log2Multinomial(const std::vector<int32_t>& n) {
  double N = 0, r = 0;
  for (int32_t v : n) {
    N += v;
    r -= std::lgamma(v + 1.0);
  }
  return (r + std::lgamma(N + 1.0)) / std::log(2.0);
}

// ---------------------------------------------------------------------------
// Kruskal-Wallis

// The groups in the order of the programme: tracked ones first, the largest
// last; entry 0 of sizes is not used.
std::vector<int32_t> ProgrammeOrder(const std::vector<int32_t>& sizes) {
  std::vector<int32_t> n(sizes.begin() + 1, sizes.end());
  std::sort(n.begin(), n.end());
  return n;
}

// The blocks of one step: for every valid count vector (index in the mixed
// radix of n_g + 1) its offset in the layer, or -1.
struct KwLayout {
  std::vector<int64_t> offset;
  int64_t size = 0;
};

class KwShape {
 public:
  explicit KwShape(const std::vector<int32_t>& order)
      : n_(order.begin(), order.end() - 1), last_(order.back()) {
    K_ = static_cast<int>(n_.size());
    vectors_ = 1;
    for (int32_t v : n_) vectors_ *= v + 1.0;
    N_ = last_;
    for (int32_t v : n_) N_ += v;
  }
  int K() const { return K_; }
  int N() const { return N_; }
  double Vectors() const { return vectors_; }
  const std::vector<int32_t>& n() const { return n_; }

  // Calls f(index, c, blockSize) for every valid count vector at step r.
  template <class F>
  void ForEachVector(int r, F&& f) const {
    std::vector<int> c(static_cast<size_t>(K_), 0);
    const int64_t count = static_cast<int64_t>(vectors_);
    int sum = 0;
    for (int64_t idx = 0; idx < count; ++idx) {
      if (sum <= r && r - sum <= last_) {
        double size = 1;
        for (int g = 0; g < K_; ++g)
          size *= double(c[static_cast<size_t>(g)]) * (r - c[static_cast<size_t>(g)]) + 1;
        f(idx, c, size);
      }
      // Odometer, the last group fastest.
      for (int g = K_ - 1; g >= 0; --g) {
        const size_t G = static_cast<size_t>(g);
        if (c[G] < n_[G]) {
          ++c[G];
          ++sum;
          break;
        }
        sum -= c[G];
        c[G] = 0;
      }
    }
  }

  KwLayout Layout(int r) const {
    KwLayout l;
    l.offset.assign(static_cast<size_t>(vectors_), -1);
    ForEachVector(r, [&](int64_t idx, const std::vector<int>&, double size) {
      l.offset[static_cast<size_t>(idx)] = l.size;
      l.size += static_cast<int64_t>(size);
    });
    return l;
  }

  // Stride of group g in the vector index.
  int64_t VectorStride(int g) const {
    int64_t s = 1;
    for (int h = K_ - 1; h > g; --h) s *= n_[static_cast<size_t>(h)] + 1;
    return s;
  }

 private:
  std::vector<int32_t> n_;
  int32_t last_;
  int K_ = 0, N_ = 0;
  double vectors_ = 1;
};

// Adds the source block of the previous step (placing rank r in group g,
// or in the last group when g = -1, shifts group g's coordinate by shift) to
// the destination block of the current vector: row by row, the outer
// coordinates by odometer, the inner (the last tracked group) contiguous.
template <class C>
void AddSourceBlock(C* dst, const C* src, int K, int g, int64_t shift, int64_t blockSize,
                    const std::vector<int64_t>& dims, const std::vector<int64_t>& sdims,
                    const std::vector<int64_t>& sstride, std::vector<int64_t>& u) {
  // Rows: the outer u's by odometer, the inner (group K-1) contiguous.
  const int64_t inner = dims[static_cast<size_t>(K - 1)];
  const int64_t innerShift = g == K - 1 ? shift : 0;
  const int64_t sInner = sdims[static_cast<size_t>(K - 1)];
  const int64_t lo = std::max<int64_t>(0, -innerShift);
  const int64_t hi = std::min<int64_t>(inner - 1, sInner - 1 - innerShift);
  if (lo > hi) return;
  std::fill(u.begin(), u.end(), 0);
  for (int64_t row = 0; row < blockSize; row += inner) {
    // Source row of the outer coordinates, if they are in range.
    int64_t sbase = 0;
    bool ok = true;
    for (int h = 0; h < K - 1; ++h) {
      const size_t H = static_cast<size_t>(h);
      const int64_t su = u[H] + (h == g ? shift : 0);
      if (su < 0 || su >= sdims[H]) {
        ok = false;
        break;
      }
      sbase += su * sstride[H];
    }
    if (ok) {
      C* d = dst + row;
      const C* sp = src + sbase + innerShift;
      for (int64_t j = lo; j <= hi; ++j) d[j] += sp[j];
    }
    for (int h = K - 2; h >= 0; --h) {
      const size_t H = static_cast<size_t>(h);
      if (++u[H] < dims[H]) break;
      u[H] = 0;
    }
  }
}

// The exact keys L sum R^2 / n of the final block (every tracked group
// complete; the last group's sum follows from the total), with their counts,
// sorted and merged.
template <class C>
std::vector<std::pair<int64_t, C>> FoldKeys(const C* block, const KwShape& shape,
                                            const std::vector<int32_t>& order, int64_t lcm) {
  const int K = shape.K(), N = shape.N();
  const std::vector<int32_t>& n = shape.n();
  std::vector<int64_t> dims(static_cast<size_t>(K)), u(static_cast<size_t>(K), 0);
  std::vector<int64_t> coef(static_cast<size_t>(K));
  for (int g = 0; g < K; ++g) coef[static_cast<size_t>(g)] = lcm / n[static_cast<size_t>(g)];
  const int64_t lastCoef = lcm / order.back();
  const int64_t allSum = int64_t{N} * (N + 1) / 2;
  for (int g = 0; g < K; ++g) {
    const size_t G = static_cast<size_t>(g);
    dims[G] = int64_t{n[G]} * (N - n[G]) + 1;
  }
  int64_t fsize = 1;
  for (int64_t d : dims) fsize *= d;
  std::vector<std::pair<int64_t, C>> keys;
  keys.reserve(static_cast<size_t>(fsize));
  for (int64_t i = 0; i < fsize; ++i) {
    const C cnt = block[i];
    if (cnt != C(0)) {
      int64_t key = 0, rest = allSum;
      for (int g = 0; g < K; ++g) {
        const size_t G = static_cast<size_t>(g);
        const int64_t s = u[G] + int64_t{n[G]} * (n[G] + 1) / 2;
        rest -= s;
        key += coef[G] * s * s;
      }
      key += lastCoef * rest * rest;
      keys.emplace_back(key, cnt);
    }
    for (int h = K - 1; h >= 0; --h) {
      const size_t H = static_cast<size_t>(h);
      if (++u[H] < dims[H]) break;
      u[H] = 0;
    }
  }
  SortMerge(keys);
  return keys;
}

template <class C>
std::vector<std::pair<int64_t, C>> KruskalWallisKeys(const std::vector<int32_t>& order, int64_t lcm,
                                                     const RankControl* control,
                                                     double totalSteps) {
  const KwShape shape(order);
  const int K = shape.K(), N = shape.N();
  const std::vector<int32_t>& n = shape.n();
  RankTicker ticker(control);
  double done = 0;

  // Step 0: one state, nothing placed.
  KwLayout prevLayout = shape.Layout(0);
  std::vector<C> prev(static_cast<size_t>(prevLayout.size), C(0));
  prev[0] = 1;
  std::vector<int64_t> vstride(static_cast<size_t>(K));
  for (int g = 0; g < K; ++g) vstride[static_cast<size_t>(g)] = shape.VectorStride(g);

  std::vector<int64_t> dims(static_cast<size_t>(K)), sdims(static_cast<size_t>(K));
  std::vector<int64_t> tstride(static_cast<size_t>(K)), sstride(static_cast<size_t>(K));
  std::vector<int64_t> u(static_cast<size_t>(K));
  for (int r = 1; r <= N; ++r) {
    KwLayout layout = shape.Layout(r);
    std::vector<C> cur(static_cast<size_t>(layout.size), C(0));
    shape.ForEachVector(r, [&](int64_t idx, const std::vector<int>& c, double) {
      C* dst = cur.data() + layout.offset[static_cast<size_t>(idx)];
      for (int g = 0; g < K; ++g) {
        const size_t G = static_cast<size_t>(g);
        dims[G] = int64_t{c[G]} * (r - c[G]) + 1;
      }
      int64_t s = 1;
      for (int g = K - 1; g >= 0; --g) {
        tstride[static_cast<size_t>(g)] = s;
        s *= dims[static_cast<size_t>(g)];
      }
      const int64_t blockSize = s;
      // Sources: g = -1 the last group (same vector), g >= 0 group g.
      for (int g = -1; g < K; ++g) {
        int64_t sidx = idx;
        int64_t shift = 0;  // u_g of the source = u_g + shift
        if (g >= 0) {
          const size_t G = static_cast<size_t>(g);
          if (c[G] == 0) continue;
          sidx -= vstride[G];
          shift = c[G] - r;
        } else {
          int sum = 0;
          for (int h = 0; h < K; ++h) sum += c[static_cast<size_t>(h)];
          if (r - 1 - sum < 0) continue;
        }
        const int64_t soff = prevLayout.offset[static_cast<size_t>(sidx)];
        if (soff < 0) continue;
        for (int h = 0; h < K; ++h) {
          const size_t H = static_cast<size_t>(h);
          const int64_t ch = c[H] - (h == g ? 1 : 0);
          sdims[H] = ch * (r - 1 - ch) + 1;
        }
        int64_t ss = 1;
        for (int h = K - 1; h >= 0; --h) {
          sstride[static_cast<size_t>(h)] = ss;
          ss *= sdims[static_cast<size_t>(h)];
        }
        AddSourceBlock(dst, prev.data() + soff, K, g, shift, blockSize, dims, sdims, sstride, u);
      }
      done += double(blockSize) * (K + 1);
      ticker.Tick(done, totalSteps);
    });
    prev.swap(cur);
    prevLayout = std::move(layout);
  }

  // The final block: every tracked group complete.
  int64_t fidx = 0;
  for (int g = 0; g < K; ++g) fidx += n[static_cast<size_t>(g)] * vstride[static_cast<size_t>(g)];
  const int64_t foff = prevLayout.offset[static_cast<size_t>(fidx)];
  return FoldKeys(prev.data() + foff, shape, order, lcm);
}

// Measured: a cell step of the programme costs about four elementary steps
// (index arithmetic, 128-bit additions), more with more tracked groups
// (shorter rows); long double additions about twice a 128-bit one.
double KwStepFactor(int K, bool wide) { return 4.0 * (K >= 4 ? 3 : 1) * (wide ? 2 : 1); }

// The least common multiple of the group sizes (the keys' scale).
int64_t Lcm(const std::vector<int32_t>& n) {
  I128 l = 1;
  for (int32_t v : n) {
    l = l / std::gcd(static_cast<int64_t>(l), int64_t{v}) * v;
    ErrorIf(l > (I128{1} << 40), msgTooLarge);
  }
  return static_cast<int64_t>(l);
}

}  // namespace

Real KruskalWallisH(int64_t key, int64_t lcm, int32_t N) {
  const I128 den = I128{lcm} * N * (N + 1);
  const I128 num = I128{12} * key - I128{3} * (N + 1) * den;
  return static_cast<Real>(num) / static_cast<Real>(den);
}

RankCost KruskalWallisCost(const std::vector<int32_t>& sizes) {
  RankCost cost;
  if (sizes.size() < 3) return cost;
  const std::vector<int32_t> order = ProgrammeOrder(sizes);
  const KwShape shape(order);
  if (shape.Vectors() > kMaxCountVectors || shape.N() > kMaxRanks) {
    cost.Steps = cost.Bytes = kInf;
    return cost;
  }
  const bool wide = Log2Multinomial(order) >= 126;
  const double cell = wide ? sizeof(long double) : sizeof(U128);
  double prevSize = 1, maxPair = 0;
  for (int r = 1; r <= shape.N(); ++r) {
    double size = 0;
    shape.ForEachVector(r, [&](int64_t, const std::vector<int>&, double s) { size += s; });
    cost.Steps += size * (shape.K() + 1);
    maxPair = std::max(maxPair, (size + prevSize) * cell);
    prevSize = size;
    if (cost.Steps > 1e13) break;
  }
  // Two layers, the layouts' offsets, and the final (key, count) list.
  cost.Bytes = maxPair + 2 * shape.Vectors() * 8 + prevSize * (8 + cell);
  cost.Steps *= KwStepFactor(shape.K(), wide);
  return cost;
}

// ---------------------------------------------------------------------------

KruskalWallisDistribution::KruskalWallisDistribution(const std::vector<int32_t>& sizes,
                                                     const RankControl* control) {
  nameId_ = 929;
  parCount_ = 1;
  DefineParameter(1, 2, 255, true, "k");
  GroupSizes = sizes;
  BuildKruskalWallis(sizes, control);
}

void KruskalWallisDistribution::SetGroupSizes(const std::vector<int32_t>& rowValues) {
  std::vector<int32_t> s{0};
  for (int32_t v : rowValues)
    if (v > 0) s.push_back(v);
  GroupSizes = std::move(s);
}

RankCost KruskalWallisDistribution::PrepareKruskalWallis(const std::vector<int32_t>& sizes) const {
  const int k = sizes.empty() ? 0 : static_cast<int>(sizes.size()) - 1;
  CheckParameter(1, k);
  int N = 0;
  for (int g = 1; g <= k; ++g) {
    CheckValue(msgAtLeast, sizes[static_cast<size_t>(g)], 1);
    N += std::min(sizes[static_cast<size_t>(g)], kMaxRanks + 1);
    if (N > kMaxRanks) throw RangeError(LoadString(msgTooLarge));
  }
  // Keys are at most L N (N+1)(2N+1) / 6 (the sum of the squared ranks); it
  // must fit in 63 bits.
  const int64_t lcm = Lcm(std::vector<int32_t>(sizes.begin() + 1, sizes.end()));
  ErrorIf(I128{lcm} * N * (N + 1) * (2 * N + 1) / 6 > (I128{1} << 62), msgTooLarge);
  const RankCost cost = KruskalWallisCost(sizes);
  CheckCost(cost);
  return cost;
}

RankTable KruskalWallisDistribution::ComputeKruskalWallis(const std::vector<int32_t>& sizes,
                                                          const RankControl* control) {
  const std::vector<int32_t> order = ProgrammeOrder(sizes);
  const int64_t lcm = Lcm(order);
  int32_t N = 0;
  for (int32_t v : order) N += v;
  const bool wide = Log2Multinomial(order) >= 126;
  // The programme counts its progress in cell steps.
  const double steps =
      KruskalWallisCost(sizes).Steps / KwStepFactor(static_cast<int>(order.size()) - 1, wide);
  auto toX = [&](int64_t key) { return KruskalWallisH(key, lcm, N); };
  if (!wide) return MakeTable(KruskalWallisKeys<U128>(order, lcm, control, steps), toX);
  return MakeTable(KruskalWallisKeys<long double>(order, lcm, control, steps), toX);
}

void KruskalWallisDistribution::InstallKruskalWallis(const std::vector<int32_t>& sizes,
                                                     RankTable&& table) {
  // Checked and allocated before anything changes; nothing after can fail.
  const int32_t k = static_cast<int32_t>(sizes.size()) - 1;
  CheckParameter(1, k);
  auto points = std::make_unique<PointTable>(std::move(table.Records));
  SetProbabilityTable(std::move(points), std::move(table.Upper));
  GroupCount = k;
  SetParameters(GroupCount, 0, 0);
}

void KruskalWallisDistribution::BuildKruskalWallis(const std::vector<int32_t>& sizes,
                                                   const RankControl* control) {
  PrepareKruskalWallis(sizes);
  RankTable table = ComputeKruskalWallis(sizes, control);
  InstallKruskalWallis(sizes, std::move(table));
}

}  // namespace vokt
