// Properties every continuous distribution must have, checked for every
// continuous type of the catalogue at its defaults and at extra parameter
// sets: a monotone cdf within [0, 1], a density that is the derivative of the
// cdf, quantiles that invert the cdf, random values that follow the cdf
// (Kolmogorov-Smirnov), and non-central types that reduce to their central
// counterparts at non-centrality 0.  Types not built yet are skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "distrib/catalogue.h"
#include "numeric/uniform.h"

namespace vokt {
namespace {

struct ParSet {
  Real p1 = 1, p2 = 1, p3 = 1;
  int draws = 20000;  // random values for the KS test (10^5 at the defaults)
};

// Extra parameter sets per type: small and large shapes, degrees of freedom
// on both sides of 1000, non-centralities 0, 1 and 50.  The catalogue
// defaults and the generator branches (gamma shape below, at and above 1; t
// with nu = 1, 3, below 1 and otherwise; beta with small shapes) get 10^5
// draws, the other sets 2 10^4, which keeps the suite at a few seconds.
const std::map<int, std::vector<ParSet>>& ExtraSets() {
  static const std::map<int, std::vector<ParSet>> sets = {
      {901, {{-3, 0.01L, 0.1L}, {100, 1e4L, 100}}},
      {902, {{0.01L}, {1}, {1e3L}}},
      {903, {{-1, 1}, {1e3L, 1e6L}}},
      {907, {{0.1L}, {0.5L}, {1}, {2}, {2.5L}, {50}, {999}, {1001}, {5000}, {1e5L}}},
      {908,
       {{0.1L},
        {0.5L, 1, 1, 100000},
        {1, 1, 1, 100000},
        {1.5L},
        {2},
        {3, 1, 1, 100000},
        {4.5L},
        {30},
        {999},
        {1001},
        {5000},
        {1e6L}}},
      {909,
       {{1, 1},
        {0.2L, 0.3L},
        {2, 7},
        {0.5L, 3},
        {5, 1001},
        {1001, 5},
        {3, 5000},
        {5000, 3},
        {2000, 2000},
        {50, 50}}},
      {910,
       {{0.05L, 2},
        {0.5L, 0.5L},
        {1, 1},
        {1, 3},
        {3, 1},
        {0.3L, 0.7L, 1, 100000},
        {2, 5},
        {50, 80},
        {1e3L, 1e3L}}},
      {911,
       {{0.05L, 3},
        {0.3L, 1, 1, 100000},
        {0.5L, 2},
        {1, 1, 1, 100000},
        {1 + 1e-6L, 1},
        {2.5L, 1.5L, 1, 100000},
        {50, 0.1L},
        {1e4L, 1e2L}}},
      {913, {{1, 0.5L}, {2, 3}}},
      {914, {{0, 1}, {-5, 0.1L}}},
      {915, {{1, 1}, {2, 3}}},
      {916, {{0, 1}, {10, 0.5L}}},
      {917, {{0, 1}}},
      {918, {{0, 1}, {1, 0.25L}, {-2, 2}}},
      {919, {{0, 1}}},
      {923, {{5, 0}, {5, 1}, {5, 50}, {1, 1}, {999, 1}, {1001, 1}}},
      {924, {{5, 5, 0}, {5, 5, 1}, {5, 5, 50}, {3, 10, 1}, {5, 2000, 1}}},
      {925, {{5, 0}, {5, 1}, {10, 50}, {999, 1}, {1001, 1}}},
      {930, {{1, 1}, {5, 0.5L}, {1, 100}}},
      {932, {{2, 3, 0}, {2, 3, 1}, {2, 3, 50}, {0.5L, 0.5L, 1}}},
  };
  return sets;
}

// Types whose density has a kink at its mode (the finite difference of the
// cdf is not the density there).
bool KinkAtMode(int type) { return type == 919; }

struct Case {
  int type;
  int index;  // -1: catalogue defaults
};

std::vector<Case> AllCases() {
  std::vector<Case> r;
  for (uint16_t t : AvailableTypes()) {
    if (CreateDistribution(t)->IsDiscrete()) continue;
    r.push_back({t, -1});
    auto it = ExtraSets().find(t);
    if (it != ExtraSets().end())
      for (int i = 0; i < static_cast<int>(it->second.size()); ++i) r.push_back({t, i});
  }
  return r;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  std::ostringstream s;
  s << info.param.type << "_";
  if (info.param.index < 0)
    s << "defaults";
  else
    s << "set" << info.param.index;
  return s.str();
}

void Apply(Distribution& d, int type, const ParSet& s) {
  Real p3 = s.p3;
  if (type == 901) p3 = std::sqrt(s.p2);  // sigma follows sigma^2
  d.SetParameters(s.p1, s.p2, p3);
}

class ContinuousSuite : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    const Case c = GetParam();
    if (!TypeAvailable(static_cast<uint16_t>(c.type))) GTEST_SKIP() << "type not built";
    d_ = CreateDistribution(static_cast<uint16_t>(c.type));
    if (d_->IsDiscrete()) GTEST_SKIP() << "discrete";
    if (c.index >= 0) {
      set_ = ExtraSets().at(c.type)[c.index];
      Apply(*d_, c.type, set_);
    } else {
      set_.draws = 100000;
    }
    std::ostringstream s;
    s << "type " << c.type << " (" << (double)d_->Par()[1].Value << ", "
      << (double)d_->Par()[2].Value << ", " << (double)d_->Par()[3].Value << ")";
    label_ = s.str();
  }
  std::unique_ptr<Distribution> d_;
  ParSet set_;
  std::string label_;
};

TEST_P(ContinuousSuite, CdfIsMonotoneWithinUnitInterval) {
  const GraphRange r = d_->Range();
  ASSERT_LT(r.Left, r.Right) << label_;
  const int n = 400;
  Real prev = 0;
  for (int i = 0; i <= n; ++i) {
    const Real x = r.Left + (r.Right - r.Left) * i / n;
    const Real c = d_->Cdf(x);
    ASSERT_GE(c, 0) << label_ << " x=" << (double)x;
    ASSERT_LE(c, 1) << label_ << " x=" << (double)x;
    // Branch changes inside the special functions may leave a rounding
    // step, never more.
    EXPECT_GE(c, prev - 1e-14L) << label_ << " x=" << (double)x;
    prev = std::max(prev, c);
    const Real f = d_->Density(x);
    EXPECT_GE(f, 0) << label_ << " x=" << (double)x;
    EXPECT_TRUE(std::isfinite(f)) << label_ << " x=" << (double)x;
  }
}

TEST_P(ContinuousSuite, DensityIsTheDerivativeOfTheCdf) {
  // Points at quantiles 0.005 to 0.995, so heavy tails do not leave the
  // grid where the density is negligible.
  const int n = 60;
  std::vector<Real> xs;
  for (int i = 0; i <= n; ++i) {
    Real p = 0.005L + 0.99L * i / n;
    xs.push_back(d_->Quantile(p).X);
  }
  int checked = 0;
  for (int i = 1; i < n; ++i) {
    const Real x = xs[i];
    // Step: a hundredth of the local spacing of the grid, which follows the
    // scale of the density (the plot range of a heavy-tailed type is far
    // wider than the scale of its curvature), and at most a fiftieth of the
    // distance to a support end, where poles and kinks live.
    Real h = std::min(xs[i] - xs[i - 1], xs[i + 1] - xs[i]) / 100;
    const Real toEnd = std::min(x - d_->SupportLow(), d_->SupportHigh() - x);
    h = std::min(h, toEnd / 50);
    if (!(h > 0)) continue;
    if (KinkAtMode(GetParam().type) && std::fabs(x - d_->Mode()) < 3 * h) continue;
    const Real f = d_->Density(x);
    // The cdf is good to about 1e-11; the difference quotient needs h f well
    // above that to say anything at 1e-5.
    if (!(f * h > 1e-6L)) continue;
    const Real d1 = d_->Cdf(x + h) - d_->Cdf(x - h);
    const Real d2 = d_->Cdf(x + 2 * h) - d_->Cdf(x - 2 * h);
    const Real deriv = (8 * d1 - d2) / (12 * h);  // fourth-order central difference
    EXPECT_NEAR((double)deriv, (double)f, 1e-5 * (double)f) << label_ << " x=" << (double)x;
    ++checked;
  }
  EXPECT_GT(checked, 10) << label_;
}

TEST_P(ContinuousSuite, QuantileInvertsTheCdf) {
  for (Real p : {1e-6L, 0.01L, 0.5L, 0.99L, 1 - 1e-6L}) {
    Real q = p;
    const Real x = d_->Quantile(q).X;
    // A quantile beyond the stand-ins for infinity cannot be represented.
    if (std::fabs(x) >= InfBound * (1 - 1e-9L)) continue;
    EXPECT_NEAR((double)d_->Cdf(x), (double)p, 1e-9) << label_ << " p=" << (double)p;
  }
}

TEST_P(ContinuousSuite, RandomValuesFollowTheCdf) {
  RandomEngine engine(20261208);
  const int n = set_.draws;
  std::vector<Real> xs(n);
  for (Real& x : xs) x = d_->RandomValue(engine);
  std::sort(xs.begin(), xs.end());
  Real dmax = 0;
  for (int i = 0; i < n; ++i) {
    // Beyond the stand-ins for infinity the cdf is 1 (or 0) by definition;
    // heavy tails (t with nu = 0.1) put real draws there.  The statistic is
    // taken at the draws inside, where the cdf means what it says.
    if (std::fabs(xs[i]) >= InfBound) continue;
    const Real c = d_->Cdf(xs[i]);
    dmax = std::max({dmax, c - Real(i) / n, Real(i + 1) / n - c});
  }
  // Kolmogorov-Smirnov at the 0.1% level: sqrt(-ln(0.0005)/2) / sqrt(n).
  const double crit = 1.9495 / std::sqrt((double)n);
  EXPECT_LT((double)dmax, crit) << label_ << " with " << n << " draws";
}

INSTANTIATE_TEST_SUITE_P(AllTypes, ContinuousSuite, ::testing::ValuesIn(AllCases()), CaseName);

// Non-central types with non-centrality 0 against their central counterparts.
TEST(ContinuousSuiteCentral, NonCentralityZeroIsCentral) {
  struct Pair {
    int nonCentral, central;
    ParSet nc, c;
  };
  const Pair pairs[] = {
      {923, 907, {5, 0}, {5}},       {923, 907, {0.7L, 0}, {0.7L}},
      {924, 909, {5, 7, 0}, {5, 7}}, {924, 909, {1, 3, 0}, {1, 3}},
      {925, 908, {5, 0}, {5}},       {925, 908, {1.5L, 0}, {1.5L}},
      {932, 910, {2, 3, 0}, {2, 3}}, {932, 910, {0.5L, 4, 0}, {0.5L, 4}},
  };
  for (const Pair& p : pairs) {
    if (!TypeAvailable(p.nonCentral) || !TypeAvailable(p.central)) continue;
    auto nc = CreateDistribution(p.nonCentral);
    auto c = CreateDistribution(p.central);
    Apply(*nc, p.nonCentral, p.nc);
    Apply(*c, p.central, p.c);
    const GraphRange r = c->Range();
    for (int i = 0; i <= 20; ++i) {
      const Real x = r.Left + (r.Right - r.Left) * i / 20;
      EXPECT_NEAR((double)nc->Cdf(x), (double)c->Cdf(x), 1e-9)
          << p.nonCentral << " x=" << (double)x;
      const Real f = c->Density(x);
      EXPECT_NEAR((double)nc->Density(x), (double)f, 1e-8 * (double)f + 1e-300)
          << p.nonCentral << " x=" << (double)x;
    }
  }
}

}  // namespace
}  // namespace vokt
