// Kruskal-Wallis and Friedman tables of the dynamic programmes against an
// enumeration kept here as the oracle (every assignment of the ranks to the
// groups, every tuple of rankings with the first one fixed), exact keys and
// counts; published critical values; the three probabilities at support
// points; checks and costs before the computation; cancellation, progress
// and the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <sstream>
#include <thread>
#include <vector>

#include "cli/cli.h"
#include "distrib/kruskal_friedman.h"
#include "numeric/uniform.h"

namespace vokt {
namespace {

// |got - ref| <= tol * ref, in long double (EXPECT_NEAR compares doubles).
#define EXPECT_REL(got, ref, tol) \
  EXPECT_LE(std::fabs((long double)(got) - (long double)(ref)), (tol)*std::fabs((long double)(ref)))

template <class F>
std::string Message(F f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

std::vector<int32_t> Sizes(std::vector<int> s) {
  std::vector<int32_t> r{0};
  r.insert(r.end(), s.begin(), s.end());
  return r;
}

// Exact key -> count.
using Counts = std::map<int64_t, long long>;

// The oracle: group g takes every subset of the ranks the groups before it
// left; the key is L sum(R_g^2 / n_g).
void EnumerateKw(const std::vector<int>& n, size_t g, std::vector<int>& free, int64_t L,
                 int64_t key, Counts& out) {
  if (g + 1 == n.size()) {
    int64_t R = 0;
    for (int r : free) R += r;
    ++out[key + L / n[g] * R * R];
    return;
  }
  const int k = n[g], m = static_cast<int>(free.size());
  std::vector<int> pick(static_cast<size_t>(k));
  std::iota(pick.begin(), pick.end(), 0);
  for (;;) {
    int64_t R = 0;
    std::vector<int> rest;
    size_t p = 0;
    for (int i = 0; i < m; ++i) {
      if (p < pick.size() && pick[p] == i) {
        R += free[static_cast<size_t>(i)];
        ++p;
      } else {
        rest.push_back(free[static_cast<size_t>(i)]);
      }
    }
    EnumerateKw(n, g + 1, rest, L, key + L / k * R * R, out);
    int i = k - 1;
    while (i >= 0 && pick[static_cast<size_t>(i)] == m - k + i) --i;
    if (i < 0) break;
    ++pick[static_cast<size_t>(i)];
    for (int j = i + 1; j < k; ++j)
      pick[static_cast<size_t>(j)] = pick[static_cast<size_t>(j - 1)] + 1;
  }
}

int64_t LcmOf(const std::vector<int>& n) {
  int64_t l = 1;
  for (int v : n) l = std::lcm(l, int64_t{v});
  return l;
}

Counts PlainKruskalWallis(const std::vector<int>& n) {
  std::vector<int> ranks(static_cast<size_t>(std::accumulate(n.begin(), n.end(), 0)));
  std::iota(ranks.begin(), ranks.end(), 1);
  Counts c;
  EnumerateKw(n, 0, ranks, LcmOf(n), 0, c);
  return c;
}

// Every tuple of B rankings with the first fixed (the others are T! times as
// many, with the same S).
Counts PlainFriedman(int T, int B) {
  std::vector<std::vector<int>> perms;
  std::vector<int> p(static_cast<size_t>(T));
  std::iota(p.begin(), p.end(), 1);
  do perms.push_back(p);
  while (std::next_permutation(p.begin(), p.end()));
  const size_t P = perms.size();
  std::vector<size_t> idx(static_cast<size_t>(B - 1), 0);
  Counts c;
  for (;;) {
    int64_t S = 0;
    for (int t = 0; t < T; ++t) {
      int64_t col = t + 1;
      for (size_t b : idx) col += perms[b][static_cast<size_t>(t)];
      S += col * col;
    }
    c[S] += static_cast<long long>(P);
    size_t l = 0;
    while (l < idx.size() && ++idx[l] == P) idx[l++] = 0;
    if (l == idx.size()) break;
  }
  return c;
}

// The table against the oracle, entry by entry: X from the same exact key,
// probabilities, both tails within 1e-18 relative.
template <class ToX>
void ExpectTable(const EmpiricalDistribution& d, const Counts& plain, ToX toX,
                 const std::string& what) {
  long double total = 0;
  for (const auto& kc : plain) total += kc.second;
  ASSERT_EQ(d.Points()->Count(), static_cast<int>(plain.size())) << what;
  long double below = 0, above = total;
  int i = 0;
  for (const auto& [key, count] : plain) {
    const PointRecord& r = (*d.Points())[i];
    EXPECT_EQ(r.X, toX(key)) << what << " key " << key;
    below += count;
    above -= count;
    EXPECT_REL(r.Prob, count / total, 1e-18L) << what;
    EXPECT_REL(r.CumProb, below / total, 1e-18L) << what;
    EXPECT_REL(d.UpperProb[static_cast<size_t>(i)], above / total, 1e-18L) << what;
    ++i;
  }
}

TEST(KruskalWallis, AgreesWithTheEnumerationEntryByEntry) {
  // k = 2..5, equal and unequal sizes, every size the enumeration does in a
  // few seconds.
  for (const auto& s : std::vector<std::vector<int>>{
           {1, 1},          {1, 2},          {4, 3},       {1, 7},       {5, 5},
           {7, 6},          {10, 9},         {1, 2, 3},    {3, 3, 2},    {2, 3, 4},
           {5, 5, 5},       {6, 5, 4},       {2, 7, 3},    {6, 6, 6},    {1, 1, 1, 1},
           {2, 2, 1, 3},    {4, 1, 4, 2},    {3, 3, 3, 3}, {4, 4, 3, 2}, {1, 1, 1, 1, 1},
           {2, 2, 2, 2, 2}, {3, 2, 1, 2, 3}, {1, 30},      {1, 2, 40}}) {
    const Counts plain = PlainKruskalWallis(s);
    const int N = std::accumulate(s.begin(), s.end(), 0);
    KruskalWallisDistribution d(Sizes(s));
    ExpectTable(
        d, plain, [&](int64_t key) { return KruskalWallisH(key, LcmOf(s), N); },
        ::testing::PrintToString(s));
  }
}

TEST(Friedman, AgreesWithTheEnumerationEntryByEntry) {
  for (auto [T, B] : std::vector<std::pair<int, int>>{{2, 2},
                                                      {2, 7},
                                                      {2, 20},
                                                      {3, 2},
                                                      {3, 4},
                                                      {3, 6},
                                                      {4, 2},
                                                      {4, 3},
                                                      {4, 4},
                                                      {5, 2},
                                                      {5, 3}}) {
    FriedmanDistribution d(nullptr, T, B);
    ExpectTable(
        d, PlainFriedman(T, B), [&](int64_t S) { return FriedmanQ(S, T, B); },
        std::to_string(T) + "," + std::to_string(B));
  }
}

TEST(KruskalWallis, KnownTables) {
  KruskalWallisDistribution d(Sizes({2, 2}));
  ASSERT_EQ(d.Points()->Count(), 3);
  EXPECT_EQ((*d.Points())[0].X, 0);  // exactly: H comes from its integer key
  EXPECT_EQ((*d.Points())[1].X, 0.6L);
  EXPECT_EQ((*d.Points())[2].X, 2.4L);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR((*d.Points())[i].Prob, 1.0L / 3, 1e-19);
  d.BuildKruskalWallis(Sizes({2, 2, 2}));
  EXPECT_EQ((*d.Points())[0].X, 0);
  EXPECT_NEAR((*d.Points())[0].Prob, 6.0L / 90, 1e-19);
  EXPECT_NEAR(d.SupportHigh(), 32.0L / 7, 1e-18);
  EXPECT_EQ(d.GroupCount, 3);
  EXPECT_EQ(d.NameId(), 929);
}

// P(X < x), P(X = x), P(X > x) at every support point and 1e-13 beside it:
// each in [0, 1], adding up to 1, the lower one 0 at the lowest point.
void ExpectConsistent(EmpiricalDistribution& d) {
  const auto& t = d.Points()->Items();
  for (size_t i = 0; i < t.size(); ++i) {
    for (long double dx : {0.0L, 1e-13L, -1e-13L}) {
      const long double x = t[i].X + dx;
      const long double point = d.PointProb(x), upper = d.UpperTail(x);
      const long double lower = d.Cdf(x) - point;
      EXPECT_EQ(point, t[i].Prob);
      EXPECT_GE(lower, 0);
      EXPECT_GE(upper, 0);
      EXPECT_NEAR(lower + point + upper, 1, 1e-18);
      if (i == 0) {
        EXPECT_EQ(lower, 0);
      }
      if (i + 1 == t.size()) {
        EXPECT_EQ(upper, 0);
      }
    }
  }
}

TEST(RankTables, ThreeProbabilitiesAgreeAtSupportPoints) {
  KruskalWallisDistribution kw(Sizes({2, 2}));
  EXPECT_EQ(kw.Cdf(0), 1.0L / 3);
  EXPECT_EQ(kw.UpperTail(0), 2.0L / 3);
  EXPECT_EQ(kw.Cdf(-1e-13L), 1.0L / 3);  // the tolerant look-up comes first
  ExpectConsistent(kw);
  kw.BuildKruskalWallis(Sizes({4, 5, 3}));
  ExpectConsistent(kw);
  FriedmanDistribution fr(nullptr, 2, 9);
  // Q = 1/9 is the lowest point for nine blocks.
  EXPECT_EQ(fr.Cdf(0.1111111111111111L), (*fr.Points())[0].CumProb);
  EXPECT_EQ(fr.Cdf(0.1111111111111111L) - fr.PointProb(0.1111111111111111L), 0);
  ExpectConsistent(fr);
  fr.BuildFriedman(nullptr, 4, 5);
  ExpectConsistent(fr);
}

TEST(RankTables, QuantilesFromBothTails) {
  KruskalWallisDistribution d(Sizes({5, 5, 5}));
  const auto& t = d.Points()->Items();
  for (size_t i = 0; i < t.size(); i += 7) {
    long double p = t[i].CumProb;
    EXPECT_EQ(d.Quantile(p).X, t[i].X);
    EXPECT_EQ(d.Quantile(p).Probability, t[i].CumProb);
    EXPECT_EQ(d.UpperQuantile(d.UpperProb[i]), t[i].X);
  }
  // The far upper tail: P(H > x) of the second highest point is the
  // probability of the highest alone, 6 / 756756.
  const size_t n = t.size();
  EXPECT_NEAR(d.UpperProb[n - 2], 6.0L / 756756, 1e-24);
  EXPECT_EQ(d.UpperQuantile(6.0L / 756756), t[n - 2].X);
  EXPECT_EQ(d.UpperQuantile(0), t[n - 1].X);
}

// Exact critical values from S. Siegel and N. J. Castellan, Nonparametric
// Statistics for the Behavioral Sciences, 2nd ed. (1988): Table O
// (Kruskal-Wallis, small samples) and Table M (Friedman, exact).
TEST(RankTables, PublishedCriticalValues) {
  struct Row {
    std::vector<int> sizes;
    long double h, p;  // P(H >= h) to three decimals
  };
  for (const Row& r : std::vector<Row>{{{3, 3, 3}, 7.2L, 0.004L},
                                       {{3, 3, 3}, 5.6L, 0.050L},
                                       {{5, 5, 5}, 5.78L, 0.049L},
                                       {{5, 5, 5}, 8.0L, 0.009L}}) {
    KruskalWallisDistribution d(Sizes(r.sizes));
    EXPECT_NEAR(d.UpperTail(r.h) + d.PointProb(r.h), r.p, 0.0005L) << (double)r.h;
  }
  struct FRow {
    int T, B;
    long double q, p;
  };
  for (const FRow& r :
       std::vector<FRow>{{3, 3, 6.0L, 0.028L}, {3, 4, 6.5L, 0.042L}, {3, 4, 8.0L, 0.005L}}) {
    FriedmanDistribution d(nullptr, r.T, r.B);
    EXPECT_NEAR(d.UpperTail(r.q) + d.PointProb(r.q), r.p, 0.0005L) << (double)r.q;
  }
}

TEST(KruskalWallis, SizesAndCostAreCheckedFirst) {
  KruskalWallisDistribution d(Sizes({2, 3}));
  const int before = d.Points()->Count();
  EXPECT_EQ(Message([&] { d.BuildKruskalWallis(Sizes({5})); }), "Value should be at least 2");
  EXPECT_EQ(Message([&] { d.BuildKruskalWallis({}); }), "Value should be at least 2");
  EXPECT_EQ(Message([&] { d.BuildKruskalWallis(Sizes({3, 0, 4})); }), "Value should be at least 1");
  EXPECT_EQ(Message([&] { d.BuildKruskalWallis(std::vector<int32_t>(256, 1)); }),
            "Value should be less than 255");
  // Sizes that cannot finish within the bounds are refused at once.
  for (auto s : std::vector<std::vector<int>>{
           {25, 25, 25}, {40, 40, 40}, {12, 12, 12, 12, 12}, {3, 3, 3, 3, 3, 3, 3, 3, 3}}) {
    EXPECT_EQ(Message([&] { d.PrepareKruskalWallis(Sizes(s)); }), "Numbers too large.");
    EXPECT_EQ(Message([&] { d.BuildKruskalWallis(Sizes(s)); }), "Numbers too large.");
  }
  EXPECT_EQ(d.Points()->Count(), before);
  EXPECT_EQ(d.GroupCount, 2);
  // Estimates grow with the work.
  EXPECT_LT(KruskalWallisCost(Sizes({6, 6, 6})).Steps,
            KruskalWallisCost(Sizes({10, 10, 10})).Steps);
  EXPECT_LT(KruskalWallisCost(Sizes({15, 15, 15})).Bytes, kMaxRankBytes);
}

TEST(KruskalWallis, GroupSizesFromGridRows) {
  KruskalWallisDistribution d(Sizes({1, 1}));
  d.SetGroupSizes({3, 0, 0, -2, 4});
  EXPECT_EQ(d.GroupSizes, Sizes({3, 4}));
  d.Rebuild();
  EXPECT_EQ(d.GroupCount, 2);
  EXPECT_EQ(d.Points()->Count(), static_cast<int>(PlainKruskalWallis({3, 4}).size()));
}

TEST(Friedman, TAndBAreCheckedFirst) {
  FriedmanDistribution d(nullptr, 3, 3);
  struct Row {
    long double T, B;
    const char* message;
  };
  const Row rows[] = {
      {1, 3, "Value should be at least 2"},
      {13, 2, "Value should be less than 12"},
      {3.5L, 3, "Value should be integer."},
      {3, 1, "Second parameter should be at least 2"},
      {3, 64, "Second parameter should be smaller than 63"},
      {3, 2.5L, "Second parameter should be integer."},
      {11, 2, "Numbers too large."},
      {8, 10, "Numbers too large."},
      {NAN, 2, "Value should be at least 2"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(Message([&] { d.BuildFriedman(nullptr, r.T, r.B); }), r.message) << (double)r.T;
  EXPECT_EQ(d.Treatments, 3);
  EXPECT_EQ(d.Points()->Count(), 6);
  // Sizes the enumeration could not do: 62 blocks of three treatments.
  d.BuildFriedman(nullptr, 3, 62);
  EXPECT_EQ((*d.Points())[0].X, 0);
  EXPECT_NEAR(d.Mean(), 2, 1e-15);  // E(Q) = T - 1
}

TEST(RankTables, StopAndProgressAreParametersOfTheComputation) {
  // Progress reaches 100 and only grows.
  std::vector<int> seen;
  RankControl control;
  control.Progress = [&](int p) { seen.push_back(p); };
  const RankTable t = KruskalWallisDistribution::ComputeKruskalWallis(Sizes({8, 8, 8}), &control);
  EXPECT_FALSE(t.Records.empty());
  ASSERT_FALSE(seen.empty());
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_GE(seen.back(), 95);
  // A requested stop ends the computation with CancelledError; the object built
  // through it is unchanged.
  KruskalWallisDistribution d(Sizes({2, 2}));
  std::stop_source stop;
  RankControl stopping;
  stopping.Stop = stop.get_token();
  stopping.Progress = [&](int p) {
    if (p >= 10) stop.request_stop();
  };
  EXPECT_THROW(d.BuildKruskalWallis(Sizes({10, 10, 10}), &stopping), CancelledError);
  EXPECT_EQ(d.Points()->Count(), 3);
  EXPECT_EQ(d.GroupCount, 2);
  FriedmanDistribution f(nullptr, 2, 2);
  std::stop_source stop2;
  stop2.request_stop();
  RankControl stopped;
  stopped.Stop = stop2.get_token();
  EXPECT_THROW(f.BuildFriedman(&stopped, 5, 6), CancelledError);
  EXPECT_EQ(f.Treatments, 2);
  // A stop from another thread while the computation runs.
  std::stop_source stop3;
  RankControl other;
  other.Stop = stop3.get_token();
  std::jthread canceller([&] { stop3.request_stop(); });
  canceller.join();
  EXPECT_THROW(KruskalWallisDistribution::ComputeKruskalWallis(Sizes({12, 12, 12}), &other),
               CancelledError);
}

TEST(RankTables, CommandLine) {
  auto run = [](std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    return std::make_pair(status, out.str() + err.str());
  };
  EXPECT_EQ(run({"kruskal-wallis", "2,2", "pdf", "0", "2.4"}),
            std::make_pair(0, std::string("0.33333333333333333334\n0.33333333333333333334\n")));
  EXPECT_EQ(run({"kruskal-wallis", "3,2", "cdf", "1.3333333333333333"}),
            std::make_pair(0, std::string("0.80000000000000000001\n")));
  EXPECT_EQ(run({"friedman", "2,2", "pdf", "2"}), std::make_pair(0, std::string("0.5\n")));
  EXPECT_EQ(run({"929", "3,0.5", "cdf", "1"}),
            std::make_pair(1, std::string("Value should be integer.\n")));
  EXPECT_EQ(run({"929", "25,25,25", "cdf", "1"}),
            std::make_pair(1, std::string("Numbers too large.\n")));
  // The enumeration could never finish these; the programme takes a second.
  EXPECT_EQ(run({"929", "200,55", "cdf", "0"}).first, 0);
  EXPECT_EQ(run({"931", "3", "cdf", "1"}).first, 2);
  EXPECT_EQ(run({"931", "3,25", "cdf", "0"}).first, 0);
}

}  // namespace
}  // namespace vokt
