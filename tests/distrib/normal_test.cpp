#include "distrib/normal.h"

#include <gtest/gtest.h>

#include <cmath>

#include "distrib/catalogue.h"
#include "numeric/uniform.h"

namespace vokt {
namespace {

TEST(Normal, Values) {
  NormalDistribution d(0, 1);
  EXPECT_EQ(d.Cdf(0), 0.5L);
  EXPECT_NEAR((double)d.Cdf(1.96L), 0.9750021048517795, 1e-12);
  EXPECT_NEAR((double)d.Density(0), 1 / std::sqrt(2 * M_PI), 1e-15);
  for (Real dx : {0.1L, 1.0L, 2.5L, 7.0L})
    EXPECT_NEAR((double)(d.Cdf(-dx) + d.Cdf(dx)), 1, 1e-15) << (double)dx;
  // Far tails are exact 0 and 1 rather than an argument error.
  EXPECT_EQ(d.Cdf(1e10L), 1);
  EXPECT_EQ(d.Cdf(-1e10L), 0);
  EXPECT_EQ(d.Cdf(1e300L), 1);
  EXPECT_THROW(d.Cdf(NAN), ArgumentError);
}

TEST(Normal, Parameters) {
  NormalDistribution d(0, 1);
  d.SetParameters(5, 4, 3);
  EXPECT_EQ(d.Sigma, 2);
  EXPECT_EQ(d.Mean(), 5);
  EXPECT_EQ(d.Variance(), 4);
  EXPECT_THROW(d.SetParameters(0, 0, 1), ArgumentError);
  try {
    d.SetParameters(0, 1, 0);
    FAIL();
  } catch (const ArgumentError& e) {
    EXPECT_STREQ(e.what(), "Third parameter should be greater than 0");
  }
  EXPECT_EQ(d.Label(2, 3), "@s_3^^2_");
  EXPECT_EQ(d.Label(1, 3), "@m_3^");
}

TEST(Normal, QuantileDecimalsAndMaximum) {
  NormalDistribution d(0, 1);
  Real p = 0.975L;
  EXPECT_NEAR((double)d.Quantile(p).X, 1.959963984540054, 1e-10);
  p = 0.5L;
  EXPECT_NEAR((double)d.Quantile(p).X, 0, 5e-12);
  p = 1e-13L;
  EXPECT_LT(d.Quantile(p).X, -7);
  EXPECT_TRUE(std::isfinite(d.Quantile(p).X));
  EXPECT_EQ(d.XDecimals(), 3);
  NormalDistribution wide(0, 10000);
  EXPECT_EQ(wide.XDecimals(), 1);
  NormalDistribution wider(0, 1e6);
  EXPECT_EQ(wider.XDecimals(), 0);
  // The cap 5 / (8 sigma) lies above the normal's peak 0.3989 / sigma.
  EXPECT_NEAR((double)d.MaxDensity(), 0.3989422804014327, 1e-15);
  NormalDistribution narrow(0, 0.0001L);
  EXPECT_NEAR((double)narrow.MaxDensity(), 39.89422804014327, 1e-11);
}

TEST(Normal, RandomValuesMatchTheMoments) {
  RandomEngine engine(12345);
  NormalDistribution d(3, 4);
  const int n = 200000;
  double s = 0, s2 = 0;
  for (int i = 0; i < n; ++i) {
    double x = (double)d.RandomValue(engine);
    s += x;
    s2 += x * x;
  }
  double mean = s / n, var = s2 / n - mean * mean;
  EXPECT_NEAR(mean, 3, 0.02);
  EXPECT_NEAR(var, 4, 0.05);
}

TEST(Catalogue, DefaultsAndHints) {
  auto d = CreateDistribution(901);
  EXPECT_EQ(d->NameId(), 901);
  EXPECT_EQ(d->ParCount(), 3);
  for (int i = 1; i <= 3; ++i) EXPECT_TRUE(d->Par()[i].Unset);
  EXPECT_EQ(d->Par()[1].RangeHint, "");
  EXPECT_EQ(d->Par()[2].RangeHint, "@s^2_ > 0");
  EXPECT_EQ(d->Par()[3].RangeHint, "@s > 0");
  EXPECT_EQ(CreateDistribution(999)->NameId(), 900);
  std::array<Parameter, 4> values;
  values[1].Value = 2;
  values[2].Value = 9;
  values[3].Value = 3;
  auto e = CreateDistribution(901, values, false);
  EXPECT_EQ(e->Mean(), 2);
  EXPECT_FALSE(e->Par()[2].Unset);
  EXPECT_EQ(FindType("Normal"), 901);
  EXPECT_EQ(FindType("901"), 901);
  EXPECT_EQ(FindType("nonsense"), 0);
  EXPECT_EQ(FindType(""), 0);
  EXPECT_EQ(FindType("99999999999999999999"), 0);
}

}  // namespace
}  // namespace vokt
