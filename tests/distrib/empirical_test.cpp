// Empirical table: probabilities, cdf, quantile and random values answered
// from the counts of a hand-filled table.
#include "distrib/empirical.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numeric/uniform.h"

namespace vokt {
namespace {

struct Table : tEmpirical_distribution {
  Table(std::vector<std::pair<long double, int64_t>> rows) {
    ParCount = 0;
    for (auto [x, c] : rows) {
      tPointRecord r;
      r.X = x;
      r.Count = c;
      Points->Add(r);
    }
    SetParameters(0, 0, 0);
  }
};

TEST(Empirical, SingleValue) {
  Table d({{1, 2}});
  EXPECT_EQ(d.Mean, 1);
  EXPECT_EQ(d.Variance, 0);
  EXPECT_EQ(d.XDecimals(), 0);
  EXPECT_EQ(d.Cdf(0.99L), 0);
  EXPECT_EQ(d.Cdf(1), 1);
  long double p = 0.3L;
  EXPECT_EQ(d.Quantile(p), 1);
  EXPECT_EQ(p, 1);
  EXPECT_FALSE(d.AllSingle);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(d.RandomValue(), 1);
}

TEST(Empirical, ThreeValues) {
  Table d({{0, 1}, {1, 2}, {2, 1}});
  EXPECT_EQ(d.Mode, 1);
  EXPECT_EQ(d.MaxDens, 0.5L);
  EXPECT_EQ(d.SupportLow, 0);
  EXPECT_EQ(d.SupportHigh, 2);
  EXPECT_EQ(d.Cdf(0.5L), 0.25L);
  EXPECT_EQ(d.Cdf(1), 0.75L);
  EXPECT_EQ(d.Cdf(-1), 0);
  EXPECT_EQ(d.Cdf(7), 1);
  long double p = 0.3L;
  EXPECT_EQ(d.Quantile(p), 1);
  EXPECT_EQ(p, 0.75L);
  p = 0.25L;
  EXPECT_EQ(d.Quantile(p), 0);
  EXPECT_EQ(p, 0.25L);
  EXPECT_EQ(d.PointProb(1.5L), 0);
  EXPECT_EQ(d.PointProb(1 + 1e-13L), 0.5L);
  EXPECT_TRUE(d.InSupport(1 + 1e-13L));
  EXPECT_FALSE(d.InSupport(1.5L));
  EXPECT_EQ(d.TotalCount, 4);
  EXPECT_EQ(d.MaxCount, 2);
}

TEST(Empirical, NonIntegerValuesAndIntervals) {
  Table d({{0.25L, 1}, {1.0L / 3, 3}, {2.5L, 4}});
  EXPECT_EQ(d.Cdf(1.0L / 3), 0.5L);
  EXPECT_EQ(d.IntervalProb(0.3L, 2.5L), 7.0L / 8);
  EXPECT_EQ(d.IntervalProb(0.25L, 0.25L), 1.0L / 8);
  EXPECT_EQ(d.IntervalProb(0.3L, 2.4L), 3.0L / 8);
  EXPECT_EQ(d.IntervalProb(2, 1), 0);
  tPlotRange r = d.Range();
  EXPECT_EQ(r.Left, 0.25L);
  EXPECT_EQ(r.Right, 2.5L);
  EXPECT_THROW(d.Cdf(NAN), EArgumentError);
  long double p = NAN;
  EXPECT_THROW(d.Quantile(p), EArgumentError);
}

TEST(Empirical, ModeTieKeepsTheFirstValue) {
  Table d({{0, 3}, {5, 3}});
  EXPECT_EQ(d.Mode, 0);
  EXPECT_EQ(d.Mean, 2.5L);
}

TEST(Empirical, XDecimalsFollowTheStandardDeviation) {
  struct Row { long double half; int decimals; };
  for (Row r : {Row{1, 3}, Row{2, 2}, Row{200, 0}}) {
    Table d({{-r.half, 1}, {r.half, 1}});  // standard deviation = half
    EXPECT_EQ(d.XDecimals(), r.decimals) << (double)r.half;
  }
}

TEST(Empirical, AllSingleDrawsWithOneUniformNumber) {
  Table d({{1, 1}, {2, 1}, {4, 1}, {8, 1}});
  EXPECT_TRUE(d.AllSingle);
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    SeedUniform(seed);
    const long double x = d.RandomValue();
    const long double after = Uniform();
    SeedUniform(seed);
    const long double u = Uniform();
    EXPECT_EQ(x, (*d.Points)[static_cast<int>(u * 4)].X);
    EXPECT_EQ(after, Uniform());
  }
}

TEST(Empirical, RandomFrequenciesFollowTheCounts) {
  Table d({{0, 1}, {1, 2}, {2, 1}});
  SeedUniform(7);
  int hits[3] = {0, 0, 0};
  const int n = 40000;
  for (int i = 0; i < n; ++i) ++hits[static_cast<int>(d.RandomValue())];
  EXPECT_NEAR(hits[0] / double(n), 0.25, 0.01);
  EXPECT_NEAR(hits[1] / double(n), 0.5, 0.01);
  EXPECT_NEAR(hits[2] / double(n), 0.25, 0.01);
}

}  // namespace
}  // namespace vokt

namespace vokt {
namespace {

// Upper tails are summed from the top, the lower look-up is tolerant before
// the support's low end is tested, quantiles come from either tail.
TEST(Empirical, UpperTailsAndBothQuantiles) {
  struct T : tEmpirical_distribution {
    T() {
      ParCount = 0;
      for (auto [x, c] : std::vector<std::pair<long double, int64_t>>{{0, 1}, {1, 2}, {2, 1}}) {
        tPointRecord r;
        r.X = x;
        r.Count = c;
        Points->Add(r);
      }
      SetParameters(0, 0, 0);
    }
  } d;
  EXPECT_EQ(d.UpperTail(-1), 1);
  EXPECT_EQ(d.UpperTail(0), 0.75L);
  EXPECT_EQ(d.UpperTail(1 - 1e-13L), 0.25L);
  EXPECT_EQ(d.UpperTail(1.5L), 0.25L);
  EXPECT_EQ(d.UpperTail(2), 0);
  EXPECT_EQ(d.Cdf(-1e-13L), 0.25L);  // within Eps of the lowest point
  EXPECT_EQ(d.Cdf(-1e-9L), 0);
  EXPECT_EQ(d.UpperQuantile(0.25L), 1);
  EXPECT_EQ(d.UpperQuantile(0.2L), 2);
  EXPECT_EQ(d.UpperQuantile(1), 0);
  EXPECT_EQ(d.IntervalProb(1, 2), 0.75L);
}

}  // namespace
}  // namespace vokt
