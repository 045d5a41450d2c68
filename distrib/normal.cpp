// Normal distribution: both tails through erfc in the tail where each is
// small, quantiles by the inverse erfc; random values by ratio of uniforms
// with quadratic squeezes (Kinderman-Monahan, Leva's bounds).
#include "distrib/normal.h"

#include <cmath>

#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

Extended StdNormalCdf(Extended z) {
  if (std::isnan(z)) RaiseMessage(msgNotANumber);
  return NormalLower(z);
}

tNormal_Distribution::tNormal_Distribution(Extended mu, Extended sigma2) {
  SetParameters(mu, sigma2, std::sqrt(sigma2));
}

int tNormal_Distribution::SetParameters(Extended p1, Extended p2, Extended p3) {
  ParCount = 3;
  StrictPositive = true;
  DefineParameter(1, -InfBound, InfBound, false, "@m");
  DefineParameter(2, 0, InfBound, false, "@s^2_");
  DefineParameter(3, 0, InfBound, false, "@s");
  int r = tContinuous_distribution::SetParameters(p1, p2, p3);
  if (r != 0) return r;
  NameId = 901;
  Mu = p1;
  Sigma2 = p2;
  Sigma = std::sqrt(p2);
  InvSigma = 1 / Sigma;
  Mean = Mu;
  Variance = Sigma2;
  Mode = Mu;
  LogNorm = -(std::log(6.283185307179586477L) + std::log(Sigma2)) / 2;
  ErrorIf(!(Sigma > 0) || !std::isfinite(Sigma), msgTooLarge);
  RouConst = std::sqrt(2 / std::exp(1.0L));
  return 0;
}

Extended tNormal_Distribution::Z(Extended x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (std::isinf(x)) return x;
  const Extended z = (x - Mu) / Sigma;
  // x - Mu can overflow for x and Mu of opposite signs near the range end.
  if (std::isinf(z)) return x / Sigma - Mu / Sigma;
  return z;
}

Extended tNormal_Distribution::Density(Extended x) {
  const Extended z = Z(x);
  if (std::isinf(z)) return 0;
  return NormalDensity(z) * InvSigma;
}

Extended tNormal_Distribution::Cdf(Extended x) { return NormalLower(Z(x)); }

Extended tNormal_Distribution::UpperTail(Extended x) { return NormalUpper(Z(x)); }

Extended tNormal_Distribution::Quantile(Extended& p) {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p == 0) return -InfBound;
  if (p == 1) return InfBound;
  return Mu + Sigma * NormalLowerInv(p);
}

Extended tNormal_Distribution::UpperQuantile(Extended q) {
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  if (q == 0) return InfBound;
  if (q == 1) return -InfBound;
  return Mu + Sigma * NormalUpperInv(q);
}

Extended tNormal_Distribution::RandomValue() {
  Extended x;
  for (;;) {
    const Extended u = Uniform();
    const Extended v = (2 * Uniform() - 1) * RouConst;
    x = v / u;
    const Extended x2 = x * x;
    if (x2 <= 6 - 8 * u + 2 * u * u) break;
    if (x2 >= 2 / u - 2 * u) continue;
    if (x2 <= -4 * std::log(u)) break;
  }
  return Mu + Sigma * x;
}

void tNormal_Distribution::ParameterLabel(int i, int n, std::string& s) const {
  if (i == 2 && n > 0)
    s = "@s_" + std::to_string(n) + "^^2_";
  else
    tContinuous_distribution::ParameterLabel(i, n, s);
}

}  // namespace vokt
