#include "distrib/gamma.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "numeric/uniform.h"

namespace vokt {
namespace {

std::string ErrorText(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

TEST(Gamma, ExponentialValues) {
  ExponentialDistribution d(2);
  EXPECT_EQ(d.NameId(), 902);
  EXPECT_EQ(d.ParCount(), 1);
  EXPECT_EQ(d.Par()[1].Symbol, "@q");
  EXPECT_EQ(d.Density(0), 2);  // the shape-1 limit at 0, exactly
  EXPECT_NEAR((double)d.Density(1), 2 * std::exp(-2.0), 1e-16);
  EXPECT_NEAR((double)d.Cdf(1), 1 - std::exp(-2.0), 1e-16);
  // Directly in the upper tail: exp(-2 * 20).
  EXPECT_NEAR((double)(d.UpperTail(20) / std::exp(-40.0L)), 1, 1e-16);
  const struct {
    Real p, x;
  } quantiles[] = {{0.5L, std::log(2.0L) / 2},
                   {1e-13L, -std::log1p(-1e-13L) / 2},
                   {0.99L, std::log(100.0L) / 2}};
  for (auto q : quantiles) {
    Real p = q.p;
    EXPECT_NEAR((double)d.Quantile(p).X, (double)q.x, 1e-15 * (double)q.x) << (double)q.p;
  }
  Real e = 0;
  EXPECT_EQ(d.Quantile(e).X, 0);
  e = 1;
  EXPECT_EQ(d.Quantile(e).X, InfBound);
  EXPECT_NEAR((double)(d.UpperQuantile(1e-300L) / (std::log(1e300L) / 2)), 1, 1e-16);
  // A rate of 1e-10: the 0.25 quantile lies beyond 2^31 and the cdf there is
  // no longer 1.
  ExponentialDistribution slow(1e-10L);
  EXPECT_NEAR((double)slow.Cdf(3e9L), 0.25918177931828213, 1e-16);
  Real p = 1.5L;
  EXPECT_EQ(ErrorText([&] { d.Quantile(p).X; }), "Value should not be greater than 1");
  p = -0.1L;
  EXPECT_EQ(ErrorText([&] { d.Quantile(p).X; }), "Value should be at least 0");
}

TEST(Gamma, ParameterMessages) {
  const struct {
    const char* what;
    std::function<void()> f;
    const char* message;
  } rows[] = {
      {"exponential 0", [] { ExponentialDistribution d(0); }, "Value should be greater than 0"},
      {"chi-square 0", [] { ChiSquareDistribution d(0); }, "Value should be greater than 0"},
      {"chi-square NaN", [] { ChiSquareDistribution d(NAN); }, "Value should be greater than 0"},
      {"gamma shape", [] { GammaDistribution d(-1, 1); }, "Value should be greater than 0"},
      {"gamma rate", [] { GammaDistribution d(1, 0); },
       "Second parameter should be greater than 0"},
      {"gamma rate inf", [] { GammaDistribution d(1, INFINITY); }, "Numbers too large."},
      {"gamma rate 1e-300", [] { GammaDistribution d(1, 1e-300L); }, ""},
      {"chi-square 2.5", [] { ChiSquareDistribution d(2.5L); }, ""},
  };
  for (const auto& r : rows) EXPECT_EQ(ErrorText(r.f), r.message) << r.what;
}

// The one-parameter cases validate through the gamma's two records; a refused
// value must not leave those records (and a second grid row) behind.
TEST(Gamma, RefusedValueKeepsTheOneParameterRecords) {
  ExponentialDistribution e(3);
  EXPECT_THROW(e.SetParameters(-1, 0, 0), ArgumentError);
  EXPECT_EQ(e.ParCount(), 1);
  EXPECT_EQ(e.Par()[1].Symbol, "@q");
  EXPECT_EQ(e.Par()[1].Value, 3);
  EXPECT_EQ(e.Theta, 3);
  EXPECT_EQ(e.Lambda, 3);
  ChiSquareDistribution c(4);
  EXPECT_THROW(c.SetParameters(0, 0, 0), ArgumentError);
  EXPECT_EQ(c.ParCount(), 1);
  EXPECT_EQ(c.Par()[1].Symbol, "@n");
  EXPECT_EQ(c.Par()[1].Value, 4);
  EXPECT_EQ(c.Mean(), 4);
}

TEST(Gamma, SupportModeAndMoments) {
  struct Row {
    const char* what;
    GammaDistribution* d;
    Real mode, mean, variance, density0;
    bool zeroInSupport;
  };
  ChiSquareDistribution chi2(2), chi1(1), chi25(2.5L);
  GammaDistribution half(0.5L, 1), g32(3, 2);
  const Row rows[] = {
      {"chi-square 2", &chi2, 0, 2, 4, 0.5L, true},
      {"chi-square 1", &chi1, 0, 1, 2, 0, false},
      {"chi-square 2.5", &chi25, 0.5L, 2.5L, 5, 0, true},
      {"gamma 0.5", &half, 0, 0.5L, 0.5L, 0, false},
      {"gamma 3, 2", &g32, 1, 1.5L, 0.75L, 0, true},
  };
  for (const Row& r : rows) {
    EXPECT_NEAR((double)r.d->Mode(), (double)r.mode, 1e-15) << r.what;
    EXPECT_NEAR((double)r.d->Mean(), (double)r.mean, 1e-15) << r.what;
    EXPECT_NEAR((double)r.d->Variance(), (double)r.variance, 1e-15) << r.what;
    EXPECT_NEAR((double)r.d->Density(0), (double)r.density0, 1e-10) << r.what;
    EXPECT_EQ(r.d->InSupport(0), r.zeroInSupport) << r.what;
    EXPECT_EQ(r.d->Cdf(0), 0) << r.what;
    EXPECT_EQ(r.d->Cdf(-1), 0) << r.what;
    EXPECT_EQ(r.d->Cdf(InfBound), 1) << r.what;
  }
}

// Values the incomplete gamma function of the kernel cannot give directly:
// below its zero tolerance and beyond its argument limit (references from
// 30-digit arithmetic).
TEST(Gamma, CdfAtExtremeArguments) {
  GammaDistribution small(0.1L, 1);
  EXPECT_NEAR((double)small.Cdf(1e-13L), 0.05268164482564103, 1e-12);
  ChiSquareDistribution one(1);  // gamma(1/2, 1/2)
  EXPECT_NEAR((double)one.Cdf(6e-12L), 1.954410047609725e-06, 1e-16);
  GammaDistribution huge(2147483000.0L, 2);
  EXPECT_NEAR((double)huge.Cdf(1073745000.0L), 0.5600363422809807, 1e-6);
  GammaDistribution steep(5, 1e6L);
  EXPECT_EQ(steep.Cdf(1e4L), 1);
  EXPECT_THROW(steep.Cdf(NAN), ArgumentError);
}

TEST(Gamma, ShapeOneUsesOneUniformPerValue) {
  GammaDistribution d(1, 4);
  RandomEngine engine(77);
  const Real x = d.RandomValue(engine);
  const Real next = engine.Uniform();
  RandomEngine replay(77);
  const Real u = replay.Uniform();
  EXPECT_EQ(x, -std::log(u) / 4);
  EXPECT_EQ(next, replay.Uniform());
}

// Just above shape 1 the textbook form of the generator constants cancels
// (alpha - sqrt(2 alpha - 1) ~ (alpha - 1)^2 / 2).
TEST(Gamma, GeneratorNearShapeOne) {
  for (Real a : {1 + 1e-15L, 1 + 1e-9L, 1.001L}) {
    GammaDistribution d(a, 1);
    EXPECT_TRUE(std::isfinite(d.Gen1) && std::isfinite(d.Gen2)) << (double)a;
    EXPECT_LE(d.Gen1, 0) << (double)a;
    EXPECT_GT(d.Gen2, 0) << (double)a;
    RandomEngine engine(5);
    double s = 0;
    for (int i = 0; i < 20000; ++i) {
      const Real x = d.RandomValue(engine);
      ASSERT_TRUE(x >= 0 && std::isfinite(x)) << (double)a;
      s += (double)x;
    }
    EXPECT_NEAR(s / 20000, (double)a, 0.03) << (double)a;
  }
}

}  // namespace
}  // namespace vokt
