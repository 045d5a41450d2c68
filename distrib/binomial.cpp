// Binomial distribution: point probabilities by Loader's saddle-point form
// (LogBinomialWeight), the distribution function and the upper tail each as
// its own regularized incomplete beta function, I_{1-p}(n - k, k + 1) and
// I_p(k + 1, n - k), or for a large n as sums of point probabilities.
#include "distrib/binomial.h"

#include <cmath>

#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {
// Up to this n the point probability is a product of a few roundings.
constexpr int32_t kSmallCount = 32;
// From this n on the incomplete beta function loses digits (1e-13 at
// n = 1e7): the tails are sums of point probabilities instead, each from x
// outwards with the probability ratio (a few standard deviations of terms,
// 15000 at n = 1e7, p = 0.3).
constexpr Real kLargeCount = 100000;
}  // namespace

BinomialDistribution::BinomialDistribution(Real trials, Real prob) { Build(trials, prob); }

void BinomialDistribution::SetParameters(Real p1, Real p2, Real) {
  BinomialDistribution next;
  next.par_ = par_;
  next.Build(p1, p2);
  ReplaceWith(*this, std::move(next));
}

void BinomialDistribution::Build(Real p1, Real p2) {
  parCount_ = 2;
  DefineParameter(1, 1, InfBound, true, "n");
  DefineParameter(2, 0, 1, false, "p");
  DiscreteDistribution::SetParameters(p1, p2, 1.0L);
  // n is counted in 32 bits.
  ErrorIf(p1 > 2147483647.0L, msgTooLarge);
  nameId_ = 905;
  n = RoundInt(p1);
  p = p2;
  supportLow_ = 0;
  supportHigh_ = n;
  mean_ = n * p;
  variance_ = (1 - p) * mean_;
  hasMean_ = hasVariance_ = true;
  BuildPointTable();
}

Real BinomialDistribution::PointProb(Real x) const {
  if (!InSupport(x)) return 0;
  const Real k = RoundExt(x);
  if (n <= kSmallCount) {
    // C(n, k) p^k q^(n - k) by a product of at most 96 factors.
    const Real q = 1 - p;
    Real c = 1;
    for (Real i = 1; i <= k; i += 1) c = c * (n - k + i) / i * p;
    for (Real i = k; i < n; i += 1) c *= q;
    return c;
  }
  return std::exp(LogBinomialWeight(k, n, p, 1 - p));
}

Real BinomialDistribution::SmallSum(Real from, Real to) const {
  // P(from <= X <= to) for n <= kSmallCount: positive terms by the ratio.
  Real term = PointProb(from), sum = term;
  for (Real j = from + 1; j <= to; j += 1) {
    term *= (n - j + 1) / j * p / (1 - p);
    sum += term;
  }
  return sum > 1 ? 1 : sum;
}

Real BinomialDistribution::Cdf(Real x) const {
  const Real k = CdfPoint(x);
  if (k < 0) return 0;
  if (k >= n) return 1;
  if (n <= kSmallCount) return SmallSum(0, k);
  if (n >= kLargeCount) return DiscreteDistribution::Cdf(k);
  return BetaLower(n - k, k + 1, 1 - p);
}

Real BinomialDistribution::UpperTail(Real x) const {
  const Real k = CdfPoint(x);
  if (k < 0) return 1;
  if (k >= n) return 0;
  if (n <= kSmallCount) return SmallSum(k + 1, n);
  if (n >= kLargeCount) return DiscreteDistribution::UpperTail(k);
  return BetaLower(k + 1, n - k, p);
}

bool BinomialDistribution::QuickSearchTails() const { return n >= kLargeCount; }

Real BinomialDistribution::SearchCdf(Real x) const {
  const Real k = CdfPoint(x);
  if (!QuickSearchTails() || k < 0 || k >= n) return Cdf(x);
  return BetaLower(n - k, k + 1, 1 - p);
}

Real BinomialDistribution::SearchUpperTail(Real x) const {
  const Real k = CdfPoint(x);
  if (!QuickSearchTails() || k < 0 || k >= n) return UpperTail(x);
  return BetaLower(k + 1, n - k, p);
}

Real BinomialDistribution::ProbRatio(int32_t k) const {
  if (k <= 0 || k > n) return 0;
  return ((n - k + 1) * p / k) / (1 - p);
}

BernoulliDistribution::BernoulliDistribution(Real prob) { Build(prob); }

void BernoulliDistribution::SetParameters(Real p1, Real, Real) {
  BernoulliDistribution next;
  next.par_ = par_;
  next.Build(p1);
  ReplaceWith(*this, std::move(next));
}

void BernoulliDistribution::Build(Real p1) {
  // Validated as the binomial's second parameter, then given its own record.
  BinomialDistribution::Build(1.0L, p1);
  parCount_ = 1;
  DefineParameter(1, 0, 1, false, "p");
  par_[1].Value = p1;
  par_[1].Unset = false;
  nameId_ = 904;
}

Real BernoulliDistribution::RandomValue(RandomEngine& engine) const {
  return engine.Uniform() < p ? 1 : 0;
}

}  // namespace vokt
