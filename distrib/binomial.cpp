// Binomial distribution: point probabilities from the log binomial
// coefficient (Loader's saddle-point form once both counts pass 30, where the
// coefficient's sum of logarithms would cost too much), the distribution
// function as a regularized incomplete beta function.
#include "distrib/binomial.h"

#include <cmath>

#include "distrib/discrete_util.h"
#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {
// Up to this many factors the log binomial coefficient is summed directly.
constexpr int32_t kDirectTerms = 30;
}  // namespace

tBinomial_Distribution::tBinomial_Distribution(Extended n, Extended p) { SetParameters(n, p, 0); }

int tBinomial_Distribution::SetParameters(Extended p1, Extended p2, Extended p3) {
  (void)p3;
  tSetParametersGuard guard(*this, false, n, p);
  ParCount = 2;
  DefineParameter(1, 1, InfBound, true, "n");
  DefineParameter(2, 0, 1, false, "p");
  int r = tDiscrete_distribution::SetParameters(p1, p2, 1.0L);
  if (r != 0) return r;
  guard.Validated();
  NameId = 905;
  n = RoundInt(p1);
  p = p2;
  SupportLow = 0;
  SupportHigh = n;
  Mean = n * p;
  Variance = (1 - p) * Mean;
  HasMean = HasVariance = true;
  BuildPointTable();
  guard.Commit();
  return 0;
}

Extended tBinomial_Distribution::PointProb(Extended x) {
  if (!InSupport(x)) return 0;
  const Extended k = RoundExt(x);
  if (std::min<Extended>(k, n - k) <= kDirectTerms)
    return std::exp(LnChoose(n, k) + k * std::log(p) + (n - k) * std::log1p(-p));
  return std::exp(LnBinomialTerm(k, n, p, 1 - p));
}

Extended tBinomial_Distribution::Cdf(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x < SupportLow) return 0;
  if (x >= SupportHigh) return 1;
  const Extended k = IsIntegerValue(x) ? RoundExt(x) : std::floor(x);
  return 1 - BetaI(p, k + 1, n - k);
}

Extended tBinomial_Distribution::IntervalProb(Extended a, Extended b) {
  if (std::isnan(a) || std::isnan(b)) RaiseMessage(msgNotANumber);
  return tDistribution::IntervalProb(a, b);
}

Extended tBinomial_Distribution::ProbRatio(int32_t k) {
  if (k <= 0 || k > n) return 0;
  return ((n - k + 1) * p / k) / (1 - p);
}

tBernoulli_Distribution::tBernoulli_Distribution(Extended p) { SetParameters(p, 0, 0); }

int tBernoulli_Distribution::SetParameters(Extended p1, Extended p2, Extended p3) {
  (void)p2;
  (void)p3;
  // Validated as the binomial's second parameter; whatever fails, the
  // records go back to the one-parameter form they had.
  tSetParametersGuard guard(*this, true, n, p);
  int r = tBinomial_Distribution::SetParameters(1.0L, p1, 0);
  if (r != 0) return r;
  ParCount = 1;
  DefineParameter(1, 0, 1, false, "p");
  Par[1].Value = p1;
  Par[1].Unset = false;
  NameId = 904;
  guard.Commit();
  return 0;
}

Extended tBernoulli_Distribution::Quantile(Extended& q) {
  CheckValue(msgAtLeast, q, 0);
  if (std::fabs(q) < Eps) return SupportLow;
  CheckValue(msgNotGreaterThan, q, 1);
  if (std::fabs(q - 1) < Eps) return SupportHigh;
  // Within the tolerance 1 - p itself is P(X <= 0): the same rule as the
  // discrete base's quantile, whatever the last bit of q.
  if (q > 1 - p + Eps) {
    q = 1;
    return 1;
  }
  q = 1 - p;
  return 0;
}

Extended tBernoulli_Distribution::RandomValue() { return Uniform() < p ? 1 : 0; }

}  // namespace vokt
