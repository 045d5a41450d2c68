// Signed rank, Mann-Whitney and rank-sum tables: published counts, a plain
// enumeration of subsets, symmetry, m/n interchange, and refused sizes that
// leave the distribution as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stop_token>
#include <string>
#include <vector>

#include "distrib/rank_sums.h"

namespace vokt {
namespace {

template <class F>
std::string Message(F f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

// Counts of the sum of a random subset of {1..n}, by listing all subsets.
std::vector<long long> PlainSignedRank(int n) {
  std::vector<long long> c(static_cast<size_t>(n * (n + 1) / 2 + 1), 0);
  for (long long mask = 0; mask < (1LL << n); ++mask) {
    int s = 0;
    for (int i = 0; i < n; ++i)
      if (mask >> i & 1) s += i + 1;
    ++c[static_cast<size_t>(s)];
  }
  return c;
}

// Counts of U: for every choice of the first sample's m positions among
// m + n, the number of (second, first) pairs in which the second sample's
// element comes first.
std::vector<long long> PlainMannWhitney(int m, int n) {
  std::vector<long long> c(static_cast<size_t>(m * n + 1), 0);
  for (long long mask = 0; mask < (1LL << (m + n)); ++mask) {
    if (__builtin_popcountll(mask) != m) continue;
    int u = 0, seconds = 0;
    for (int i = 0; i < m + n; ++i) {
      if (mask >> i & 1)
        u += seconds;
      else
        ++seconds;
    }
    ++c[static_cast<size_t>(u)];
  }
  return c;
}

TEST(SignedRank, PublishedCounts) {
  SignedRankDistribution d1(1);
  EXPECT_EQ(d1.Table.Prob.size(), 1u);
  EXPECT_EQ(d1.PointProb(0), 0.5L);
  EXPECT_EQ(d1.PointProb(1), 0.5L);

  SignedRankDistribution d5(5);
  const int c5[] = {1, 1, 1, 2, 2, 3, 3, 3};
  ASSERT_EQ(d5.Table.Prob.size(), 8u);
  for (int j = 0; j < 8; ++j) EXPECT_EQ(d5.Table.Prob[j] * 32, c5[j]) << j;
  EXPECT_EQ(d5.PointProb(8), 3.0L / 32);
  EXPECT_EQ(d5.PointProb(7), 3.0L / 32);
  EXPECT_EQ(d5.PointProb(15), 1.0L / 32);
  EXPECT_EQ(d5.PointProb(16), 0);
  EXPECT_EQ(d5.PointProb(2.5L), 0);

  SignedRankDistribution d10(10);
  const int c10[] = {1,  1,  1,  2,  2,  3,  4,  5,  6,  8,  10, 11, 13, 15,
                     17, 20, 22, 24, 27, 29, 31, 33, 35, 36, 38, 39, 39, 40};
  for (int j = 0; j < 28; ++j) EXPECT_EQ(d10.PointProb(j) * 1024, c10[j]) << j;
  EXPECT_EQ(d10.PointProb(55), 1.0L / 1024);
  EXPECT_EQ(d10.Mean(), 27.5L);
  EXPECT_EQ(d10.Variance(), 96.25L);
}

TEST(SignedRank, AgreesWithSubsetEnumerationAndIsSymmetric) {
  for (int n = 1; n <= 14; ++n) {
    SignedRankDistribution d(n);
    const auto plain = PlainSignedRank(n);
    const int top = n * (n + 1) / 2;
    long double sum = 0, cum = 0;
    for (int w = 0; w <= top; ++w) {
      EXPECT_EQ(d.PointProb(w) * (1LL << n), plain[static_cast<size_t>(w)]) << n << ' ' << w;
      EXPECT_EQ(d.PointProb(w), d.PointProb(top - w));
      sum += d.PointProb(w);
      cum += d.PointProb(w);
      EXPECT_NEAR(d.Cdf(w), cum, 1e-15) << n << ' ' << w;
    }
    EXPECT_NEAR(sum, 1, 1e-16);
  }
}

TEST(MannWhitney, PublishedCountsAndInterchange) {
  MannWhitneyDistribution d(3, 3);
  const int c[] = {1, 1, 2, 3, 3, 3, 3, 2, 1, 1};
  for (int u = 0; u <= 9; ++u) EXPECT_NEAR(d.PointProb(u) * 20, c[u], 1e-15) << u;
  EXPECT_EQ(d.PointProb(10), 0);
  EXPECT_EQ(d.PointProb(-1), 0);

  MannWhitneyDistribution one(1, 7), oneSwapped(7, 1);
  for (int u = 0; u <= 7; ++u) {
    EXPECT_NEAR(one.PointProb(u), 1.0L / 8, 1e-18);
    EXPECT_EQ(one.PointProb(u), oneSwapped.PointProb(u));
  }
}

TEST(MannWhitney, AgreesWithPlainEnumerationSymmetricInUAndInMN) {
  for (int m = 1; m <= 7; ++m) {
    for (int n = 1; n <= 7; ++n) {
      MannWhitneyDistribution d(m, n), swapped(n, m);
      const auto plain = PlainMannWhitney(m, n);
      long long total = 0;
      for (long long v : plain) total += v;
      for (int u = 0; u <= m * n; ++u) {
        EXPECT_NEAR(d.PointProb(u), (long double)plain[static_cast<size_t>(u)] / total, 1e-18)
            << m << ',' << n << ' ' << u;
        EXPECT_EQ(d.PointProb(u), d.PointProb(m * n - u));
        EXPECT_EQ(d.PointProb(u), swapped.PointProb(u));
      }
      EXPECT_NEAR(d.Variance(), m * n * (m + n + 1) / 12.0L, 1e-15);
    }
  }
}

TEST(RankSum, ShiftsMannWhitney) {
  RankSumDistribution d(2, 3);
  EXPECT_EQ(d.SupportLow(), 3);
  EXPECT_EQ(d.SupportHigh(), 9);
  EXPECT_NEAR(d.PointProb(3), 0.1L, 1e-18);
  EXPECT_EQ(d.PointProb(2), 0);
  EXPECT_EQ(d.Mean(), 6);
  MannWhitneyDistribution u(2, 3);
  for (int x = 3; x <= 9; ++x) EXPECT_EQ(d.PointProb(x), u.PointProb(x - 3));
  long double p = 0.5L;
  const QuantileResult q = d.Quantile(p);
  EXPECT_EQ(q.X, 6);
  EXPECT_NEAR(q.Probability, d.Cdf(6), 1e-15);
}

TEST(RankTables, QuantileInvertsCdf) {
  SignedRankDistribution w(12);
  MannWhitneyDistribution u(6, 9);
  RankSumDistribution r(4, 8);
  for (DiscreteDistribution* d : std::vector<DiscreteDistribution*>{&w, &u, &r}) {
    for (long double x = d->SupportLow(); x <= d->SupportHigh(); x += 1) {
      long double p = d->Cdf(x);
      if (p > 1 - 1e-10L) break;
      EXPECT_EQ(d->Quantile(p).X, x) << d->NameId() << ' ' << (double)x;
    }
  }
}

// p = 1 gives the upper end of the support, even where the upper tails of
// the last hundreds of points are far below 1e-15 (signed rank 200 used to
// stop at 16254, Mann-Whitney 50, 50 at 2288).
TEST(RankTables, QuantileOfOneIsTheUpperEnd) {
  SignedRankDistribution w(200);
  MannWhitneyDistribution u(50, 50);
  RankSumDistribution r(10, 7);
  for (DiscreteDistribution* d : std::vector<DiscreteDistribution*>{&w, &u, &r}) {
    long double p = 1;
    EXPECT_EQ(d->Quantile(p).X, d->SupportHigh()) << d->NameId();
    EXPECT_EQ(d->Quantile(p).Probability, 1) << d->NameId();
    p = 0;
    EXPECT_EQ(d->Quantile(p).X, d->SupportLow()) << d->NameId();
    // Near 1 the point is the smallest with P(X > x) <= 1 - p.
    const long double q = 1e-12L;
    p = 1 - q;
    const long double x = d->Quantile(p).X;
    EXPECT_LE(d->UpperTail(x), q * (1 + 1e-13L)) << d->NameId();
    if (x > d->SupportLow()) {
      EXPECT_GT(d->UpperTail(x - 1), q) << d->NameId();
    }
  }
}

TEST(RankTables, BadAndOversizedSizesAreRefusedAndKeepTheTable) {
  SignedRankDistribution w(5);
  EXPECT_EQ(Message([&] { w.SetParameters(0, 0, 0); }), "Value should be at least 1");
  EXPECT_EQ(Message([&] { w.SetParameters(2.5L, 0, 0); }), "Value should be integer.");
  EXPECT_EQ(Message([&] { w.SetParameters(NAN, 0, 0); }), "Value should be at least 1");
  // 20000 ranks would need a table of 10^8 entries; 6000 ranks about
  // 4*10^10 additions.
  EXPECT_EQ(Message([&] { w.SetParameters(20000, 0, 0); }), "Numbers too large.");
  EXPECT_EQ(Message([&] { w.SetParameters(6000, 0, 0); }), "Numbers too large.");
  EXPECT_EQ(Message([&] { w.SetParameters(2147483646, 0, 0); }), "Numbers too large.");
  EXPECT_EQ(w.n, 5);
  EXPECT_EQ(w.SupportHigh(), 15);
  EXPECT_EQ(w.PointProb(8), 3.0L / 32);

  MannWhitneyDistribution u(3, 3);
  EXPECT_EQ(Message([&] { u.SetParameters(3, 0, 0); }), "Second parameter should be at least 1");
  EXPECT_EQ(Message([&] { u.SetParameters(3, 1.5L, 0); }), "Second parameter should be integer.");
  EXPECT_EQ(Message([&] { u.SetParameters(10000, 10000, 0); }), "Numbers too large.");
  EXPECT_EQ(Message([&] { u.SetParameters(1, 60000000, 0); }), "Numbers too large.");
  EXPECT_EQ(Message([&] { u.SetParameters(5000, 5000, 0); }), "Numbers too large.");
  // The counts would fit, but not the graphs' point table over the plot range.
  EXPECT_EQ(Message([&] { u.SetParameters(1, 20000000, 0); }), "Numbers too large.");
  EXPECT_EQ(u.SupportHigh(), 9);
  EXPECT_EQ(u.m, 3);
  EXPECT_EQ(u.Table.Prob.size(), 5u);  // the lower half
  EXPECT_EQ(u.Mean(), 4.5L);
  EXPECT_NEAR(u.PointProb(4), 0.15L, 1e-18);

  RankSumDistribution r(2, 3);
  EXPECT_EQ(Message([&] { r.SetParameters(200000, 1, 0); }), "Numbers too large.");
  EXPECT_EQ(r.SupportLow(), 3);
  EXPECT_NEAR(r.PointProb(3), 0.1L, 1e-18);
}

// The sizes accepted: what the cost estimates put within a minute and 1 GB,
// decided before anything is allocated (a refused size answers at once).
TEST(RankTables, LimitsFollowTheCostEstimates) {
  struct Case {
    int64_t m, n;  // n = 0: signed rank of m
    bool accepted;
  } cases[] = {
      {1000, 0, true},    {1020, 0, true},   {1021, 0, true},     {4000, 0, true},
      {6000, 0, false},   {20000, 0, false}, {1000, 1000, true},  {1700, 1700, true},
      {2000, 2000, true}, {200, 5000, true}, {3000, 3000, false}, {1, 100000, true},
  };
  for (const Case& c : cases) {
    const RankCost cost = c.n == 0 ? SignedRankCost(c.m) : MannWhitneyCost(c.m, c.n);
    const bool within = cost.Seconds() <= kMaxRankSeconds && cost.Bytes <= kMaxRankBytes;
    EXPECT_EQ(within, c.accepted) << c.m << ',' << c.n << ": " << cost.Seconds() << " s, "
                                  << cost.Bytes << " bytes";
    if (!c.accepted) {
      const auto f = [&] {
        if (c.n == 0)
          SignedRankCounts(static_cast<int32_t>(c.m));
        else
          MannWhitneyCounts(static_cast<int32_t>(c.m), static_cast<int32_t>(c.n));
      };
      EXPECT_EQ(Message(f), "Numbers too large.") << c.m << ',' << c.n;
    }
  }
}

// Progress grows to the end; a requested stop ends the counting with
// CancelledError and leaves the distribution as it was.
TEST(RankTables, ProgressAndStopOfTheCounting) {
  struct Case {
    const char* name;
    std::function<RankSumBase*()> make;
    std::function<void(RankSumBase&)> grow;
  } cases[] = {
      {"signed rank", [] { return new SignedRankDistribution(5); },
       [](RankSumBase& d) { d.SetParameters(1100, 0, 0); }},
      {"Mann-Whitney", [] { return new MannWhitneyDistribution(3, 3); },
       [](RankSumBase& d) { d.SetParameters(300, 400, 0); }},
      {"rank sum", [] { return new RankSumDistribution(3, 3); },
       [](RankSumBase& d) { d.SetParameters(400, 300, 0); }},
  };
  for (const Case& c : cases) {
    std::unique_ptr<RankSumBase> d(c.make());
    const long double high = d->SupportHigh(), p = d->PointProb(d->SupportLow() + 1);
    std::vector<int> seen;
    std::stop_source stop;
    RankControl control;
    control.Stop = stop.get_token();
    control.Progress = [&](int percent) {
      seen.push_back(percent);
      if (percent >= 30) stop.request_stop();
    };
    d->Control = &control;
    EXPECT_THROW(c.grow(*d), CancelledError) << c.name;
    ASSERT_FALSE(seen.empty()) << c.name;
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << c.name;
    EXPECT_EQ(d->SupportHigh(), high) << c.name;
    EXPECT_EQ(d->PointProb(d->SupportLow() + 1), p) << c.name;
    // Without a stop it runs to the end.
    seen.clear();
    RankControl plain;
    plain.Progress = [&](int percent) { seen.push_back(percent); };
    d->Control = &plain;
    c.grow(*d);
    d->Control = nullptr;
    ASSERT_FALSE(seen.empty()) << c.name;
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << c.name;
    EXPECT_GE(seen.back(), 90) << c.name;
    EXPECT_GT(d->SupportHigh(), high) << c.name;
  }
}

// Supports beyond 2^31: m(m+1)/2 alone is 2.45e9.
TEST(RankSum, SupportBeyondTwoToThe31) {
  RankSumDistribution r(70000, 1);
  EXPECT_EQ(r.SupportLow(), 2450035000.0L);
  EXPECT_EQ(r.SupportHigh(), 2450105000.0L);
  EXPECT_NEAR(r.PointProb(2450035000.0L), 1.0L / 70001, 1e-22);
  EXPECT_NEAR(r.Cdf(2450070000.0L), 35001.0L / 70001, 1e-18);
  EXPECT_EQ(r.Cdf(INFINITY), 1);
  EXPECT_EQ(r.UpperTail(-INFINITY), 1);
  EXPECT_EQ(r.Cdf(-INFINITY), 0);
}

// Exact probabilities by Python integers (tests/data/rank_exact.py): signed
// rank n = 50 .. 1100 (pairs of doubles up to 1020, long double above),
// Mann-Whitney m, n up to 1000 x 1000, at the tails, spread points and the
// points where the tails pass 10^-k down to 10^-300: point, both tails, 1e-16
// relative.
TEST(RankTables, AgreeWithExactIntegerCounts) {
  std::ifstream in(std::string(VOKT_TEST_DATA) + "/rank_exact.csv");
  ASSERT_TRUE(in.good());
  std::string line;
  std::getline(in, line);
  std::string type;
  int m = -1, n = -1, rows = 0;
  std::unique_ptr<RankSumBase> d;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string f[7];
    for (auto& x : f) std::getline(s, x, ',');
    const int fm = std::stoi(f[1]), fn = std::stoi(f[2]);
    if (f[0] != type || fm != m || fn != n) {
      type = f[0];
      m = fm;
      n = fn;
      if (type == "signedrank")
        d = std::make_unique<SignedRankDistribution>(m);
      else
        d = std::make_unique<MannWhitneyDistribution>(m, n);
    }
    const long double x = std::stold(f[3]);
    const long double ref[3] = {std::stold(f[4]), std::stold(f[5]), std::stold(f[6])};
    const long double got[3] = {d->PointProb(x), d->Cdf(x), d->UpperTail(x)};
    for (int k = 0; k < 3; ++k)
      EXPECT_LE(std::fabs(got[k] - ref[k]), 1e-16L * ref[k]) << line << " column " << k;
    ++rows;
  }
  EXPECT_GT(rows, 400);
}

// The Mann-Whitney counts rounded to a few words (each keeping its top
// words) against the exact integers, entry by entry: within one rounding of
// the long double.  The first rows drop most of the words of the middle
// counts; the last ones take the width the sizes choose by themselves.
TEST(MannWhitney, RoundedCountsKeepEveryDigit) {
  struct Case {
    int m, n, words;  // words 0: the width chosen for the sizes
  } cases[] = {{150, 150, 4}, {400, 400, 4}, {1000, 300, 4},
               {500, 500, 5}, {600, 600, 0}, {90, 2000, 0}};
  for (const Case& c : cases) {
    const std::vector<Real> exact = MannWhitneyCountsIn(c.m, c.n, 0);
    const std::vector<Real> rounded =
        c.words ? MannWhitneyCountsIn(c.m, c.n, c.words) : MannWhitneyCounts(c.m, c.n);
    ASSERT_EQ(rounded.size(), exact.size()) << c.m << ',' << c.n;
    size_t bad = 0;
    for (size_t j = 0; j < exact.size(); ++j)
      if (!(std::fabs(rounded[j] - exact[j]) <= std::ldexp(exact[j], -62))) ++bad;
    EXPECT_EQ(bad, 0u) << c.m << ',' << c.n << " in " << c.words << " words";
  }
  // Widths beyond what the rounded counts offer are refused, not guessed.
  EXPECT_TRUE(MannWhitneyCountsIn(10, 10, 3).empty());
  EXPECT_TRUE(MannWhitneyCountsIn(10, 10, 17).empty());
}

TEST(RankTables, LargeSizesAndFarTails) {
  MannWhitneyDistribution u(400, 400);
  EXPECT_NEAR(u.Cdf(80000), 0.50006100282001998935L, 1e-18);
  // The upper tail is read, not 1 - Cdf: P(U > mn - 1) = P(U = 0) = 1 / C(800, 400).
  EXPECT_LE(std::fabs(u.UpperTail(159999) - u.PointProb(0)), 1e-18L * u.PointProb(0));
  EXPECT_GT(u.UpperTail(159999), 0);
  EXPECT_LT(u.UpperTail(159999), 1e-238L);
  // Far-tail quantiles are exact: the tolerance of "reaches p" is relative.
  SignedRankDistribution w(200);
  for (long double x : {4986.0L, 3000.0L, 100.0L, 20.0L}) {
    long double p = w.Cdf(x);
    EXPECT_EQ(w.Quantile(p).X, x);
    EXPECT_EQ(w.UpperQuantile(w.UpperTail(20100 - x)), 20100 - x);
  }
  // Between two points the next one is the quantile.
  long double p = (w.Cdf(4985) + w.Cdf(4986)) / 2;
  EXPECT_EQ(w.Quantile(p).X, 4986);
  // The three probabilities at every point of a small table.
  RankSumDistribution r(5, 7);
  for (long double x = r.SupportLow(); x <= r.SupportHigh(); x += 1) {
    const long double lower = r.Cdf(x) - r.PointProb(x);
    EXPECT_GE(lower, 0);
    EXPECT_NEAR(lower + r.PointProb(x) + r.UpperTail(x), 1, 1e-18);
    EXPECT_NEAR(r.IntervalProb(r.SupportLow(), x), r.Cdf(x), 1e-18);
  }
  EXPECT_EQ(r.Cdf(r.SupportLow()) - r.PointProb(r.SupportLow()), 0);
}

}  // namespace
}  // namespace vokt
