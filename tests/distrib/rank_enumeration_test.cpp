// Kruskal-Wallis and Friedman tables against plain enumerations (every
// arrangement of group labels, every ordered tuple of rankings), the cases
// with known tables, checks before the enumeration, cancellation and the
// progress protocol, and the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <sstream>
#include <vector>

#include "cli/cli.h"
#include "distrib/kruskal_friedman.h"
#include "numeric/uniform.h"

namespace vokt {
namespace {

using Table = std::map<long long, long long>;  // statistic * 1e9, rounded -> count

template <class F>
std::string Message(F f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

long long Key(long double x) { return std::llround(x * 1e9L); }

Table TableOf(const tEmpirical_distribution& d) {
  Table t;
  for (const tPointRecord& r : d.Points->Items()) t[Key(r.X)] += r.Count;
  return t;
}

// Every distinct arrangement of the group labels over the ranks 1..N.
Table PlainKruskalWallis(const std::vector<int>& sizes) {
  std::vector<int> label;
  for (size_t g = 0; g < sizes.size(); ++g) label.insert(label.end(), sizes[g], static_cast<int>(g));
  const int N = static_cast<int>(label.size());
  Table t;
  do {
    std::vector<long double> R(sizes.size(), 0);
    for (int r = 0; r < N; ++r) R[static_cast<size_t>(label[static_cast<size_t>(r)])] += r + 1;
    long double v = 0;
    for (size_t g = 0; g < sizes.size(); ++g) v += R[g] * R[g] / sizes[g];
    ++t[Key(12.0L / (N * (N + 1)) * v - 3 * (N + 1))];
  } while (std::next_permutation(label.begin(), label.end()));
  return t;
}

// Every ordered tuple of B rankings of T treatments.
Table PlainFriedman(int T, int B) {
  std::vector<std::vector<int>> perms;
  std::vector<int> p(static_cast<size_t>(T));
  std::iota(p.begin(), p.end(), 1);
  do perms.push_back(p);
  while (std::next_permutation(p.begin(), p.end()));
  const size_t P = perms.size();
  std::vector<size_t> idx(static_cast<size_t>(B), 0);
  Table t;
  for (;;) {
    long double S = 0;
    for (int s = 0; s < T; ++s) {
      long double c = 0;
      for (size_t b : idx) c += perms[b][static_cast<size_t>(s)];
      S += c * c;
    }
    ++t[Key(12.0L / (B * T * (T + 1)) * S - 3 * B * (T + 1))];
    size_t l = 0;
    while (l < idx.size() && ++idx[l] == P) idx[l++] = 0;
    if (l == idx.size()) break;
  }
  return t;
}

std::vector<int32_t> Sizes(std::vector<int> s) {
  std::vector<int32_t> r{0};
  r.insert(r.end(), s.begin(), s.end());
  return r;
}

void ExpectNormalised(const tEmpirical_distribution& d) {
  long double sum = 0;
  int64_t total = 0;
  for (const tPointRecord& r : d.Points->Items()) {
    sum += r.Prob;
    total += r.Count;
    EXPECT_GE(r.Count, 1);
  }
  EXPECT_NEAR(sum, 1, 1e-15);
  EXPECT_EQ(total, d.TotalCount);
  EXPECT_EQ(d.Points->Items().back().CumProb, 1);
}

struct Recorder : ProgressSink {
  std::vector<int> positions;
  int events = 0, busyOn = 0, busyOff = 0;
  int cancelAt = 0;     // sets CancelRequested at this event
  int throwAt = 0;      // throws at this event
  void SetPosition(int p) override { positions.push_back(p); }
  void ProcessEvents() override {
    ++events;
    if (events == cancelAt) CancelRequested = true;
    if (events == throwAt) throw std::runtime_error("window gone");
  }
  void SetBusy(bool on) override { ++(on ? busyOn : busyOff); }
};

TEST(KruskalWallis, KnownTables) {
  tKruskalWallis_Distribution one(Sizes({1, 1}), nullptr);
  ASSERT_EQ(one.Points->Count(), 1);
  EXPECT_EQ((*one.Points)[0].X, 1);
  EXPECT_EQ((*one.Points)[0].Prob, 1);
  EXPECT_EQ(one.TotalCount, 2);
  EXPECT_EQ(one.GroupCount, 2);
  EXPECT_EQ(one.NameId, 929);

  tKruskalWallis_Distribution d(Sizes({2, 2}), nullptr);
  EXPECT_EQ(TableOf(d), (Table{{0, 2}, {Key(0.6L), 2}, {Key(2.4L), 2}}));
  for (int i = 0; i < 3; ++i) EXPECT_NEAR((*d.Points)[i].Prob, 1.0L / 3, 1e-18);

  for (auto s : {std::vector<int>{2, 3}, std::vector<int>{3, 2}}) {
    d.BuildKruskalWallis(Sizes(s), nullptr);
    EXPECT_EQ(TableOf(d), (Table{{0, 2}, {Key(1.0L / 3), 4}, {Key(4.0L / 3), 2}, {Key(3), 2}}));
  }

  d.BuildKruskalWallis(Sizes({2, 2, 2}), nullptr);
  EXPECT_EQ(d.TotalCount, 90);
  EXPECT_EQ((*d.Points)[0].X, 0);
  EXPECT_EQ((*d.Points)[0].Count, 6);
  EXPECT_NEAR(d.SupportHigh, 32.0L / 7, 1e-15);
  EXPECT_EQ(d.Points->Items().back().Count, 6);
  EXPECT_EQ(d.GroupCount, 3);
}

TEST(KruskalWallis, AgreesWithPlainEnumerationInEveryGroupOrder) {
  for (auto s : std::vector<std::vector<int>>{
           {1, 2}, {4, 3}, {1, 7}, {5, 5}, {1, 2, 3}, {3, 3, 2}, {2, 3, 4}, {1, 1, 1, 1, 1},
           {2, 2, 1, 3}, {4, 1, 4},
           // Key ranges too wide for the dense count array.
           {1, 254}, {1, 1, 200}}) {
    const Table plain = PlainKruskalWallis(s);
    std::sort(s.begin(), s.end());
    do {
      tKruskalWallis_Distribution d(Sizes(s), nullptr);
      EXPECT_EQ(TableOf(d), plain) << ::testing::PrintToString(s);
      ExpectNormalised(d);
    } while (std::next_permutation(s.begin(), s.end()));
  }
}

TEST(KruskalWallis, SizesAreCheckedBeforeTheEnumeration) {
  tKruskalWallis_Distribution d(Sizes({2, 3}), nullptr);
  const Table before = TableOf(d);
  EXPECT_EQ(Message([&] { d.BuildKruskalWallis(Sizes({5}), nullptr); }), "Value should be at least 2");
  EXPECT_EQ(Message([&] { d.BuildKruskalWallis({}, nullptr); }), "Value should be at least 2");
  EXPECT_EQ(Message([&] { d.BuildKruskalWallis(Sizes({3, 0, 4}), nullptr); }),
            "Value should be at least 1");
  EXPECT_EQ(Message([&] { d.BuildKruskalWallis(Sizes({200, 56}), nullptr); }), "Numbers too large.");
  EXPECT_THROW(d.BuildKruskalWallis(Sizes({200, 56}), nullptr), ERangeError);
  EXPECT_EQ(Message([&] { d.BuildKruskalWallis(std::vector<int32_t>(256, 1), nullptr); }),
            "Value should be less than 255");
  EXPECT_EQ(TableOf(d), before);
  EXPECT_EQ(d.GroupCount, 2);
  EXPECT_EQ(d.NameId, 929);
}

TEST(KruskalWallis, GroupSizesFromGridRows) {
  tKruskalWallis_Distribution d(Sizes({1, 1}), nullptr);
  d.SetGroupSizes({3, 0, 0, -2, 4});
  EXPECT_EQ(d.GroupSizes, Sizes({3, 4}));
  d.Rebuild(nullptr);
  EXPECT_EQ(d.GroupCount, 2);
  EXPECT_EQ(d.TotalCount, 35);
}

TEST(Friedman, KnownTables) {
  tFriedman_Distribution d(nullptr, 2, 2);
  EXPECT_EQ(TableOf(d), (Table{{0, 2}, {Key(2), 2}}));
  EXPECT_EQ(d.TotalCount, 4);
  EXPECT_EQ(d.NameId, 931);

  d.BuildFriedman(nullptr, 3, 3);
  EXPECT_EQ(d.TotalCount, 216);
  EXPECT_EQ(TableOf(d), (Table{{0, 12},
                               {Key(2.0L / 3), 90},
                               {Key(2), 36},
                               {Key(8.0L / 3), 36},
                               {Key(14.0L / 3), 36},
                               {Key(6), 6}}));
  EXPECT_EQ(d.Treatments, 3);
  EXPECT_EQ(d.Blocks, 3);
}

TEST(Friedman, AgreesWithOrderedTuples) {
  for (auto [T, B] : std::vector<std::pair<int, int>>{{2, 7}, {3, 2}, {3, 4}, {4, 2}, {4, 3}, {5, 2}}) {
    tFriedman_Distribution d(nullptr, T, B);
    EXPECT_EQ(TableOf(d), PlainFriedman(T, B)) << T << ',' << B;
    ExpectNormalised(d);
  }
}

TEST(Friedman, MultiplicitiesBeyondTwentyBlocksDoNotOverflow) {
  // 62 blocks of two treatments: 2^62 tuples; B! alone would not fit.
  tFriedman_Distribution d(nullptr, 2, 62);
  EXPECT_EQ(d.TotalCount, int64_t{1} << 62);
  // Q = 0 when 31 blocks rank each way: C(62, 31) tuples; 30 and 32 give
  // the same Q, which is the mode with 2 C(62, 30).
  EXPECT_EQ((*d.Points)[0].X, 0);
  EXPECT_EQ((*d.Points)[0].Count, 465428353255261088LL);
  EXPECT_EQ(d.MaxCount, 901767434432068358LL);
  ExpectNormalised(d);
}

TEST(Friedman, TAndBAreCheckedBeforeTheEnumeration) {
  tFriedman_Distribution d(nullptr, 3, 3);
  struct Row { long double T, B; const char* message; };
  const Row rows[] = {
      {1, 3, "Value should be at least 2"},
      {12, 2, "Value should be less than 12"},
      {3.5L, 3, "Value should be integer."},
      {3, 1, "Second parameter should be at least 2"},
      {2, 63, "Second parameter should be smaller than 63"},
      {3, 2.5L, "Second parameter should be integer."},
      {3, 25, "Second parameter should be smaller than 25"},
      {10, 3, "Second parameter should be smaller than 3"},
      {11, 2, "Numbers too large."},
      {NAN, 2, "Value should be at least 2"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(Message([&] { d.BuildFriedman(nullptr, r.T, r.B); }), r.message) << (double)r.T;
  EXPECT_EQ(d.TotalCount, 216);
  EXPECT_EQ(d.Treatments, 3);
  EXPECT_EQ(d.Points->Count(), 6);
}

// The identities every discrete type satisfies, over the table's values
// (which are not integers here).
TEST(Enumerations, TableIdentities) {
  tKruskalWallis_Distribution kw(Sizes({3, 4, 5}), nullptr);
  tFriedman_Distribution fr(nullptr, 4, 3);
  for (tEmpirical_distribution* d : std::vector<tEmpirical_distribution*>{&kw, &fr}) {
    const auto& t = d->Points->Items();
    long double running = 0;
    for (size_t i = 0; i < t.size(); ++i) {
      const long double x = t[i].X;
      running += d->PointProb(x);
      EXPECT_NEAR(d->Cdf(x), running, 1e-15);
      if (i > 0) {
        EXPECT_EQ(d->Cdf((x + t[i - 1].X) / 2), t[i - 1].CumProb);
      }
      long double p = d->Cdf(x);
      EXPECT_EQ(d->Quantile(p), x);
      EXPECT_EQ(p, d->Cdf(x));
      if (i + 1 < t.size()) {
        p = d->Cdf(x) + 1e-9L;
        EXPECT_EQ(d->Quantile(p), t[i + 1].X);
        EXPECT_EQ(p, t[i + 1].CumProb);
        EXPECT_NEAR(d->IntervalProb(x, t[i + 1].X), t[i].Prob + t[i + 1].Prob, 1e-15);
      }
    }
    EXPECT_NEAR(running, 1, 1e-15);
    EXPECT_EQ(d->MaxDensity(), d->PointProb(d->Mode));
    // Random values land on table values in proportion to their counts.
    SeedUniform(11);
    std::map<long double, int> hits;
    const int n = 20000;
    for (int i = 0; i < n; ++i) ++hits[d->RandomValue()];
    for (const auto& [x, h] : hits) {
      ASSERT_TRUE(d->InSupport(x));
      const long double e = n * d->PointProb(x);
      EXPECT_NEAR(h, e, 5 * std::sqrt(e) + 1) << (double)x;
    }
  }
}

TEST(Enumerations, ConfigurationCountsAndBlockLimit) {
  EXPECT_NEAR(KruskalWallisConfigurations(Sizes({5, 5, 5})), 756756, 1e-6);
  EXPECT_NEAR(KruskalWallisConfigurations(Sizes({6, 6, 6})), 17153136, 1e-4);
  EXPECT_NEAR(KruskalWallisConfigurations(Sizes({4, 4, 4, 4})), 63063000, 1e-3);
  EXPECT_EQ(KruskalWallisConfigurations(Sizes({4})), 0);
  EXPECT_NEAR(FriedmanConfigurations(5, 5), 225150024, 1e-2);
  EXPECT_NEAR(FriedmanConfigurations(3, 3), 56, 1e-12);
  EXPECT_EQ(FriedmanBlockLimit(2), 64);
  EXPECT_EQ(FriedmanBlockLimit(3), 25);
  EXPECT_EQ(FriedmanBlockLimit(10), 3);
  EXPECT_EQ(Message([] { FriedmanBlockLimit(1); }), "Value should be at least 2");
  // Sizes the builder refuses count as endless, at once.
  EXPECT_TRUE(std::isinf(KruskalWallisConfigurations(Sizes({1000000000, 1000000000}))));
  EXPECT_TRUE(std::isinf(FriedmanConfigurations(3, 100000)));
}

TEST(Enumerations, ProgressAndBusyCursor) {
  Recorder rec;
  tKruskalWallis_Distribution d(Sizes({4, 4, 4}), &rec);  // 34,650 configurations
  EXPECT_EQ(rec.events, 34650 / 256);
  EXPECT_EQ(rec.positions.size(), static_cast<size_t>(rec.events));
  EXPECT_TRUE(std::is_sorted(rec.positions.begin(), rec.positions.end()));
  EXPECT_EQ(rec.positions.back(), 100);
  EXPECT_EQ(rec.busyOn, 1);
  EXPECT_EQ(rec.busyOff, 1);
  EXPECT_FALSE(d.Cancelled);
}

TEST(Enumerations, CancelStopsAfterTheCurrentEvaluationWithANormalisedTable) {
  Recorder rec;
  rec.cancelAt = 2;
  tKruskalWallis_Distribution d(Sizes({5, 5, 5}), &rec);
  EXPECT_TRUE(d.Cancelled);
  EXPECT_TRUE(CancelRequested);
  EXPECT_EQ(d.TotalCount, 512);
  EXPECT_EQ(rec.events, 2);
  EXPECT_EQ(rec.busyOff, 1);
  ExpectNormalised(d);

  // The next build clears the flag and runs to the end.
  d.BuildKruskalWallis(Sizes({2, 2}), nullptr);
  EXPECT_FALSE(d.Cancelled);
  EXPECT_FALSE(CancelRequested);
  EXPECT_EQ(d.TotalCount, 6);

  Recorder fr;
  fr.cancelAt = 3;
  tFriedman_Distribution f(&fr, 4, 4);  // 17,550 multisets
  EXPECT_TRUE(f.Cancelled);
  EXPECT_EQ(fr.events, 3);
  EXPECT_LT(f.TotalCount, 331776);
  ExpectNormalised(f);
  CancelRequested = false;
}

TEST(Enumerations, AnErrorRestoresTheCursorAndKeepsTheTable) {
  tKruskalWallis_Distribution d(Sizes({2, 2}), nullptr);
  Recorder rec;
  rec.throwAt = 1;
  EXPECT_THROW(d.BuildKruskalWallis(Sizes({4, 4, 4}), &rec), std::runtime_error);
  EXPECT_EQ(rec.busyOn, 1);
  EXPECT_EQ(rec.busyOff, 1);
  EXPECT_EQ(d.TotalCount, 6);
  EXPECT_EQ(d.Points->Count(), 3);

  tFriedman_Distribution f(nullptr, 2, 2);
  Recorder fr;
  fr.throwAt = 2;
  EXPECT_THROW(f.BuildFriedman(&fr, 4, 4), std::runtime_error);
  EXPECT_EQ(fr.busyOff, 1);
  EXPECT_EQ(f.TotalCount, 4);
}

TEST(Enumerations, CommandLineTakesGroupSizesAndTB) {
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
  EXPECT_EQ(run({"931", "3,25", "cdf", "1"}),
            std::make_pair(1, std::string("Second parameter should be smaller than 25\n")));
  EXPECT_EQ(run({"931", "3", "cdf", "1"}).first, 2);
}

}  // namespace
}  // namespace vokt
