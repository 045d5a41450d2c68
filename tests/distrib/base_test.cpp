#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "distrib/distribution.h"

namespace vokt {
namespace {

// A test family: real first parameter in (0, 10), integer second in [1, 10).
class TestFamily : public ContinuousDistribution {
 public:
  TestFamily() { SetParameters(1, 2, 1); }
  void SetParameters(Real p1, Real p2, Real p3) override {
    parCount_ = parCount;
    DefineParameter(1, 0, 10, false, "a");
    DefineParameter(2, 1, 10, true, "n");
    DefineParameter(3, 0, 1, false, "c");
    ContinuousDistribution::SetParameters(p1, p2, p3);
    supportLow_ = 0;
    supportHigh_ = 1;
    mean_ = 0.5L;
    variance_ = 1.0L / 12;
  }
  Real Density(Real x) const override { return InSupport(x) ? 1 : 0; }
  Real Cdf(Real x) const override {
    if (!InSupport(x)) return ContinuousDistribution::Cdf(x);
    return x;
  }
  // A family whose variance is undefined.
  void DropVariance() { hasVariance_ = false; }
  uint8_t parCount = 2;
};

// The standard logistic with both tails computed directly: the generic
// inversion must find x in either far tail on an infinite support.
class LogisticFamily : public ContinuousDistribution {
 public:
  LogisticFamily() {
    parCount_ = 0;
    supportLow_ = -InfBound;
    supportHigh_ = InfBound;
    mean_ = 0;
    variance_ = 3.2898681336964528729L;
  }
  Real Density(Real x) const override {
    const Real e = std::exp(-std::fabs(x));
    return e / ((1 + e) * (1 + e));
  }
  Real Cdf(Real x) const override {
    return x < 0 ? std::exp(x) / (1 + std::exp(x)) : 1 / (1 + std::exp(-x));
  }
  Real UpperTail(Real x) const override { return Cdf(-x); }
};

TEST(DistributionBase, GenericQuantileInBothFarTails) {
  LogisticFamily d;
  // x = ln(p / (1 - p)); P(X > x) = q at x = ln((1 - q) / q).
  const struct {
    Real p, x;
  } lower[] = {{1e-300L, std::log(1e-300L)},
               {1e-4000L, std::log(1e-4000L)},
               {0.25L, -std::log(3.0L)},
               {0.75L, std::log(3.0L)},
               {1 - 0x1p-50L, std::log((1 - 0x1p-50L) / 0x1p-50L)}};
  for (const auto& r : lower) {
    Real p = r.p;
    EXPECT_NEAR((double)(d.Quantile(p).X / r.x), 1, 1e-14) << (double)r.x;
  }
  for (Real q : {1e-30L, 1e-300L, 1e-4900L, 0.1L, 0.9L, 1 - 1e-17L}) {
    const Real x = d.UpperQuantile(q);
    EXPECT_NEAR((double)(d.UpperTail(x) / q), 1, 1e-14) << (double)q;
  }
  const Real tiny = std::numeric_limits<Real>::denorm_min();
  Real p = tiny;
  // (The subnormal tail itself carries only a few bits there.)
  EXPECT_NEAR((double)(d.Quantile(p).X / std::log(tiny)), 1, 1e-3);
  EXPECT_EQ(d.UpperQuantile(0), InfBound);
  EXPECT_EQ(d.UpperQuantile(1), -InfBound);
  // The three probabilities add up and lie in [0, 1] everywhere.
  for (Real x : {-InfBound, -1e5L, -3.0L, 0.0L, 40.0L, InfBound}) {
    Real l, c, r;
    d.Probabilities(x, l, c, r);
    EXPECT_EQ(c, 0);
    EXPECT_NEAR((double)(l + r), 1, 1e-18);
    EXPECT_GE(l, 0);
    EXPECT_GE(r, 0);
  }
}

std::string SetMessage(TestFamily& d, Real p1, Real p2, Real p3 = 1) {
  try {
    d.SetParameters(p1, p2, p3);
  } catch (const ArgumentError& e) {
    return e.what();
  }
  return "";
}

TEST(DistributionBase, ParameterChecks) {
  struct Row {
    Real p1, p2;
    const char* message;
  };
  const Row rows[] = {
      {0, 2, "Value should be greater than 0"},
      {1e-13L, 2, "Value should be greater than 0"},
      {1e-11L, 2, ""},
      {10, 2, "Value should be less than 10"},
      {NAN, 2, "Value should be greater than 0"},
      {1, 1, ""},
      {1, 2 + 1e-12L, ""},
      {1, 0, "Second parameter should be at least 1"},
      {1, 2.5L, "Second parameter should be integer."},
      {1, 10, "Second parameter should be smaller than 10"},
      {1, INFINITY, "Second parameter should be smaller than 10"},
  };
  for (const Row& r : rows) {
    TestFamily d;
    EXPECT_EQ(SetMessage(d, r.p1, r.p2), r.message) << (double)r.p1 << " " << (double)r.p2;
  }
}

TEST(DistributionBase, RealUpperBoundUsesTheFirstParameterText) {
  TestFamily d;
  d.parCount = 3;
  EXPECT_EQ(SetMessage(d, 1, 2, 1), "Value should be less than 1");
}

TEST(DistributionBase, OnlyUsedParametersAreChecked) {
  TestFamily d;
  d.parCount = 1;
  EXPECT_EQ(SetMessage(d, 1, -5, 99), "");
}

TEST(DistributionBase, FailedCheckStoresNothingAndSuccessClearsUnset) {
  TestFamily d;
  d.MarkUnset(2, true);
  EXPECT_NE(SetMessage(d, 3, 0), "");
  EXPECT_EQ(d.Par()[1].Value, 1);  // the first passed, but nothing is stored
  EXPECT_EQ(d.Par()[2].Value, 2);
  EXPECT_TRUE(d.Par()[2].Unset);
  EXPECT_EQ(SetMessage(d, 3, 4), "");
  EXPECT_FALSE(d.Par()[2].Unset);
}

TEST(DistributionBase, CdfAndIntervalProb) {
  TestFamily d;
  EXPECT_EQ(d.Cdf(1), 1);
  EXPECT_EQ(d.Cdf(-1e-30L), 0);
  EXPECT_EQ(d.IntervalProb(0.7L, 0.2L), 0);
  EXPECT_NEAR((double)d.IntervalProb(0.25L, InfBound), 0.75, 1e-15);
  EXPECT_NEAR((double)d.IntervalProb(-InfBound, 0.25L), 0.25, 1e-15);
  EXPECT_NEAR((double)d.IntervalProb(0.25L, 0.5L), 0.25, 1e-15);
}

TEST(DistributionBase, NotANumberIsRefusedNotRecursedOn) {
  // A family on the whole line that keeps the inherited cdf.
  class WholeLine : public ContinuousDistribution {
   public:
    Real Density(Real) const override { return 0; }
  } d;
  EXPECT_THROW(d.Cdf(NAN), ArgumentError);
  EXPECT_THROW(d.IntervalProb(NAN, 1), ArgumentError);
  EXPECT_THROW(d.IntervalProb(0, NAN), ArgumentError);
}

TEST(DistributionBase, LabelsAndStdDev) {
  TestFamily d;
  EXPECT_EQ(d.Label(1, 3), "a_3^");
  EXPECT_EQ(d.Label(1, 0), "a");
  d.DropVariance();
  try {
    d.StdDev();
    FAIL();
  } catch (const ArgumentError& e) {
    EXPECT_STREQ(e.what(), "Variance -and so standard deviation- does not exist.");
  }
  EXPECT_THROW(d.Label(4, 0), RangeError);
}

TEST(DistributionBase, BareDistribution) {
  Distribution d;
  EXPECT_EQ(d.NameText(), "distribution:");
  Real p = 0.3L;
  EXPECT_EQ(d.Quantile(p).X, 0);
  p = -0.1L;
  EXPECT_THROW(d.Quantile(p), ArgumentError);
  p = 1.1L;
  EXPECT_THROW(d.Quantile(p), ArgumentError);
  EXPECT_THROW(d.MaxDensity(), std::logic_error);
}

TEST(DistributionBase, ContinuousQuantileEdgesAndCap) {
  TestFamily d;
  // Only 0 and 1 are the ends; a p within the tolerance is a real quantile.
  Real p = 0;
  EXPECT_EQ(d.Quantile(p).X, 0);
  p = 1;
  EXPECT_EQ(d.Quantile(p).X, 1);
  p = 1e-13L;
  EXPECT_NEAR((double)d.Quantile(p).X, 1e-13, 1e-27);
  p = 1 - 1e-13L;
  EXPECT_NEAR((double)d.Quantile(p).X, 1 - 1e-13, 1e-18);
  p = 0.3L;
  EXPECT_NEAR((double)d.Quantile(p).X, 0.3, 1e-11);
  EXPECT_EQ(d.Quantile(p).Probability, 0.3L);  // a continuous distribution reaches p
}

TEST(PointList, FindPoint) {
  PointTable list;
  int idx = -1;
  EXPECT_FALSE(FindPoint(list, 3, idx));
  EXPECT_EQ(idx, 0);
  for (int k : {1, 3, 5, 7}) list.Add({static_cast<Real>(k), 0, 0, 0});
  struct Row {
    Real x;
    bool found;
    int index;
  };
  const Row rows[] = {{0, false, 0}, {1, true, 0},  {3 + 1e-12L, true, 1},      {4, false, 2},
                      {7, true, 3},  {8, false, 4}, {6.9999999999999L, true, 3}};
  for (const Row& r : rows) {
    EXPECT_EQ(FindPoint(list, r.x, idx), r.found) << (double)r.x;
    EXPECT_EQ(idx, r.index) << (double)r.x;
  }
  EXPECT_THROW(list[4], RangeError);
  list.Insert(2, {4, 0, 0, 0});
  EXPECT_EQ(list[2].X, 4);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace vokt
