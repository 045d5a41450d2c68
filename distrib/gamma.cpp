// Gamma, exponential and chi-square distributions.  Cdf by the regularized
// incomplete gamma function; random values by -ln U for shape 1, the
// Kinderman-Monahan ratio of uniforms around the mode with polynomial squeezes
// for shapes above 1, and the Ahrens-Dieter rejection method (GS) below 1.
#include "distrib/gamma.h"

#include <cmath>

#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {
// Every rejection generator here accepts a trial with probability above 0.5
// (ratio of uniforms: above 0.73; GS: above 0.72); a million failed trials in
// a row means the constants are broken, not bad luck.
constexpr int kTrialCap = 1000000;

Extended Clamp01(Extended p) {
  if (p < 0) return 0;
  if (p > 1) return 1;
  return p;
}
}  // namespace

Extended GammaCdfValue(Extended x, Extended a) {
  if (std::isnan(x) || std::isnan(a)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 0;
  if (x < Eps) {
    // The kernel's series reads arguments below the tolerance as 0, but a
    // small shape puts visible mass there: P(a, x) ~ x^a / Gamma(a + 1).
    // The next terms of the series, e^-x (1 + x/(a+1)), leave 1 - a x/(a+1)
    // with an error of order x^2.
    return Clamp01(std::exp(a * std::log(x) - LnGamma(a + 1)) * (1 - a * x / (a + 1)));
  }
  if (x <= InfBound) return Clamp01(GammaP(x, a));
  // The kernel refuses arguments above 2^31 - 1.  Every admissible shape is
  // below that, so the point lies above the mean and the continued fraction
  // for the upper tail applies (and converges fast).
  ErrorIf(a > InfBound, msgTooLarge);
  if (x < a + 1) return Clamp01(GammaSeries(x, a));
  return Clamp01(1 - GammaContFrac(x, a));
}

// ---------------------------------------------------------------- gamma

tGamma_distribution::tGamma_distribution(Extended alpha, Extended lambda) {
  tGamma_distribution::SetParameters(alpha, lambda, 0);
}

int tGamma_distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, 0, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@l");
  int r = tContinuous_distribution::SetParameters(p1, p2, 1);
  if (r != 0) return r;
  NameId = 911;
  Alpha = p1;
  Lambda = p2;
  LogNorm = Alpha * std::log(Lambda) - LnGamma(Alpha);
  SupportLow = 0;
  Mean = Alpha / Lambda;
  Variance = Alpha / (Lambda * Lambda);
  Mode = Alpha >= 1 ? (Alpha - 1) / Lambda : 0;
  if (Alpha > 1) {
    // Extremes of c sqrt(h(c)) for h(c) = (1 + c/d)^d e^-c, d = alpha - 1,
    // at c = 1 -+ m with m = sqrt(2 alpha - 1).  Since m - 1 = 2d/(1 + m),
    // ln((alpha - m)/d) = ln(1 - 2/(1 + m)) and ln((alpha + m)/d) =
    // ln(1 + (1 + m)/d) exactly; the log1p forms avoid the cancellation in
    // alpha - m for shapes just above 1.
    const Extended d = Alpha - 1;
    const Extended m = std::sqrt(2 * Alpha - 1);
    const Extended oneMinusM = -2 * d / (1 + m);
    Gen1 = oneMinusM * std::sqrt(std::exp(d * std::log1p(-2 / (1 + m)) + m - 1));
    Gen2 = (1 + m) * std::sqrt(std::exp(d * std::log1p((1 + m) / d) - m - 1));
  } else if (Alpha < 1) {
    Gen1 = 1 + Alpha / std::exp(1.0L);  // b = (e + alpha)/e
    Gen2 = 1 / Alpha;
  }
  return 0;
}

bool tGamma_distribution::InSupport(Extended x) const {
  if (Alpha < 1 && !(x > 0)) return false;
  return tContinuous_distribution::InSupport(x);
}

Extended tGamma_distribution::Density(Extended x) {
  if (InSupport(x) && x > 0)
    return CheckedExp((Alpha - 1) * std::log(x) + LogNorm - Lambda * x);
  if (NearlyEqual(Alpha, 1) && x == 0) return Lambda;
  return 0;
}

Extended tGamma_distribution::Cdf(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  return GammaCdfValue(Lambda * x, Alpha);
}

Extended tGamma_distribution::RandomValue() {
  if (Alpha == 1) return -std::log(Uniform()) / Lambda;
  if (Alpha > 1) {
    const Extended d = Alpha - 1;
    for (int trial = 0; trial < kTrialCap; ++trial) {
      const Extended u = Uniform();
      const Extended v = Uniform() * (Gen2 - Gen1) + Gen1;
      const Extended c = v / u;
      const Extended x = c + d;
      const Extended l = -2 * u * u + 8 * u - 6;
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
    throw EConvergenceError("the gamma generator");
  }
  // Ahrens-Dieter GS with b = 1 + alpha/e.
  const Extended b = Gen1;
  for (int trial = 0; trial < kTrialCap; ++trial) {
    const Extended u1 = Uniform();
    const Extended u2 = Uniform();
    const Extended p = b * u1;
    if (p > 1) {
      const Extended x = -std::log((b - p) * Gen2);
      if (u2 <= std::pow(x, Alpha - 1)) return x / Lambda;
    } else {
      const Extended x = std::pow(p, Gen2);
      if (std::log(u2) <= -x) return x / Lambda;
    }
  }
  throw EConvergenceError("the gamma generator");
}

// ---------------------------------------------------------------- exponential

namespace {
// The one-parameter cases validate through the gamma's records; when that
// fails their own single record (and the count) must come back, or the grid
// would show the gamma's two parameters.
struct tRecordGuard {
  tDistribution& d;
  uint8_t count;
  std::array<tVar, 4> par;
  bool armed = true;
  explicit tRecordGuard(tDistribution& dist) : d(dist), count(dist.ParCount), par(dist.Par) {}
  ~tRecordGuard() {
    if (armed) {
      d.ParCount = count;
      d.Par = par;
    }
  }
};
}  // namespace

tExponential::tExponential(Extended theta) { tExponential::SetParameters(theta, 0, 0); }

int tExponential::SetParameters(Extended p1, Extended, Extended) {
  tRecordGuard guard(*this);
  int r = tGamma_distribution::SetParameters(1, p1, 0);
  if (r != 0) return r;
  guard.armed = false;
  ParCount = 1;
  DefineParameter(1, 0, InfBound, false, "@q");
  Par[1].Value = p1;
  Par[1].Unset = false;
  NameId = 902;
  Theta = p1;
  return 0;
}

Extended tExponential::Quantile(Extended& p) {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (NearlyEqual(p, 0)) return SupportLow;
  if (NearlyEqual(p, 1)) return SupportHigh;
  return -std::log1p(-p) / Theta;
}

// ---------------------------------------------------------------- chi-square

tChi_square_Distribution::tChi_square_Distribution(Extended nu) {
  tChi_square_Distribution::SetParameters(nu, 0, 0);
}

int tChi_square_Distribution::SetParameters(Extended p1, Extended, Extended) {
  tRecordGuard guard(*this);
  int r = tGamma_distribution::SetParameters(p1 / 2, 0.5L, 0);
  if (r != 0) return r;
  guard.armed = false;
  ParCount = 1;
  DefineParameter(1, 0, InfBound, false, "@n");
  Par[1].Value = p1;
  Par[1].Unset = false;
  NameId = 907;
  Nu = p1;
  return 0;
}

}  // namespace vokt
