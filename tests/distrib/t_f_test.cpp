#include "distrib/t_f.h"

#include <gtest/gtest.h>

#include <string>

#include <memory>

#include <limits>

#include <cmath>

#include "distrib/normal.h"

namespace vokt {
namespace {

TEST(TDistribution, CauchyAndMoments) {
  StudentTDistribution c(1);
  EXPECT_NEAR((double)c.Cdf(1), 0.75, 1e-11);
  EXPECT_NEAR((double)c.Density(0), 1 / M_PI, 1e-10);
  EXPECT_FALSE(c.HasMean());
  EXPECT_FALSE(c.HasVariance());
  const GraphRange r = c.Range();  // from the 0.005 and 0.995 quantiles
  EXPECT_NEAR((double)r.Left, std::tan(M_PI * (0.005 - 0.5)), 1e-8);
  EXPECT_NEAR((double)r.Right, -std::tan(M_PI * (0.005 - 0.5)), 1e-8);
  StudentTDistribution two(2);
  EXPECT_TRUE(two.HasMean());
  EXPECT_FALSE(two.HasVariance());
  try {
    two.StdDev();
    FAIL();
  } catch (const ArgumentError& e) {
    EXPECT_STREQ(e.what(), "Variance -and so standard deviation- does not exist.");
  }
  StudentTDistribution five(5);
  EXPECT_NEAR((double)five.Variance(), 5.0 / 3, 1e-15);
  EXPECT_EQ(five.NameId(), 908);
  EXPECT_EQ(five.Gen > 0, true);
  StudentTDistribution one(1);
  EXPECT_NEAR((double)one.Gen, 1, 1e-15);
  // Large nu: the ratio-of-uniforms bound tends to the normal's sqrt(2/e).
  StudentTDistribution big(1e9L);
  EXPECT_NEAR((double)big.Gen, 0.8577638849607068, 1e-8);
}

// Exact values for large degrees of freedom (30-digit references).  A normal
// or chi-square limit for df above 1000 would be off by 1e-4 (t) up to 0.08
// (F with both df large).
TEST(TDistribution, LargeDegreesOfFreedomAreExact) {
  const struct {
    Real nu, x, cdf, pdf;
  } rows[] = {
      {1001, 2, 0.977114961723289854L, 0.0540850801719465520L},
      {999, 2, 0.977114691513121499L, 0.0540852680348771325L},
      {2000, 2, 0.977182363344152593L, 0.0540381393638389361L},
      {2000, -3, 0.00136657188101639970L, 0.00446621601169309699L},
      {1e6L, 1, 0.841344625083210935L, 0.241970603533831501L},
  };
  for (auto r : rows) {
    StudentTDistribution d(r.nu);
    EXPECT_NEAR((double)d.Cdf(r.x), (double)r.cdf, 1e-10) << (double)r.nu;
    EXPECT_NEAR((double)d.Density(r.x), (double)r.pdf, 1e-9 * (double)r.pdf) << (double)r.nu;
    EXPECT_NEAR((double)(d.Cdf(-r.x) + d.Cdf(r.x)), 1, 1e-15) << (double)r.nu;
  }
  // Far beyond |x| = 65536, where x^2/2 would exceed the incomplete gamma
  // function's argument limit.
  StudentTDistribution d(5000);
  EXPECT_EQ(d.Cdf(1e6L), 1);
  EXPECT_EQ(d.Cdf(-1e6L), 0);
}

TEST(FDistribution, LargeDegreesOfFreedomAreExact) {
  const struct {
    Real m, n, x, cdf;
  } rows[] = {
      {3, 5000, 1, 0.608282341731975420L},        {5000, 3, 1, 0.391717658268024580L},
      {2000, 2000, 1.05L, 0.862317524659568390L}, {5, 1001, 2, 0.923774686171955867L},
      {1001, 5, 0.5L, 0.0762253138280441327L},
  };
  for (auto r : rows) {
    FDistribution d(r.m, r.n);
    EXPECT_NEAR((double)d.Cdf(r.x), (double)r.cdf, 1e-9) << (double)r.m << "," << (double)r.n;
  }
  FDistribution d(5000, 3);
  EXPECT_EQ(d.Cdf(0), 0);
}

TEST(FDistribution, DensityAtZeroSupportAndMoments) {
  struct Row {
    Real m, n, density0;
    bool in0, hasMean, hasVariance;
  };
  const Row rows[] = {
      {2, 7, 1, true, true, true},   {1, 7, 0, false, true, true}, {4, 7, 0, true, true, true},
      {5, 2, 0, true, false, false}, {5, 3, 0, true, true, false},
  };
  for (const Row& r : rows) {
    FDistribution d(r.m, r.n);
    EXPECT_EQ(d.Density(0), r.density0) << (double)r.m << "," << (double)r.n;
    EXPECT_EQ(d.InSupport(0), r.in0) << (double)r.m << "," << (double)r.n;
    EXPECT_EQ(d.HasMean(), r.hasMean) << (double)r.m << "," << (double)r.n;
    EXPECT_EQ(d.HasVariance(), r.hasVariance) << (double)r.m << "," << (double)r.n;
  }
  FDistribution four(4, 10);
  EXPECT_NEAR((double)four.Mode(), 10.0 / 24, 1e-15);
  EXPECT_NEAR((double)four.Mean(), 10.0 / 8, 1e-15);
  EXPECT_NEAR((double)four.Variance(), (100.0 / 64) * 2 * 12 / (4 * 6), 1e-14);
}

TEST(FDistribution, ParameterLabels) {
  FDistribution d(3, 4);
  EXPECT_EQ(d.Label(1), "m");
  EXPECT_EQ(d.Label(2), "n");
  EXPECT_EQ(d.Label(1, 3), "@n_31^");
  EXPECT_EQ(d.Label(2, 3), "@n_32^");
  std::string s = "kept";
  d.ParameterLabel(3, 2, s);
  EXPECT_EQ(s, "kept");
}

TEST(TFComponents, OwnedAndReplaced) {
  StudentTDistribution t(5);
  EXPECT_EQ(t.NormalPart, nullptr);
  t.SetParameters(0.5L, 1, 1);
  ASSERT_NE(t.GammaPart, nullptr);
  EXPECT_EQ(t.GammaPart->Alpha, 0.25L);
  t.SetParameters(0.8L, 1, 1);
  EXPECT_EQ(t.GammaPart->Alpha, 0.4L);
  // The smallest positive nu passes the check but its gamma shape nu/2
  // rounds to 0 and does not: nothing may change then.
  const Real tiny = std::numeric_limits<Real>::denorm_min();
  EXPECT_THROW(t.SetParameters(tiny, 1, 1), ArgumentError);
  EXPECT_EQ(t.Nu, 0.8L);
  EXPECT_EQ(t.Par()[1].Value, 0.8L);
  EXPECT_EQ(t.GammaPart->Alpha, 0.4L);

  FDistribution f(3, 8);
  EXPECT_EQ(f.BetaPart->Alpha, 1.5L);
  f.SetParameters(6, 10, 1);
  EXPECT_EQ(f.BetaPart->Alpha, 3);
  EXPECT_EQ(f.BetaPart->Beta, 5);
  EXPECT_THROW(f.SetParameters(tiny, 10, 1), ArgumentError);
  // A tiny but representable number of degrees of freedom is a valid F.
  EXPECT_NO_THROW(f.SetParameters(8e-12L, 10, 1));
  EXPECT_NO_THROW(f.SetParameters(6, 10, 1));
  EXPECT_EQ(f.NumDf, 6);
  EXPECT_EQ(f.Par()[1].Value, 6);
  EXPECT_EQ(f.SupportLow(), 0);
}

// Both tails and the density of the gamma, beta, t and F far out and at
// extreme shapes against 50-digit mpmath, and each quantile inverting its
// own tail.
TEST(ContinuousFamilies, TailsDensitiesAndQuantilesAgainstMpmath) {
  const struct {
    const char* type;
    Real p1, p2, x, cdf, sf, density;
  } rows[] = {
      {"gamma", 0.5, 1, 1e-20L, 1.128379167095512573892e-10L, 0.9999999998871620832904L,
       5641895835.477562869424L},
      {"gamma", 0.5, 1, 50, 1.0L, 1.523970604832105213195e-23L, 1.538919725341283869268e-23L},
      {"gamma", 3, 2, 40, 1.0L, 5.921717403520807180356e-32L, 1.15510488822106571028e-31L},
      {"gamma", 1000, 1, 1200, 0.9999999987118393913719L, 1.288160608628143295197e-9L,
       2.208219779050657174088e-10L},
      {"gamma", 1000, 1, 800, 5.501419776179228139809e-12L, 0.9999999999944985802238L,
       1.401739334103887114288e-12L},
      {"beta", 0.5, 0.5, 1e-10L, 0.000006366197723781916726155L, 0.9999936338022762180833L,
       31830.98861997061658482L},
      {"beta", 2, 3, 0.999L, 0.999999996003L, 3.997e-9L, 0.000011988L},
      {"beta", 200, 300, 0.3L, 0.000001049698524329297552431L, 0.9999989503014756707024L,
       0.0002596221552240864510794L},
      {"t", 5, 0, -40, 9.205981085886477177645e-8L, 0.9999999079401891411352L,
       1.147674573909875548095e-8L},
      {"t", 5, 0, 40, 0.9999999079401891411352L, 9.205981085886477177645e-8L,
       1.147674573909875548095e-8L},
      {"t", 0.1, 0, 10000000000.0, 0.9582619686282678224592L, 0.04173803137173217754079L,
       4.173803137173217754077e-13L},
      {"t", 1000000.0, 0, -8, 6.227531716601259804768e-16L, 0.9999999999999993772468L,
       5.057283943064741710036e-15L},
      {"F", 5, 10, 1000.0, 0.9999999999996292831901L, 3.707168098708697134517e-13L,
       1.848959668906265197924e-15L},
      {"F", 5, 10, 1e-6L, 4.147335890864124389659e-15L, 0.9999999999999958526641L,
       1.036832861823185413933e-8L},
      {"F", 100, 200, 3, 0.9999999999786713530401L, 2.132864695988762438772e-11L,
       2.904918994218413184662e-10L},
  };
  for (const auto& r : rows) {
    std::unique_ptr<Distribution> d;
    const std::string type = r.type;
    if (type == "gamma") d = std::make_unique<GammaDistribution>(r.p1, r.p2);
    if (type == "beta") d = std::make_unique<BetaDistribution>(r.p1, r.p2);
    if (type == "t") d = std::make_unique<StudentTDistribution>(r.p1);
    if (type == "F") d = std::make_unique<FDistribution>(r.p1, r.p2);
    const std::string what =
        type + " " + std::to_string((double)r.p1) + " x " + std::to_string((double)r.x);
    auto rel = [](Real a, Real b) { return (double)(std::fabs(a - b) / b); };
    EXPECT_LT(rel(d->Cdf(r.x), r.cdf), 1e-15) << what;
    EXPECT_LT(rel(d->UpperTail(r.x), r.sf), 1e-15) << what;
    // The beta's 0.999 row: 1 - x itself carries 1e-16 relative.
    EXPECT_LT(rel(d->Density(r.x), r.density), 2e-15) << what;
    if (r.cdf < 0.5L) {
      Real p = r.cdf;
      EXPECT_LT(rel(d->Quantile(p).X, r.x), 1e-13) << what;
    }
    if (r.sf < 0.5L) {
      EXPECT_LT(rel(d->UpperQuantile(r.sf), r.x), 1e-13) << what;
    }
  }
}

}  // namespace
}  // namespace vokt
