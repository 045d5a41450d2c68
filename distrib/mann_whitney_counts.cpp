// The Mann-Whitney counts: for sizes S <= L the counts of U are the
// coefficients of the Gaussian binomial polynomial
//   G_i(q) = G_(i-1)(q) (1 - q^(L+i)) / (1 - q^i),   G_S = [L+S choose S]_q.
// Only the lower halves are kept (the polynomials are symmetric):
//   c_i[j] = c_(i-1)(j) - c_(i-1)(j - L - i) + c_i[j - i],   j <= iL/2,
// with c_(i-1) mirrored beyond its middle; the difference is never negative
// there (c_(i-1) is symmetric and unimodal).
//
// The recursion subtracts, and its rounding errors grow near the middle of
// the table: in long double (64 bits), measured against the exact counts,
// relative errors of 1e-16 at m = n = 100, 7e-11 at 200 and 3e5 at 400.  So
// the counts are multi-word integers.  Exact ones would need up to
// log2 C(L+S, S) bits (2000 at m = n = 1000); instead each count keeps its
// top W words and drops the rest (counts below 2^(64 W) stay exact).  What
// the dropped words cost was measured against the exact counts: the worst
// relative error at the end is 2^(B - P) for counts of P bits, with B, the
// bits the recursion loses, 30 at S = 200, 83 at 400, 166 at 700, 271 at
// 1000, 278 at S = 1000, L = 1200, at most 450 at 1500 and at most 642 at
// 2000 (B grows with S, hardly with L; m = n throughout but for one).  W is
// chosen for 64 correct bits with 64 more to spare over the bound
// 0.18 S + 1e-4 S^2 >= B; a difference that comes out negative (the
// errors outgrew it) sends the computation to the exact integers, which
// also serve sizes beyond the widest rounded count.
//
// Every value the step reads is at most L + i positions behind the one it
// writes, so several steps run in one sweep over the table, each keeping
// its recent inputs in a ring: the table goes through memory once per sweep
// instead of twice per step.  With two cores the sweep's stages are shared
// by two threads, the upper stages following the lower ones, which may run
// up to 32768 positions ahead (on a single free core the two then take
// turns in long stretches rather than switching all the time).
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "distrib/rank_dp.h"
#include "distrib/rank_sums.h"
#include "resources/strings.h"

#if defined(__x86_64__)
#include <x86intrin.h>
#endif

namespace vokt {

namespace {

using rank_dp::Log2Choose;

// Elementary steps of one count of w words in one step of the recursion,
// measured against the long double addition (1): kRoundedStep (w + 1)^2 for
// the rounded counts (the wider counts also fill the caches: m = n = 1000
// in 8 words, 1500 in 11), kExactWordStep (w + 1) for the exact ones.
constexpr double kRoundedStep = 0.032;
constexpr double kExactWordStep = 0.6;
// How far the lower of two threads may run ahead of the upper one (at
// least), in positions.
constexpr int64_t kMinLag = 32768;
// The widest rounded count, in words.
constexpr int kMaxRoundedWords = 16;

// Words enough for every count of step i of the Mann-Whitney recursion (the
// largest is below C(L + i, i)).
int Words(int64_t L, int64_t i) {
  return static_cast<int>((Log2Choose(double(L + i), double(i)) + 2) / 64) + 1;
}

using Word = unsigned long long;

// *d = x - y with the borrow in and out; *a += b with the carry.
inline unsigned char SubWord(unsigned char borrow, Word x, Word y, Word* d) {
#if defined(__x86_64__)
  return _subborrow_u64(borrow, x, y, d);
#else
  const unsigned __int128 t = (unsigned __int128)x - y - borrow;
  *d = static_cast<Word>(t);
  return static_cast<unsigned char>((t >> 64) != 0);
#endif
}

inline unsigned char AddWord(unsigned char carry, Word* a, Word b) {
#if defined(__x86_64__)
  return _addcarry_u64(carry, *a, b, a);
#else
  const unsigned __int128 t = (unsigned __int128)*a + b + carry;
  *a = static_cast<Word>(t);
  return static_cast<unsigned char>(t >> 64);
#endif
}

// A short wait in a spin loop.
inline void Pause() {
#if defined(__x86_64__)
  _mm_pause();
#endif
}

// Counts are handled in blocks of four words: the carry chains of a block
// run without being saved between words.
constexpr int kBlock = 4;
constexpr Word kZeroBlock[kBlock] = {0, 0, 0, 0};

inline unsigned char SubBlock(unsigned char borrow, const Word* a, const Word* b, Word* d) {
  borrow = SubWord(borrow, a[0], b[0], d);
  borrow = SubWord(borrow, a[1], b[1], d + 1);
  borrow = SubWord(borrow, a[2], b[2], d + 2);
  return SubWord(borrow, a[3], b[3], d + 3);
}

inline unsigned char AddBlock(unsigned char carry, Word* d, const Word* c) {
  carry = AddWord(carry, d, c[0]);
  carry = AddWord(carry, d + 1, c[1]);
  carry = AddWord(carry, d + 2, c[2]);
  return AddWord(carry, d + 3, c[3]);
}

// Counts of up to `stride` words each (a multiple of the block), with their
// lengths in words (a multiple of the block, at least one block; zero is
// one zero block).  Words above a count's length are undefined.
struct WordCounts {
  WordCounts(size_t count, size_t wordsPerCount)
      : words(count * wordsPerCount, 0), len(count, kBlock), stride(wordsPerCount) {}
  Word* At(size_t p) { return words.data() + p * stride; }
  // Block by block: the lengths are short, and a general copy of a
  // variable length starts slowly.
  void Copy(size_t to, WordCounts& from, size_t p) {
    Word* d = At(to);
    const Word* s = from.At(p);
    for (int k = 0; k < from.len[p]; k += kBlock)
      for (int r = 0; r < kBlock; ++r) d[k + r] = s[k + r];
    len[to] = from.len[p];
  }
  std::vector<Word> words;
  std::vector<uint8_t> len;
  size_t stride;
};

// Steps of the Mann-Whitney recursion done in one sweep over the table.
constexpr int kStages = 8;

// d = a - b + c, of lengths la, lb, lc (b and c may be absent, length 0),
// given a >= b; returns the length of d.  d is none of a, b, c.  One pass:
// in each block the difference a - b (one borrow chain), then the sum with c
// (one carry chain).
inline int Combine(Word* d, const Word* a, int la, const Word* b, int lb, const Word* c, int lc) {
  const int n = std::max(la, lc);
  unsigned char borrow = 0, carry = 0;
  int k = 0;
  for (; k < n; k += kBlock) {
    const Word* ak = k < la ? a + k : kZeroBlock;
    const Word* bk = k < lb ? b + k : kZeroBlock;
    const Word* ck = k < lc ? c + k : kZeroBlock;
    borrow = SubBlock(borrow, ak, bk, d + k);
    carry = AddBlock(carry, d + k, ck);
  }
  int ld = n;
  // a - b fits in la words (no borrow is left); a carry out of the top
  // block has a block to go to, the exact count being below 2^(64 stride).
  if (carry) {
    std::memcpy(d + ld, kZeroBlock, sizeof kZeroBlock);
    d[ld] = 1;
    ld += kBlock;
  }
  while (ld > kBlock && (d[ld - 1] | d[ld - 2] | d[ld - 3] | d[ld - 4]) == 0) ld -= kBlock;
  return ld;
}

// The exact counts as a policy of the sweep below: out[po] = a - b + c, with
// b at pb and c at pc when given.
inline bool CombineAt(WordCounts& out, size_t po, WordCounts& in, size_t pa, const size_t* pb,
                      WordCounts& cs, const size_t* pc) {
  out.len[po] = static_cast<uint8_t>(Combine(out.At(po), in.At(pa), in.len[pa],
                                             pb ? in.At(*pb) : nullptr, pb ? in.len[*pb] : 0,
                                             pc ? cs.At(*pc) : nullptr, pc ? cs.len[*pc] : 0));
  return true;
}

// Counts rounded to W words: each is its words times 2^(64 low), the words
// below having been dropped.  A count keeps its top W words, at least
// 64 (W - 1) + 1 bits, so that its relative rounding error is below
// 2^(64 - 64 W); counts below 2^(64 W) are exact.
template <int W>
struct RoundedCounts {
  RoundedCounts(size_t count, size_t) : words(count * W, 0), low(count, 0) {}
  Word* At(size_t p) { return words.data() + p * W; }
  void Copy(size_t to, RoundedCounts& from, size_t p) {
    std::memcpy(At(to), from.At(p), sizeof(Word) * W);
    low[to] = from.low[p];
  }
  std::vector<Word> words;
  std::vector<uint16_t> low;
};

// t = x seen from `shift` words higher (its lowest `shift` words dropped).
template <int W>
inline const Word* Aligned(Word* t, const Word* x, int shift) {
  if (shift == 0) return x;
  for (int k = 0; k < W; ++k) t[k] = k + shift >= 0 && k + shift < W ? x[k + shift] : 0;
  return t;
}

// out[po] = a - b + c in the frame of the larger of a and c: the words of
// the three from that frame's lowest up, one word more for a carry, which
// then drops the lowest.  Returns false when the rounded b exceeds the
// rounded a: the rounding errors have outgrown the difference, and the
// counts must be made exactly.
template <int W>
inline bool CombineAt(RoundedCounts<W>& out, size_t po, RoundedCounts<W>& in, size_t pa,
                      const size_t* pb, RoundedCounts<W>& cs, const size_t* pc) {
  static constexpr Word kZeros[W] = {};
  const int la = in.low[pa];
  const int lc = pc ? cs.low[*pc] : la;
  const int f = std::max(la, lc);
  Word ta[W], tb[W], tc[W];
  const Word* a = Aligned<W>(ta, in.At(pa), f - la);
  const Word* b = pb ? Aligned<W>(tb, in.At(*pb), f - in.low[*pb]) : kZeros;
  const Word* c = pc ? Aligned<W>(tc, cs.At(*pc), f - lc) : kZeros;
  Word* d = out.At(po);
  unsigned char borrow = 0, carry = 0;
#pragma GCC unroll 16
  for (int k = 0; k < W; ++k) borrow = SubWord(borrow, a[k], b[k], d + k);
#pragma GCC unroll 16
  for (int k = 0; k < W; ++k) carry = AddWord(carry, d + k, c[k]);
  out.low[po] = static_cast<uint16_t>(f);
  if (carry) {
#pragma GCC unroll 16
    for (int k = 0; k + 1 < W; ++k) d[k] = d[k + 1];
    d[W - 1] = 1;
    out.low[po] = static_cast<uint16_t>(f + 1);
  }
  return borrow == 0;
}

// Two threads on one sweep: the lower part (stages [0, split)) runs ahead,
// the upper part follows; each publishes the positions it has finished.
struct SweepProgress {
  std::atomic<int64_t> Lower{0};  // positions below this are done by the lower part
  std::atomic<int64_t> Upper{0};  // ... by the upper part
  std::atomic<bool> Abort{false};
};

// The sweeps of the recursion over a table of counts of either kind.
template <class Counts>
class MannWhitneySweeper {
 public:
  MannWhitneySweeper(int64_t S, int64_t L, Counts& table, size_t stride, bool twoThreads)
      : S_(S), L_(L), table_(table), twoThreads_(twoThreads) {
    stages_ = static_cast<int>(std::min<int64_t>(kStages, std::max<int64_t>(S - 1, 1)));
    twoThreads_ = twoThreads && stages_ >= 2;
    // Each ring holds the last L + S + 2 positions at least (a power of two
    // of them, so that a position is j masked); the ring the lower part
    // hands to the upper one holds kMinLag more, which the lower part may
    // run ahead.
    const int64_t reach = L + S + 2;
    rings_.reserve(static_cast<size_t>(stages_));
    for (int t = 0; t < stages_; ++t) {
      const bool handOver = twoThreads_ && t == stages_ / 2;
      size_t size = 1;
      while (size < static_cast<size_t>(reach + (handOver ? kMinLag + kPublish : 0))) size *= 2;
      if (handOver) lag_ = static_cast<int64_t>(size) - reach - kPublish;
      masks_[t] = size - 1;
      rings_.emplace_back(size, stride);
    }
  }

  // Runs the recursion from G_1 to G_S; countSteps(i) is the work of a count
  // at step i (for the progress).  False when a rounded difference went
  // negative.
  template <class CountSteps>
  bool Run(CountSteps countSteps, RankTicker& ticker, double total) {
    // G_1 = 1 + q + ... + q^L.
    for (int64_t j = 0; j <= L_ / 2; ++j) table_.At(static_cast<size_t>(j))[0] = 1;
    double done = 0;
    for (first_ = 2; first_ <= S_; first_ += stages_) {
      T_ = static_cast<int>(std::min<int64_t>(stages_, S_ - first_ + 1));
      for (int t = 0; t < T_; ++t) {
        h_[t] = (first_ + t) * L_ / 2;
        degIn_[t] = (first_ + t - 1) * L_;
      }
      double sweep = 0;  // the work of this sweep
      for (int t = 0; t < T_; ++t) sweep += (double(h_[t]) + 1) * countSteps(first_ + t);
      auto tick = [&](int64_t j) {
        ticker.Tick(done + sweep * double(j) / double(h_[T_ - 1]), total);
      };
      if (!Sweep(ticker, tick)) return false;
      done += sweep;
      ticker.Tick(done, total);
    }
    return true;
  }

 private:
  static constexpr int64_t kPublish = 64;  // positions between two publications
  static constexpr int kSpins = 64;        // pauses before a blocking wait
  static constexpr int64_t kDone = std::numeric_limits<int64_t>::max();

  template <class Tick>
  bool Sweep(RankTicker& ticker, Tick& tick) {
    // Two threads on the full sweeps (the last may have fewer steps).
    const int split = twoThreads_ && T_ == stages_ ? T_ / 2 : T_;
    if (split == T_) return Stages(0, T_, nullptr, &tick);
    SweepProgress progress;
    bool upperOk = true;
    std::thread upper(
        [&] { upperOk = Stages(split, T_, &progress, static_cast<Tick*>(nullptr), &ticker); });
    bool lowerOk = false;
    try {
      lowerOk = Stages(0, split, &progress, &tick);
    } catch (...) {
      progress.Abort = true;
      Publish(progress.Lower, kDone);
      upper.join();
      throw;
    }
    upper.join();
    if (progress.Abort && ticker.StopRequested()) throw CancelledError();
    return lowerOk && upperOk;
  }

  // Stages [lo, hi) of the sweep over all their positions.  With progress,
  // the lower part (lo == 0) keeps within lag_ positions of the upper one,
  // which waits for the lower part to finish each position it reads.  The
  // lower part ticks; the upper one only watches for a stop.
  template <class Tick>
  bool Stages(int lo, int hi, SweepProgress* progress, Tick* tick,
              const RankTicker* watch = nullptr) {
    const bool lower = lo == 0;
    const int64_t top = h_[hi - 1];
    int64_t seen = 0;  // the other part's last published position
    bool ok = true;
    for (int64_t j = 0; j <= top; ++j) {
      // A stop is seen within a few milliseconds even in a long sweep.
      if ((j & 8191) == 8191) {
        if (tick) (*tick)(j);
        if (watch && watch->StopRequested()) progress->Abort = true;
      }
      if (progress && j % kPublish == 0) {
        Publish(lower ? progress->Lower : progress->Upper, j);
        if (!Wait(*progress, lower, j, seen)) break;
      }
      for (int t = lo; t < hi; ++t)
        if (j <= h_[t]) ok &= Step(t, j);
    }
    // Finished or aborted: the other part waits no longer.
    if (progress) Publish(lower ? progress->Lower : progress->Upper, kDone);
    return ok;
  }

  static void Publish(std::atomic<int64_t>& at, int64_t j) {
    at.store(j, std::memory_order_release);
    at.notify_one();
  }

  // Waits until position j may be worked on: the lower part while it is
  // lag_ ahead of the upper one, the upper part until the lower one has
  // finished the positions up to j + kPublish.  A short spin, then a
  // blocking wait (the other thread may be waiting for a core).  False on
  // an abort.
  bool Wait(SweepProgress& progress, bool lower, int64_t j, int64_t& seen) {
    std::atomic<int64_t>& other = lower ? progress.Upper : progress.Lower;
    for (int spins = 0;; ++spins) {
      if (progress.Abort.load(std::memory_order_relaxed)) return false;
      if (seen == kDone || (lower ? j < seen + lag_ : seen >= j + kPublish)) return true;
      if (spins < kSpins)
        Pause();
      else
        other.wait(seen, std::memory_order_acquire);
      seen = other.load(std::memory_order_acquire);
    }
  }

  // One count: step first + t at position j.
  bool Step(int t, int64_t j) {
    const int64_t s = first_ + t;
    Counts& in = rings_[static_cast<size_t>(t)];
    const size_t mask = masks_[t];
    const size_t pj = static_cast<size_t>(j) & mask;
    // The input at j: the table, the previous stage, or the mirror.
    if (t == 0 && j <= degIn_[0] / 2)
      in.Copy(pj, table_, static_cast<size_t>(j));
    else if (t == 0 || j > h_[t - 1])
      in.Copy(pj, in, static_cast<size_t>(degIn_[t] - j) & mask);
    // The output, and c at j - s, in the table or the next stage's ring.
    const bool last = t == T_ - 1;
    Counts& out = last ? table_ : rings_[static_cast<size_t>(t + 1)];
    const size_t outMask = last ? ~size_t{0} : masks_[t + 1];
    const size_t po = static_cast<size_t>(j) & outMask;
    const size_t pb = j >= L_ + s ? static_cast<size_t>(j - L_ - s) & mask : 0;
    const size_t pc = j >= s ? static_cast<size_t>(j - s) & outMask : 0;
    return CombineAt(out, po, in, pj, j >= L_ + s ? &pb : nullptr, out, j >= s ? &pc : nullptr);
  }

  const int64_t S_, L_;
  Counts& table_;
  bool twoThreads_;
  int stages_ = 1;
  std::vector<Counts> rings_;
  size_t masks_[kStages] = {};
  int64_t lag_ = 0;
  // The current sweep: its first step, its number of steps, and for step
  // first + t the half h_[t] and the degree of its input.
  int64_t first_ = 2;
  int T_ = 1;
  int64_t h_[kStages] = {}, degIn_[kStages] = {};
};

// A count as a long double, rounded once: its top two words and a sticky
// bit for the rest, scaled by 2^(64 low).
Real RoundWords(const Word* p, int len, int low) {
  int t = len - 1;
  while (t > 0 && p[t] == 0) --t;
  if (t == 0) return std::ldexp(Real(p[0]), 64 * low);
  const unsigned __int128 top = ((unsigned __int128)p[t] << 64) | p[t - 1];
  bool sticky = false;
  for (int k = t - 2; k >= 0 && !sticky; --k) sticky = p[k] != 0;
  return std::ldexp(Real(top | (unsigned __int128)sticky), 64 * (low + t - 1));
}

// The words of a rounded count for sizes S <= L, or 0 for the exact
// integers: 128 bits over the bound on the bits the recursion loses, no
// more than the exact counts need (and at least 4 words).
int RoundedWords(int64_t S, int64_t L) {
  const double lost = 0.18 * double(S) + 1e-4 * double(S) * double(S);
  const int words = 1 + static_cast<int>(std::ceil((128 + lost - 1) / 64));
  const int w = std::max(4, std::min(words, Words(L, S)));
  return w <= kMaxRoundedWords ? w : 0;
}

// The work of one count at step i, in words of `words` (0: exact).
double CountSteps(int64_t L, int64_t i, int words) {
  if (words == 0) return kExactWordStep * (Words(L, i) + 1);
  const double w = std::min(words, Words(L, i)) + 1;
  return kRoundedStep * w * w;
}

// The work of the recursion on one thread, in elementary steps, with counts
// of `words` words (0: the exact integers): a pass over the lower half per
// step, each count as wide as the largest of the step.
double SingleThreadSteps(int64_t S, int64_t L, int words) {
  double steps = 0;
  for (int64_t i = 2; i <= S; ++i) steps += (double(i) * L / 2 + 1) * CountSteps(L, i, words);
  return steps;
}

// The work is shared by two threads when there are two cores and it takes
// more than about a tenth of a second.
bool TwoThreads(double steps) {
  return std::thread::hardware_concurrency() >= 2 && steps > 0.1 * RankCost::kStepsPerSecond;
}

}  // namespace

RankCost MannWhitneyCost(int64_t m, int64_t n) {
  RankCost c;
  const int64_t S = std::min(m, n), L = std::max(m, n);
  if (S < 1 || L > 100000 || Log2Choose(double(m + n), double(S)) > rank_dp::kMaxLog2Total) {
    c.Steps = c.Bytes = std::numeric_limits<double>::infinity();
    return c;
  }
  const int words = RoundedWords(S, L);
  c.Steps = SingleThreadSteps(S, L, words);
  // Two threads take a little over half the time.
  if (TwoThreads(c.Steps)) c.Steps *= 0.6;
  // The counts of the table and of the stages' rings, then the
  // probabilities and their running sums.
  const double half = double(S) * L / 2 + 1;
  const double bytes = words > 0 ? words * 8.0 + 2 : (Words(L, S) + kBlock) * 8.0 + 1;
  const double rings = (kStages + 1) * 2.0 * (L + S + 2) + 2.0 * kMinLag;
  c.Bytes = (half + rings) * bytes + 2 * half * sizeof(Real);
  return c;
}

namespace {

template <int W>
std::vector<Real> RoundedCountsOf(int64_t S, int64_t L, bool two, RankTicker& ticker,
                                  double total) {
  const int64_t half = S * L / 2;
  RoundedCounts<W> table(static_cast<size_t>(half + 1), W);
  MannWhitneySweeper<RoundedCounts<W>> sweeper(S, L, table, W, two);
  if (!sweeper.Run([&](int64_t i) { return CountSteps(L, i, W); }, ticker, total)) return {};
  std::vector<Real> out(static_cast<size_t>(half + 1));
  for (size_t j = 0; j < out.size(); ++j) out[j] = RoundWords(table.At(j), W, table.low[j]);
  return out;
}

template <int... K>
std::vector<Real> RoundedCountsFor(int words, int64_t S, int64_t L, bool two, RankTicker& ticker,
                                   double total, std::integer_sequence<int, K...>) {
  std::vector<Real> out;
  ((words == K + 4 ? (out = RoundedCountsOf<K + 4>(S, L, two, ticker, total), 0) : 0), ...);
  return out;
}

std::vector<Real> ExactCounts(int64_t S, int64_t L, bool two, RankTicker& ticker, double total) {
  const int64_t half = S * L / 2;
  const size_t stride = static_cast<size_t>((Words(L, S) + kBlock - 1) / kBlock * kBlock);
  WordCounts table(static_cast<size_t>(half + 1), stride);
  MannWhitneySweeper<WordCounts> sweeper(S, L, table, stride, two);
  sweeper.Run([&](int64_t i) { return CountSteps(L, i, 0); }, ticker, total);
  std::vector<Real> out(static_cast<size_t>(half + 1));
  for (size_t j = 0; j < out.size(); ++j) out[j] = RoundWords(table.At(j), table.len[j], 0);
  return out;
}

}  // namespace

std::vector<Real> MannWhitneyCountsIn(int32_t m, int32_t n, int words, const RankControl* control) {
  ErrorIf(m < 1 || n < 1, msgTooLarge);
  const RankCost cost = MannWhitneyCost(m, n);
  rank_dp::CheckCost(cost);
  RankTicker ticker(control);
  const int64_t S = std::min(m, n), L = std::max(m, n);
  const bool two = TwoThreads(SingleThreadSteps(S, L, words));
  if (words == 0) return ExactCounts(S, L, two, ticker, cost.Steps);
  if (words < 4 || words > kMaxRoundedWords) return {};
  return RoundedCountsFor(words, S, L, two, ticker, cost.Steps,
                          std::make_integer_sequence<int, kMaxRoundedWords - 3>{});
}

std::vector<Real> MannWhitneyCounts(int32_t m, int32_t n, const RankControl* control) {
  ErrorIf(m < 1 || n < 1, msgTooLarge);
  const int words = RoundedWords(std::min(m, n), std::max(m, n));
  if (words > 0) {
    std::vector<Real> out = MannWhitneyCountsIn(m, n, words, control);
    if (!out.empty()) return out;
  }
  return MannWhitneyCountsIn(m, n, 0, control);
}
}  // namespace vokt
