// Student's t and Fisher's F distributions.  Both cdfs are regularized
// incomplete beta functions for every number of degrees of freedom; random
// values of the t by the polar method (nu = 1, 3), ratio of uniforms (other
// nu >= 1) or a normal over the root of a scaled gamma (nu < 1), of the F from
// its beta component.
#include "distrib/t_f.h"

#include <cmath>

#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {
// The polar method accepts pi/4 of its trials, the ratio of uniforms for the
// t more than half; a million failures in a row means broken constants.
constexpr int kTrialCap = 1000000;

Extended Clamp01(Extended p) {
  if (p < 0) return 0;
  if (p > 1) return 1;
  return p;
}
}  // namespace

// ---------------------------------------------------------------- t

tT_distribution::tT_distribution(Extended nu) { tT_distribution::SetParameters(nu, 1, 1); }

int tT_distribution::SetParameters(Extended p1, Extended, Extended) {
  ParCount = 1;
  DefineParameter(1, 0, InfBound, false, "@n");
  const std::array<tVar, 4> before = Par;
  int r = tContinuous_distribution::SetParameters(p1, 1, 1);
  if (r != 0) return r;
  const Extended nu = p1;
  // The components come first: their shape nu/2 can still be refused (nu
  // within twice the tolerance of 0), and then nothing may have changed.
  std::unique_ptr<tNormal_Distribution> normal;
  std::unique_ptr<tGamma_distribution> gamma;
  if (nu < 1) {
    try {
      normal = std::make_unique<tNormal_Distribution>(0, 1);
      gamma = std::make_unique<tGamma_distribution>(nu / 2, 1);
    } catch (...) {
      Par = before;
      throw;
    }
  }
  NameId = 908;
  Nu = nu;
  HasMean = nu > 1;
  if (HasMean) Mean = 0;
  HasVariance = nu > 2;
  if (HasVariance) Variance = nu / (nu - 2);
  LogNorm = LnGamma((nu + 1) / 2) - LnGamma(nu / 2) - std::log(nu * 3.141592653589793238L) / 2;
  Mode = 0;
  if (nu >= 1) {
    // Largest |x| sqrt(h(x)) for h(x) = (1 + x^2/nu)^(-(nu+1)/2), at
    // x^2 = 2nu/(nu - 1): sqrt(2nu) (nu-1)^((nu-1)/4) / (nu+1)^((nu+1)/4).
    // Written as -ln(nu+1)/2 + (nu-1)/4 ln((nu-1)/(nu+1)) so that large nu
    // neither overflows the powers nor cancels; nu = 1 gives 1.
    Extended lg = std::log(2 * nu) / 2 - std::log(nu + 1) / 2;
    if (nu > 1) lg += (nu - 1) / 4 * std::log1p(-2 / (nu + 1));
    Gen = std::exp(lg);
  } else {
    Gen = std::sqrt(nu / 2);
    NormalPart = std::move(normal);
    GammaPart = std::move(gamma);
  }
  return 0;
}

Extended tT_distribution::Density(Extended x) {
  if (!InSupport(x)) return 0;
  // exp(ln(nu/(x^2 + nu)) (nu+1)/2 + LogNorm), with ln(nu/(x^2+nu)) as
  // -ln(1 + x^2/nu), exact for small x and large nu.
  return std::exp(-std::log1p(x * x / Nu) * (Nu + 1) / 2 + LogNorm);
}

Extended tT_distribution::Cdf(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  // P(|T| > |x|) = I_y(nu/2, 1/2) with y = nu/(x^2 + nu).  Near the centre y
  // is close to 1 and the complement I_(1-y)(1/2, nu/2) with 1 - y =
  // x^2/(x^2 + nu) is computed directly instead.
  const Extended x2 = x * x;
  if (x2 < Nu) {
    const Extended half = BetaI(x2 / (x2 + Nu), 0.5L, Nu / 2) / 2;
    return Clamp01(x >= 0 ? 0.5L + half : 0.5L - half);
  }
  const Extended b = BetaI(Nu / (x2 + Nu), Nu / 2, 0.5L);
  return Clamp01(x >= 0 ? 1 - b / 2 : b / 2);
}

Extended tT_distribution::RandomValue() {
  if (Nu == 1 || Nu == 3) {
    // Polar method: a uniform point (c, b) in the unit disc.
    for (int trial = 0; trial < kTrialCap; ++trial) {
      const Extended c = 2 * Uniform() - 1;
      const Extended b = 2 * Uniform() - 1;
      if (c * c + b * b > 1) continue;
      if (Nu == 1) {
        if (c == 0) continue;  // b/c would not be a number
        return b / c;          // Cauchy
      }
      return std::sqrt(3.0L) * b / (c + 1);
    }
    throw EConvergenceError("the t generator");
  }
  if (Nu > 1) {
    // Ratio of uniforms: accept X = V/U when U^2 <= h(X), that is
    // nu (U^(-4/(nu+1)) - 1) >= X^2, with U^(-4/(nu+1)) - 1 as expm1.
    for (int trial = 0; trial < kTrialCap; ++trial) {
      const Extended u = Uniform();
      const Extended v = (2 * Uniform() - 1) * Gen;
      const Extended x = v / u;
      if (Nu * std::expm1(-4 * std::log(u) / (Nu + 1)) >= x * x) return x;
    }
    throw EConvergenceError("the t generator");
  }
  // nu < 1: Z / sqrt(chi^2/nu) with chi^2 = 2G, G ~ gamma(nu/2, 1).
  const Extended z = NormalPart->RandomValue();
  const Extended g = GammaPart->RandomValue();
  // G underflows to 0 only for values of |X| beyond the extended range.
  if (!(g > 0)) RaiseOverflow();
  const Extended r = z * Gen / std::sqrt(g);
  if (!std::isfinite(r)) RaiseOverflow();
  return r;
}

// ---------------------------------------------------------------- F

tF_distribution::tF_distribution(Extended m, Extended n) { tF_distribution::SetParameters(m, n, 1); }

int tF_distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, 0, InfBound, false, "m");
  DefineParameter(2, 0, InfBound, false, "n");
  const std::array<tVar, 4> before = Par;
  int r = tContinuous_distribution::SetParameters(p1, p2, 1);
  if (r != 0) return r;
  const Extended m = p1, n = p2;
  // The beta component first: its shapes m/2 and n/2 can still be refused
  // (within twice the tolerance of 0), and then nothing may have changed.
  std::unique_ptr<tBeta_distribution> beta;
  try {
    beta = std::make_unique<tBeta_distribution>(m / 2, n / 2);
  } catch (...) {
    Par = before;
    SupportLow = 0;
    throw;
  }
  NumDf = m;
  DenDf = n;
  NameId = 909;
  LogNorm = LnGamma((m + n) / 2) - LnGamma(m / 2) - LnGamma(n / 2) +
            (std::log(m) - std::log(n)) * m / 2;
  SupportLow = 0;
  HasMean = n > 2;
  if (HasMean) Mean = n / (n - 2);
  HasVariance = n > 4;
  if (HasVariance) Variance = Mean * Mean * 2 * (m + n - 2) / (m * (n - 4));
  Mode = m >= 2 ? (m - 2) * n / (m * (n + 2)) : 0;
  BetaPart = std::move(beta);
  return 0;
}

bool tF_distribution::InSupport(Extended x) const {
  if (NumDf < 2 && !(x > 0)) return false;
  return tContinuous_distribution::InSupport(x);
}

Extended tF_distribution::Density(Extended x) {
  const Extended m = NumDf, n = DenDf;
  if (InSupport(x) && x > 0) {
    const Extended s = m * x + n;
    return BetaPart->Density(m * x / s) * m * n / (s * s);
  }
  // The F(2, n) density starts at exactly 1 (exp(LogNorm) is 1 for m = 2).
  if (m == 2 && x == 0) return 1;
  return 0;
}

Extended tF_distribution::Cdf(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  const Extended s = NumDf * x + DenDf;
  return BetaPart->Cdf(NumDf * x / s);
}

Extended tF_distribution::RandomValue() {
  // y n/((1 - y) m) for a beta(m/2, n/2) variate y, with the odds y/(1 - y)
  // taken from the beta generator directly: for small degrees of freedom y
  // is often so close to 1 that 1 - y keeps few digits or none.
  const Extended r = BetaPart->RandomOdds() * DenDf / NumDf;
  if (!std::isfinite(r)) RaiseOverflow();
  return r;
}

void tF_distribution::ParameterLabel(int i, int k, std::string& s) const {
  if (k <= 0) {
    s = ParAt(i).Symbol;
  } else if (i == 1) {
    s = "@n_" + std::to_string(k) + "1^";
  } else if (i == 2) {
    s = "@n_" + std::to_string(k) + "2^";
  }
}

}  // namespace vokt
