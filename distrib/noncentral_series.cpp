#include "distrib/noncentral_series.h"

#include "distrib/normal.h"
#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt::noncentral {

Real IncBeta(Real x, Real cx, Real a, Real b) {
  if (std::isnan(x) || std::isnan(cx)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 0;
  if (cx <= 0) return 1;
  return x <= 0.5L ? BetaLower(a, b, x) : BetaUpper(b, a, cx);
}

Real IncBetaC(Real x, Real cx, Real a, Real b) {
  if (std::isnan(x) || std::isnan(cx)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 1;
  if (cx <= 0) return 0;
  return x <= 0.5L ? BetaUpper(a, b, x) : BetaLower(b, a, cx);
}

Real IncBeta(Real x, Real cx, const BetaFunction& f) {
  if (std::isnan(x) || std::isnan(cx)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 0;
  if (cx <= 0) return 1;
  return x <= 0.5L ? f.Lower(x) : f.Swapped().Upper(cx);
}

Real IncBetaC(Real x, Real cx, const BetaFunction& f) {
  if (std::isnan(x) || std::isnan(cx)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 1;
  if (cx <= 0) return 0;
  return x <= 0.5L ? f.Upper(x) : f.Swapped().Lower(cx);
}

namespace {
// Marsaglia-Tsang accepts more than 95% of its candidates; a thousand
// rejections in a row means the generator is broken, not unlucky.
constexpr int kTrialCap = 1000;
}  // namespace

Real StdNormalValue(RandomEngine& engine) {
  static NormalDistribution standard(0, 1);
  return standard.RandomValue(engine);
}

Real GammaValue(RandomEngine& engine, Real k) {
  if (k < 1) {
    const Real g = GammaValue(engine, k + 1);
    return g * std::pow(engine.Uniform(), 1 / k);
  }
  const Real d = k - 1.0L / 3, c = 1 / std::sqrt(9 * d);
  for (int trial = 0; trial < kTrialCap; ++trial) {
    const Real z = StdNormalValue(engine);
    Real v = 1 + c * z;
    if (v <= 0) continue;
    v = v * v * v;
    const Real u = engine.Uniform();
    const Real z2 = z * z;
    if (u < 1 - 0.0331L * z2 * z2) return d * v;
    if (u > 0 && std::log(u) < z2 / 2 + d * (1 - v + std::log(v))) return d * v;
  }
  throw ConvergenceError("the gamma generator");
}

int64_t PoissonValue(RandomEngine& engine, Real a) {
  if (!(a > 0)) return 0;
  const int64_t m = static_cast<int64_t>(std::floor(a));
  const Real pm = std::exp(LogPoissonWeight(static_cast<Real>(m), a));
  const Real fm = GammaUpper(static_cast<Real>(m) + 1, a);  // P(J <= m)
  const Real u = engine.Uniform();
  const int64_t cap = SeriesCap(a);
  Real p = pm, f = fm;
  int64_t j = m;
  if (u <= f) {
    // P(J <= j - 1) = f - p_j; step down while u still lies below it.
    for (int64_t n = 0; j > 0 && u <= f - p && n < cap; ++n) {
      f -= p;
      p = p * static_cast<Real>(j) / a;
      --j;
    }
  } else {
    // Rounding may leave f short of 1; the cap then ends the walk far out
    // in the tail, where any index is as good as the next.
    for (int64_t n = 0; u > f && n < cap; ++n) {
      ++j;
      p = p * a / static_cast<Real>(j);
      f += p;
    }
  }
  return j;
}

Real NcChiSquareValue(RandomEngine& engine, Real k, Real lambda) {
  if (k >= 1) {
    const Real z = StdNormalValue(engine) + std::sqrt(lambda);
    Real r = z * z;
    if (k > 1) r += 2 * GammaValue(engine, (k - 1) / 2);
    return r;
  }
  const int64_t j = lambda > 0 ? PoissonValue(engine, lambda / 2) : 0;
  return 2 * GammaValue(engine, k / 2 + static_cast<Real>(j));
}

int64_t SeriesCap(Real a) { return 100000 + static_cast<int64_t>(50 * std::sqrt(a)); }

int64_t ClampIndex(Real j, int64_t limit) {
  if (!(j > 0)) return 0;
  if (j >= static_cast<Real>(limit)) return limit;
  return static_cast<int64_t>(j);
}

}  // namespace vokt::noncentral
