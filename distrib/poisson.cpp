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

#include "distrib/discrete_util.h"
#include "numeric/functions.h"

namespace vokt {

namespace {
// Lambda is refused where its table would not fit (about 1.5e12, see the
// discrete base); beyond 2^64 every point is far past the mass, where the
// tails are 1 and 0 to the last digit (and the integers no longer exact).
constexpr Extended kBeyondMass = 18446744073709551616.0L;
// For a mean up to this and points up to kSmallPoint the weights lambda^j / j!
// are formed by products (a few roundings, no logarithm), and the tails are
// their sums, each tail summed on its own side: all terms positive.
constexpr Extended kSmallMean = 32;
constexpr Extended kSmallPoint = 64;
// Between these means the incomplete gamma function loses digits (5e-14 at
// lambda = 1e6): the tails are sums of point probabilities instead, each
// from x outwards with the ratio lambda / k (some ten standard deviations of
// terms, 10000 at lambda = 1e6).  Beyond the upper one the ratio no longer
// fits the 32-bit steps and a sum would take too long.
constexpr Extended kLargeMean = 10000;
constexpr Extended kHugeMean = 1e9L;

// e^-lambda lambda^k / k! by a product (k <= kSmallPoint).
Extended SmallWeight(Extended k, Extended lambda) {
  Extended w = std::exp(-lambda);
  for (Extended j = 1; j <= k; j += 1) w *= lambda / j;
  return w;
}

// P(X <= k) (upper false) or P(X > k) (upper true) for small lambda and k.
Extended SmallTail(Extended k, Extended lambda, bool upper) {
  Extended term = std::exp(-lambda), sum = upper ? 0 : term;
  for (Extended j = 1; j <= k; j += 1) {
    term *= lambda / j;
    if (!upper) sum += term;
  }
  if (!upper) return sum;
  // Beyond k the terms fall by lambda / j < 1/2 once j passes 2 kSmallMean.
  for (Extended j = k + 1; j < 4000; j += 1) {
    term *= lambda / j;
    const Extended s = sum + term;
    if (s == sum && j > lambda) break;
    sum = s;
  }
  return sum;
}
}  // namespace

tPoisson_Distribution::tPoisson_Distribution(Extended lambda) { SetParameters(lambda, 0, 0); }

int tPoisson_Distribution::SetParameters(Extended p1, Extended p2, Extended p3) {
  (void)p2;
  (void)p3;
  tSetParametersGuard guard(*this, false, Lambda);
  ParCount = 1;
  DefineParameter(1, 0, InfBound, false, "@l");
  // An infinite mean reaches past every point (finite ones too large for
  // the point table are refused when it is built).
  ErrorIf(p1 == InfBound, msgTooLarge);
  int r = tDiscrete_distribution::SetParameters(p1, 1.0L, 1.0L);
  if (r != 0) return r;
  guard.Validated();
  NameId = 906;
  Lambda = p1;
  SupportLow = 0;
  Mean = Lambda;
  Variance = Lambda;
  HasMean = HasVariance = true;
  BuildPointTable();
  guard.Commit();
  return 0;
}

Extended tPoisson_Distribution::PointProb(Extended x) {
  if (!InSupport(x)) return 0;
  const Extended k = RoundExt(x);
  if (Lambda <= kSmallMean && k <= kSmallPoint) return SmallWeight(k, Lambda);
  return std::exp(LogPoissonWeight(k, Lambda));
}

Extended tPoisson_Distribution::Cdf(Extended x) {
  const Extended k = CdfPoint(x);
  if (k < 0) return 0;
  if (k >= kBeyondMass) return 1;
  if (Lambda <= kSmallMean && k <= kSmallPoint)
    return std::min<Extended>(1, SmallTail(k, Lambda, false));
  if (Lambda >= kLargeMean && Lambda <= kHugeMean) return tDiscrete_distribution::Cdf(k);
  return GammaUpper(k + 1, Lambda);
}

Extended tPoisson_Distribution::UpperTail(Extended x) {
  const Extended k = CdfPoint(x);
  if (k < 0) return 1;
  if (k >= kBeyondMass) return 0;
  if (Lambda <= kSmallMean && k <= kSmallPoint)
    return std::min<Extended>(1, SmallTail(k, Lambda, true));
  if (Lambda >= kLargeMean && Lambda <= kHugeMean) return tDiscrete_distribution::UpperTail(k);
  return GammaLower(k + 1, Lambda);
}

bool tPoisson_Distribution::QuickSearchTails() const {
  return Lambda >= kLargeMean && Lambda <= kHugeMean;
}

Extended tPoisson_Distribution::SearchCdf(Extended x) {
  const Extended k = CdfPoint(x);
  if (!QuickSearchTails() || k < 0 || k >= kBeyondMass) return Cdf(x);
  return GammaUpper(k + 1, Lambda);
}

Extended tPoisson_Distribution::SearchUpperTail(Extended x) {
  const Extended k = CdfPoint(x);
  if (!QuickSearchTails() || k < 0 || k >= kBeyondMass) return UpperTail(x);
  return GammaLower(k + 1, Lambda);
}

Extended tPoisson_Distribution::ProbRatio(int32_t k) {
  if (k <= 0) return 0;
  return Lambda / k;
}

}  // namespace vokt
