// Empirical table: probabilities, cdf, quantile and random values answered
// from the counts of a hand-filled table.
#include "distrib/empirical.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numeric/uniform.h"

namespace vokt {
namespace {

struct Table : EmpiricalDistribution {
  Table(std::vector<std::pair<long double, int64_t>> rows) {
    parCount_ = 0;
    for (auto [x, c] : rows) {
      PointRecord r;
      r.X = x;
      r.Count = c;
      points_->Add(r);
    }
    SetParameters(0, 0, 0);
  }
};

TEST(Empirical, SingleValue) {
  Table d({{1, 2}});
  EXPECT_EQ(d.Mean(), 1);
  EXPECT_EQ(d.Variance(), 0);
  EXPECT_EQ(d.XDecimals(), 0);
  EXPECT_EQ(d.Cdf(0.99L), 0);
  EXPECT_EQ(d.Cdf(1), 1);
  long double p = 0.3L;
  EXPECT_EQ(d.Quantile(p).X, 1);
  EXPECT_EQ(d.Quantile(p).Probability, 1);
  EXPECT_FALSE(d.AllSingle);
  RandomEngine engine(1);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(d.RandomValue(engine), 1);
}

TEST(Empirical, ThreeValues) {
  Table d({{0, 1}, {1, 2}, {2, 1}});
  EXPECT_EQ(d.Mode(), 1);
  EXPECT_EQ(d.MaxDens(), 0.5L);
  EXPECT_EQ(d.SupportLow(), 0);
  EXPECT_EQ(d.SupportHigh(), 2);
  EXPECT_EQ(d.Cdf(0.5L), 0.25L);
  EXPECT_EQ(d.Cdf(1), 0.75L);
  EXPECT_EQ(d.Cdf(-1), 0);
  EXPECT_EQ(d.Cdf(7), 1);
  long double p = 0.3L;
  EXPECT_EQ(d.Quantile(p).X, 1);
  EXPECT_EQ(d.Quantile(p).Probability, 0.75L);
  p = 0.25L;
  EXPECT_EQ(d.Quantile(p).X, 0);
  EXPECT_EQ(d.Quantile(p).Probability, 0.25L);
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
  GraphRange r = d.Range();
  EXPECT_EQ(r.Left, 0.25L);
  EXPECT_EQ(r.Right, 2.5L);
  EXPECT_THROW(d.Cdf(NAN), ArgumentError);
  long double p = NAN;
  EXPECT_THROW(d.Quantile(p), ArgumentError);
}

TEST(Empirical, ModeTieKeepsTheFirstValue) {
  Table d({{0, 3}, {5, 3}});
  EXPECT_EQ(d.Mode(), 0);
  EXPECT_EQ(d.Mean(), 2.5L);
}

TEST(Empirical, XDecimalsFollowTheStandardDeviation) {
  struct Row {
    long double half;
    int decimals;
  };
  for (Row r : {Row{1, 3}, Row{2, 2}, Row{200, 0}}) {
    Table d({{-r.half, 1}, {r.half, 1}});  // standard deviation = half
    EXPECT_EQ(d.XDecimals(), r.decimals) << (double)r.half;
  }
}

TEST(Empirical, AllSingleDrawsWithOneUniformNumber) {
  Table d({{1, 1}, {2, 1}, {4, 1}, {8, 1}});
  EXPECT_TRUE(d.AllSingle);
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    RandomEngine engine(seed);
    const long double x = d.RandomValue(engine);
    const long double after = engine.Uniform();
    RandomEngine replay(seed);
    const long double u = replay.Uniform();
    EXPECT_EQ(x, (*d.Points())[static_cast<int>(u * 4)].X);
    EXPECT_EQ(after, replay.Uniform());
  }
}

TEST(Empirical, RandomFrequenciesFollowTheCounts) {
  Table d({{0, 1}, {1, 2}, {2, 1}});
  RandomEngine engine(7);
  int hits[3] = {0, 0, 0};
  const int n = 40000;
  for (int i = 0; i < n; ++i) ++hits[static_cast<int>(d.RandomValue(engine))];
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
  struct T : EmpiricalDistribution {
    T() {
      parCount_ = 0;
      for (auto [x, c] : std::vector<std::pair<long double, int64_t>>{{0, 1}, {1, 2}, {2, 1}}) {
        PointRecord r;
        r.X = x;
        r.Count = c;
        points_->Add(r);
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

// P(X < x) of a table whose values are not integers comes from the point
// below in the table: at 1 it is P(X <= 0.9), not P(X <= 0) (x - 1); the three
// probabilities add up to 1 at and between the points, and p = 1 or p next to
// 1 gives the last point even when its upper tails are far below 1e-15.
TEST(Empirical, StrictLowerTailAndTopQuantileOnNonIntegerValues) {
  Table d({{0, 1}, {0.9L, 2}, {1, 3}, {2.5L, 4}});
  struct Row {
    long double x, below;
  } rows[] = {{-1, 0},       {0, 0},    {0.5L, 0.1L},       {0.9L, 0.1L},
              {0.95L, 0.3L}, {1, 0.3L}, {1 + 1e-13L, 0.3L}, {2, 0.6L},
              {2.5L, 0.6L},  {3, 1}};
  for (const Row& r : rows) {
    long double left, central, right;
    d.Probabilities(r.x, left, central, right);
    EXPECT_NEAR(left, r.below, 1e-18L) << (double)r.x;
    EXPECT_NEAR(d.StrictLowerTail(r.x), r.below, 1e-18L) << (double)r.x;
    EXPECT_NEAR(left + central + right, 1, 1e-18L) << (double)r.x;
  }
  EXPECT_NEAR(d.IntervalProb(0.9L, 1), 0.5L, 1e-18L);
  for (long double p : {1.0L, 0.7L, 0.61L, 0.6L}) {
    long double pp = p;
    EXPECT_EQ(d.Quantile(pp).X, p > 0.6L ? 2.5L : 1) << (double)p;
  }

  // A last point of probability 1e-18: Quantile(1) is that point, and
  // Quantile(1 - 1e-16) stops at the one below.
  Table far({{0, 1000000000000000000}, {1, 1}});
  long double one = 1, near = 1 - 1e-16L;
  EXPECT_EQ(far.Quantile(one).X, 1);
  EXPECT_EQ(far.Quantile(one).Probability, 1);
  EXPECT_EQ(far.Quantile(near).X, 0);
}

}  // namespace
}  // namespace vokt
