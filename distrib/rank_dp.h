// What the rank-test programmes share: exact counts in 128-bit integers (or
// long double), the merge of (key, count) pairs and the table made from them
// (Kruskal-Wallis, Friedman), the check of an estimated cost and the bound
// on the totals (all of them).  Internal to the rank-test sources.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "distrib/kruskal_friedman.h"
#include "resources/strings.h"

namespace vokt::rank_dp {

using I128 = __int128;
using U128 = unsigned __int128;

constexpr double kInf = std::numeric_limits<double>::infinity();

inline long double ToLd(U128 v) { return static_cast<long double>(v); }
inline long double ToLd(long double v) { return v; }

// Turns (key, count) pairs sorted by key into the table, X from the key.
template <class C, class ToX>
RankTable MakeTable(const std::vector<std::pair<int64_t, C>>& keys, ToX toX) {
  RankTable t;
  const size_t n = keys.size();
  t.Records.resize(n);
  t.Upper.resize(n);
  C total = 0;
  for (const auto& kc : keys) total += kc.second;
  const long double T = ToLd(total);
  C below = 0;
  for (size_t i = 0; i < n; ++i) {
    below += keys[i].second;
    PointRecord& r = t.Records[i];
    r.X = toX(keys[i].first);
    r.Prob = ToLd(keys[i].second) / T;
    r.CumProb = ToLd(below) / T;
  }
  C above = 0;
  for (size_t i = n; i-- > 0;) {
    t.Upper[i] = ToLd(above) / T;
    above += keys[i].second;
  }
  if (n > 0) t.Records[n - 1].CumProb = 1;
  return t;
}

template <class C>
void SortMerge(std::vector<std::pair<int64_t, C>>& v) {
  std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  size_t w = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    if (w > 0 && v[w - 1].first == v[i].first)
      v[w - 1].second += v[i].second;
    else
      v[w++] = v[i];
  }
  v.resize(w);
}

// Counts and their totals must stay within the long double range (2^16383).
constexpr double kMaxLog2Total = 16000;

// log2 C(a, b).
inline double Log2Choose(double a, double b) {
  return (std::lgamma(a + 1) - std::lgamma(b + 1) - std::lgamma(a - b + 1)) / std::log(2.0);
}

inline void CheckCost(const RankCost& c) {
  ErrorIf(!(c.Bytes <= kMaxRankBytes) || !(c.Seconds() <= kMaxRankSeconds), msgTooLarge);
}

}  // namespace vokt::rank_dp
