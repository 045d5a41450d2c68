#include <gtest/gtest.h>

#include <cmath>

#include "distrib/inverse_gaussian.h"
#include "distrib/lognormal.h"
#include "numeric/uniform.h"

namespace vokt {
namespace {

// mu, sigma^2 or lambda, x, cdf, density: computed independently in 80-digit
// arithmetic.
struct Point {
  Real p1, p2, x, cdf, pdf;
};

TEST(Lognormal, CentreModeAndSupport) {
  LognormalDistribution d(0, 1);
  EXPECT_EQ(d.Cdf(1), 0.5L);
  EXPECT_NEAR((double)d.Density(1), 1 / std::sqrt(2 * M_PI), 1e-18);
  EXPECT_NEAR((double)d.Mode(), std::exp(-1.0), 1e-18);
  EXPECT_FALSE(d.InSupport(0));
  EXPECT_EQ(d.Density(0), 0);
  EXPECT_EQ(d.Cdf(-1), 0);
  EXPECT_EQ(d.Label(2, 3), "@s_3^^2_");
  EXPECT_EQ(d.Label(1, 3), "@m_3^");
  EXPECT_EQ(d.Label(2, 0), "@s^2_");
}

TEST(Lognormal, ValuesAgreeWithIndependentComputation) {
  // The first point lies 1e-6 standard deviations above the median, where
  // the normal cdf must not stop at 1/2.
  const Point points[] = {
      {0, 1, 1.000001L, 0.50000039894208093036L, 0.39894188145935174765L},
      {5, 5, 148, 0.49950263516817358593L, 0.0012054883308351082515L},
      {5, 5, 0.001L, 5.0390491491606679567e-8L, 0.00012398303839503304504L},
      {-2, 2, 0.01L, 0.032727812004578223181L, 5.170297022409595796L},
      {1, 0.25L, 3, 0.57817410080287317643L, 0.26083887270192594036L},
  };
  for (const Point& r : points) {
    LognormalDistribution d(r.p1, r.p2);
    EXPECT_NEAR((double)d.Cdf(r.x), (double)r.cdf, 1e-12) << (double)r.x;
    EXPECT_NEAR((double)d.Density(r.x), (double)r.pdf, 1e-15 * (double)r.pdf) << (double)r.x;
  }
}

TEST(Lognormal, MomentsAndTheirRange) {
  LognormalDistribution d(5, 5);
  EXPECT_NEAR((double)d.Mean(), std::exp(7.5), 1e-15 * std::exp(7.5));
  EXPECT_NEAR((double)d.Variance(), std::exp(20.0) - std::exp(15.0), 1e-15 * std::exp(20.0));
  // A small sigma^2: the variance is no difference of two near-equal numbers.
  d.SetParameters(0, 1e-11L, 1);
  EXPECT_NEAR((double)d.Variance(), 1e-11 * (1 + 1.5e-11), 1e-26);
  // Mean representable, variance not: only the variance is absent.
  d.SetParameters(5700, 1, 1);
  EXPECT_TRUE(d.HasMean());
  EXPECT_FALSE(d.HasVariance());
  d.SetParameters(12000, 1, 1);
  EXPECT_FALSE(d.HasMean());
  // The median e^12000 lies beyond the extended range: the quantile is the
  // support's end, +infinity, and a random value overflows.
  Real p = 0.5L;
  EXPECT_EQ(d.Quantile(p).X, d.SupportHigh());
  EXPECT_TRUE(std::isinf(d.SupportHigh()));
  RandomEngine engine(1);
  EXPECT_THROW(d.RandomValue(engine), MathError);
}

TEST(Lognormal, RefusedParametersKeepTheDistribution) {
  LognormalDistribution d(1, 2);
  const Real before = d.Cdf(3);
  EXPECT_THROW(d.SetParameters(1, 0, 1), ArgumentError);
  EXPECT_EQ(d.Cdf(3), before);
  EXPECT_EQ(d.Sigma2, 2);
  EXPECT_EQ(d.SupportLow(), 0);
}

TEST(InverseGaussian, CentreQuantileAndMoments) {
  InverseGaussianDistribution d(5, 5);
  const Real c = 0.5L + std::exp(2.0L) * std::erfc(std::sqrt(2.0L)) / 2;  // Phi(0) + e^2 Phi(-2)
  EXPECT_NEAR((double)d.Cdf(5), (double)c, 1e-15);
  Real p = c;
  EXPECT_NEAR((double)d.Quantile(p).X, 5, 1e-10);
  EXPECT_EQ(d.Variance(), 25);
  EXPECT_EQ(d.Mean(), 5);
  EXPECT_FALSE(d.InSupport(0));
  EXPECT_EQ(d.Density(0), 0);
  EXPECT_EQ(d.Cdf(0), 0);
  // With a tiny phi the textbook mode formula cancels to nothing.
  d.SetParameters(1000, 1e-3L, 1);
  EXPECT_NEAR((double)d.Mode(), 0.0003333333333332962963, 1e-25);
  EXPECT_EQ(d.Density(1e-8L), 0);  // 2.4e-21705, below the extended range
}

TEST(InverseGaussian, ValuesForSmallAndHugePhi) {
  // phi = lambda/mu from 1e-6 to 2e9; above 5678 e^(2 phi) alone overflows.
  const Point points[] = {
      {5, 5, 0.5L, 0.0040761113207110123523L, 0.043958960063725340102L},
      {5, 5, 30, 0.99515011786629782029L, 0.00067597870573180982954L},
      {1, 20, 0.5L, 0.0010629979240990315681L, 0.034001466410081367251L},
      {1, 20, 1.5L, 0.97421396968118115832L, 0.18342732751760979824L},
      {1, 10000, 0.98L, 0.021935014039779898557L, 5.3426371919147064572L},
      {1, 10000, 1.01L, 0.84135672399970359906L, 23.956906443936809442L},
      {0.001L, 1000, 0.001L, 0.50019947109033296869L, 398942.28040143267794L},
      {0.001L, 1000, 0.00099999L, 0.49621008485602767676L, 398928.31749642159362L},
      {1, 2e9L, 1.00002L, 0.81445391325595907374L, 11959.078495781470969L},
      {1, 2e9L, 0.99999L, 0.32736365168411925475L, 16143.648597701245069L},
      {1000, 0.001L, 10, 0.99202227935312391204L, 0.00039892273071400173437L},
      {2, 0.5L, 0.01L, 1.9729490102619987783e-12L, 5.0273046843091460808e-9L},
  };
  for (const Point& r : points) {
    InverseGaussianDistribution d(r.p1, r.p2);
    EXPECT_NEAR((double)d.Cdf(r.x), (double)r.cdf, 1e-11) << (double)r.p2 << " " << (double)r.x;
    EXPECT_NEAR((double)d.Density(r.x), (double)r.pdf, 1e-12 * (double)r.pdf)
        << (double)r.p2 << " " << (double)r.x;
  }
  // Far in the lower tail the cdf keeps its relative accuracy too.
  InverseGaussianDistribution d(5, 5);
  EXPECT_NEAR((double)d.Cdf(0.01L), 2.5812626818943020833e-110, 1e-120);
}

TEST(InverseGaussian, MillsRatio) {
  const struct {
    Real w, r;
  } rows[] = {
      {0, 1.2533141373155002512L},     {1, 0.65567954241879847154L},
      {4.5L, 0.21257058044203179023L}, {29.9L, 0.033407531001675071222L},
      {30, 0.033296419072497213382L},  {100, 0.0099990002998501049056L},
      {1e4L, 0.00009999999900000003L},
  };
  for (const auto& r : rows)
    EXPECT_NEAR((double)NormalMillsRatio(r.w), (double)r.r, 1e-15 * (double)r.r) << (double)r.w;
}

}  // namespace
}  // namespace vokt
