// Non-central chi-square and beta distributions as Poisson mixtures.
//
// Densities: the mixture terms p_j g_j(x) are log-concave in j, so the sum
// starts at the largest term (found from the term ratio) and works outward
// until a geometric bound on the rest falls below the extended precision.
// Distribution functions: one incomplete gamma or beta function at the index
// with the largest Poisson weight; every other component cdf follows from the
// two-term recurrences P(s + 1, y) = P(s, y) - y^s e^-y / Gamma(s + 1) and
// I_x(a + 1, b) = I_x(a, b) - x^a (1-x)^b / (a B(a, b)), summed down and up
// with bounds on the Poisson mass not yet used.
#include "distrib/noncentral_chi2_beta.h"

#include <cmath>

#include "distrib/noncentral_series.h"
#include "numeric/functions.h"

namespace vokt {

using noncentral::ClampIndex;
using noncentral::kAbsTol;
using noncentral::kRelTol;
using noncentral::LnGammaX;
using noncentral::LnPoisson;
using noncentral::SeriesCap;

namespace {

// Start index: the Poisson mode (nearest integer to a, ties to even).
int64_t PoissonMode(Extended a) { return static_cast<int64_t>(RoundExt(a)); }

// Bound on the Poisson mass below index j (j < a) given the weight p at j:
// the weights fall at least geometrically with ratio j / a going down.
Extended LowerMassBound(int64_t j, Extended p, Extended a) {
  const Extended rho = static_cast<Extended>(j) / a;
  return p * rho / (1 - rho);
}

// Bound on the Poisson mass above index j given the weight p at j; 1 while
// the weights still rise.
Extended UpperMassBound(int64_t j, Extended p, Extended a) {
  const Extended rho = a / static_cast<Extended>(j + 1);
  if (rho >= 1) return 1;
  return p * rho / (1 - rho);
}

[[noreturn]] void TooManyTerms(const char* what) { throw EConvergenceError(what); }

}  // namespace

// ---------------------------------------------------------------------------
// Non-central chi-square

tNon_Central_Chi_square_distribution::tNon_Central_Chi_square_distribution(Extended nu,
                                                                           Extended lambda) {
  SetParameters(nu, lambda, 0);
}

int tNon_Central_Chi_square_distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, 0, InfBound, true, "@n");
  DefineParameter(2, -Eps, InfBound, false, "@l");
  // The central chi-square's own check comes first: the integer record below
  // would accept nu = 0.
  CheckValue(msgGreaterThan, p1, 0);
  const bool central = NearlyEqual(p2, 0);
  if (central) {
    // The chi-square's record: real, so nu need not be an integer here.
    DefineParameter(1, 0, InfBound, false, "@n");
    int r;
    {
      noncentral::ScopedParCount scope(ParCount, 1);
      r = tContinuous_distribution::SetParameters(p1, 0, 0);
    }
    if (r != 0) return r;
    Par[2].Value = 0;
    Par[2].Unset = Par[1].Unset;
  } else {
    int r = tContinuous_distribution::SetParameters(p1, p2, 1);
    if (r != 0) return r;
  }
  NameId = 923;
  Central = central;
  Nu = p1;
  NonCentrality = central ? 0 : p2;
  SupportLow = 0;
  SupportHigh = InfBound;
  HasMean = HasVariance = true;
  Mean = Nu + NonCentrality;
  Variance = 2 * Nu + 4 * NonCentrality;
  Mode = -1;
  return 0;
}

bool tNon_Central_Chi_square_distribution::CheckParameter(int i, Extended x) {
  tContinuous_distribution::CheckParameter(i, x);
  if (i == 2) ErrorIf(x > kMaxNonCentrality, msgTooLarge);
  return true;
}

Extended tNon_Central_Chi_square_distribution::Density(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  const Extended k = Nu / 2;
  if (Central) {
    // The chi-square as gamma(nu/2, 1/2).
    if (x > 0 && x <= SupportHigh)
      return std::exp((k - 1) * std::log(x) + k * std::log(0.5L) - LnGamma(k) - x / 2);
    if (x == 0 && NearlyEqual(k, 1)) return 0.5L;
    return 0;
  }
  const Extended a = NonCentrality / 2;
  if (x == 0) return Nu == 2 ? std::exp(-a) / 2 : 0;  // only the j = 0 term is positive at 0
  if (!(x > 0) || x > SupportHigh) return 0;
  // t_(j+1) / t_j = a x / ((j + 1)(nu + 2j)); the largest term is at the
  // largest j with j (nu + 2j - 2) <= a x.
  const Extended ax = a * x;
  const Extended root = ((2 - Nu) + std::sqrt((Nu - 2) * (Nu - 2) + 8 * ax)) / 4;
  const int64_t j0 = ClampIndex(std::floor(root), int64_t{1} << 40);
  const Extended j = static_cast<Extended>(j0);
  const Extended lnT = LnPoisson(j0, a) - LnGammaX(k + j) - (k + j) * std::log(2.0L) - x / 2 +
                       (k + j - 1) * std::log(x);
  auto ratio = [&](int64_t i) {
    const Extended e = static_cast<Extended>(i);
    return ax / ((e + 1) * (Nu + 2 * e));
  };
  return noncentral::SumOutward(j0, std::exp(lnT), ratio, SeriesCap(a + j),
                                "the non-central chi-square density");
}

Extended tNon_Central_Chi_square_distribution::Cdf(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!InSupport(x) || x <= 0) return tContinuous_distribution::Cdf(x);
  const Extended k = Nu / 2, y = x / 2;
  if (Central) return noncentral::Clamp01(GammaP(y, k));
  const Extended a = NonCentrality / 2;
  const int64_t i = PoissonMode(a);
  const int64_t cap = SeriesCap(a);
  const Extended e = static_cast<Extended>(i);
  // C = P(k + i, y), the chi-square(nu + 2i) cdf; D = C_i - C_(i+1).
  const Extended C0 = noncentral::GammaPX(y, k + e);
  const Extended D0 = std::exp((k + e) * std::log(y) - y - LnGammaX(k + e + 1));
  const Extended p0 = std::exp(LnPoisson(i, a));
  Extended S = p0 * C0;
  int64_t n = 0;
  // Downward: C grows towards 1 as the degrees of freedom fall.
  Extended p = p0, C = C0, D = D0;
  for (int64_t j = i - 1; j >= 0; --j) {
    const Extended ej = static_cast<Extended>(j);
    p = p * (ej + 1) / a;
    D = D * (k + ej + 1) / y;
    C += D;
    if (C > 1) C = 1;
    S += p * C;
    if (j == 0) break;
    const Extended rest = LowerMassBound(j, p, a);
    if (rest <= kRelTol * S || rest <= kAbsTol) break;
    if (++n > cap) TooManyTerms("the non-central chi-square distribution function");
  }
  // Upward: C falls.
  p = p0;
  C = C0;
  D = D0;
  for (int64_t j = i + 1;; ++j) {
    const Extended ej = static_cast<Extended>(j);
    p = p * a / ej;
    C -= D;
    if (C <= 0) break;
    D = D * y / (k + ej);
    S += p * C;
    const Extended rest = C * UpperMassBound(j, p, a);
    if (rest <= kRelTol * S || rest <= kAbsTol) break;
    if (++n > cap) TooManyTerms("the non-central chi-square distribution function");
  }
  return noncentral::Clamp01(S);
}

Extended tNon_Central_Chi_square_distribution::RandomValue() {
  const Extended x = noncentral::NcChiSquareValue(Nu, NonCentrality);
  if (!(x >= 0)) return tContinuous_distribution::RandomValue();
  return x < SupportHigh ? x : SupportHigh;
}

// ---------------------------------------------------------------------------
// Non-central beta

tNon_Central_Beta_distribution::tNon_Central_Beta_distribution(Extended alpha, Extended beta,
                                                               Extended lambda) {
  SetParameters(alpha, beta, lambda);
}

int tNon_Central_Beta_distribution::SetParameters(Extended p1, Extended p2, Extended p3) {
  ParCount = 3;
  DefineParameter(1, 0, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  DefineParameter(3, -1e-11L, InfBound, false, "@l");
  const bool central = NearlyEqual(p3, 0);
  if (central) {
    int r;
    {
      noncentral::ScopedParCount scope(ParCount, 2);
      r = tContinuous_distribution::SetParameters(p1, p2, 0);
    }
    if (r != 0) return r;
    Par[3].Value = 0;
    Par[3].Unset = Par[1].Unset || Par[2].Unset;
  } else {
    int r = tContinuous_distribution::SetParameters(p1, p2, p3);
    if (r != 0) return r;
  }
  const Extended a = central ? 0 : p3 / 2;
  // Moments of the mixture: component j is beta(alpha + j, beta) with mean
  // m_j and variance v_j; Var = sum p_j v_j + sum p_j (m_j - Mean)^2.
  auto meanOf = [&](Extended j) { return (p1 + j) / (p1 + p2 + j); };
  auto varOf = [&](Extended j) {
    const Extended s = p1 + p2 + j;
    return (p1 + j) * p2 / (s * s * (s + 1));
  };
  Extended mean = 0, var = 0;
  if (central) {
    mean = meanOf(0);
    var = varOf(0);
  } else {
    // Poisson-weighted sums of bounded values, from the mode outward until
    // the Poisson mass left is negligible.
    auto poissonSum = [&](auto f) {
      const int64_t i = PoissonMode(a);
      const int64_t cap = SeriesCap(a);
      const Extended p0 = std::exp(LnPoisson(i, a));
      Extended s = p0 * f(static_cast<Extended>(i)), p = p0;
      int64_t n = 0;
      for (int64_t j = i - 1; j >= 0; --j) {
        p = p * static_cast<Extended>(j + 1) / a;
        s += p * f(static_cast<Extended>(j));
        if (j == 0 || LowerMassBound(j, p, a) <= 1e-22L) break;
        if (++n > cap) TooManyTerms("the non-central beta moments");
      }
      p = p0;
      for (int64_t j = i + 1;; ++j) {
        p = p * a / static_cast<Extended>(j);
        s += p * f(static_cast<Extended>(j));
        if (UpperMassBound(j, p, a) <= 1e-22L) break;
        if (++n > cap) TooManyTerms("the non-central beta moments");
      }
      return s;
    };
    mean = poissonSum(meanOf);
    var = poissonSum([&](Extended j) {
      const Extended dm = meanOf(j) - mean;
      return varOf(j) + dm * dm;
    });
  }
  NameId = 932;
  Central = central;
  Alpha = p1;
  Beta = p2;
  NonCentrality = central ? 0 : p3;
  SupportLow = 0;
  SupportHigh = 1;
  HasMean = HasVariance = true;
  Mean = mean;
  Variance = var;
  Mode = -1;
  return 0;
}

bool tNon_Central_Beta_distribution::CheckParameter(int i, Extended x) {
  tContinuous_distribution::CheckParameter(i, x);
  if (i == 3) ErrorIf(x > kMaxNonCentrality, msgTooLarge);
  return true;
}

bool tNon_Central_Beta_distribution::InSupport(Extended x) const { return 0 < x && x < 1; }

Extended tNon_Central_Beta_distribution::Density(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  return DensityAt(x, 1 - x);
}

Extended tNon_Central_Beta_distribution::DensityAt(Extended x, Extended cx) {
  if (!(x > 0) || !(cx > 0)) return 0;
  if (Central)
    return std::exp((Alpha - 1) * std::log(x) + (Beta - 1) * std::log(cx) + LnGamma(Alpha + Beta) -
                    LnGamma(Alpha) - LnGamma(Beta));
  const Extended a = NonCentrality / 2;
  const Extended ax = a * x, s = Alpha + Beta;
  // t_(j+1) / t_j = a x (s + j) / ((j + 1)(alpha + j)); the largest term is
  // at the largest j >= 1 with j^2 + (alpha - 1 - a x) j - a x (s - 1) <= 0.
  const Extended bq = Alpha - 1 - ax, cq = -ax * (s - 1);
  const Extended disc = bq * bq - 4 * cq;
  int64_t j0 = 0;
  if (disc >= 0) {
    const Extended root = (-bq + std::sqrt(disc)) / 2;
    if (root >= 1) j0 = ClampIndex(std::floor(root), int64_t{1} << 40);
  }
  const Extended j = static_cast<Extended>(j0);
  const Extended lnT = LnPoisson(j0, a) + LnGammaX(s + j) - LnGammaX(Alpha + j) - LnGammaX(Beta) +
                       (Alpha + j - 1) * std::log(x) + (Beta - 1) * std::log(cx);
  auto ratio = [&](int64_t i) {
    const Extended e = static_cast<Extended>(i);
    return ax * (s + e) / ((e + 1) * (Alpha + e));
  };
  return noncentral::SumOutward(j0, std::exp(lnT), ratio, SeriesCap(a + j),
                                "the non-central beta density");
}

Extended tNon_Central_Beta_distribution::Cdf(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  return CdfAt(x, 1 - x);
}

Extended tNon_Central_Beta_distribution::CdfAt(Extended x, Extended cx) {
  if (!(x > 0)) return 0;
  if (!(cx > 0)) return 1;
  if (Central) return noncentral::Clamp01(noncentral::BetaIc(x, cx, Alpha, Beta));
  const Extended a = NonCentrality / 2, s = Alpha + Beta;
  const int64_t i = PoissonMode(a);
  const int64_t cap = SeriesCap(a);
  const Extended e = static_cast<Extended>(i);
  // I = I_x(alpha + i, beta); T = I_x(alpha + i, beta) - I_x(alpha + i + 1, beta).
  const Extended I0 = noncentral::BetaIX(x, cx, Alpha + e, Beta);
  const Extended T0 = std::exp(LnGammaX(s + e) - LnGammaX(Alpha + e + 1) - LnGammaX(Beta) +
                               (Alpha + e) * std::log(x) + Beta * std::log(cx));
  const Extended p0 = std::exp(LnPoisson(i, a));
  Extended S = p0 * I0;
  int64_t n = 0;
  Extended p = p0, I = I0, T = T0;
  for (int64_t j = i - 1; j >= 0; --j) {
    const Extended ej = static_cast<Extended>(j);
    T = T * (Alpha + ej + 1) / ((s + ej) * x);
    I += T;
    if (I > 1) I = 1;
    p = p * (ej + 1) / a;
    S += p * I;
    if (j == 0) break;
    const Extended rest = LowerMassBound(j, p, a);
    if (rest <= kRelTol * S || rest <= kAbsTol) break;
    if (++n > cap) TooManyTerms("the non-central beta distribution function");
  }
  p = p0;
  I = I0;
  T = T0;
  for (int64_t j = i + 1;; ++j) {
    const Extended ej = static_cast<Extended>(j);
    p = p * a / ej;
    I -= T;
    if (I <= 0) break;
    T = T * x * (s + ej - 1) / (Alpha + ej);
    S += p * I;
    const Extended rest = I * UpperMassBound(j, p, a);
    if (rest <= kRelTol * S || rest <= kAbsTol) break;
    if (++n > cap) TooManyTerms("the non-central beta distribution function");
  }
  return noncentral::Clamp01(S);
}

Extended tNon_Central_Beta_distribution::RandomValue() {
  // X1 / (X1 + X2) with X1 non-central chi-square(2 alpha, lambda) and X2
  // chi-square(2 beta).  When both underflow (tiny shapes) the ratio means
  // nothing and the inversion of the cdf answers instead.
  const Extended x1 = noncentral::NcChiSquareValue(2 * Alpha, NonCentrality);
  const Extended x2 = 2 * noncentral::GammaValue(Beta);
  const Extended s = x1 + x2;
  if (!(s > 0) || !std::isfinite(s)) return tContinuous_distribution::RandomValue();
  return x1 / s;
}

}  // namespace vokt
