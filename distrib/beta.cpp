// Beta distribution: density with the normalising constant 1/B(alpha, beta)
// from log-gamma values, cdf by the regularized incomplete beta function,
// random values by Cheng's algorithm BA (1978), which serves every pair of
// positive shapes.
#include "distrib/beta.h"

#include <algorithm>
#include <cmath>

#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {
// Cheng's BA accepts at least about one trial in four for any shapes; a
// million failures in a row can only mean broken constants.
constexpr int kTrialCap = 1000000;

// ln(e^a + e^b) without overflow.
Extended LogAddExp(Extended a, Extended b) {
  if (a < b) std::swap(a, b);
  if (std::isinf(b) && b < 0) return a;
  return a + std::log1p(std::exp(b - a));
}
}  // namespace

tBeta_distribution::tBeta_distribution(Extended alpha, Extended beta) {
  tBeta_distribution::SetParameters(alpha, beta, 0);
}

int tBeta_distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, 0, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  int r = tContinuous_distribution::SetParameters(p1, p2, 1);
  if (r != 0) return r;
  NameId = 910;
  const Extended a = p1, b = p2;
  Alpha = a;
  Beta = b;
  ShapeSum = a + b;
  LogNorm = LnGamma(ShapeSum) - LnGamma(a) - LnGamma(b);
  SupportLow = 0;
  SupportHigh = 1;
  Mean = a / ShapeSum;
  Variance = Mean * b / ShapeSum / (ShapeSum + 1);
  if (a == b && a >= 1)
    Mode = 0.5L;
  else if (a == 1 && b > 1)
    Mode = 0;
  else if (b == 1 && a > 1)
    Mode = 1;
  else if (a > 1 && b > 1)
    Mode = (a - 1) / (ShapeSum - 2);
  else if (a < b)
    Mode = 0;
  else
    Mode = 1;
  if (a > 1 && b > 1)
    Rho = std::sqrt((2 * a * b - ShapeSum) / (ShapeSum - 2));
  else
    Rho = std::min(a, b);
  AlphaRho = a + Rho;
  LnAlpha = std::log(a);
  LnBeta = std::log(b);
  LnSum = std::log(ShapeSum);
  return 0;
}

bool tBeta_distribution::InSupport(Extended x) const {
  const bool lowOk = Alpha >= 1 ? x >= 0 : x > 0;
  const bool highOk = Beta >= 1 ? x <= 1 : x < 1;
  return lowOk && highOk;
}

Extended tBeta_distribution::Density(Extended x) {
  if (Alpha == 1 && x == 0) return Beta;
  if (Beta == 1 && x == 1) return Alpha;
  if (!(x > 0 && x < 1)) return 0;
  return CheckedExp((Alpha - 1) * std::log(x) + LogNorm + (Beta - 1) * std::log1p(-x));
}

Extended tBeta_distribution::Cdf(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  const Extended p = BetaI(x, Alpha, Beta);
  return p < 0 ? 0 : (p > 1 ? 1 : p);
}

Extended tBeta_distribution::ChengLogW() {
  // Cheng's BA: V = ln(U1/(1 - U1))/rho, W = alpha e^V, accept when
  // (alpha+beta) ln((alpha+beta)/(beta+W)) + (alpha+rho) V - ln 4 >= ln(U1^2 U2).
  // For small shapes rho is small and e^V can leave the extended range
  // although the test and the result are well defined; W is then kept as its
  // logarithm.
  const Extended ln4 = 1.386294361119890618834464242916L;
  for (int trial = 0; trial < kTrialCap; ++trial) {
    const Extended u1 = Uniform();
    const Extended v = std::log(u1 / (1 - u1)) / Rho;
    const Extended lnW = LnAlpha + v;
    const Extended lnBW = lnW < 11000 ? std::log(Beta + std::exp(lnW))  // ln(beta + W)
                                      : LogAddExp(LnBeta, lnW);
    const Extended t = ShapeSum * (LnSum - lnBW) + AlphaRho * v - ln4;
    const Extended u2 = Uniform();
    if (t >= std::log(u1 * u1 * u2)) return lnW;
  }
  throw EConvergenceError("the beta generator");
}

Extended tBeta_distribution::RandomValue() {
  // W/(beta + W) = 1/(1 + beta/W)
  return 1 / (1 + std::exp(LnBeta - ChengLogW()));
}

Extended tBeta_distribution::RandomOdds() { return CheckedExp(ChengLogW() - LnBeta); }

}  // namespace vokt
