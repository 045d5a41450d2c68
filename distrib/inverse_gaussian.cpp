// Inverse Gaussian distribution.  The cdf is
//   Phi(v) + e^(2 phi) Phi(-w),  v = sqrt(lambda/x) (x/mu - 1),
//                                w = sqrt(lambda/x) (x/mu + 1),
// and since 2 phi - w^2/2 = -v^2/2 the second term equals phi(v) R(w), with
// phi the normal density and R the Mills ratio.  That form needs neither
// e^(2 phi), which overflows for phi above about 5678, nor the far normal tail
// Phi(-w), which loses all relative accuracy (and then underflows) long
// before that: at phi = 20, x = mu/2 the product is 2.8e-4 from a tail of
// 1.2e-21 times e^40.
#include "distrib/inverse_gaussian.h"

#include <cmath>

namespace vokt {

namespace {
constexpr Extended kSqrt2Pi = 2.506628274631000502415765284811045253L;
constexpr Extended kSqrt2 = 1.414213562373095048801688724209698079L;
constexpr Extended kLn2Pi = 1.837877066409345483560659472811235280L;

// From here on the asymptotic series of the Mills ratio is exact to extended
// precision with a dozen terms (its smallest term lies near n = w^2/2).
constexpr Extended kMillsAsymptotic = 30;

// Below this argument Phi(v) is taken through the Mills ratio.
constexpr Extended kLowerTail = -5;

Extended Clamp01(Extended p) {
  if (p < 0) return 0;
  if (p > 1) return 1;
  return p;
}
}  // namespace

Extended NormalMillsRatio(Extended w) {
  if (std::isnan(w)) RaiseMessage(msgNotANumber);
  if (w < kMillsAsymptotic) {
    // erfc keeps its relative accuracy in the tail, and e^(w^2/2) <= e^450.
    return std::erfc(w / kSqrt2) / 2 * kSqrt2Pi * std::exp(w * w / 2);
  }
  // R(w) ~ (1/w) sum_n (-1)^n (2n - 1)!! / w^(2n)
  const Extended w2 = w * w;
  Extended term = 1, sum = 1;
  for (int n = 1; n <= 14; ++n) {
    term *= -(2 * n - 1) / w2;
    sum += term;
  }
  return sum / w;
}

tInverseGaussian_distribution::tInverseGaussian_distribution(Extended mu, Extended lambda) {
  SetParameters(mu, lambda, 1);
  NormalPart = std::make_unique<tNormal_Distribution>(0, 1);
}

int tInverseGaussian_distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, 0, InfBound, false, "@m");
  DefineParameter(2, 0, InfBound, false, "@l");
  const int r = tContinuous_distribution::SetParameters(p1, p2, 1);
  if (r != 0) return r;
  NameId = 930;
  Mu = p1;
  Lambda = p2;
  Phi = Lambda / Mu;
  SupportLow = 0;
  HasMean = true;
  HasVariance = true;
  Mean = Mu;
  Variance = Mu * Mu * Mu / Lambda;
  // mu (sqrt(1 + 9/(4 phi^2)) - 3/(2 phi)), multiplied out by the conjugate:
  // for small phi the difference would cancel to nothing.
  Mode = Mu / (std::sqrt(1 + 9 / (4 * Phi * Phi)) + 3 / (2 * Phi));
  return 0;
}

bool tInverseGaussian_distribution::InSupport(Extended x) const {
  return tContinuous_distribution::InSupport(x) && x > 0;
}

Extended tInverseGaussian_distribution::Density(Extended x) {
  if (!InSupport(x)) return 0;
  // sqrt(lambda/(2 pi x^3)) exp(-lambda (x - mu)^2 / (2 mu^2 x)), in logs so
  // that x^3 cannot underflow; the exponent is -v^2/2.
  const Extended ratio = Lambda / x;
  if (!std::isfinite(ratio)) return 0;
  const Extended z1 = x / Mu - 1;
  const Extended v2 = ratio * z1 * z1;
  return std::exp((std::log(Lambda) - kLn2Pi) / 2 - 1.5L * std::log(x) - v2 / 2);
}

Extended tInverseGaussian_distribution::Cdf(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  const Extended s = std::sqrt(Lambda / x);
  if (!std::isfinite(s)) return 0;  // x so close to 0 that lambda/x overflows
  const Extended z = x / Mu;
  const Extended v = s * (z - 1);
  const Extended w = s * (z + 1);
  const Extended density = std::exp(-v * v / 2) / kSqrt2Pi;  // phi(v)
  // Phi(v) = phi(v) R(-v) as well; below -5 that form keeps the relative
  // accuracy that 1/2 - P(1/2, v^2/2)/2 loses (and the lower tail of the cdf
  // then has it too, where the two terms are of one size).
  const Extended first = v < kLowerTail ? density * NormalMillsRatio(-v) : NormalPart->Cdf(v);
  const Extended second = density * NormalMillsRatio(w);
  return Clamp01(first + second);
}

}  // namespace vokt
