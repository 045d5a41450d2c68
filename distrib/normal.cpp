// Normal distribution: cdf through the incomplete gamma function
// (P(1/2, z^2/2) is erf(z / sqrt 2)); random values by ratio of uniforms with
// quadratic squeezes (Kinderman-Monahan, Leva's bounds).
#include "distrib/normal.h"

#include <cmath>

#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

Extended StdNormalCdf(Extended z) {
  if (std::isnan(z)) RaiseMessage(msgNotANumber);
  const Extended h = z * z / 2;
  // Beyond |z| = 200 the tail is below 1e-8600, far under the extended range.
  if (h > 20000) return z > 0 ? 1 : 0;
  const Extended g = GammaP(h, 0.5L);
  return z >= 0 ? 0.5L + 0.5L * g : 0.5L - 0.5L * g;
}

tNormal_Distribution::tNormal_Distribution(Extended mu, Extended sigma2) {
  SetParameters(mu, sigma2, std::sqrt(sigma2));
}

int tNormal_Distribution::SetParameters(Extended p1, Extended p2, Extended p3) {
  ParCount = 3;
  DefineParameter(1, -InfBound, InfBound, false, "@m");
  DefineParameter(2, 0, InfBound, false, "@s^2_");
  DefineParameter(3, 0, InfBound, false, "@s");
  int r = tContinuous_distribution::SetParameters(p1, p2, p3);
  if (r != 0) return r;
  NameId = 901;
  Mu = p1;
  Sigma2 = p2;
  Sigma = std::sqrt(p2);
  Mean = Mu;
  Variance = Sigma2;
  Mode = Mu;
  LogNorm = -(std::log(6.283185307179586477L) + std::log(Sigma2)) / 2;
  RouConst = std::sqrt(2 / std::exp(1.0L));
  return 0;
}

Extended tNormal_Distribution::Density(Extended x) {
  if (!InSupport(x)) return 0;
  const Extended d = x - Mu;
  return std::exp(LogNorm - d * d / (2 * Sigma2));
}

Extended tNormal_Distribution::Cdf(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  return StdNormalCdf((x - Mu) / Sigma);
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
