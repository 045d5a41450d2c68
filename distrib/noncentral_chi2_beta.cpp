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
#include "numeric/functions.h"

namespace vokt {

using noncentral::ClampIndex;
using noncentral::kAbsTol;
using noncentral::kRelTol;
using noncentral::SeriesCap;

namespace {

// Start index: the Poisson mode (nearest integer to a, ties to even).
int64_t PoissonMode(Real a) { return static_cast<int64_t>(RoundExt(a)); }

constexpr Real kInf = std::numeric_limits<Real>::infinity();

// Bound on the Poisson mass below index j given the weight p at j: the
// weights fall at least geometrically with ratio j / a going down; infinite
// while they may still rise (j >= a).
Real LowerMassBound(int64_t j, Real p, Real a) {
  const Real rho = static_cast<Real>(j) / a;
  if (!(rho < 1)) return kInf;
  return p * rho / (1 - rho);
}

// Bound on the Poisson mass above index j given the weight p at j; 1 while
// the weights still rise.
Real UpperMassBound(int64_t j, Real p, Real a) {
  const Real rho = a / static_cast<Real>(j + 1);
  if (rho >= 1) return 1;
  return p * rho / (1 - rho);
}

[[noreturn]] void TooManyTerms(const char* what) { throw ConvergenceError(what); }

// ln x and ln(1 - x) for 0 < x < 1 given with cx = 1 - x: each through log1p
// of the other where its own argument is close to 1 (a beta with a huge beta
// parameter lives at x near 1e-99, where 1 - x rounds to 1).
void LogPair(Real x, Real cx, Real& lx, Real& lcx) {
  lx = x > 0.5L ? std::log1p(-cx) : std::log(x);
  lcx = x < 0.5L ? std::log1p(-x) : std::log(cx);
}

Real LnPoisson(int64_t j, Real a) { return LogPoissonWeight(static_cast<Real>(j), a); }

// ln(y^s e^-y / Gamma(s + 1)) for s > -1, y > 0: Loader's form from s = 0 on.
Real LnGammaTerm(Real s, Real y) {
  if (s >= 0) return LogPoissonWeight(s, y);
  return s * std::log(y) - y - LogGamma(s + 1);
}

// Sum over j >= 0 of w_j V_j, w_j = e^-a a^j / j!, where V_j is a component
// tail probability that falls with j (a lower tail) or rises (rising, an
// upper tail), and |V_j - V_(j+1)| = D_j.  From index i with V_i and D_i the
// walk goes down with dDown(j) = D_j / D_(j+1) and up with
// dUp(j) = D_(j+1) / D_j; fresh(j) computes V_j directly, used where the
// recurrence subtracts, has lost three digits, and the rounding error it
// carries (a few units of V_ref) could still weigh against the sum: walking
// towards the Poisson mode from a start far in the tail.  Each direction ends when
// a bound on the rest is below kRelTol of the sum.  When densitySum is given
// it receives sum w_j D_j (shape + j): the components' densities are
// D_j (shape + j) over a factor of x (for a solver's Newton steps; its
// truncation follows the tail's).
// lnWeight, when a number, is the log of the Poisson weight of i.
template <class Down, class Up, class Fresh>
Real MixtureSum(Real a, int64_t i, Real V0, Real D0, bool rising, Down dDown, Up dUp, Fresh fresh,
                const char* what, Real shape = 0, Real* densitySum = nullptr,
                Real lnWeight = std::numeric_limits<Real>::quiet_NaN()) {
  const int64_t cap = SeriesCap(a + static_cast<Real>(i));
  const Real p0 = std::exp(std::isnan(lnWeight) ? LnPoisson(i, a) : lnWeight);
  Real S = p0 * V0;
  const bool wantDensity = densitySum != nullptr;
  Real F = p0 * D0 * (shape + static_cast<Real>(i));
  int64_t n = 0;
  // Downward: a lower tail grows (stable), an upper tail falls (subtracts).
  Real p = p0, V = V0, D = D0, Vref = V0;
  for (int64_t j = i - 1; j >= 0; --j) {
    const Real ej = static_cast<Real>(j);
    D *= dDown(j);
    p = p * (ej + 1) / a;
    if (rising) {
      V -= D;
      if (V < 1e-3L * Vref && p * Vref > 10 * S) Vref = V = fresh(j);
      if (!(V > 0)) break;
    } else {
      V += D;
      if (V > 1) V = 1;
    }
    S += p * V;
    if (wantDensity) F += p * D * (shape + ej);
    if (j == 0) break;
    const Real rest = (rising ? V : 1) * LowerMassBound(j, p, a);
    if (rest <= kRelTol * S || rest <= kAbsTol) break;
    if (!(p > 0) || (V == 0 && D == 0)) break;
    if (++n > cap) TooManyTerms(what);
  }
  // Upward: a lower tail falls (subtracts), an upper tail grows.
  p = p0;
  V = Vref = V0;
  D = D0;
  for (int64_t j = i + 1;; ++j) {
    const Real ej = static_cast<Real>(j);
    p = p * a / ej;
    if (rising) {
      V += D;
      if (V > 1) V = 1;
    } else {
      V -= D;
      if (V < 1e-3L * Vref && p * Vref > 10 * S) Vref = V = fresh(j);
      if (!(V > 0)) break;
    }
    D *= dUp(j - 1);
    S += p * V;
    if (wantDensity) F += p * D * (shape + ej);
    const Real rest = (rising ? 1 : V) * UpperMassBound(j, p, a);
    if (rest <= kRelTol * S || rest <= kAbsTol) break;
    if (!(p > 0) || (V == 0 && D == 0)) break;
    if (++n > cap) TooManyTerms(what);
  }
  if (densitySum) *densitySum = F;
  return noncentral::Clamp01(S);
}

// Largest j >= 0 with j (j + c) <= r: the index where a term ratio of the form
// r / ((j + 1)(j + 1 + c)) ... falls through 1 (clamped to 2^40).
int64_t PeakIndex(Real c, Real r) {
  const Real root = (-c + std::sqrt(c * c + 4 * r)) / 2;
  return ClampIndex(std::floor(root), int64_t{1} << 40);
}

}  // namespace

// ---------------------------------------------------------------------------
// Non-central chi-square

NoncentralChiSquareDistribution::NoncentralChiSquareDistribution(Real nu, Real lambda) {
  SetParameters(nu, lambda, 0);
}

void NoncentralChiSquareDistribution::SetParameters(Real p1, Real p2, Real) {
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
    {
      noncentral::ScopedParCount scope(ParCount, 1);
      ContinuousDistribution::SetParameters(p1, 0, 0);
    }
    Par[2].Value = 0;
    Par[2].Unset = Par[1].Unset;
  } else {
    ContinuousDistribution::SetParameters(p1, p2, 1);
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

bool NoncentralChiSquareDistribution::CheckParameter(int i, Real x) {
  // Every finite value is a candidate; an infinite one is too large.
  ErrorIf(std::isinf(x), msgTooLarge);
  ContinuousDistribution::CheckParameter(i, x);
  if (i == 2) ErrorIf(x > kMaxNonCentrality, msgTooLarge);
  return true;
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
    x0 = Mean;  // only a start: the solver brackets from anywhere
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
  return x < SupportHigh ? x : SupportHigh;
}

// ---------------------------------------------------------------------------
// Non-central beta

NoncentralBetaDistribution::NoncentralBetaDistribution(Real alpha, Real beta, Real lambda) {
  SetParameters(alpha, beta, lambda);
}

void NoncentralBetaDistribution::SetParameters(Real p1, Real p2, Real p3) {
  ParCount = 3;
  DefineParameter(1, 0, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  DefineParameter(3, -1e-11L, InfBound, false, "@l");
  const bool central = NearlyEqual(p3, 0);
  if (central) {
    {
      noncentral::ScopedParCount scope(ParCount, 2);
      ContinuousDistribution::SetParameters(p1, p2, 0);
    }
    Par[3].Value = 0;
    Par[3].Unset = Par[1].Unset || Par[2].Unset;
  } else {
    ContinuousDistribution::SetParameters(p1, p2, p3);
  }
  const Real a = central ? 0 : p3 / 2;
  // Moments of the mixture: component j is beta(alpha + j, beta) with mean
  // m_j and variance v_j; Var = sum p_j v_j + sum p_j (m_j - Mean)^2.
  auto meanOf = [&](Real j) { return (p1 + j) / (p1 + p2 + j); };
  auto varOf = [&](Real j) {
    const Real s = p1 + p2 + j;
    return (p1 + j) * p2 / (s * s * (s + 1));
  };
  Real mean = 0, var = 0;
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
  NameId = 932;
  NearFirst = first;
  Near = std::move(near);
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
}

bool NoncentralBetaDistribution::CheckParameter(int i, Real x) {
  // Every finite value is a candidate; an infinite one is too large.
  ErrorIf(std::isinf(x), msgTooLarge);
  ContinuousDistribution::CheckParameter(i, x);
  if (i == 3) ErrorIf(x > kMaxNonCentrality, msgTooLarge);
  return true;
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
    return Mean;  // only a start: the solver brackets from anywhere
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
