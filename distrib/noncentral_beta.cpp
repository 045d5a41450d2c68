// The non-central beta distribution as a Poisson mixture (the method is
// described in noncentral_chi2.cpp).
#include "distrib/noncentral_chi2_beta.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "distrib/noncentral_series.h"
#include "distrib/poisson_mixture.h"
#include "numeric/functions.h"

namespace vokt {

using namespace mixture;

// ---------------------------------------------------------------------------
// Non-central beta

NoncentralBetaDistribution::NoncentralBetaDistribution(Real alpha, Real beta, Real lambda) {
  Build(alpha, beta, lambda);
}

namespace {

// Mean and variance of the mixture of beta(alpha + j, beta) with Poisson(a)
// weights (component mean m_j, variance v_j): Var = sum p_j v_j +
// sum p_j (m_j - Mean)^2.
void MixtureMoments(Real p1, Real p2, Real a, bool central, Real& mean, Real& var) {
  auto meanOf = [&](Real j) { return (p1 + j) / (p1 + p2 + j); };
  auto varOf = [&](Real j) {
    const Real s = p1 + p2 + j;
    return (p1 + j) * p2 / (s * s * (s + 1));
  };
  if (central) {
    mean = meanOf(0);
    var = varOf(0);
  } else {
    // Poisson-weighted sums of bounded values, from the mode outward until
    // the Poisson mass left is negligible.
    auto poissonSum = [&](auto f) {
      const int64_t i = PoissonMode(a);
      const int64_t cap = SeriesCap(a);
      const Real p0 = std::exp(LnPoisson(i, a));
      Real s = p0 * f(static_cast<Real>(i)), p = p0;
      int64_t n = 0;
      for (int64_t j = i - 1; j >= 0; --j) {
        p = p * static_cast<Real>(j + 1) / a;
        s += p * f(static_cast<Real>(j));
        if (j == 0 || LowerMassBound(j, p, a) <= 1e-22L) break;
        if (++n > cap) TooManyTerms("the non-central beta moments");
      }
      p = p0;
      for (int64_t j = i + 1;; ++j) {
        p = p * a / static_cast<Real>(j);
        s += p * f(static_cast<Real>(j));
        if (UpperMassBound(j, p, a) <= 1e-22L) break;
        if (++n > cap) TooManyTerms("the non-central beta moments");
      }
      return s;
    };
    mean = poissonSum(meanOf);
    var = poissonSum([&](Real j) {
      const Real dm = meanOf(j) - mean;
      return varOf(j) + dm * dm;
    });
  }
}

}  // namespace

void NoncentralBetaDistribution::SetParameters(Real p1, Real p2, Real p3) {
  NoncentralBetaDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void NoncentralBetaDistribution::Build(Real p1, Real p2, Real p3) {
  parCount_ = 3;
  DefineParameter(1, 0, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  DefineParameter(3, -1e-11L, InfBound, false, "@l");
  const bool central = NearlyEqual(p3, 0);
  if (central) {
    StoreParameters(2, p1, p2, 0);
    par_[3].Value = 0;
    par_[3].Unset = false;
  } else {
    ContinuousDistribution::SetParameters(p1, p2, p3);
  }
  const Real a = central ? 0 : p3 / 2;
  Real mean = 0, var = 0;
  MixtureMoments(p1, p2, a, central, mean, var);
  // Eight indices on either side of the mode cover the start of every sum
  // at small and moderate lambda; the others compute theirs.
  const int64_t mode = PoissonMode(a);
  const int64_t first = central ? 0 : std::max<int64_t>(0, mode - 8);
  const int64_t last = central ? 0 : mode + 8;
  std::vector<IndexConstants> near;
  near.reserve(static_cast<size_t>(last - first + 1));
  for (int64_t j = first; j <= last; ++j) {
    const Real e = static_cast<Real>(j);
    near.push_back({BetaFunction(p1 + e, p2), LogGammaRatio(p1 + p2 + e, p2) - LogGamma(p1 + e + 1),
                    central ? 0 : LnPoisson(j, a)});
  }
  nameId_ = 932;
  NearFirst = first;
  Near = std::move(near);
  Central = central;
  Alpha = p1;
  Beta = p2;
  NonCentrality = central ? 0 : p3;
  supportLow_ = 0;
  supportHigh_ = 1;
  hasMean_ = hasVariance_ = true;
  mean_ = mean;
  variance_ = var;
  mode_ = -1;
}

void NoncentralBetaDistribution::CheckParameter(int i, Real x) const {
  // Every finite value is a candidate; an infinite one is too large.
  ErrorIf(std::isinf(x), msgTooLarge);
  ContinuousDistribution::CheckParameter(i, x);
  if (i == 3) ErrorIf(x > kMaxNonCentrality, msgTooLarge);
}

bool NoncentralBetaDistribution::InSupport(Real x) const { return 0 < x && x < 1; }

const NoncentralBetaDistribution::IndexConstants* NoncentralBetaDistribution::NearAt(
    int64_t j) const {
  const int64_t k = j - NearFirst;
  if (k < 0 || k >= static_cast<int64_t>(Near.size())) return nullptr;
  return &Near[static_cast<size_t>(k)];
}

Real NoncentralBetaDistribution::Density(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  return DensityAt(x, 1 - x);
}

Real NoncentralBetaDistribution::DensityAt(Real x, Real cx) const {
  if (!(x > 0) || !(cx > 0)) return 0;
  Real lx, lcx;
  LogPair(x, cx, lx, lcx);
  if (Central)
    return std::exp((Alpha - 1) * lx + (Beta - 1) * lcx + LogGammaRatio(Alpha + Beta, Beta) -
                    LogGamma(Alpha));
  const Real a = NonCentrality / 2;
  const Real ax = a * x, s = Alpha + Beta;
  // t_(j+1) / t_j = a x (s + j) / ((j + 1)(alpha + j)); the largest term is
  // at the largest j >= 1 with j^2 + (alpha - 1 - a x) j - a x (s - 1) <= 0.
  const Real bq = Alpha - 1 - ax, cq = -ax * (s - 1);
  const Real disc = bq * bq - 4 * cq;
  int64_t j0 = 0;
  if (disc >= 0) {
    const Real root = (-bq + std::sqrt(disc)) / 2;
    if (root >= 1) j0 = ClampIndex(std::floor(root), int64_t{1} << 40);
  }
  const Real j = static_cast<Real>(j0);
  // Gamma(s + j) / Gamma(beta) as one ratio: with a huge beta (an F with
  // huge denominator degrees of freedom) the two log-gammas would swamp
  // the rest.
  // ln Gamma(alpha + j + 1) = ln Gamma(alpha + j) + ln(alpha + j)
  const IndexConstants* c = NearAt(j0);
  const Real lnW = c ? c->LogWeight : LnPoisson(j0, a);
  const Real lnG =
      c ? c->LogGammas + std::log(Alpha + j) : LogGammaRatio(s + j, Beta) - LogGamma(Alpha + j);
  const Real lnT = lnW + lnG + (Alpha + j - 1) * lx + (Beta - 1) * lcx;
  auto ratio = [&](int64_t i) {
    const Real e = static_cast<Real>(i);
    return ax * (s + e) / ((e + 1) * (Alpha + e));
  };
  return noncentral::SumOutward(j0, std::exp(lnT), ratio, SeriesCap(a + j),
                                "the non-central beta density");
}

Real NoncentralBetaDistribution::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  return CdfAt(x, 1 - x);
}

Real NoncentralBetaDistribution::UpperTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  return UpperAt(x, 1 - x);
}

Real NoncentralBetaDistribution::CdfAt(Real x, Real cx) const { return TailAt(x, cx, false); }

Real NoncentralBetaDistribution::UpperAt(Real x, Real cx) const { return TailAt(x, cx, true); }

Real NoncentralBetaDistribution::TailAt(Real x, Real cx, bool upper, Real* density) const {
  if (density) *density = std::numeric_limits<Real>::quiet_NaN();
  if (std::isnan(x) || std::isnan(cx)) RaiseMessage(msgNotANumber);
  if (!(x > 0)) return upper ? 1 : 0;
  if (!(cx > 0)) return upper ? 0 : 1;
  if (Central)
    return upper ? noncentral::IncBetaC(x, cx, Near[0].Incomplete)
                 : noncentral::IncBeta(x, cx, Near[0].Incomplete);
  const Real a = NonCentrality / 2, s = Alpha + Beta;
  // Start at the Poisson mode, or where the terms peak when that lies further
  // into the tail asked for (term ratio about a x (s + j) / ((j + 1)(alpha + j))).
  const int64_t mode = PoissonMode(a);
  const Real ax = a * x, bq = Alpha - 1 - ax, cq = -ax * (s - 1);
  const Real disc = bq * bq - 4 * cq;
  int64_t peak = 0;
  if (disc >= 0) peak = ClampIndex(std::floor((-bq + std::sqrt(disc)) / 2), int64_t{1} << 40);
  const int64_t i = upper ? std::max(mode, peak) : std::min(mode, peak);
  const Real e = static_cast<Real>(i);
  auto fresh = [&](int64_t j) {
    if (const IndexConstants* c = NearAt(j))
      return upper ? noncentral::IncBetaC(x, cx, c->Incomplete)
                   : noncentral::IncBeta(x, cx, c->Incomplete);
    const Real aj = Alpha + static_cast<Real>(j);
    return upper ? noncentral::IncBetaC(x, cx, aj, Beta) : noncentral::IncBeta(x, cx, aj, Beta);
  };
  // T_j = I_x(alpha + j, beta) - I_x(alpha + j + 1, beta)
  //     = Gamma(s + j) / (Gamma(alpha + j + 1) Gamma(beta)) x^(alpha + j) (1 - x)^beta.
  Real lx, lcx;
  LogPair(x, cx, lx, lcx);
  const IndexConstants* start = NearAt(i);
  const Real lg = start ? start->LogGammas : LogGammaRatio(s + e, Beta) - LogGamma(Alpha + e + 1);
  const Real T0 = std::exp(lg + (Alpha + e) * lx + Beta * lcx);
  const Real tail = MixtureSum(
      a, i, fresh(i), T0, upper,
      [&](int64_t j) {
        const Real ej = static_cast<Real>(j);
        return (Alpha + ej + 1) / ((s + ej) * x);
      },
      [&](int64_t j) {
        const Real ej = static_cast<Real>(j);
        return x * (s + ej) / (Alpha + ej + 1);
      },
      fresh, "the non-central beta distribution function", Alpha, density,
      start ? start->LogWeight : std::numeric_limits<Real>::quiet_NaN());
  // The component densities are T_j (alpha + j) / (x (1 - x)).
  if (density) *density /= x * cx;
  return tail;
}

Real NoncentralBetaDistribution::StartValue(Real p, bool upper) const {
  // The numerator chi-square(2 alpha, lambda) as c chi-square(f) (Patnaik);
  // then X = c B / (c B + 1 - B) with B beta(f / 2, beta).
  const Real l = NonCentrality, s1 = 2 * Alpha + l, s2 = 2 * Alpha + 2 * l;
  const Real c = s2 / s1, f = s1 * s1 / s2;
  if (!(p > 0 && p < 1)) return 0.5L;
  try {
    const Real B = upper ? BetaUpperInv(f / 2, Beta, p) : BetaLowerInv(f / 2, Beta, p);
    return c * B / (c * B + (1 - B));
  } catch (const std::runtime_error&) {
    return mean_;  // only a start: the solver brackets from anywhere
  }
}

Real NoncentralBetaDistribution::Solve(Real p, bool upper) const {
  const bool up = p > 0.5L ? !upper : upper;
  const Real x0 = StartValue(p > 0.5L ? 1 - p : p, up);
  // The solver asks for the density right after the tail at the same x; the
  // tail's sums give it on the way (else it is computed on its own).
  Real lastX = std::numeric_limits<Real>::quiet_NaN(), lastDensity = 0;
  auto tail = [&](Real x, bool upperTail) {
    lastX = x;
    return TailAt(x, 1 - x, upperTail, &lastDensity);
  };
  auto density = [&](Real x) {
    if (x == lastX && lastDensity > 0 && std::isfinite(lastDensity)) return lastDensity;
    return DensityAt(x, 1 - x);
  };
  return noncentral::TailQuantile([&](Real x) { return tail(x, false); },
                                  [&](Real x) { return tail(x, true); }, density, p, upper, x0, 0,
                                  1, "the non-central beta quantile");
}

Real NoncentralBetaDistribution::InverseCdf(Real p) const { return Solve(p, false); }

Real NoncentralBetaDistribution::UpperQuantile(Real q) const { return Solve(q, true); }

Real NoncentralBetaDistribution::RandomValue(RandomEngine& engine) const {
  // X1 / (X1 + X2) with X1 non-central chi-square(2 alpha, lambda) and X2
  // chi-square(2 beta).  When both underflow (tiny shapes) the ratio means
  // nothing and the inversion of the cdf answers instead.
  const Real x1 = noncentral::NcChiSquareValue(engine, 2 * Alpha, NonCentrality);
  const Real x2 = 2 * noncentral::GammaValue(engine, Beta);
  const Real s = x1 + x2;
  if (!(s > 0) || !std::isfinite(s)) return ContinuousDistribution::RandomValue(engine);
  return x1 / s;
}

}  // namespace vokt
