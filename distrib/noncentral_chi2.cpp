// Non-central chi-square and beta distributions as Poisson mixtures.
//
// Densities: the mixture terms p_j g_j(x) are log-concave in j, so the sum
// starts at the largest term (found from the term ratio) and works outward
// until a geometric bound on the rest falls below the extended precision.
// Tails: the lower tail sums w_j P(k + j, y) (w_j the Poisson weights), the
// upper tail w_j Q(k + j, y) directly (for the beta I_x and 1 - I_x), never
// one as 1 - the other.  One incomplete function from numeric/functions.h at the
// start index (the Poisson mode, or the index of the largest term when x lies
// far in the tail asked for); every other component follows from the two-term
// recurrences P(s + 1, y) = P(s, y) - y^s e^-y / Gamma(s + 1) and
// I_x(a + 1, b) = I_x(a, b) - x^a (1-x)^b / (a B(a, b)).  Where a recurrence
// subtracts (a component falling along the walk) and its value has fallen a
// thousandfold since it was last computed, it is computed afresh, so that
// the cancellation never reaches the digits of the sum.  Quantiles are solved
// on the tail that holds p from Patnaik's two-moment approximation.
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
// Non-central chi-square

NoncentralChiSquareDistribution::NoncentralChiSquareDistribution(Real nu, Real lambda) {
  Build(nu, lambda, 0);
}

void NoncentralChiSquareDistribution::SetParameters(Real p1, Real p2, Real p3) {
  NoncentralChiSquareDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void NoncentralChiSquareDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  DefineParameter(1, 0, InfBound, true, "@n");
  DefineParameter(2, -Eps, InfBound, false, "@l");
  // The central chi-square's own check comes first: the integer record below
  // would accept nu = 0.
  CheckValue(msgGreaterThan, p1, 0);
  const bool central = NearlyEqual(p2, 0);
  if (central) {
    // The chi-square's record: real, so nu need not be an integer here.
    DefineParameter(1, 0, InfBound, false, "@n");
    StoreParameters(1, p1, 0, 0);
    par_[2].Value = 0;
    par_[2].Unset = false;
  } else {
    ContinuousDistribution::SetParameters(p1, p2, 1);
  }
  nameId_ = 923;
  Central = central;
  Nu = p1;
  NonCentrality = central ? 0 : p2;
  supportLow_ = 0;
  supportHigh_ = InfBound;
  hasMean_ = hasVariance_ = true;
  mean_ = Nu + NonCentrality;
  variance_ = 2 * Nu + 4 * NonCentrality;
  mode_ = -1;
  lnDensityScale_ = -NonCentrality / 2 - LogGamma(Nu / 2) - std::log(2.0L);
  lnTailScale_ = -NonCentrality / 2 - LogGamma(Nu / 2 + 1);
}

// Where nu / 2, lambda / 2 and x / 2 are all at most kDirectLimit, the terms
// t_j = w_j g_(nu+2j)(x) are summed from j = 0 on: t_0 = e^(-lambda/2 - x/2)
// (x/2)^(nu/2-1) / (2 Gamma(nu/2)) has an exponent of at most a few hundred,
// so it keeps its digits (an error of a few units of the last place per
// hundred of the exponent), and every later term follows by the ratio
// t_(j+1) / t_j = lambda x / (2 (j + 1)(nu + 2j)): no logarithm of a Poisson
// weight, no log-gamma at the peak.
constexpr Real kDirectLimit = 40;

Real NoncentralChiSquareDistribution::DensityFromZero(Real x) const {
  const Real k = Nu / 2, y = x / 2, ax = NonCentrality * y;
  Real t = std::exp(lnDensityScale_ - y + (k - 1) * std::log(y));
  Real s = t;
  const int64_t cap = SeriesCap(NonCentrality / 2 + k + 64);
  for (int64_t j = 0;; ++j) {
    const Real e = static_cast<Real>(j);
    const Real rho = ax / ((e + 1) * (Nu + 2 * e));
    t *= rho;
    s += t;
    if (!(t > 0)) break;
    if (rho < 1 && t * rho <= kRelTol * s * (1 - rho)) break;
    if (j > cap) TooManyTerms("the non-central chi-square density");
  }
  return s;
}

void NoncentralChiSquareDistribution::CheckParameter(int i, Real x) const {
  // Every finite value is a candidate; an infinite one is too large.
  ErrorIf(std::isinf(x), msgTooLarge);
  ContinuousDistribution::CheckParameter(i, x);
  if (i == 2) ErrorIf(x > kMaxNonCentrality, msgTooLarge);
}

Real NoncentralChiSquareDistribution::Density(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (std::isinf(x)) return 0;
  const Real k = Nu / 2;
  if (Central) {
    // The chi-square as gamma(nu/2, 1/2).
    if (x > 0) return std::exp((k - 1) * std::log(x) + k * std::log(0.5L) - LogGamma(k) - x / 2);
    if (x == 0 && k == 1) return 0.5L;
    return 0;
  }
  const Real a = NonCentrality / 2;
  if (x == 0) return Nu == 2 ? std::exp(-a) / 2 : 0;  // only the j = 0 term is positive at 0
  if (!(x > 0)) return 0;
  if (k <= kDirectLimit && a <= kDirectLimit && x / 2 <= kDirectLimit && x >= 1e-30L)
    return DensityFromZero(x);
  // t_(j+1) / t_j = a x / ((j + 1)(nu + 2j)); the largest term is at the
  // largest j with j (nu + 2j - 2) <= a x.
  const Real ax = a * x;
  const Real root = ((2 - Nu) + std::sqrt((Nu - 2) * (Nu - 2) + 8 * ax)) / 4;
  const int64_t j0 = ClampIndex(std::floor(root), int64_t{1} << 40);
  const Real j = static_cast<Real>(j0);
  // w_j times the chi-square(nu + 2j) density: the Poisson weight of index
  // k + j - 1 at mean x / 2, over 2, keeps its digits at large arguments.
  const Real lnT = LnPoisson(j0, a) + LnGammaTerm(k + j - 1, x / 2) - std::log(2.0L);
  auto ratio = [&](int64_t i) {
    const Real e = static_cast<Real>(i);
    return ax / ((e + 1) * (Nu + 2 * e));
  };
  return noncentral::SumOutward(j0, std::exp(lnT), ratio, SeriesCap(a + j),
                                "the non-central chi-square density");
}

// The lower tail where nu / 2, lambda / 2 and x / 2 are at most kDirectLimit,
// by positive sums only.  With s = nu/2 + j, y = x / 2, the component tail is
// P(s, y) = D_s M_s, D_s = y^s e^-y / Gamma(s + 1) and M_s = sum over m of
// y^m / ((s + 1)...(s + m)), and M_(s-1) = 1 + y M_s / s.  The products
// u_j = w_j D_j go up by the ratio lambda y / (2 (j + 1)(s + 1)) until the rest
// is negligible (M_j is at most 1 / (1 - y / (s + 1)) there), then the sum
// of u_j M_j is taken downward, M from its series at the top.
bool NoncentralChiSquareDistribution::LowerTailFromZero(Real x, Real& lower) const {
  const Real k = Nu / 2, y = x / 2, a = NonCentrality / 2;
  if (!(k <= kDirectLimit && a <= kDirectLimit && y <= kDirectLimit && y >= 1e-30L)) return false;
  constexpr int kTop = 400;
  Real u[kTop];
  u[0] = std::exp(lnTailScale_ - y + k * std::log(y));
  Real head = u[0];
  int top = 0;
  for (;;) {
    const Real e = static_cast<Real>(top);
    const Real rho = a * y / ((e + 1) * (k + e + 1));
    if (rho < 1 && k + e + 1 > y) {
      const Real mBound = 1 / (1 - y / (k + e + 1));
      if (u[top] * mBound * rho / (1 - rho) <= kRelTol * head || !(u[top] > 0)) break;
    }
    if (top + 1 >= kTop) return false;
    u[top + 1] = u[top] * rho;
    head += u[++top];
  }
  // M at the top index by its series (k + top + 1 > y: geometric).
  const Real sTop = k + static_cast<Real>(top);
  Real m = 1, term = 1;
  for (int i = 1; i < 4000; ++i) {
    term *= y / (sTop + i);
    m += term;
    if (term <= kRelTol * m) break;
  }
  Real sum = u[top] * m;
  for (int j = top; j > 0; --j) {
    m = 1 + y * m / (k + static_cast<Real>(j));
    sum += u[j - 1] * m;
  }
  lower = noncentral::Clamp01(sum);
  return true;
}

Real NoncentralChiSquareDistribution::Cdf(Real x) const {
  Real lower;
  if (!Central && x > 0 && std::isfinite(x) && LowerTailFromZero(x, lower)) return lower;
  return Tail(x, false);
}

Real NoncentralChiSquareDistribution::UpperTail(Real x) const {
  // Where the lower tail is at most a half, its complement keeps every digit;
  // otherwise the upper components Q(s, y) rise from Q(nu/2, y) by adding
  // D_s, so the upper sum too is formed of positive terms only.
  Real lower;
  if (Central || !(x > 0) || !std::isfinite(x) || !LowerTailFromZero(x, lower))
    return Tail(x, true);
  if (lower <= 0.5L) return 1 - lower;
  const Real k = Nu / 2, y = x / 2, a = NonCentrality / 2;
  Real w = std::exp(-a), q = GammaUpper(k, y);
  Real d = std::exp(lnTailScale_ + a - y + k * std::log(y));
  Real sum = w * q;
  for (int j = 0; j < 4000; ++j) {
    const Real e = static_cast<Real>(j);
    q += d;
    d *= y / (k + e + 1);
    w *= a / (e + 1);
    sum += w * std::min<Real>(q, 1);
    if (UpperMassBound(j + 1, w, a) <= kRelTol * sum || !(w > 0)) break;
  }
  return noncentral::Clamp01(sum);
}

Real NoncentralChiSquareDistribution::Tail(Real x, bool upper) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!(x > 0)) return upper ? 1 : 0;
  if (std::isinf(x)) return upper ? 0 : 1;
  const Real k = Nu / 2, y = x / 2;
  if (Central) return upper ? GammaUpper(k, y) : GammaLower(k, y);
  const Real a = NonCentrality / 2;
  // Start at the Poisson mode, or further into the tail asked for where the
  // terms peak: their ratio is about a y / ((j + 1)(k + j)).
  const int64_t mode = PoissonMode(a);
  const int64_t peak = PeakIndex(k, a * y);
  const int64_t i = upper ? std::max(mode, peak) : std::min(mode, peak);
  const Real e = static_cast<Real>(i);
  auto fresh = [&](int64_t j) {
    const Real s = k + static_cast<Real>(j);
    return upper ? GammaUpper(s, y) : GammaLower(s, y);
  };
  // D_j = y^(k+j) e^-y / Gamma(k + j + 1), the Poisson weight of k + j at y.
  const Real D0 = std::exp(LnGammaTerm(k + e, y));
  return MixtureSum(
      a, i, fresh(i), D0, upper, [&](int64_t j) { return (k + static_cast<Real>(j) + 1) / y; },
      [&](int64_t j) { return y / (k + static_cast<Real>(j) + 1); }, fresh,
      "the non-central chi-square distribution function");
}

Real NoncentralChiSquareDistribution::Solve(Real p, bool upper) const {
  // Patnaik: X about c chi-square(f), c = (nu + 2 lambda) / (nu + lambda),
  // f = (nu + lambda)^2 / (nu + 2 lambda); exact for lambda = 0.
  const Real l = NonCentrality, s1 = Nu + l, s2 = Nu + 2 * l;
  const Real c = s2 / s1, f = s1 * s1 / s2;
  Real x0 = 1;
  const bool up = p > 0.5L ? !upper : upper;
  const Real pp = p > 0.5L ? 1 - p : p;
  try {
    if (pp > 0) x0 = 2 * c * (up ? GammaUpperInv(f / 2, pp) : GammaLowerInv(f / 2, pp));
  } catch (const std::runtime_error&) {
    x0 = mean_;  // only a start: the solver brackets from anywhere
  }
  return noncentral::TailQuantile([&](Real x) { return Tail(x, false); },
                                  [&](Real x) { return Tail(x, true); },
                                  [&](Real x) { return Density(x); }, p, upper, x0, 0, kInf,
                                  "the non-central chi-square quantile");
}

Real NoncentralChiSquareDistribution::InverseCdf(Real p) const { return Solve(p, false); }

Real NoncentralChiSquareDistribution::UpperQuantile(Real q) const { return Solve(q, true); }

Real NoncentralChiSquareDistribution::RandomValue(RandomEngine& engine) const {
  const Real x = noncentral::NcChiSquareValue(engine, Nu, NonCentrality);
  if (!(x >= 0)) return ContinuousDistribution::RandomValue(engine);
  return x < supportHigh_ ? x : supportHigh_;
}

}  // namespace vokt
