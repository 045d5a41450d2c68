// The discrete families: known values, moments, parameter messages, state
// kept by a failed parameter change, and parameters large enough to break
// naive sums and products.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "distrib/binomial.h"
#include "distrib/catalogue.h"
#include "distrib/discrete_uniform.h"
#include "distrib/hypergeometric.h"
#include "distrib/negative_binomial.h"
#include "distrib/poisson.h"
#include "numeric/functions.h"

namespace vokt {
namespace {

std::unique_ptr<tDistribution> Make(uint16_t type, Extended p1, Extended p2 = 1,
                                    Extended p3 = 1) {
  auto d = CreateDistribution(type);
  d->SetParameters(p1, p2, p3);
  return d;
}

std::string ErrorText(tDistribution& d, Extended p1, Extended p2, Extended p3) {
  try {
    d.SetParameters(p1, p2, p3);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(accepted)";
}

struct ValueCase {
  uint16_t type;
  Extended p1, p2, p3;
  bool cdf;  // Cdf(x) when true, else PointProb(x)
  Extended x;
  Extended expected;
};

TEST(DiscreteFamilies, KnownValues) {
  const Extended e5 = std::exp(-5.0L);
  const ValueCase cases[] = {
      {905, 5, 0.5L, 1, false, 2, 0.3125L},
      {905, 5, 0.5L, 1, true, 2, 0.5L},
      {905, 5, 0.5L, 1, true, 2.5L, 0.5L},
      {905, 5, 0.5L, 1, true, 1.9999999999999L, 0.5L},  // integer within Eps
      {905, 5, 0.5L, 1, true, 1.9L, 0.1875L},
      {905, 5, 0.5L, 1, true, -0.1L, 0},
      {905, 5, 0.5L, 1, true, 5, 1},
      {905, 5, 0.5L, 1, false, 2.5L, 0},
      {905, 5, 0.5L, 1, false, 6, 0},
      {905, 100, 0.5L, 1, false, 50, 0.0795892373871787614981L},  // saddle-point form
      {904, 0.3L, 1, 1, false, 1, 0.3L},
      {904, 0.3L, 1, 1, true, 0, 0.7L},
      {906, 5, 1, 1, false, 0, e5},
      {906, 5, 1, 1, false, 2, 12.5L * e5},
      {906, 5, 1, 1, true, 2, 18.5L * e5},
      {906, 5, 1, 1, true, 2.5L, 18.5L * e5},
      {906, 5, 1, 1, true, 1.9999999999999L, 18.5L * e5},
      {906, 5, 1, 1, true, -0.5L, 0},
      {906, 5, 1, 1, false, -1, 0},
      {906, 5, 1, 1, false, 1.5L, 0},
      {912, 10, 5, 3, false, 0, 1.0L / 12},
      {912, 10, 5, 3, false, 1, 5.0L / 12},
      {912, 10, 5, 3, false, 2, 5.0L / 12},
      {912, 10, 5, 3, false, 3, 1.0L / 12},
      {912, 10, 5, 3, true, 1.5L, 0.5L},
      {912, 10, 5, 3, false, 4, 0},
      {920, 1, 5, 1, false, 3, 0.2L},
      {920, 1, 5, 1, false, 2.5L, 0},
      {920, 1, 5, 1, false, 6, 0},
      {920, -3, 3, 1, false, -3, 1.0L / 7},
      {920, -3, 3, 1, true, 0, 4.0L / 7},
      {921, 5, 0.5L, 1, false, 0, 1.0L / 32},
      {921, 5, 0.5L, 1, false, 1, 5.0L / 64},
      {921, 5, 0.5L, 1, false, -1, 0},
      {921, 5, 0.5L, 1, false, 2.5L, 0},
      {921, 5, 0.5L, 1, true, 1, 7.0L / 64},
      {922, 0.5L, 1, 1, false, 0, 0.5L},
      {922, 0.5L, 1, 1, false, 3, 0.0625L},
      {922, 0.5L, 1, 1, true, 3, 0.9375L},
  };
  for (const ValueCase& c : cases) {
    auto d = Make(c.type, c.p1, c.p2, c.p3);
    const Extended got = c.cdf ? d->Cdf(c.x) : d->PointProb(c.x);
    // The kernel's log-gamma series is good to about 1e-10 relative.
    EXPECT_NEAR((double)got, (double)c.expected, 1e-10 * std::max(1.0, (double)c.expected) + 1e-15)
        << c.type << (c.cdf ? " Cdf(" : " PointProb(") << (double)c.x << ")";
  }
}

struct MomentCase {
  uint16_t type;
  Extended p1, p2, p3;
  Extended low, high, mean, variance;
};

TEST(DiscreteFamilies, SupportAndMoments) {
  const MomentCase cases[] = {
      {905, 10, 0.3L, 1, 0, 10, 3, 2.1L},
      {904, 0.3L, 1, 1, 0, 1, 0.3L, 0.21L},
      {906, 3.5L, 1, 1, 0, InfBound, 3.5L, 3.5L},
      {912, 10, 5, 3, 0, 3, 1.5L, 7.0L / 12},
      {912, 10, 8, 5, 3, 5, 4, 4.0L / 9},
      {920, 1, 5, 1, 1, 5, 3, 2},
      {920, -3, 3, 1, -3, 3, 0, 4},
      {921, 5, 0.5L, 1, 0, InfBound, 5, 10},
      {922, 0.5L, 1, 1, 0, InfBound, 1, 2},
  };
  for (const MomentCase& c : cases) {
    auto d = Make(c.type, c.p1, c.p2, c.p3);
    EXPECT_EQ(d->SupportLow, c.low) << c.type;
    EXPECT_EQ(d->SupportHigh, c.high) << c.type;
    EXPECT_NEAR((double)d->Mean, (double)c.mean, 1e-15) << c.type;
    EXPECT_NEAR((double)d->Variance, (double)c.variance, 1e-15) << c.type;
  }
  auto b = Make(904, 0.3L);
  EXPECT_EQ(b->ParCount, 1);
  EXPECT_EQ(b->Par[1].Symbol, "p");
  EXPECT_EQ(b->NameId, 904);
  auto g = Make(922, 0.3L);
  EXPECT_EQ(g->ParCount, 1);
  EXPECT_EQ(g->Par[1].Symbol, "p");
  EXPECT_EQ(g->NameId, 922);
}

TEST(DiscreteFamilies, ProbabilityRatios) {
  tBinomial_Distribution b(5, 0.5L);
  EXPECT_EQ(b.ProbRatio(0), 0);
  EXPECT_EQ(b.ProbRatio(6), 0);
  EXPECT_EQ(b.ProbRatio(2), 2);
  tHypergeometric_Distribution h(10, 8, 5);
  EXPECT_EQ(h.ProbRatio(3), 0);  // N2 + 3 = n
  EXPECT_NEAR((double)h.ProbRatio(4), (double)(h.PointProb(4) / h.PointProb(3)), 1e-15);
  tGeometric g(0.5L);
  for (int k = 1; k < 5; ++k) EXPECT_EQ(g.ProbRatio(k), 0.5L);
  tNegative_binomial_distribution nb(5, 0.5L);
  EXPECT_NEAR((double)nb.ProbRatio(3), (double)(nb.PointProb(3) / nb.PointProb(2)), 1e-15);
}

struct ErrorCase {
  uint16_t type;
  Extended p1, p2, p3;
  const char* message;
};

TEST(DiscreteFamilies, ParameterMessagesAndStateKept) {
  const Extended nan = NAN, inf = INFINITY;
  const ErrorCase cases[] = {
      {905, 0, 0.5L, 1, "Value should be at least 1"},
      {905, 2.5L, 0.5L, 1, "Value should be integer."},
      {905, 2147483647, 0.5L, 1, "Value should be less than 2147483647"},
      {905, 10, 0, 1, "Second parameter should be greater than 0"},
      {905, 10, 1, 1, "Value should be less than 1"},
      {905, nan, 0.5L, 1, "Value should be at least 1"},
      {905, 10, nan, 1, "Second parameter should be greater than 0"},
      {904, 0, 1, 1, "Second parameter should be greater than 0"},
      {904, 1, 1, 1, "Value should be less than 1"},
      {904, inf, 1, 1, "Value should be less than 1"},
      {906, 0, 1, 1, "Value should be greater than 0"},
      {906, nan, 1, 1, "Value should be greater than 0"},
      {906, inf, 1, 1, "Value should be less than 2147483647"},
      {906, -inf, 1, 1, "Value should be greater than 0"},
      {912, 1, 1, 1, "Value should be at least 2"},
      {912, 10, 10, 3, "Second parameter should be smaller than 10"},
      {912, 10, 0, 3, "Second parameter should be at least 1"},
      {912, 10, 5, 10, "Third parameter should be less than 10"},
      {912, 10, 5, 2.5L, "Third parameter should be integer."},
      {912, 10, 5.5L, 3, "Second parameter should be integer."},
      {920, 3, 3, 1, "Second parameter should be at least 4"},
      {920, 1.5L, 3, 1, "Value should be integer."},
      {920, 1, 2147483647, 1, "Second parameter should be smaller than 2147483647"},
      {920, -2147483647, 0, 1, "Value should be at least -2147483646"},
      {920, 0, 46340, 1, "Integer overflow"},
      {921, 0, 0.5L, 1, "Value should be at least 1"},
      {921, 5, 1, 1, "Value should be less than 1"},
      {921, 1, 1e-9L, 1, "Numbers too large."},
      {921, 2e9L, 1e-3L, 1, "Numbers too large."},  // mean beyond the 32-bit support
      {922, 1, 1, 1, "Value should be less than 1"},
      {922, 0, 1, 1, "Second parameter should be greater than 0"},
      {922, 1e-9L, 1, 1, "Numbers too large."},
      {922, nan, 1, 1, "Second parameter should be greater than 0"},
  };
  for (const ErrorCase& c : cases) {
    auto d = CreateDistribution(c.type);
    const Extended mean = d->Mean, variance = d->Variance, low = d->SupportLow,
                   high = d->SupportHigh, mode = d->Mode, maxDens = d->MaxDens;
    const uint8_t parCount = d->ParCount;
    const std::string symbol = d->Par[1].Symbol;
    const tRealPointList* table = d->Points.get();
    const Extended cdf = d->Cdf(2);
    EXPECT_EQ(ErrorText(*d, c.p1, c.p2, c.p3), c.message) << c.type << " " << (double)c.p1;
    EXPECT_EQ(d->NameId, c.type);
    EXPECT_EQ(d->ParCount, parCount) << c.type;
    EXPECT_EQ(d->Par[1].Symbol, symbol) << c.type;
    EXPECT_EQ(d->Mean, mean) << c.type;
    EXPECT_EQ(d->Variance, variance) << c.type;
    EXPECT_EQ(d->SupportLow, low) << c.type;
    EXPECT_EQ(d->SupportHigh, high) << c.type;
    EXPECT_EQ(d->Mode, mode) << c.type;
    EXPECT_EQ(d->MaxDens, maxDens) << c.type;
    EXPECT_EQ(d->Points.get(), table) << c.type;
    EXPECT_EQ(d->Cdf(2), cdf) << c.type;
  }
}

TEST(DiscreteFamilies, FailureAfterValidationRestoresTheRecords) {
  // Refused for its table size: the values that passed validation go back.
  tGeometric g(0.3L);
  EXPECT_THROW(g.SetParameters(1e-9L, 0, 0), EArgumentError);
  EXPECT_EQ(g.Par[1].Value, 0.3L);
  EXPECT_EQ(g.p, 0.3L);
  tDiscrete_uniform_distribution u(1, 5);
  EXPECT_THROW(u.SetParameters(0, 46340, 0), EMathError);
  EXPECT_EQ(u.Par[1].Value, 1);
  EXPECT_EQ(u.Par[2].Value, 5);
  EXPECT_EQ(u.M, 1);
  EXPECT_EQ(u.N, 5);
  EXPECT_EQ(u.SetParameters(0, 46339, 0), 0);
  EXPECT_EQ(u.Points->Count(), 46340);
  // A validation failure keeps what passed (N) but nothing derived from it.
  tHypergeometric_Distribution h(10, 5, 3);
  EXPECT_EQ(ErrorText(h, 4, 5, 3), "Second parameter should be smaller than 4");
  EXPECT_EQ(h.N, 10);
  EXPECT_EQ(h.Mean, 1.5L);
}

TEST(DiscreteFamilies, BernoulliQuantileAndGenerator) {
  tBernoulli_Distribution b(0.3L);
  struct {
    Extended q;
    Extended x;
    Extended back;
  } const cases[] = {{0.5L, 0, 0.7L}, {0.8L, 1, 1}, {0, 0, 0}, {1, 1, 1}, {0.7L, 0, 0.7L}};
  for (const auto& c : cases) {
    Extended q = c.q;
    EXPECT_EQ(b.Quantile(q), c.x) << (double)c.q;
    EXPECT_NEAR((double)q, (double)c.back, 1e-18) << (double)c.q;
  }
  Extended q = 1.2L;
  try {
    b.Quantile(q);
    ADD_FAILURE();
  } catch (const EArgumentError& e) {
    EXPECT_STREQ(e.what(), "Value should not be greater than 1");
  }
  q = NAN;
  EXPECT_THROW(b.Quantile(q), EArgumentError);
}

TEST(DiscreteFamilies, LargeParametersStayFastAndAccurate) {
  // Binomial with a billion trials: the central term against the normal
  // approximation with its first correction.
  auto b = Make(905, 1e9L, 0.5L);
  const Extended central = b->PointProb(5e8L);
  const Extended approx = 1 / std::sqrt(2 * M_PI * 2.5e8) * (1 - 1 / (4 * 1e9));
  EXPECT_NEAR((double)(central / approx), 1, 1e-9);
  EXPECT_NEAR((double)b->Cdf(5e8L), 0.5 + (double)central / 2, 1e-9);
  // Negative binomial whose probabilities underflow far below the mean: the
  // sum behind Cdf must not walk from 0.
  auto nb = Make(921, 1e9L, 0.5L);
  EXPECT_NEAR((double)nb->Cdf(nb->Mean), 0.5, 0.01);
  Extended p = 0.5L;
  EXPECT_NEAR((double)nb->Quantile(p), (double)nb->Mean, 10);
  // Hypergeometric whose C(n, k) no longer fits 64 bits.
  auto h = Make(912, 100, 50, 67);
  const Extended direct = std::exp(LnChoose(50, 33) + LnChoose(50, 34) - LnChoose(100, 67));
  EXPECT_NEAR((double)(h->PointProb(33) / direct), 1, 1e-12);
  auto big = Make(912, 2e9L, 1e9L, 1e8L);
  EXPECT_NEAR((double)big->Cdf(big->Mean + 0.5L), 0.5, 0.01);
  auto poisson = Make(906, 1e6L);
  EXPECT_NEAR((double)poisson->PointProb(1e6L) * std::sqrt(2 * M_PI * 1e6), 1, 1e-6);
}

TEST(DiscreteFamilies, CommandLine) {
  struct {
    std::vector<std::string> args;
    int status;
    std::string out, err;
  } const cases[] = {
      {{"binomial", "10,0.3", "probs", "3"}, 0, "0.3827827", ""},
      {{"geometric", "1e-9", "info"}, 1, "", "Numbers too large."},
      {{"negative-binomial", "0,0.5", "info"}, 1, "", "Value should be at least 1"},
  };
  for (const auto& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(c.args, out, err), c.status) << c.args[0];
    EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
    EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
  }
  std::ostringstream out, err;
  RunCli({"binomial", "10,0.3", "probs", "3"}, out, err);
  std::istringstream in(out.str());
  double left, centre, right;
  in >> left >> centre >> right;
  EXPECT_NEAR(left, 0.38278279, 5e-8);
  EXPECT_NEAR(centre, 0.2668279, 5e-8);
  EXPECT_NEAR(right, 0.3503893, 5e-8);
}

}  // namespace
}  // namespace vokt
