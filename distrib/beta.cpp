// Beta distribution: density in log space with the normalising constant
// 1/B(alpha, beta) from log-gamma values, through Loader's saddle-point form
// for large shapes; both tails by the regularized incomplete beta function
// and its complement, quantiles by their inverses;
// random values by Cheng's algorithm BA (1978), which serves every pair of
// positive shapes.
#include "distrib/beta.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {
// Cheng's BA accepts at least about one trial in four for any shapes; a
// million failures in a row can only mean broken constants.
constexpr int kTrialCap = 1000000;
// Up to this shape sum the terms of the log density are added directly.
constexpr Real kDirectShapes = 40;

// ln(e^a + e^b) without overflow.
Real LogAddExp(Real a, Real b) {
  if (a < b) std::swap(a, b);
  if (std::isinf(b) && b < 0) return a;
  return a + std::log1p(std::exp(b - a));
}
}  // namespace

BetaDistribution::BetaDistribution(Real alpha, Real beta) { Build(alpha, beta, 0); }

void BetaDistribution::SetParameters(Real p1, Real p2, Real p3) {
  BetaDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void BetaDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  StrictPositive = true;
  DefineParameter(1, 0, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  nameId_ = 910;
  const Real a = p1, b = p2;
  Alpha = a;
  Beta = b;
  ShapeSum = a + b;
  ErrorIf(!std::isfinite(ShapeSum), msgTooLarge);
  Incomplete = BetaFunction(a, b);
  // -ln B(a, b); for a large shape the ratio form keeps the digits that
  // ln Gamma(a + b) - ln Gamma(b) would cancel.
  if (a >= b)
    LogNorm = LogGammaRatio(ShapeSum, a) - LogGamma(b);
  else
    LogNorm = LogGammaRatio(ShapeSum, b) - LogGamma(a);
  Saddle = a > 2 && b > 2 && ShapeSum > kDirectShapes;
  auto halfSteps = [&](Real s) {
    const Real t = 2 * (s - 1);
    return ShapeSum <= 20 && t >= 0 && t == std::floor(t) ? static_cast<int>(t) : -1;
  };
  PowerA = halfSteps(a);
  PowerB = halfSteps(b);
  Norm = std::exp(LogNorm);
  if (Saddle) LogSumM1 = std::log(ShapeSum - 1);
  supportLow_ = 0;
  supportHigh_ = 1;
  mean_ = a / ShapeSum;
  variance_ = mean_ * b / ShapeSum / (ShapeSum + 1);
  if (a == b && a >= 1)
    mode_ = 0.5L;
  else if (a == 1 && b > 1)
    mode_ = 0;
  else if (b == 1 && a > 1)
    mode_ = 1;
  else if (a > 1 && b > 1)
    mode_ = (a - 1) / (ShapeSum - 2);
  else if (a < b)
    mode_ = 0;
  else
    mode_ = 1;
  if (a > 1 && b > 1)
    Rho = std::sqrt((2 * a * b - ShapeSum) / (ShapeSum - 2));
  else
    Rho = std::min(a, b);
  AlphaRho = a + Rho;
  LnAlpha = std::log(a);
  LnBeta = std::log(b);
  LnSum = std::log(ShapeSum);
}

bool BetaDistribution::InSupport(Real x) const {
  const bool lowOk = Alpha >= 1 ? x >= 0 : x > 0;
  const bool highOk = Beta >= 1 ? x <= 1 : x < 1;
  return lowOk && highOk;
}

Real BetaDistribution::Density(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  // At an end where the density is infinite the graph takes 0, as before.
  if (x == 0) return Alpha == 1 ? Beta : 0;
  if (x == 1) return Beta == 1 ? Alpha : 0;
  if (!(x > 0 && x < 1)) return 0;
  if (Real f; PowerDensity(x, 1 - x, f)) return f;
  return std::exp(LogDensity(x, 1 - x));
}

namespace {
// v^(k/2) for 0 <= k <= 38 by squaring, and a square root for odd k: a few
// roundings, whatever the size of the result.
Real HalfPower(Real v, int k) {
  Real r = (k & 1) ? std::sqrt(v) : 1;
  Real base = v;
  for (int n = k / 2; n > 0; n >>= 1) {
    if (n & 1) r *= base;
    base *= base;
  }
  return r;
}
}  // namespace

bool BetaDistribution::PowerDensity(Real y, Real q, Real& f) const {
  if (PowerA < 0 || PowerB < 0) return false;
  const Real py = HalfPower(y, PowerA), pq = HalfPower(q, PowerB);
  if (!(py >= 1e-4000L) || !(pq >= 1e-4000L)) return false;
  f = Norm * py * pq;
  return true;
}

Real BetaDistribution::LogDensity(Real y, Real q) const {
  if (Saddle) {
    // (a + b - 1) times the binomial weight of a - 1 in a + b - 2 trials.
    return LogSumM1 + LogBinomialWeight(Alpha - 1, ShapeSum - 2, y, q);
  }
  const Real ly = Alpha == 1 ? 0 : (Alpha - 1) * std::log(y);
  const Real lq = Beta == 1 ? 0 : (Beta - 1) * std::log(q);
  return ly + lq + LogNorm;
}

Real BetaDistribution::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  return Incomplete.Lower(x);
}

Real BetaDistribution::UpperTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  return Incomplete.Upper(x);
}

Real BetaDistribution::InverseCdf(Real p) const {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p > 0.5L) return Incomplete.UpperInv(1 - p);
  return Incomplete.LowerInv(p);
}

Real BetaDistribution::UpperQuantile(Real q) const {
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  if (q > 0.5L) return Incomplete.LowerInv(1 - q);
  return Incomplete.UpperInv(q);
}

Real BetaDistribution::ChengLogW(RandomEngine& engine) const {
  // Cheng's BA: V = ln(U1/(1 - U1))/rho, W = alpha e^V, accept when
  // (alpha+beta) ln((alpha+beta)/(beta+W)) + (alpha+rho) V - ln 4 >= ln(U1^2 U2).
  // For small shapes rho is small and e^V can leave the extended range
  // although the test and the result are well defined; W is then kept as its
  // logarithm.
  const Real ln4 = 1.386294361119890618834464242916L;
  for (int trial = 0; trial < kTrialCap; ++trial) {
    const Real u1 = engine.Uniform();
    const Real v = std::log(u1 / (1 - u1)) / Rho;
    const Real lnW = LnAlpha + v;
    const Real lnBW = lnW < 11000 ? std::log(Beta + std::exp(lnW))  // ln(beta + W)
                                  : LogAddExp(LnBeta, lnW);
    const Real t = ShapeSum * (LnSum - lnBW) + AlphaRho * v - ln4;
    const Real u2 = engine.Uniform();
    if (t >= std::log(u1 * u1 * u2)) return lnW;
  }
  throw ConvergenceError("the beta generator");
}

Real BetaDistribution::RandomValue(RandomEngine& engine) const {
  // W/(beta + W) = 1/(1 + beta/W)
  return 1 / (1 + std::exp(LnBeta - ChengLogW(engine)));
}

Real BetaDistribution::RandomOdds(RandomEngine& engine) const {
  const Real r = std::exp(ChengLogW(engine) - LnBeta);
  if (std::isinf(r)) RaiseOverflow();
  return r;
}

}  // namespace vokt
