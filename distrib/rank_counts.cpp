// The counting recursions behind the signed rank and Mann-Whitney tables,
// with their cost estimates.
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
//
// Mann-Whitney: the counts of U for sizes i and L are the coefficients of the
// Gaussian binomial polynomial G_i(q) = G_(i-1)(q) (1 - q^(L+i)) / (1 - q^i).
// The recursion subtracts, and in floating point its rounding errors grow
// without bound in the middle of the table (in long double, measured against
// the exact counts: relative errors of 1e-16 at m = n = 100, 7e-11 at 200,
// 3e5 at 400; the tails beyond seven standard deviations stay right), so it
// runs in exact integer arithmetic on multi-word unsigned integers.  Only the
// lower halves are kept (the polynomials are symmetric):
//   c_i[j] = c_(i-1)(j) - c_(i-1)(j - L - i) + c_i[j - i],   j <= iL/2,
// with c_(i-1) mirrored beyond its middle; the difference is never negative
// there (c_(i-1) is symmetric and unimodal).  Every value the step reads is
// at most L + i positions behind the one it writes, so a few steps run in
// one sweep over the table, each keeping its recent inputs in a ring: the
// table goes through memory once per sweep instead of twice per step.  Each
// count carries its own length in words, so the small counts of the tails
// cost one or two words, not the width of the largest.  Every count is
// exact; each is rounded once, to long double, at the end.  The cost is
// that of the integers: m = n = 1000 moves about 5e9 words (about ten
// seconds on the machine of the benchmarks).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "distrib/rank_sums.h"
#include "resources/strings.h"

#if defined(__x86_64__)
#include <x86intrin.h>
#endif

namespace vokt {

namespace {

// Counts and their totals must stay within the long double range (2^16383).
constexpr double kMaxLog2Total = 16000;
// The largest n whose signed-rank counts (below 2^n) fit in double.
constexpr int64_t kPairRanksMax = 1020;
// Elementary steps per count addition, measured against the long double
// addition (1): a pair of doubles four counts at a time, and a word of the
// Mann-Whitney integers (one pass of either direction, carries included).
constexpr double kPairStep = 0.3;
constexpr double kWordStep = 0.22;

int64_t SignedRankHalf(int64_t n) { return n * (n + 1) / 4; }

double Log2Choose(double a, double b) {
  return (std::lgamma(a + 1) - std::lgamma(b + 1) - std::lgamma(a - b + 1)) / std::log(2.0);
}

// Words enough for every count of step i of the Mann-Whitney recursion (the
// largest is below C(L + i, i)).
int Words(int64_t L, int64_t i) {
  return static_cast<int>((Log2Choose(double(L + i), double(i)) + 2) / 64) + 1;
}

void CheckCost(const RankCost& c) {
  ErrorIf(!(c.Bytes <= kMaxRankBytes) || !(c.Seconds() <= kMaxRankSeconds), msgTooLarge);
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
constexpr int kStages = 4;

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
  if (n < 1 || n > 100000 || n > kMaxLog2Total) {
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

RankCost MannWhitneyCost(int64_t m, int64_t n) {
  RankCost c;
  const int64_t S = std::min(m, n), L = std::max(m, n);
  if (S < 1 || L > 100000 || Log2Choose(double(m + n), double(S)) > kMaxLog2Total) {
    c.Steps = c.Bytes = std::numeric_limits<double>::infinity();
    return c;
  }
  const double half = double(S) * L / 2 + 1;
  // Two passes over the lower half per step, each count as wide as the
  // largest of the step (an upper bound: the tails are narrower).
  for (int64_t i = 2; i <= S; ++i) c.Steps += 2 * (double(i) * L / 2 + 1) * (Words(L, i) + 1);
  c.Steps *= kWordStep;
  // The words and lengths of the counts and of the stages' rings, then the
  // probabilities and their running sums.
  c.Bytes = (half + double(kStages) * (L + S + 2)) * ((Words(L, S) + 3) * 8.0 + 1) +
            2 * half * sizeof(Real);
  return c;
}

std::vector<Real> SignedRankCounts(int32_t n, const RankControl* control) {
  ErrorIf(n < 1, msgTooLarge);
  const RankCost cost = SignedRankCost(n);
  CheckCost(cost);
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

namespace {
// The counts 0..half of a table as long doubles, one rounding each: the
// top two words, and a sticky bit for the rest.
std::vector<Real> RoundCounts(WordCounts& table, int64_t half) {
  std::vector<Real> out(static_cast<size_t>(half + 1));
  for (int64_t j = 0; j <= half; ++j) {
    const Word* p = table.At(static_cast<size_t>(j));
    int t = table.len[static_cast<size_t>(j)] - 1;
    while (t > 0 && p[t] == 0) --t;
    if (t == 0) {
      out[static_cast<size_t>(j)] = Real(p[0]);
    } else {
      const unsigned __int128 top = ((unsigned __int128)p[t] << 64) | p[t - 1];
      bool sticky = false;
      for (int k = t - 2; k >= 0 && !sticky; --k) sticky = p[k] != 0;
      out[static_cast<size_t>(j)] = std::ldexp(Real(top | (unsigned __int128)sticky), 64 * (t - 1));
    }
  }
  return out;
}
}  // namespace

std::vector<Real> MannWhitneyCounts(int32_t m, int32_t n, const RankControl* control) {
  ErrorIf(m < 1 || n < 1, msgTooLarge);
  const RankCost cost = MannWhitneyCost(m, n);
  CheckCost(cost);
  RankTicker ticker(control);
  const int64_t S = std::min(m, n), L = std::max(m, n);
  const int64_t half = S * L / 2;
  const size_t stride = static_cast<size_t>((Words(L, S) + kBlock - 1) / kBlock * kBlock);
  // The table: the lower half of G_i after each block of steps.
  WordCounts table(static_cast<size_t>(half + 1), stride);
  // G_1 = 1 + q + ... + q^L.
  for (int64_t j = 0; j <= L / 2; ++j) table.At(static_cast<size_t>(j))[0] = 1;
  // Each stage's input ring holds its input (the previous stage's output,
  // or the mirror image beyond the previous middle) at the last
  // kRing positions: enough for j - L - i, for the mirror (at most L back)
  // and for the stage's own output at j - i, which the next stage's ring
  // keeps.
  const size_t kRing = static_cast<size_t>(L + S + 2);
  const int stages = static_cast<int>(std::min<int64_t>(kStages, std::max<int64_t>(S - 1, 1)));
  std::vector<WordCounts> rings;
  rings.reserve(static_cast<size_t>(stages));
  for (int t = 0; t < stages; ++t) rings.emplace_back(kRing, stride);
  double done = 0;
  for (int64_t first = 2; first <= S; first += stages) {
    const int T = static_cast<int>(std::min<int64_t>(stages, S - first + 1));
    // Step s = first + t: its half h[t] and the degree of its input.
    int64_t h[kStages], degIn[kStages];
    for (int t = 0; t < T; ++t) {
      h[t] = (first + t) * L / 2;
      degIn[t] = (first + t - 1) * L;
    }
    const int64_t hIn0 = degIn[0] / 2;
    double sweep = 0;  // the work of this sweep
    for (int t = 0; t < T; ++t)
      sweep += kWordStep * 2 * (double(h[t]) + 1) * (Words(L, first + t) + 1);
    for (int64_t j = 0; j <= h[T - 1]; ++j) {
      // A stop is seen within a few milliseconds even in a long sweep.
      if ((j & 8191) == 8191) ticker.Tick(done + sweep * double(j) / double(h[T - 1]), cost.Steps);
      const size_t pj = static_cast<size_t>(j) % kRing;
      for (int t = 0; t < T; ++t) {
        if (j > h[t]) continue;
        const int64_t s = first + t;
        WordCounts& in = rings[static_cast<size_t>(t)];
        // The input at j: the table, the previous stage, or the mirror.
        if (t == 0 && j <= hIn0)
          in.Copy(pj, table, static_cast<size_t>(j));
        else if (t == 0 || j > h[t - 1])
          in.Copy(pj, in, static_cast<size_t>(degIn[t] - j) % kRing);
        WordCounts& out = t == T - 1 ? table : rings[static_cast<size_t>(t + 1)];
        const size_t po = t == T - 1 ? static_cast<size_t>(j) : pj;
        const bool hasB = j >= L + s, hasC = j >= s;
        // Ring positions behind pj by less than kRing.
        auto back = [&](int64_t d) {
          return pj >= static_cast<size_t>(d) ? pj - static_cast<size_t>(d)
                                              : pj + kRing - static_cast<size_t>(d);
        };
        const size_t pb = hasB ? back(L + s) : 0;
        const size_t pc = hasC ? (t == T - 1 ? static_cast<size_t>(j - s) : back(s)) : 0;
        out.len[po] = static_cast<uint8_t>(
            Combine(out.At(po), in.At(pj), in.len[pj], hasB ? in.At(pb) : nullptr,
                    hasB ? in.len[pb] : 0, hasC ? out.At(pc) : nullptr, hasC ? out.len[pc] : 0));
      }
    }
    done += sweep;
    ticker.Tick(done, cost.Steps);
  }
  return RoundCounts(table, half);
}

}  // namespace vokt
