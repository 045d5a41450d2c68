// The discrete base: support test, plot range and point table, summed
// interval probabilities, the walking quantile with its write-back, and the
// bounds on its loops.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "distrib/binomial.h"
#include "distrib/hypergeometric.h"
#include "distrib/negative_binomial.h"
#include "distrib/poisson.h"
#include "numeric/uniform.h"

namespace vokt {
namespace {

// A point mass that the base sums and walks without any closed form: the
// distribution of the number of failures before the first success, with the
// inherited IntervalProb, Cdf and Quantile.
TEST(DiscreteBase, SupportTestAndPointTable) {
  BinomialDistribution b(10, 0.3L);
  EXPECT_TRUE(b.InSupport(2.0000000000001L));
  EXPECT_FALSE(b.InSupport(2.5L));
  EXPECT_FALSE(b.InSupport(11));
  EXPECT_FALSE(b.InSupport(NAN));
  const GraphRange r = b.Range();
  EXPECT_EQ(r.Left, -1);
  EXPECT_EQ(r.Right, 11);
  ASSERT_EQ(b.Points()->Count(), 11);
  EXPECT_EQ((*b.Points())[0].X, 0);
  EXPECT_EQ((*b.Points())[10].X, 10);
  EXPECT_NEAR((double)(*b.Points())[10].CumProb, 1, 1e-12);
  EXPECT_EQ(b.MaxDensity(), (*b.Points())[3].Prob);
  EXPECT_EQ(b.Mode(), 3);
  // Wider supports: mean plus or minus four standard deviations, rounded,
  // with one empty unit on each side.
  PoissonDistribution p(100);
  const GraphRange w = p.Range();
  EXPECT_EQ(w.Left, 59);
  EXPECT_EQ(w.Right, 141);
  EXPECT_EQ(p.Points()->Count(), 83);
}

TEST(DiscreteBase, IntervalProbabilities) {
  HypergeometricDistribution h(20, 7, 6);
  struct {
    Real a, b;
    Real expected;
  } const cases[] = {
      {2.5L, 4.5L, h.PointProb(3) + h.PointProb(4)},
      {5, 4, 0},
      {-10, 1, h.PointProb(0) + h.PointProb(1)},
      {-InfBound, 2, h.Cdf(2)},
      {2, InfBound, 1 - h.Cdf(1)},
      {1.0000000000001L, 1, h.PointProb(1)},
      {6.5L, 100, 0},
  };
  for (const auto& c : cases)
    EXPECT_NEAR((double)h.IntervalProb(c.a, c.b), (double)c.expected, 1e-15)
        << (double)c.a << ".." << (double)c.b;
  EXPECT_THROW(h.IntervalProb(NAN, 2), ArgumentError);
  EXPECT_THROW(h.IntervalProb(0, NAN), ArgumentError);
}

TEST(DiscreteBase, QuantileWritesBackTheCumulativeProbability) {
  // Binomial(3, 1/2): P(X <= 1) = 0.5 exactly.
  BinomialDistribution b(3, 0.5L);
  struct {
    Real p;
    Real x;
    Real back;
  } const cases[] = {
      {0.5L, 1, 0.5L},
      {0.5L + 2 * Eps, 2, 0.875L},
      {0.5L - 1e-13L, 1, 0.5L},  // within the tolerance of P(X <= 1)
      {0.1L, 0, 0.125L},
      {1e-13L, 0, 0.125L},  // near 0: still a probability, the lowest point
      {1 - 1e-13L, 3, 1},
      {0, 0, 0},  // exactly 0 and 1: the ends of the support
      {1, 3, 1},
  };
  for (const auto& c : cases) {
    Real p = c.p;
    EXPECT_EQ(b.Quantile(p).X, c.x) << (double)c.p;
    EXPECT_NEAR((double)b.Quantile(p).Probability, (double)c.back, 1e-11) << (double)c.p;
  }
  struct {
    Real p;
    const char* message;
  } const errors[] = {
      {-0.1L, "Value should be at least 0"},
      {1.1L, "Value should not be greater than 1"},
      {NAN, "This is not a number."},
      {INFINITY, "Value should not be greater than 1"},
  };
  for (const auto& e : errors) {
    Real p = e.p;
    try {
      b.Quantile(p);
      ADD_FAILURE() << (double)e.p;
    } catch (const ArgumentError& x) {
      EXPECT_STREQ(x.what(), e.message);
    }
  }
}

TEST(DiscreteBase, LongTailsEndQuickly) {
  // A geometric distribution with mean 10^6: its table (five million points)
  // is admitted, and the sums and walks far into the tail stay bounded.
  GeometricDistribution g(1e-6L);
  EXPECT_GT(g.Points()->Count(), 4900000);
  Real p = 1 - 1e-9L;
  const Real x = g.Quantile(p).X;
  // The smallest k with P(X > k) = (1 - p)^(k + 1) <= 1e-9.
  EXPECT_EQ(x, std::ceil(std::log(1e-9L) / std::log1p(-1e-6L)) - 1);
  EXPECT_NEAR((double)p, 1 - 1e-9, 1e-11);
  EXPECT_EQ(g.UpperQuantile(1e-9L), x);
  EXPECT_NEAR((double)g.Cdf(3e6L), 1 - std::pow(1 - 1e-6, 3e6 + 1), 1e-9);
  EXPECT_EQ(g.Cdf(2e9L), 1);
}

TEST(DiscreteBase, IntervalsFarOutOnTheLine) {
  // Points above a tenth of the infinite bound are ordinary points for a
  // Poisson distribution with mean 2e9: the right part of the complement
  // is not dropped.
  // P(X <= lambda) = 1/2 + 2 / (3 sqrt(2 pi lambda)) + O(1/lambda).
  PoissonDistribution p(2e9L);
  const Real m = 2e9L;
  const double below = 0.5 + 2 / (3 * std::sqrt(2 * M_PI * 2e9));
  // Point probabilities at this size carry a relative error of about 2e-9
  // (the rounding of k ln lambda near 4e10).
  EXPECT_NEAR((double)p.IntervalProb(0, m), below, 3e-9);
  EXPECT_NEAR((double)p.IntervalProb(m + 1, InfBound), 1 - below, 3e-9);
  // Summed from 0, the first 10^8 terms of this one have underflowed: they
  // are passed over, not visited.
  PoissonDistribution q(1e8L);
  EXPECT_NEAR((double)q.IntervalProb(0, 1e8L), 0.5 + 2 / (3 * std::sqrt(2 * M_PI * 1e8)), 1e-9);
  // Points beyond 2^31 are ordinary points: a quantile there is found.
  PoissonDistribution edge(2147483000);
  Real level = 0.999999L;
  const Real top = edge.Quantile(level).X;
  EXPECT_GT(top, 2147483647.0L);
  EXPECT_GE(edge.Cdf(top), 0.999999L * (1 - Eps));
  EXPECT_LT(edge.Cdf(top - 1), 0.999999L);
  EXPECT_EQ(edge.Cdf(3e9L), 1);
  EXPECT_EQ(edge.UpperTail(InfBound), 0);
  EXPECT_EQ(edge.Cdf(-InfBound), 0);
  // A tail whose terms have underflowed ends at its first term.
  HypergeometricDistribution h(2000000000, 1000000000, 100000000);
  EXPECT_EQ(h.IntervalProb(h.Mean() + 1e6L, InfBound), 0);
  EXPECT_NEAR((double)h.Cdf(h.Mean() + 1e6L), 1, 1e-15);
}

TEST(DiscreteBase, GeneratorNeverReturnsPointsOutsideTheSupport) {
  NegativeBinomialDistribution nb(3, 0.3L);
  HypergeometricDistribution h(10, 8, 5);
  RandomEngine engine(1);
  for (int i = 0; i < 20000; ++i) {
    EXPECT_TRUE(nb.InSupport(nb.RandomValue(engine)));
    EXPECT_TRUE(h.InSupport(h.RandomValue(engine)));
  }
}

}  // namespace
}  // namespace vokt
