// Normal distribution: both tails through erfc in the tail where each is
// small, quantiles by the inverse erfc; random values by ratio of uniforms
// with quadratic squeezes (Kinderman-Monahan, Leva's bounds).
#include "distrib/normal.h"

#include <cmath>

#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

Real StdNormalCdf(Real z) {
  if (std::isnan(z)) RaiseMessage(msgNotANumber);
  return NormalLower(z);
}

NormalDistribution::NormalDistribution(Real mu, Real sigma2) {
  Build(mu, sigma2, std::sqrt(sigma2));
}

void NormalDistribution::SetParameters(Real p1, Real p2, Real p3) {
  NormalDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void NormalDistribution::Build(Real p1, Real p2, Real p3) {
  parCount_ = 3;
  StrictPositive = true;
  DefineParameter(1, -InfBound, InfBound, false, "@m");
  DefineParameter(2, 0, InfBound, false, "@s^2_");
  DefineParameter(3, 0, InfBound, false, "@s");
  ContinuousDistribution::SetParameters(p1, p2, p3);
  nameId_ = 901;
  Mu = p1;
  Sigma2 = p2;
  Sigma = std::sqrt(p2);
  InvSigma = 1 / Sigma;
  mean_ = Mu;
  variance_ = Sigma2;
  mode_ = Mu;
  LogNorm = -(std::log(6.283185307179586477L) + std::log(Sigma2)) / 2;
  ErrorIf(!(Sigma > 0) || !std::isfinite(Sigma), msgTooLarge);
  RouConst = std::sqrt(2 / std::exp(1.0L));
}

Real NormalDistribution::Z(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (std::isinf(x)) return x;
  const Real z = (x - Mu) / Sigma;
  // x - Mu can overflow for x and Mu of opposite signs near the range end.
  if (std::isinf(z)) return x / Sigma - Mu / Sigma;
  return z;
}

Real NormalDistribution::Density(Real x) const {
  const Real z = Z(x);
  if (std::isinf(z)) return 0;
  return NormalDensity(z) * InvSigma;
}

Real NormalDistribution::Cdf(Real x) const { return NormalLower(Z(x)); }

Real NormalDistribution::UpperTail(Real x) const { return NormalUpper(Z(x)); }

Real NormalDistribution::InverseCdf(Real p) const {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p == 0) return -InfBound;
  if (p == 1) return InfBound;
  return Mu + Sigma * NormalLowerInv(p);
}

Real NormalDistribution::UpperQuantile(Real q) const {
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  if (q == 0) return InfBound;
  if (q == 1) return -InfBound;
  return Mu + Sigma * NormalUpperInv(q);
}

Real NormalDistribution::RandomValue(RandomEngine& engine) const {
  Real x;
  for (;;) {
    const Real u = engine.Uniform();
    const Real v = (2 * engine.Uniform() - 1) * RouConst;
    x = v / u;
    const Real x2 = x * x;
    if (x2 <= 6 - 8 * u + 2 * u * u) break;
    if (x2 >= 2 / u - 2 * u) continue;
    if (x2 <= -4 * std::log(u)) break;
  }
  return Mu + Sigma * x;
}

void NormalDistribution::ParameterLabel(int i, int n, std::string& s) const {
  if (i == 2 && n > 0)
    s = "@s_" + std::to_string(n) + "^^2_";
  else
    ContinuousDistribution::ParameterLabel(i, n, s);
}

}  // namespace vokt
