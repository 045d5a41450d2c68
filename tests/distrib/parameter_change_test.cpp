// A refused parameter change leaves the distribution exactly as it was: the
// parameter records (their Unset flags and range hints too), the support, the
// moments, the mode, the point table and what the distribution computes, bit
// for bit, whichever way the new set fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "distrib/catalogue.h"
#include "distrib/distribution.h"
#include "distrib/kruskal_friedman.h"
#include "distrib/rank_sums.h"

namespace vokt {
namespace {

// The same value bit for bit (a NaN matches a NaN, 0 does not match -0).
bool Same(Real a, Real b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b && std::signbit(a) == std::signbit(b);
}

// Everything a parameter change may touch, and a few evaluations.
struct State {
  uint16_t nameId = 0;
  int parCount = 0;
  std::array<Parameter, 4> par;
  Real low = 0, high = 0, mean = 0, variance = 0, mode = 0, maxDens = 0;
  bool hasMean = false, hasVariance = false;
  const PointTable* table = nullptr;
  std::vector<PointRecord> points;
  std::vector<Real> values;  // Cdf, UpperTail, Quantile, UpperQuantile

  explicit State(const Distribution& d)
      : nameId(d.NameId()),
        parCount(d.ParCount()),
        par(d.Par()),
        low(d.SupportLow()),
        high(d.SupportHigh()),
        mean(d.Mean()),
        variance(d.Variance()),
        mode(d.Mode()),
        maxDens(d.MaxDens()),
        hasMean(d.HasMean()),
        hasVariance(d.HasVariance()),
        table(d.Points()) {
    if (d.Points()) points = d.Points()->Items();
    for (Real p : {0.1L, 0.5L, 0.9L}) {
      const QuantileResult q = d.Quantile(p);
      values.insert(values.end(), {q.X, q.Probability, d.Cdf(q.X), d.UpperTail(q.X)});
    }
    for (Real q : {0.05L, 0.5L}) values.push_back(d.UpperQuantile(q));
  }
};

// The differences between two states, one line each ("" when equal).
// Records are compared when records is true.
std::string Differences(const State& a, const State& b, bool records) {
  std::string r;
  auto check = [&r](bool same, const std::string& what) {
    if (!same) r += what + "\n";
  };
  check(a.nameId == b.nameId, "name");
  check(a.parCount == b.parCount, "parameter count");
  if (records) {
    for (size_t i = 1; i < a.par.size(); ++i) {
      const Parameter &p = a.par[i], &q = b.par[i];
      check(p.Unset == q.Unset && Same(p.Value, q.Value) && p.IsInteger == q.IsInteger &&
                Same(p.Low, q.Low) && Same(p.High, q.High) && p.Symbol == q.Symbol &&
                p.RangeHint == q.RangeHint,
            "record " + std::to_string(i));
    }
    check(a.table == b.table, "point table object");
  }
  check(Same(a.low, b.low) && Same(a.high, b.high), "support");
  check(a.hasMean == b.hasMean && a.hasVariance == b.hasVariance && Same(a.mean, b.mean) &&
            Same(a.variance, b.variance),
        "moments");
  check(Same(a.mode, b.mode) && Same(a.maxDens, b.maxDens), "mode");
  bool samePoints = a.points.size() == b.points.size();
  for (size_t i = 0; samePoints && i < a.points.size(); ++i) {
    const PointRecord &p = a.points[i], &q = b.points[i];
    samePoints =
        Same(p.X, q.X) && Same(p.Prob, q.Prob) && Same(p.CumProb, q.CumProb) && p.Count == q.Count;
  }
  check(samePoints, "point table");
  bool sameValues = a.values.size() == b.values.size();
  for (size_t i = 0; sameValues && i < a.values.size(); ++i)
    sameValues = Same(a.values[i], b.values[i]);
  check(sameValues, "evaluations");
  return r;
}

struct Refused {
  Real p1, p2, p3;
  const char* message;
};

struct FamilyCase {
  uint16_t type;
  Real p1, p2, p3;  // a valid set other than the defaults
  std::vector<Refused> refused;
};

const Real kNaN = NAN, kInf = INFINITY;

// Every family, refused by its first parameter, by a later one, by a
// combination only the family rejects, by a table too large and by
// "Numbers too large." where it has them.
const std::vector<FamilyCase>& Cases() {
  static const std::vector<FamilyCase> cases = {
      {901,
       2,
       4,
       2,
       {{kNaN, 1, 1, "Numbers too large."},
        {0, -1, 1, "Second parameter should be greater than 0"},
        {0, 1, -1, "Third parameter should be greater than 0"}}},
      {902,
       2,
       0,
       0,
       {{0, 0, 0, "Value should be greater than 0"}, {kInf, 0, 0, "Numbers too large."}}},
      {903,
       -1,
       3,
       0,
       {{5, 3, 0, "Value should be less than 3"},
        {0, kNaN, 0, "This is not a number."},
        {1, 1, 0, "Value should be less than 1"}}},
      {904,
       0.3L,
       0,
       0,
       {{0, 0, 0, "Second parameter should be greater than 0"},
        {1, 0, 0, "Value should be less than 1"}}},
      {905,
       20,
       0.3L,
       0,
       {{0, 0.5L, 0, "Value should be at least 1"},
        {10, 1, 0, "Value should be less than 1"},
        {3e9L, 0.5L, 0, "Numbers too large."}}},
      {906,
       7.5L,
       0,
       0,
       {{0, 0, 0, "Value should be greater than 0"},
        {kInf, 0, 0, "Numbers too large."},
        {1e13L, 0, 0, "Numbers too large."}}},
      {907,
       3,
       0,
       0,
       {{0, 0, 0, "Value should be greater than 0"}, {kInf, 0, 0, "Numbers too large."}}},
      {908, 3, 0, 0, {{0, 0, 0, "Value should be greater than 0"}}},
      {909,
       3,
       7,
       0,
       {{0, 5, 0, "Value should be greater than 0"},
        {5, 0, 0, "Second parameter should be greater than 0"}}},
      {910,
       2,
       3,
       0,
       {{0, 5, 0, "Value should be greater than 0"},
        {5, 0, 0, "Second parameter should be greater than 0"},
        {1e4932L, 1e4932L, 0, "Numbers too large."}}},
      {911,
       2,
       3,
       0,
       {{0, 5, 0, "Value should be greater than 0"},
        {5, 0, 0, "Second parameter should be greater than 0"}}},
      {912,
       20,
       7,
       5,
       {{1, 1, 1, "Value should be at least 2"},
        {10, 10, 3, "Second parameter should be smaller than 10"},
        {4, 5, 3, "Second parameter should be smaller than 4"},
        {10, 5, 10, "Third parameter should be less than 10"},
        {3e9L, 5, 3, "Numbers too large."}}},
      {913,
       2,
       3,
       0,
       {{0, 5, 0, "Value should be greater than 0"},
        {5, 0, 0, "Second parameter should be greater than 0"}}},
      {914,
       2,
       3,
       0,
       {{kNaN, 5, 0, "Numbers too large."},
        {5, 0, 0, "Second parameter should be greater than 0"}}},
      {915,
       2,
       3,
       0,
       {{0, 5, 0, "Value should be greater than 0"},
        {5, 0, 0, "Second parameter should be greater than 0"}}},
      {916,
       2,
       3,
       0,
       {{kNaN, 5, 0, "Numbers too large."},
        {5, 0, 0, "Second parameter should be greater than 0"}}},
      {917,
       2,
       3,
       0,
       {{kNaN, 5, 0, "Numbers too large."},
        {5, 0, 0, "Second parameter should be greater than 0"}}},
      {918,
       1,
       0.5L,
       0,
       {{kNaN, 5, 0, "Numbers too large."},
        {5, 0, 0, "Second parameter should be greater than 0"}}},
      {919,
       2,
       3,
       0,
       {{kNaN, 5, 0, "Numbers too large."},
        {5, 0, 0, "Second parameter should be greater than 0"}}},
      {920,
       -3,
       8,
       0,
       {{1.5L, 3, 0, "Value should be integer."},
        {3, 3, 0, "Second parameter should be at least 4"},
        {0, 2e7L, 0, "Numbers too large."},
        {1, 1e19L, 0, "Numbers too large."}}},
      {921,
       3,
       0.4L,
       0,
       {{0, 0.5L, 0, "Value should be at least 1"},
        {5, 1, 0, "Value should be less than 1"},
        {1, 1e-9L, 0, "Numbers too large."},
        {2e9L, 1e-3L, 0, "Numbers too large."}}},
      {922,
       0.3L,
       0,
       0,
       {{0, 0, 0, "Second parameter should be greater than 0"},
        {1e-9L, 0, 0, "Numbers too large."}}},
      {923,
       3,
       2,
       0,
       {{0, 1, 0, "Value should be greater than 0"},
        {5, -1, 0, "Second parameter should be greater than -0.000000000005"},
        {5, 1e30L, 0, "Numbers too large."}}},
      {924,
       3,
       7,
       2,
       {{0, 5, 1, "Value should be greater than 0"},
        {5, 0, 1, "Second parameter should be greater than 0"},
        {5, 5, -1, "Third parameter should be greater than -0.000000000005"},
        {5, 5, 1e30L, "Numbers too large."}}},
      {925,
       3,
       1.5L,
       0,
       {{0, 1, 0, "Value should be greater than 0"},
        {5, 1e30L, 0, "Numbers too large."},
        {kInf, 1, 0, "Numbers too large."}}},
      {926,
       8,
       0,
       0,
       {{0, 0, 0, "Value should be at least 1"},
        {2.5L, 0, 0, "Value should be integer."},
        {200000, 0, 0, "Numbers too large."}}},
      {927,
       4,
       6,
       0,
       {{0, 3, 0, "Value should be at least 1"},
        {3, 0, 0, "Second parameter should be at least 1"},
        {25000, 25000, 0, "Numbers too large."},
        {200000, 3, 0, "Numbers too large."}}},
      {928,
       4,
       6,
       0,
       {{0, 3, 0, "Value should be at least 1"},
        {3, 2.5L, 0, "Second parameter should be integer."},
        {25000, 25000, 0, "Numbers too large."}}},
      {929,
       2,
       0,
       0,
       {{1, 0, 0, "Value should be at least 2"}, {300, 0, 0, "Value should be less than 255"}}},
      {930,
       2,
       3,
       0,
       {{0, 5, 0, "Value should be greater than 0"},
        {5, 0, 0, "Second parameter should be greater than 0"}}},
      {932,
       2,
       3,
       1,
       {{0, 5, 1, "Value should be greater than 0"},
        {5, 0, 1, "Second parameter should be greater than 0"},
        {5, 5, -1, "Third parameter should be greater than -0.00000000001"},
        {5, 5, 1e30L, "Numbers too large."}}},
      {931,
       3,
       4,
       0,
       {{1, 3, 0, "Value should be at least 2"},
        {3, 64, 0, "Second parameter should be smaller than 63"}}},
  };
  return cases;
}

std::string Refusal(Distribution& d, const Refused& r) {
  try {
    d.SetParameters(r.p1, r.p2, r.p3);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(accepted)";
}

TEST(ParameterChange, ARefusedSetLeavesTheDistributionAsItWas) {
  std::vector<uint16_t> covered;
  for (const FamilyCase& c : Cases()) {
    auto d = CreateDistribution(c.type);
    ASSERT_TRUE(d) << c.type;
    ASSERT_EQ(d->NameId(), c.type);
    covered.push_back(c.type);
    // Fresh from the catalogue, every record still unset; then with a set
    // of its own.
    for (int round = 0; round < 2; ++round) {
      if (round == 1) {
        ASSERT_NO_THROW(d->SetParameters(c.p1, c.p2, c.p3)) << c.type;
        for (int i = 1; i <= d->ParCount(); ++i) EXPECT_FALSE(d->Par()[i].Unset) << c.type;
      }
      const State before(*d);
      for (const Refused& r : c.refused) {
        EXPECT_EQ(Refusal(*d, r), r.message)
            << c.type << " " << (double)r.p1 << " " << (double)r.p2;
        EXPECT_EQ(Differences(before, State(*d), true), "")
            << c.type << " " << (double)r.p1 << " " << (double)r.p2 << " " << (double)r.p3;
      }
    }
    // A refusal leaves no trace: the valid set again gives what it gave.
    const State applied(*d);
    d->SetParameters(c.p1, c.p2, c.p3);
    EXPECT_EQ(Differences(applied, State(*d), false), "") << c.type;
  }
  // Every family is in the table.
  for (uint16_t t : AvailableTypes())
    EXPECT_NE(std::find(covered.begin(), covered.end(), t), covered.end()) << t;
}

// The rank tables' builders check before they change anything.
TEST(ParameterChange, RefusedRankTableSizesChangeNothing) {
  KruskalWallisDistribution kw({0, 2, 3});
  FriedmanDistribution fr(nullptr, 3, 4);
  const State kwBefore(kw), frBefore(fr);
  const struct {
    std::function<void()> act;
    const Distribution& d;
    const State& before;
    const char* message;
  } cases[] = {
      {[&] {
         kw.PrepareKruskalWallis({0, 3});
       },
       kw, kwBefore, "Value should be at least 2"},
      {[&] {
         kw.PrepareKruskalWallis({0, 200, 200});
       },
       kw, kwBefore, "Numbers too large."},
      {[&] { kw.InstallKruskalWallis({0}, RankTable{}); }, kw, kwBefore,
       "Value should be at least 2"},
      {[&] {
         kw.BuildKruskalWallis({0, 2, 0});
       },
       kw, kwBefore, "Value should be at least 1"},
      {[&] { fr.PrepareFriedman(13, 3); }, fr, frBefore, "Value should be less than 12"},
      {[&] { fr.PrepareFriedman(11, 62); }, fr, frBefore, "Numbers too large."},
      {[&] { fr.InstallFriedman(3, 1, RankTable{}); }, fr, frBefore,
       "Second parameter should be at least 2"},
  };
  for (const auto& c : cases) {
    std::string message = "(accepted)";
    try {
      c.act();
    } catch (const std::exception& e) {
      message = e.what();
    }
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(Differences(c.before, State(c.d), true), "") << c.message;
  }
}

// A parameter change of a rank-sum distribution keeps its control and the
// counts prepared for other sizes; counts prepared for its sizes are taken.
TEST(ParameterChange, RankSumsKeepTheirControlAndOtherPreparedCounts) {
  const struct {
    Real p1, p2;
    bool taken;
  } cases[] = {{4, 5, true}, {5, 4, false}, {6, 6, false}};
  for (const auto& c : cases) {
    MannWhitneyDistribution d(3, 3);
    const RankControl control;
    d.Control = &control;
    // Counts for 4 and 5 that are not the true ones: taken, they show.
    std::vector<Real> counts(11, 1);
    d.Prepared = RankSumBase::PreparedCounts{4, 5, counts};
    d.SetParameters(c.p1, c.p2, 0);
    EXPECT_EQ(d.Control, &control) << c.p1;
    EXPECT_EQ(d.Prepared.has_value(), !c.taken) << c.p1;
    EXPECT_EQ(d.PointProb(0) == d.PointProb(2), c.taken) << c.p1;
    if (d.Prepared) {
      EXPECT_EQ(d.Prepared->First, 4) << c.p1;
      EXPECT_EQ(d.Prepared->Counts, counts) << c.p1;
    }
  }
}

}  // namespace
}  // namespace vokt
