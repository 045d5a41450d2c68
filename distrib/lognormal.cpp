// Lognormal distribution: density through logarithms, both tails as the
// normal tails of (ln x - mu) / sigma, quantiles as e^(mu + sigma z) with z
// the normal's inverse on the same tail, random values as e^Y with Y from
// the normal's generator.
#include "distrib/lognormal.h"

#include <cmath>
#include <limits>

#include "numeric/functions.h"

namespace vokt {

namespace {
Real Clamp01(Real p) {
  if (p < 0) return 0;
  if (p > 1) return 1;
  return p;
}
}  // namespace

LognormalDistribution::LognormalDistribution(Real mu, Real sigma2) { Build(mu, sigma2, 1); }

void LognormalDistribution::SetParameters(Real p1, Real p2, Real p3) {
  LognormalDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void LognormalDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  DefineParameter(1, -InfBound, InfBound, false, "@m");
  DefineParameter(2, 0, InfBound, false, "@s^2_");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  auto normal = std::make_unique<NormalDistribution>(p1, p2);
  nameId_ = 918;
  Mu = p1;
  Sigma2 = p2;
  Sigma = std::sqrt(Sigma2);
  supportLow_ = 0;
  // E X = exp(mu + sigma^2/2); Var X = exp(2 mu + sigma^2) (e^(sigma^2) - 1),
  // the difference of the two exponentials written without cancellation.
  // Moments beyond the extended range are reported as absent, so that the
  // plot range and the quantile search work from quantiles instead.
  const Real lnMax = std::log(std::numeric_limits<Real>::max());
  const Real logMean = Mu + Sigma2 / 2;
  hasMean_ = logMean < lnMax;
  mean_ = hasMean_ ? std::exp(logMean) : 0;
  const Real logVar =
      2 * Mu + Sigma2 +
      (Sigma2 > 40 ? Sigma2 + std::log1p(-std::exp(-Sigma2)) : std::log(std::expm1(Sigma2)));
  variance_ = std::exp(logVar);
  hasVariance_ = hasMean_ && std::isnormal(variance_);
  if (!hasVariance_) variance_ = 0;
  LogNorm = -(std::log(6.283185307179586477L) + std::log(Sigma2)) / 2;
  mode_ = std::exp(Mu - Sigma2);
  NormalPart = std::move(normal);
}

bool LognormalDistribution::InSupport(Real x) const {
  return ContinuousDistribution::InSupport(x) && x > 0;
}

Real LognormalDistribution::Density(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!(x > 0) || std::isinf(x)) return 0;
  const Real lx = std::log(x);
  const Real d = lx - Mu;
  return std::exp(LogNorm - lx - d * d / (2 * Sigma2));
}

Real LognormalDistribution::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!(x > 0)) return 0;
  return Clamp01(NormalLower((std::log(x) - Mu) / Sigma));
}

Real LognormalDistribution::UpperTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!(x > 0)) return 1;
  return Clamp01(NormalUpper((std::log(x) - Mu) / Sigma));
}

Real LognormalDistribution::InverseCdf(Real p) const {
  if (std::isnan(p)) RaiseMessage(msgNotANumber);
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p == 0) return 0;
  if (p == 1) return supportHigh_;
  return std::exp(Mu + Sigma * NormalLowerInv(p));
}

Real LognormalDistribution::UpperQuantile(Real q) const {
  if (std::isnan(q)) RaiseMessage(msgNotANumber);
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  if (q == 0) return supportHigh_;
  if (q == 1) return 0;
  return std::exp(Mu + Sigma * NormalUpperInv(q));
}

Real LognormalDistribution::RandomValue(RandomEngine& engine) const {
  // Beyond the extended range only for absurd mu; reported as overflow.
  return CheckedExp(NormalPart->RandomValue(engine));
}

void LognormalDistribution::ParameterLabel(int i, int n, std::string& s) const {
  if (i == 2 && n > 0)
    s = "@s_" + std::to_string(n) + "^^2_";
  else
    ContinuousDistribution::ParameterLabel(i, n, s);
}

}  // namespace vokt
