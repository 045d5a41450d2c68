// Poisson distribution: point probabilities from log-gamma, the distribution
// function as the regularized upper incomplete gamma function Q(k + 1, lambda),
// and the ratio lambda / k of neighbouring points, with which the discrete
// base steps through sums, walks and its table (and passes over the
// underflowed terms far below a large mean instead of visiting each one).
#include "distrib/poisson.h"

#include <cmath>

#include "distrib/discrete_util.h"
#include "numeric/functions.h"

namespace vokt {

tPoisson_Distribution::tPoisson_Distribution(Extended lambda) { SetParameters(lambda, 0, 0); }

int tPoisson_Distribution::SetParameters(Extended p1, Extended p2, Extended p3) {
  (void)p2;
  (void)p3;
  tSetParametersGuard guard(*this, false, Lambda);
  ParCount = 1;
  DefineParameter(1, 0, InfBound, false, "@l");
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
  return std::exp(k * std::log(Lambda) - Lambda - LnGamma(k + 1));
}

Extended tPoisson_Distribution::Cdf(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x <= -1) return 0;
  // Beyond the 32-bit range the integer conversion fails (a range error), and
  // at the infinite bound itself the incomplete gamma function refuses its
  // shape: there is no shortcut at the upper end of the support.
  const Extended k = IsIntegerValue(x) ? RoundExt(x) : FloorInt(x);
  if (k < 0) return 0;
  return 1 - GammaP(Lambda, k + 1);
}

Extended tPoisson_Distribution::ProbRatio(int32_t k) {
  if (k <= 0) return 0;
  return Lambda / k;
}

}  // namespace vokt
