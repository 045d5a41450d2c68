// The p-value operations against tests/data/pvalues.csv (mpmath and exact
// fractions, scripts/pvalue_reference.py), run through vokt-cli so the
// command line's reading and printing are checked too; then the pieces the
// table cannot show: matching typed statistics, infinite arguments, refused
// levels and the axis ticks.
#include "distrib/tails.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "cli/cli.h"
#include "distrib/catalogue.h"
#include "distrib/kruskal_friedman.h"
#include "plot/axis.h"

namespace vokt {
namespace {

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::stringstream in(s);
  std::string p;
  while (std::getline(in, p, sep)) parts.push_back(p);
  return parts;
}

struct Row {
  std::string type, params, op, args, expected;
  long double tol;
};

std::vector<Row> ReadTable() {
  std::ifstream in(std::string(VOKT_TEST_DATA) + "/pvalues.csv");
  std::vector<Row> rows;
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) {
      header = false;
      continue;
    }
    const auto f = Split(line, ';');
    if (f.size() != 6) continue;
    rows.push_back({f[0], f[1], f[2], f[3], f[4], std::stold(f[5])});
  }
  return rows;
}

TEST(PValues, AgreeWithReferenceTable) {
  const auto rows = ReadTable();
  ASSERT_GE(rows.size(), 25u);
  for (const Row& r : rows) {
    std::vector<std::string> args{r.type, r.params, r.op};
    for (const auto& a : Split(r.args, ' ')) args.push_back(a);
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    SCOPED_TRACE(r.type + " " + r.params + " " + r.op + " " + r.args + " -> " + out.str() +
                 err.str());
    ASSERT_EQ(status, 0);
    const auto got = Split(out.str().substr(0, out.str().size() - 1), ' ');
    const auto want = Split(r.expected, ' ');
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
      if (want[i] == "none") {
        EXPECT_EQ(got[i], "none");
        continue;
      }
      const long double w = std::stold(want[i]), g = std::stold(got[i]);
      EXPECT_LE(std::fabs(g - w), r.tol * std::fabs(w) + 1e-300L) << "field " << i;
    }
  }
}

// The values as users quote them (R: 2 * pt(-2.3, 14), qnorm(0.975),
// qchisq(0.95, 3)), to the digits quoted; the t value also to 19 digits
// (mpmath: 0.03735027449751275510853951).
TEST(PValues, QuotedValues) {
  auto t = CreateDistribution(908);
  t->SetParameters(14, 1, 1);
  EXPECT_NEAR(TwoSidedPValue(*t, 2.3L), 0.0373502744975128L, 5e-17L);
  EXPECT_NEAR(TwoSidedPValue(*t, 2.3L), 0.0373502744975127551L, 2e-18L);
  auto z = CreateDistribution(901);
  z->SetParameters(0, 1, 1);
  const CriticalPair c = TwoSidedCritical(*z, 0.05L);
  EXPECT_NEAR(c.Upper.X, 1.959963984540054L, 1e-15L);
  EXPECT_NEAR(c.Lower.X, -1.959963984540054L, 1e-15L);
  EXPECT_NEAR(c.Upper.Level, 0.025L, 1e-18L);
  auto chi = CreateDistribution(907);
  chi->SetParameters(3, 1, 1);
  EXPECT_NEAR(UpperCritical(*chi, 0.05L).X, 7.814727903251179L, 1e-15L);
}

TEST(PValues, TypedStatisticMatchesTheTable) {
  KruskalWallisDistribution kw({0, 3, 3, 3}, nullptr);
  const Real exact = 256.0L / 45;
  // Four decimals that round the exact value: taken as that value.
  EXPECT_NEAR(SnapToTable(kw, "5.6889", 5.6889L), exact, 1e-15L);
  EXPECT_NEAR(ProbAtLeast(kw, SnapToTable(kw, "5.6889", 5.6889L)), 0.0286L, 0.00005L);
  // Not a rounding of any value, no decimals, or an exponent: unchanged.
  EXPECT_EQ(SnapToTable(kw, "5.6890", 5.6890L), 5.6890L);
  EXPECT_EQ(SnapToTable(kw, "6", 6.0L), 6.0L);
  EXPECT_EQ(SnapToTable(kw, "5.6889e0", 5.6889L), 5.6889L);
  // Types without a table are never moved.
  auto b = CreateDistribution(905);
  b->SetParameters(20, 0.4L, 1);
  EXPECT_EQ(SnapToTable(*b, "3.4", 3.4L), 3.4L);
}

TEST(PValues, UpperPValueForTestsThatRejectLarge) {
  KruskalWallisDistribution kw({0, 3, 3, 3}, nullptr);
  const Real h = 256.0L / 45;
  EXPECT_EQ(TwoSidedPValue(kw, h), ProbAtLeast(kw, h));
  EXPECT_FALSE(MirrorPoint(kw, h).Exists);
  const CriticalPair c = TwoSidedCritical(kw, 0.05L);
  EXPECT_FALSE(c.Lower.Exists);
  EXPECT_TRUE(c.Upper.Exists);
}

// A unit exponential whose upper tail is exact, and whose distribution
// function is the plain complement: an interval far out is found only
// from the upper tails.
class ExactTail : public ContinuousDistribution {
 public:
  ExactTail() {
    supportLow_ = 0;
    parCount_ = 0;
  }
  Real Density(Real x) const override { return x < 0 ? 0 : std::exp(-x); }
  Real Cdf(Real x) const override { return x < 0 ? 0 : 1 - std::exp(-x); }
  Real UpperTail(Real x) const override { return x < 0 ? 1 : std::exp(-x); }
  Real UpperQuantile(Real q) const override { return -std::log(q); }
};

TEST(PValues, FarIntervalsComeFromTheTailTheyLieIn) {
  ExactTail d;
  const Real want = std::exp(-60.0L) - std::exp(-61.0L);
  EXPECT_NEAR(IntervalProbability(d, 60, 61), want, want * 1e-17L);
  EXPECT_NEAR(ProbAtLeast(d, 60), std::exp(-60.0L), std::exp(-60.0L) * 1e-18L);
  // The upper critical value of a tiny level comes from the upper quantile.
  EXPECT_NEAR(UpperCritical(d, 1e-30L).X, 30 * std::log(10.0L), 1e-15L);
  EXPECT_NEAR(TwoSidedPValue(d, 60), 2 * std::exp(-60.0L), std::exp(-60.0L) * 1e-17L);
}

TEST(PValues, InfiniteAndHugeArguments) {
  const Real inf = std::numeric_limits<Real>::infinity();
  for (uint16_t type : {901, 905, 906, 907}) {
    auto d = CreateDistribution(type);
    if (type == 905) d->SetParameters(20, 0.4L, 1);
    if (type == 906) d->SetParameters(3, 1, 1);
    if (type == 907) d->SetParameters(3, 1, 1);
    SCOPED_TRACE(type);
    EXPECT_EQ(ProbAtLeast(*d, inf), 0);
    EXPECT_EQ(ProbAtMost(*d, -inf), 0);
    EXPECT_EQ(TwoSidedPValue(*d, inf), 0);
    EXPECT_NEAR(IntervalProbability(*d, -inf, inf), 1, 1e-18L);
    EXPECT_NEAR(IntervalProbability(*d, -1e30L, 1e30L), 1, 1e-18L);
    EXPECT_EQ(TwoSidedPValue(*d, 1e30L), 0);
    EXPECT_THROW(TwoSidedPValue(*d, std::nanl("")), std::exception);
  }
}

TEST(PValues, LevelsOutsideZeroToOneAreRefused) {
  auto z = CreateDistribution(901);
  z->SetParameters(0, 1, 1);
  for (Real a : {0.0L, 1.0L, -0.5L, 2.0L}) {
    EXPECT_THROW(LowerCritical(*z, a), ArgumentError);
    EXPECT_THROW(TwoSidedCritical(*z, a), ArgumentError);
  }
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"normal", "0,1", "critical", "0.05", "1.5"}, out, err), 1);
  EXPECT_NE(out.str().find("\nerror: "), std::string::npos);
}

TEST(PValues, CommandLineUsage) {
  for (auto args : std::vector<std::vector<std::string>>{
           {"normal", "0,1", "interval", "1"},
           {"normal", "0,1", "interval", "1", "2", "3"},
           {"normal", "0,1", "critical", "0.05", "--tail", "middle"},
           {"normal", "0,1", "critical", "0.05", "--tail"},
           {"normal", "0,1", "twosided", "1", "--tail", "left"},
           {"normal", "0,1", "critical"}}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), 2) << args.back();
    EXPECT_NE(err.str().find("usage:"), std::string::npos);
  }
}

// ---------------------------------------------------------------------------
// Axis ticks

int CharWidth(const std::string& s) { return static_cast<int>(s.size()) * 7; }

TEST(AxisTicks, RoundSpacingWithoutOverlap) {
  struct Case {
    Real lo, hi;
    int width;
  } cases[] = {{-4, 4, 600},     {-4, 4, 120},        {0, 1, 500},
               {0, 0.003L, 400}, {-3.7L, 12.2L, 700}, {1e6L, 3e6L, 300},
               {0, 60, 800},     {-1, 21, 300},       {2.5e-7L, 9e-7L, 500}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<double>(c.lo)) + ".." +
                 std::to_string(static_cast<double>(c.hi)));
    const auto ticks = AxisTicks({c.lo, c.hi}, c.width, CharWidth, 10);
    ASSERT_GE(ticks.size(), 2u);
    const Real step = ticks[1].Value - ticks[0].Value;
    const Real e = std::floor(std::log10(step) + 1e-9L);
    const Real lead = step / std::pow(10.0L, e);
    EXPECT_TRUE(std::fabs(lead - 1) < 1e-9L || std::fabs(lead - 2) < 1e-9L ||
                std::fabs(lead - 5) < 1e-9L)
        << static_cast<double>(step);
    int previousRight = -1000000;
    for (const auto& t : ticks) {
      EXPECT_GE(t.Value, c.lo - step * 1e-9L);
      EXPECT_LE(t.Value, c.hi + step * 1e-9L);
      if (t.Label.empty()) continue;
      const int left = t.Pixel - CharWidth(t.Label) / 2;
      EXPECT_GE(left, previousRight + 10);
      EXPECT_GE(left, 0);
      EXPECT_LE(left + CharWidth(t.Label), c.width);
      previousRight = left + CharWidth(t.Label);
    }
    // Not needlessly sparse: half the step would overlap or exceed the cap.
    EXPECT_LE(ticks.size() * 1u, 200u);
  }
}

TEST(AxisTicks, LabelsUseTheDecimalSeparatorAndNoMinusZero) {
  const char saved = DecimalSeparator();
  SetDecimalSeparator(',');
  const auto ticks = AxisTicks({-1, 1}, 400, CharWidth, 8);
  SetDecimalSeparator(saved);
  bool comma = false, zero = false;
  for (const auto& t : ticks) {
    if (t.Label.find(',') != std::string::npos) comma = true;
    EXPECT_EQ(t.Label.find('.'), std::string::npos);
    if (t.Value == 0) zero = t.Label == "0" || t.Label == "0,0";
  }
  EXPECT_TRUE(comma);
  EXPECT_TRUE(zero);
}

TEST(AxisTicks, EmptyOrInfiniteRangesHaveNone) {
  const Real inf = std::numeric_limits<Real>::infinity();
  EXPECT_TRUE(AxisTicks({0, 0}, 300, CharWidth, 8).empty());
  EXPECT_TRUE(AxisTicks({0, inf}, 300, CharWidth, 8).empty());
  EXPECT_TRUE(AxisTicks({0, 1}, 0, CharWidth, 8).empty());
  EXPECT_TRUE(AxisTicks({1, std::nanl("")}, 300, CharWidth, 8).empty());
}

}  // namespace
}  // namespace vokt
