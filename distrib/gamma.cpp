// Gamma, exponential and chi-square distributions.  Both tails by the
// regularized incomplete gamma functions P and Q, each computed directly;
// quantiles by their inverses; the density in log space, through Loader's
// saddle-point form for large shapes; random values by -ln U for shape 1, the
// Kinderman-Monahan ratio of uniforms around the mode with polynomial squeezes
// for shapes above 1, and the Ahrens-Dieter rejection method (GS) below 1.
#include "distrib/gamma.h"

#include <cmath>
#include <limits>

#include "numeric/functions.h"
#include "numeric/uniform.h"
#include "resources/strings.h"

namespace vokt {

namespace {
// Every rejection generator here accepts a trial with probability above 0.5
// (ratio of uniforms: above 0.73; GS: above 0.72); a million failed trials in
// a row means the constants are broken, not bad luck.
constexpr int kTrialCap = 1000000;

constexpr Real kLnSqrt2Pi = 0.918938533204672741780329736405617639861L;
// Below this shape (and rate times x) the terms of the log density are small
// enough to be added directly; above, the saddle-point form keeps the digits
// that the cancellation of (alpha - 1) ln y, y and ln Gamma(alpha) loses.
constexpr Real kDirectShape = 40;

// A positive finite parameter of a one-parameter case, checked before it is
// handed on to the gamma (whose messages name its second parameter).
void CheckOwnParameter(Real x) {
  if (!(x > 0)) throw ArgumentError(LoadString(msgGreaterThan) + FormatNumber(0));
  if (!std::isfinite(x)) RaiseMessage(msgTooLarge);
}
}  // namespace

// ---------------------------------------------------------------- gamma

GammaDistribution::GammaDistribution(Real alpha, Real lambda) { Build(alpha, lambda); }

void GammaDistribution::SetParameters(Real p1, Real p2, Real) {
  GammaDistribution next;
  next.par_ = par_;
  next.Build(p1, p2);
  ReplaceWith(*this, std::move(next));
}

void GammaDistribution::Build(Real p1, Real p2) {
  parCount_ = 2;
  StrictPositive = true;
  DefineParameter(1, 0, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@l");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  nameId_ = 911;
  Alpha = p1;
  Lambda = p2;
  LogNorm = Alpha * std::log(Lambda) - LogGamma(Alpha);
  LogLambda = std::log(Lambda);
  LogGammaAlpha = LogGamma(Alpha);
  // Loader's form: for alpha >= 1 the density is lambda times the Poisson
  // weight of alpha - 1 at y = lambda x; below 1 alpha / x times the weight of
  // alpha.  Everything but the deviance Bd0 is fixed per parameter set.
  SaddleShape = Alpha >= 1 ? Alpha - 1 : Alpha;
  SaddleConst =
      SaddleShape > 0 ? -StirlingError(SaddleShape) - 0.5L * std::log(SaddleShape) - kLnSqrt2Pi : 0;
  supportLow_ = 0;
  mean_ = Alpha / Lambda;
  variance_ = Alpha / (Lambda * Lambda);
  mode_ = Alpha >= 1 ? (Alpha - 1) / Lambda : 0;
  if (Alpha > 1) {
    // Extremes of c sqrt(h(c)) for h(c) = (1 + c/d)^d e^-c, d = alpha - 1,
    // at c = 1 -+ m with m = sqrt(2 alpha - 1).  Since m - 1 = 2d/(1 + m),
    // ln((alpha - m)/d) = ln(1 - 2/(1 + m)) and ln((alpha + m)/d) =
    // ln(1 + (1 + m)/d) exactly; the log1p forms avoid the cancellation in
    // alpha - m for shapes just above 1.
    const Real d = Alpha - 1;
    const Real m = std::sqrt(2 * Alpha - 1);
    const Real oneMinusM = -2 * d / (1 + m);
    Gen1 = oneMinusM * std::sqrt(std::exp(d * std::log1p(-2 / (1 + m)) + m - 1));
    Gen2 = (1 + m) * std::sqrt(std::exp(d * std::log1p((1 + m) / d) - m - 1));
  } else if (Alpha < 1) {
    Gen1 = 1 + Alpha / std::exp(1.0L);  // b = (e + alpha)/e
    Gen2 = 1 / Alpha;
  }
}

bool GammaDistribution::InSupport(Real x) const {
  if (Alpha < 1 && !(x > 0)) return false;
  return ContinuousDistribution::InSupport(x);
}

Real GammaDistribution::Density(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x < 0 || std::isinf(x)) return 0;
  // At 0 a shape below 1 has an infinite density; the graph takes 0 there.
  if (x == 0) return Alpha == 1 ? Lambda : 0;
  const Real y = Lambda * x;
  if (std::isinf(y)) return 0;
  if (Alpha < kDirectShape || y == 0) {
    // ln f = (alpha - 1) ln y + ln lambda - ln Gamma(alpha) - y
    const Real a1 = Alpha - 1;
    const Real ly = a1 == 0 ? 0 : a1 * std::log(y);
    return std::exp(ly + LogLambda - LogGammaAlpha - y);
  }
  const Real lw = SaddleConst - Bd0(SaddleShape, y);
  if (Alpha >= 1) return std::exp(lw + LogLambda);
  return std::exp(lw + std::log(Alpha / x));
}

Real GammaDistribution::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 0;
  return GammaLower(Alpha, Lambda * x);
}

Real GammaDistribution::UpperTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 1;
  return GammaUpper(Alpha, Lambda * x);
}

Real GammaDistribution::InverseCdf(Real p) const {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p > 0.5L) return GammaUpperInv(Alpha, 1 - p) / Lambda;
  return GammaLowerInv(Alpha, p) / Lambda;
}

Real GammaDistribution::UpperQuantile(Real q) const {
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  if (q > 0.5L) return GammaLowerInv(Alpha, 1 - q) / Lambda;
  return GammaUpperInv(Alpha, q) / Lambda;
}

Real GammaDistribution::RandomValue(RandomEngine& engine) const {
  if (Alpha == 1) return -std::log(engine.Uniform()) / Lambda;
  if (Alpha > 1) {
    const Real d = Alpha - 1;
    for (int trial = 0; trial < kTrialCap; ++trial) {
      const Real u = engine.Uniform();
      const Real v = engine.Uniform() * (Gen2 - Gen1) + Gen1;
      const Real c = v / u;
      const Real x = c + d;
      const Real l = -2 * u * u + 8 * u - 6;
      // Quick acceptance, then quick rejection: polynomial bounds on both
      // sides of the exact test, so the logarithms are rarely needed.
      if (c >= 0) {
        if (-c * c * (c + x) >= x * x * l) return x / Lambda;
        if (-u * c * c <= (2 * u * u - 2) * x) continue;
      } else {
        if (-c * c >= x * l) return x / Lambda;
        if (-u * c * c <= (2 * u * u - 2) * d) continue;
      }
      if (x <= 0) continue;
      // Exact test u^2 <= h(c).
      if (2 * std::log(u) + c <= d * std::log1p(c / d)) return x / Lambda;
    }
    throw ConvergenceError("the gamma generator");
  }
  // Ahrens-Dieter GS with b = 1 + alpha/e.
  const Real b = Gen1;
  for (int trial = 0; trial < kTrialCap; ++trial) {
    const Real u1 = engine.Uniform();
    const Real u2 = engine.Uniform();
    const Real p = b * u1;
    if (p > 1) {
      const Real x = -std::log((b - p) * Gen2);
      if (u2 <= std::pow(x, Alpha - 1)) return x / Lambda;
    } else {
      const Real x = std::pow(p, Gen2);
      if (std::log(u2) <= -x) return x / Lambda;
    }
  }
  throw ConvergenceError("the gamma generator");
}

// ---------------------------------------------------------------- exponential

ExponentialDistribution::ExponentialDistribution(Real theta) { Build(theta); }

void ExponentialDistribution::SetParameters(Real p1, Real, Real) {
  ExponentialDistribution next;
  next.par_ = par_;
  next.Build(p1);
  ReplaceWith(*this, std::move(next));
}

void ExponentialDistribution::Build(Real p1) {
  // Checked on its own, then applied as the gamma's rate; the record is
  // then its own.
  CheckOwnParameter(p1);
  GammaDistribution::Build(1, p1);
  parCount_ = 1;
  DefineParameter(1, 0, InfBound, false, "@q");
  par_[1].Value = p1;
  par_[1].Unset = false;
  nameId_ = 902;
  Theta = p1;
}

Real ExponentialDistribution::Density(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x < 0) return 0;
  return Theta * std::exp(-Theta * x);
}

Real ExponentialDistribution::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 0;
  return -std::expm1(-Theta * x);
}

Real ExponentialDistribution::UpperTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 1;
  return std::exp(-Theta * x);
}

Real ExponentialDistribution::InverseCdf(Real p) const {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p == 1) return supportHigh_;
  // ln(1 - p) is exact for p > 1/2 as a logarithm of the exact 1 - p.
  if (p > 0.5L) return -std::log(1 - p) / Theta;
  return -std::log1p(-p) / Theta;
}

Real ExponentialDistribution::UpperQuantile(Real q) const {
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  if (q == 0) return supportHigh_;
  if (q < 0.5L) return -std::log(q) / Theta;
  return -std::log1p(-(1 - q)) / Theta;
}

// ---------------------------------------------------------------- chi-square

ChiSquareDistribution::ChiSquareDistribution(Real nu) { Build(nu); }

void ChiSquareDistribution::SetParameters(Real p1, Real, Real) {
  ChiSquareDistribution next;
  next.par_ = par_;
  next.Build(p1);
  ReplaceWith(*this, std::move(next));
}

void ChiSquareDistribution::Build(Real p1) {
  // Checked on its own, then applied as the gamma's shape; the record is
  // then its own.
  CheckOwnParameter(p1);
  GammaDistribution::Build(p1 / 2, 0.5L);
  parCount_ = 1;
  DefineParameter(1, 0, InfBound, false, "@n");
  par_[1].Value = p1;
  par_[1].Unset = false;
  nameId_ = 907;
  Nu = p1;
}

}  // namespace vokt
