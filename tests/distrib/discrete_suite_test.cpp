// Consistency checks run over every discrete type of the catalogue, at its
// defaults and at the extra parameter sets below: point probabilities,
// distribution function, quantile, interval probabilities and the random
// generator must all describe the same distribution.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <vector>

#include "distrib/catalogue.h"
#include "distrib/empirical.h"
#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {
namespace {

using ParamSet = std::vector<Real>;

// Extra parameter sets by type id; types without an entry run at their
// defaults only.
const std::map<uint16_t, std::vector<ParamSet>>& ExtraSets() {
  static const std::map<uint16_t, std::vector<ParamSet>> sets = {
      {904, {{0.3L}, {0.99L}}},
      {905, {{10, 0.3L}, {1000, 0.3L}, {200, 0.02L}, {60, 0.97L}}},
      {906, {{0.1L}, {3.5L}, {1000}}},
      {912, {{20, 7, 6}, {10, 8, 5}, {500, 200, 66}, {100, 50, 67}}},
      {920, {{-3, 3}, {0, 100}, {7, 8}}},
      {921, {{3, 0.3L}, {1, 0.9L}, {50, 0.2L}, {200, 0.5L}}},
      {922, {{0.2L}, {0.01L}, {0.9L}}},
  };
  return sets;
}

struct Case {
  uint16_t type;
  ParamSet params;  // empty: the catalogue's defaults
};

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (uint16_t t : AvailableTypes()) {
    auto d = CreateDistribution(t);
    if (!d->IsDiscrete()) continue;
    // Tables of non-integer values (Kruskal-Wallis, Friedman) step through
    // their own points; their identities are checked over the table in the
    // enumeration tests.
    if (dynamic_cast<EmpiricalDistribution*>(d.get())) continue;
    cases.push_back({t, {}});
    auto it = ExtraSets().find(t);
    if (it != ExtraSets().end())
      for (const ParamSet& p : it->second) cases.push_back({t, p});
  }
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  std::ostringstream s;
  s << "t" << info.param.type << "_" << info.index;
  return s.str();
}

std::unique_ptr<Distribution> Make(const Case& c) {
  auto d = CreateDistribution(c.type);
  if (!c.params.empty()) {
    Real v[3] = {1, 1, 1};
    for (size_t i = 0; i < c.params.size() && i < 3; ++i) v[i] = c.params[i];
    d->SetParameters(v[0], v[1], v[2]);
  }
  return d;
}

// The points that carry all but a negligible part of the probability.
void MassRange(Distribution& d, Real& lo, Real& hi) {
  const Real sd = std::sqrt(d.Variance());
  lo = std::max(d.SupportLow(), std::floor(d.Mean() - 40 * sd - 50));
  hi = std::min(d.SupportHigh(), std::ceil(d.Mean() + 40 * sd + 50));
}

// Upper 0.1% point of the chi-square distribution with df degrees of
// freedom, by bisection on the incomplete gamma function.
Real ChiSquareCritical(int df) {
  Real a = 0, b = 10 * df + 100;
  for (int i = 0; i < 200; ++i) {
    const Real m = (a + b) / 2;
    if (GammaLower(df / 2.0L, m / 2) < 0.999L)
      a = m;
    else
      b = m;
  }
  return (a + b) / 2;
}

class DiscreteSuite : public ::testing::TestWithParam<Case> {};

TEST_P(DiscreteSuite, ProbabilitiesSumToOneAndCdfIsTheRunningSum) {
  auto d = Make(GetParam());
  Real lo, hi;
  MassRange(*d, lo, hi);
  ASSERT_LT(hi - lo, 1e6);
  EXPECT_EQ(d->PointProb(lo - 1), 0);
  Real sum = 0;
  for (Real k = lo; k <= hi; k += 1) {
    sum += d->PointProb(k);
    ASSERT_NEAR((double)d->Cdf(k), (double)sum, 1e-9) << "k = " << (double)k;
  }
  EXPECT_NEAR((double)sum, 1, 1e-9);
}

TEST_P(DiscreteSuite, QuantileInvertsTheCdf) {
  auto d = Make(GetParam());
  Real lo, hi;
  MassRange(*d, lo, hi);
  int tested = 0;
  for (Real k = lo; k <= hi; k += 1) {
    const Real f = d->PointProb(k), c = d->Cdf(k);
    if (f < 1e-6L || c > 1 - 1e-6L) continue;
    Real p = c;
    EXPECT_EQ(d->Quantile(p).X, k) << "k = " << (double)k;
    EXPECT_NEAR((double)d->Quantile(p).Probability, (double)c, 1e-9);
    // Just above Cdf(k) the next point with enough probability is reached.
    Real next = k + 1;
    while (d->PointProb(next) < 1e-7L) next += 1;
    p = c + 1e-8L;
    EXPECT_EQ(d->Quantile(p).X, next) << "k = " << (double)k;
    EXPECT_NEAR((double)d->Quantile(p).Probability, (double)d->Cdf(next), 1e-9);
    ++tested;
  }
  EXPECT_GT(tested, 0);
}

TEST_P(DiscreteSuite, IntervalProbabilitiesFromEitherSide) {
  auto d = Make(GetParam());
  Real lo, hi;
  MassRange(*d, lo, hi);
  const Real m = RoundExt(d->Mean()), s = std::ceil(std::sqrt(d->Variance()));
  const Real points[] = {lo, m - 2 * s, m - s, m, m + 1, m + s, m + 3 * s};
  for (Real a : points) {
    for (Real b : points) {
      a = std::clamp(a, lo, hi);
      b = std::clamp(b, lo, hi);
      if (b < a) continue;
      const Real expected = d->Cdf(b) - d->Cdf(a - 1);
      EXPECT_NEAR((double)d->IntervalProb(a, b), (double)expected, 1e-9)
          << (double)a << ".." << (double)b;
      EXPECT_NEAR((double)d->IntervalProb(a - 0.5L, b + 0.5L), (double)expected, 1e-9);
    }
    EXPECT_NEAR((double)d->IntervalProb(-InfBound, a), (double)d->Cdf(a), 1e-9);
    EXPECT_NEAR((double)d->IntervalProb(a, InfBound), (double)(1 - d->Cdf(a - 1)), 1e-9);
  }
}

TEST_P(DiscreteSuite, RandomValuesFitTheDistribution) {
  auto d = Make(GetParam());
  RandomEngine engine(20261208);
  constexpr int kDraws = 100000;
  std::map<Real, int> counts;
  for (int i = 0; i < kDraws; ++i) {
    const Real x = d->RandomValue(engine);
    ASSERT_TRUE(d->InSupport(x)) << (double)x;
    ++counts[x];
  }
  // Cells of single points with at least 5 expected draws; the points
  // outside them are pooled into a lower and an upper cell.
  Real lo, hi;
  MassRange(*d, lo, hi);
  std::vector<std::pair<Real, Real>> cells;  // (expected, observed)
  Real pooledE = 0, pooledO = 0;
  for (Real k = lo; k <= hi; k += 1) {
    const Real e = kDraws * d->PointProb(k);
    const Real o = counts.count(k) ? counts[k] : 0;
    if (e >= 5) {
      cells.push_back({e, o});
    } else {
      pooledE += e;
      pooledO += o;
    }
  }
  if (pooledE >= 5) cells.push_back({pooledE, pooledO});
  int total = 0;
  for (const auto& kv : counts) total += kv.second;
  ASSERT_EQ(total, kDraws);
  ASSERT_GE(cells.size(), 2u);
  Real chi2 = 0;
  for (const auto& [e, o] : cells) chi2 += (o - e) * (o - e) / e;
  const int df = static_cast<int>(cells.size()) - 1;
  EXPECT_LT((double)chi2, (double)ChiSquareCritical(df)) << "df = " << df;
}

TEST_P(DiscreteSuite, PointTableMatchesThePointProbabilities) {
  auto d = Make(GetParam());
  ASSERT_TRUE(d->Points());
  const auto& items = d->Points()->Items();
  ASSERT_FALSE(items.empty());
  for (size_t i = 0; i < items.size(); ++i) {
    const PointRecord& r = items[i];
    if (i > 0) {
      EXPECT_EQ(r.X, items[i - 1].X + 1);
    }
    EXPECT_NEAR((double)r.Prob, (double)d->PointProb(r.X), 1e-12 + 1e-9 * (double)r.Prob);
    EXPECT_NEAR((double)r.CumProb, (double)d->Cdf(r.X), 1e-9);
  }
  EXPECT_EQ(d->MaxDensity(), d->PointProb(d->Mode()));
  // A local maximum, up to rounding where two neighbours tie exactly.
  const Real top = d->PointProb(d->Mode()) * (1 + 1e-12L);
  EXPECT_GE(top, d->PointProb(d->Mode() - 1));
  EXPECT_GE(top, d->PointProb(d->Mode() + 1));
}

TEST_P(DiscreteSuite, ThreeProbabilitiesAtAndAroundSupportPoints) {
  // P(X < x), P(X = x) and P(X > x), each computed on its own, lie in
  // [0, 1] and add up to 1; a value 1e-13 off a point is that point in all
  // three; at the lowest point P(X < x) is 0; the quantile and the
  // upper-tail quantile give back the point from its own tails.
  auto d = Make(GetParam());
  Real lo, hi;
  MassRange(*d, lo, hi);
  const Real step = std::max<Real>(1, std::floor((hi - lo) / 60));
  for (Real k = lo; k <= hi; k += step) {
    const Real below = d->StrictLowerTail(k), at = d->PointProb(k), above = d->UpperTail(k);
    for (Real v : {below, at, above}) {
      EXPECT_GE(v, 0) << (double)k;
      EXPECT_LE(v, 1) << (double)k;
    }
    EXPECT_NEAR((double)(below + at + above), 1, 1e-15) << (double)k;
    EXPECT_NEAR((double)(d->Cdf(k) + above), 1, 1e-15) << (double)k;
    for (Real off : {-1e-13L, 1e-13L}) {
      EXPECT_EQ(d->StrictLowerTail(k + off), below) << (double)k;
      EXPECT_EQ(d->PointProb(k + off), at) << (double)k;
      EXPECT_EQ(d->UpperTail(k + off), above) << (double)k;
    }
    // Where the tails tell k from its neighbour (not both rounded to 1).
    if (at > 1e-300L) {
      Real p = d->Cdf(k);
      if (p < 1 && (k == d->SupportLow() || p > d->Cdf(k - 1) * (1 + 1e-11L))) {
        EXPECT_EQ(d->Quantile(p).X, k) << (double)k;
      }
      if (above > 0 && (k == d->SupportLow() || above * (1 + 1e-11L) < d->UpperTail(k - 1))) {
        EXPECT_EQ(d->UpperQuantile(above), k) << (double)k;
      }
    }
  }
  EXPECT_EQ(d->StrictLowerTail(d->SupportLow()), 0);
  EXPECT_EQ(d->StrictLowerTail(d->SupportLow() - 1e-13L), 0);
  EXPECT_EQ(d->UpperTail(d->SupportHigh()), 0);
  EXPECT_EQ(d->Cdf(InfBound), 1);
  EXPECT_EQ(d->UpperTail(-InfBound), 1);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, DiscreteSuite, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
}  // namespace vokt
