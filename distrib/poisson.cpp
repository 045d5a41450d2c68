// Poisson distribution: point probabilities by Loader's saddle-point form
// (LogPoissonWeight), the distribution function as the regularized upper
// incomplete gamma function Q(k + 1, lambda) and the upper tail as P(k + 1,
// lambda), each computed directly (for a large lambda as sums of point
// probabilities),
// and the ratio lambda / k of neighbouring points, with which the discrete
// base steps through sums, walks and its table (and passes over the
// underflowed terms far below a large mean instead of visiting each one).
#include "distrib/poisson.h"

#include <algorithm>
#include <cmath>

#include "numeric/functions.h"

namespace vokt {

namespace {
// Lambda is refused where its table would not fit (about 1.5e12, see the
// discrete base); beyond 2^64 every point is far past the mass, where the
// tails are 1 and 0 to the last digit (and the integers no longer exact).
constexpr Real kBeyondMass = 18446744073709551616.0L;
// For a mean up to this and points up to kSmallPoint the weights lambda^j / j!
// are formed by products (a few roundings, no logarithm), and the tails are
// their sums, each tail summed on its own side: all terms positive.
constexpr Real kSmallMean = 32;
constexpr Real kSmallPoint = 64;
// Between these means the incomplete gamma function loses digits (5e-14 at
// lambda = 1e6): the tails are sums of point probabilities instead, each
// from x outwards with the ratio lambda / k (some ten standard deviations of
// terms, 10000 at lambda = 1e6).  Beyond the upper one the ratio no longer
// fits the 32-bit steps and a sum would take too long.
constexpr Real kLargeMean = 10000;
constexpr Real kHugeMean = 1e9L;

// e^-lambda lambda^k / k! by a product (k <= kSmallPoint).
Real SmallWeight(Real k, Real lambda) {
  Real w = std::exp(-lambda);
  for (Real j = 1; j <= k; j += 1) w *= lambda / j;
  return w;
}

// P(X <= k) (upper false) or P(X > k) (upper true) for small lambda and k.
Real SmallTail(Real k, Real lambda, bool upper) {
  Real term = std::exp(-lambda), sum = upper ? 0 : term;
  for (Real j = 1; j <= k; j += 1) {
    term *= lambda / j;
    if (!upper) sum += term;
  }
  if (!upper) return sum;
  // Beyond k the terms fall by lambda / j < 1/2 once j passes 2 kSmallMean.
  for (Real j = k + 1; j < 4000; j += 1) {
    term *= lambda / j;
    const Real s = sum + term;
    if (s == sum && j > lambda) break;
    sum = s;
  }
  return sum;
}
}  // namespace

PoissonDistribution::PoissonDistribution(Real lambda) { Build(lambda); }

void PoissonDistribution::SetParameters(Real p1, Real, Real) {
  PoissonDistribution next;
  next.par_ = par_;
  next.Build(p1);
  ReplaceWith(*this, std::move(next));
}

void PoissonDistribution::Build(Real p1) {
  parCount_ = 1;
  DefineParameter(1, 0, InfBound, false, "@l");
  // An infinite mean reaches past every point (finite ones too large for
  // the point table are refused when it is built).
  ErrorIf(p1 == InfBound, msgTooLarge);
  DiscreteDistribution::SetParameters(p1, 1.0L, 1.0L);
  nameId_ = 906;
  Lambda = p1;
  supportLow_ = 0;
  mean_ = Lambda;
  variance_ = Lambda;
  hasMean_ = hasVariance_ = true;
  BuildPointTable();
}

Real PoissonDistribution::PointProb(Real x) const {
  if (!InSupport(x)) return 0;
  const Real k = RoundExt(x);
  if (Lambda <= kSmallMean && k <= kSmallPoint) return SmallWeight(k, Lambda);
  return std::exp(LogPoissonWeight(k, Lambda));
}

Real PoissonDistribution::Cdf(Real x) const {
  const Real k = CdfPoint(x);
  if (k < 0) return 0;
  if (k >= kBeyondMass) return 1;
  if (Lambda <= kSmallMean && k <= kSmallPoint)
    return std::min<Real>(1, SmallTail(k, Lambda, false));
  if (Lambda >= kLargeMean && Lambda <= kHugeMean) return DiscreteDistribution::Cdf(k);
  return GammaUpper(k + 1, Lambda);
}

Real PoissonDistribution::UpperTail(Real x) const {
  const Real k = CdfPoint(x);
  if (k < 0) return 1;
  if (k >= kBeyondMass) return 0;
  if (Lambda <= kSmallMean && k <= kSmallPoint)
    return std::min<Real>(1, SmallTail(k, Lambda, true));
  if (Lambda >= kLargeMean && Lambda <= kHugeMean) return DiscreteDistribution::UpperTail(k);
  return GammaLower(k + 1, Lambda);
}

bool PoissonDistribution::QuickSearchTails() const {
  return Lambda >= kLargeMean && Lambda <= kHugeMean;
}

Real PoissonDistribution::SearchCdf(Real x) const {
  const Real k = CdfPoint(x);
  if (!QuickSearchTails() || k < 0 || k >= kBeyondMass) return Cdf(x);
  return GammaUpper(k + 1, Lambda);
}

Real PoissonDistribution::SearchUpperTail(Real x) const {
  const Real k = CdfPoint(x);
  if (!QuickSearchTails() || k < 0 || k >= kBeyondMass) return UpperTail(x);
  return GammaLower(k + 1, Lambda);
}

Real PoissonDistribution::ProbRatio(int32_t k) const {
  if (k <= 0) return 0;
  return Lambda / k;
}

}  // namespace vokt
