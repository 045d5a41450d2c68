#include "distrib/beta.h"

#include <gtest/gtest.h>

#include <cmath>

#include "numeric/uniform.h"

namespace vokt {
namespace {

TEST(Beta, SpecialPointsAndMode) {
  struct Row {
    Real a, b;
    Real density0, density1, mode;
    bool in0, in1;
  };
  const Row rows[] = {
      {1, 1, 1, 1, 0.5L, true, true},  {1, 3, 3, 0, 0, true, true},
      {3, 1, 0, 3, 1, true, true},     {0.5L, 0.5L, 0, 0, 1, false, false},
      {0.5L, 2, 0, 0, 0, false, true}, {2, 0.5L, 0, 0, 1, true, false},
      {2, 5, 0, 0, 0.2L, true, true},
  };
  for (const Row& r : rows) {
    BetaDistribution d(r.a, r.b);
    EXPECT_EQ(d.Density(0), r.density0) << (double)r.a << "," << (double)r.b;
    EXPECT_EQ(d.Density(1), r.density1) << (double)r.a << "," << (double)r.b;
    EXPECT_NEAR((double)d.Mode(), (double)r.mode, 1e-15) << (double)r.a << "," << (double)r.b;
    EXPECT_EQ(d.InSupport(0), r.in0) << (double)r.a << "," << (double)r.b;
    EXPECT_EQ(d.InSupport(1), r.in1) << (double)r.a << "," << (double)r.b;
    EXPECT_EQ(d.Cdf(0), 0);
    EXPECT_EQ(d.Cdf(1), 1);
  }
}

TEST(Beta, ValuesAndMoments) {
  BetaDistribution u(1, 1);
  for (Real x : {0.1L, 0.5L, 0.77L}) {
    EXPECT_NEAR((double)u.Cdf(x), (double)x, 1e-10);
    EXPECT_NEAR((double)u.Density(x), 1, 1e-9);
  }
  BetaDistribution arcsine(0.5L, 0.5L);
  EXPECT_NEAR((double)arcsine.Cdf(0.5L), 0.5, 1e-11);
  // Mode 1 lies outside the support, so the maximum is searched and capped.
  EXPECT_TRUE(std::isfinite(arcsine.MaxDensity()));
  BetaDistribution d(2, 5);
  EXPECT_NEAR((double)d.Mean(), 2.0 / 7, 1e-15);
  EXPECT_NEAR((double)d.Variance(), 10.0 / 392, 1e-15);
  EXPECT_EQ(d.NameId(), 910);
  EXPECT_THROW(d.SetParameters(0, 1, 0), ArgumentError);
  EXPECT_EQ(d.Alpha, 2);
  // The 0.01 quantile of beta(3, 1), x^3 = 0.01, lies below mean - 2 sd.
  BetaDistribution skew(3, 1);
  Real p = 0.01L;
  EXPECT_NEAR((double)skew.Quantile(p).X, std::cbrt(0.01), 1e-10);
}

// Cheng's BA with very small shapes: e^V leaves the extended range, yet the
// draws are a clean mixture of values near 0 and near 1.
TEST(Beta, TinyShapesDrawFiniteValues) {
  const struct { Real a, b, mean; } rows[] = {{1e-3L, 1e-3L, 0.5L}, {1e-3L, 3e-3L, 0.25L}};
  for (auto r : rows) {
    BetaDistribution d(r.a, r.b);
    RandomEngine engine(99);
    double s = 0;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
      const Real x = d.RandomValue(engine);
      ASSERT_TRUE(x >= 0 && x <= 1) << (double)x;
      s += (double)x;
    }
    EXPECT_NEAR(s / n, (double)r.mean, 0.02) << (double)r.a << "," << (double)r.b;
  }
}

}  // namespace
}  // namespace vokt
