// Student's t and Fisher's F distributions.  Both tails are regularized
// incomplete beta functions (or their complements) for every number of
// degrees of freedom, taken on the side whose argument keeps its digits;
// quantiles by the inverse incomplete beta; random
// values of the t by the polar method (nu = 1, 3), ratio of uniforms (other
// nu >= 1) or a normal over the root of a scaled gamma (nu < 1), of the F from
// its beta component.
#include "distrib/t_f.h"

#include <cmath>

#include <algorithm>
#include <limits>

#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {
// The polar method accepts pi/4 of its trials, the ratio of uniforms for the
// t more than half; a million failures in a row means broken constants.
constexpr int kTrialCap = 1000000;

constexpr Real kLnPi = 1.14472988584940017414342735135305871165L;
}  // namespace

// ---------------------------------------------------------------- t

StudentTDistribution::StudentTDistribution(Real nu) { Build(nu, 1, 1); }

void StudentTDistribution::SetParameters(Real p1, Real p2, Real p3) {
  StudentTDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void StudentTDistribution::Build(Real p1, Real, Real) {
  parCount_ = 1;
  StrictPositive = true;
  DefineParameter(1, 0, InfBound, false, "@n");
  ContinuousDistribution::SetParameters(p1, 1, 1);
  const Real nu = p1;
  // The components' shape nu/2 can still be refused (nu within twice the
  // tolerance of 0).
  std::unique_ptr<NormalDistribution> normal;
  std::unique_ptr<GammaDistribution> gamma;
  if (nu < 1) {
    normal = std::make_unique<NormalDistribution>(0, 1);
    gamma = std::make_unique<GammaDistribution>(nu / 2, 1);
  }
  const BetaFunction tail(nu / 2, 0.5L);
  nameId_ = 908;
  Nu = nu;
  TailBeta = tail;
  CentreBeta = tail.Swapped();
  hasMean_ = nu > 1;
  if (hasMean_) mean_ = 0;
  hasVariance_ = nu > 2;
  if (hasVariance_) variance_ = nu / (nu - 2);
  LogNorm = LogGammaRatio((nu + 1) / 2, nu / 2) - (std::log(nu) + kLnPi) / 2;
  // ln(a B(a, 1/2)) for a = nu/2: ln a + ln Gamma(a) + ln Gamma(1/2) - ln Gamma(a + 1/2).
  LogSmallTailNorm = std::log(nu / 2) + kLnPi / 2 - LogGammaRatio((nu + 1) / 2, nu / 2);
  mode_ = 0;
  if (nu >= 1) {
    // Largest |x| sqrt(h(x)) for h(x) = (1 + x^2/nu)^(-(nu+1)/2), at
    // x^2 = 2nu/(nu - 1): sqrt(2nu) (nu-1)^((nu-1)/4) / (nu+1)^((nu+1)/4).
    // Written as -ln(nu+1)/2 + (nu-1)/4 ln((nu-1)/(nu+1)) so that large nu
    // neither overflows the powers nor cancels; nu = 1 gives 1.
    Real lg = std::log(2 * nu) / 2 - std::log(nu + 1) / 2;
    if (nu > 1) lg += (nu - 1) / 4 * std::log1p(-2 / (nu + 1));
    Gen = std::exp(lg);
  } else {
    Gen = std::sqrt(nu / 2);
    NormalPart = std::move(normal);
    GammaPart = std::move(gamma);
  }
}

Real StudentTDistribution::Density(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (std::isinf(x)) return 0;
  // exp(-ln(1 + x^2/nu) (nu+1)/2 + LogNorm); beyond 1e2000 the square would
  // overflow and ln(1 + x^2/nu) is 2 ln|x| - ln nu to all digits.
  const Real ax = std::fabs(x);
  const Real l = ax < 1e2000L ? std::log1p(ax / Nu * ax) : 2 * std::log(ax) - std::log(Nu);
  return std::exp(-l * (Nu + 1) / 2 + LogNorm);
}

Real StudentTDistribution::TailBeyond(Real ax) const {
  // P(T > |x|) = I_w(nu/2, 1/2) / 2 with w = nu/(nu + x^2); near the centre
  // (x^2 < nu) w is close to 1 and the complement is taken on
  // 1 - w = x^2/(nu + x^2) instead.  Both are formed from a ratio that
  // neither overflows nor cancels.
  if (ax == 0) return 0.5L;
  if (std::isinf(ax)) return 0;
  const Real r = ax / Nu * ax;  // x^2 / nu
  if (r < 1) return CentreBeta.Upper(r / (1 + r)) / 2;
  const Real v = Nu / ax / ax;  // nu / x^2
  // Far out (for small nu beyond 1e4932 when v underflows) the leading term
  // of the series, w^a / (a B(a, 1/2)) with a = nu/2, is the tail to all
  // digits (the next term is a factor w smaller), taken in logarithms.
  if (v < 1e-30L) {
    const Real lw = std::log(Nu) - 2 * std::log(ax) - std::log1p(v);
    return std::exp(Nu / 2 * lw - LogSmallTailNorm) / 2;
  }
  return TailBeta.Lower(v / (1 + v)) / 2;
}

Real StudentTDistribution::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  const Real t = TailBeyond(std::fabs(x));
  return x <= 0 ? t : 1 - t;
}

Real StudentTDistribution::UpperTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  const Real t = TailBeyond(std::fabs(x));
  return x >= 0 ? t : 1 - t;
}

Real StudentTDistribution::PositiveQuantile(Real t) const {
  // x > 0 with P(T > x) = t (0 < t <= 1/2): I_w(nu/2, 1/2) = 2t, and
  // x = sqrt(nu (1 - w) / w) with 1 - w from the inversion itself.
  if (t >= 0.5L) return 0;
  Real c = 0;
  const Real w = TailBeta.LowerInv(2 * t, &c);
  if (w < 1e-30L) {
    // I_w(a, 1/2) = w^a / (a B(a, 1/2)) to all digits for such w (see
    // TailBeyond), so ln w = (ln 2t + ln(a B(a, 1/2))) / a; x = sqrt(nu / w)
    // is then taken in logarithms, as w may be below the smallest long double.
    const Real lw = (std::log(2 * t) + LogSmallTailNorm) / (Nu / 2);
    const Real lx = (std::log(Nu) - lw) / 2;
    if (lx > std::log(std::numeric_limits<Real>::max())) return InfBound;
    return std::exp(lx);
  }
  return std::sqrt(Nu) * std::sqrt(c) / std::sqrt(w);
}

Real StudentTDistribution::InverseCdf(Real p) const {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p == 0) return -InfBound;
  if (p == 1) return InfBound;
  if (p <= 0.5L) return -PositiveQuantile(p);
  return PositiveQuantile(1 - p);
}

Real StudentTDistribution::UpperQuantile(Real q) const {
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  if (q == 0) return InfBound;
  if (q == 1) return -InfBound;
  if (q <= 0.5L) return PositiveQuantile(q);
  return -PositiveQuantile(1 - q);
}

Real StudentTDistribution::RandomValue(RandomEngine& engine) const {
  if (Nu == 1 || Nu == 3) {
    // Polar method: a uniform point (c, b) in the unit disc.
    for (int trial = 0; trial < kTrialCap; ++trial) {
      const Real c = 2 * engine.Uniform() - 1;
      const Real b = 2 * engine.Uniform() - 1;
      if (c * c + b * b > 1) continue;
      if (Nu == 1) {
        if (c == 0) continue;  // b/c would not be a number
        return b / c;          // Cauchy
      }
      return std::sqrt(3.0L) * b / (c + 1);
    }
    throw ConvergenceError("the t generator");
  }
  if (Nu > 1) {
    // Ratio of uniforms: accept X = V/U when U^2 <= h(X), that is
    // nu (U^(-4/(nu+1)) - 1) >= X^2, with U^(-4/(nu+1)) - 1 as expm1.
    for (int trial = 0; trial < kTrialCap; ++trial) {
      const Real u = engine.Uniform();
      const Real v = (2 * engine.Uniform() - 1) * Gen;
      const Real x = v / u;
      if (Nu * std::expm1(-4 * std::log(u) / (Nu + 1)) >= x * x) return x;
    }
    throw ConvergenceError("the t generator");
  }
  // nu < 1: Z / sqrt(chi^2/nu) with chi^2 = 2G, G ~ gamma(nu/2, 1).
  const Real z = NormalPart->RandomValue(engine);
  const Real g = GammaPart->RandomValue(engine);
  // G underflows to 0 only for values of |X| beyond the extended range.
  if (!(g > 0)) RaiseOverflow();
  const Real r = z * Gen / std::sqrt(g);
  if (!std::isfinite(r)) RaiseOverflow();
  return r;
}

// ---------------------------------------------------------------- F

FDistribution::FDistribution(Real m, Real n) { Build(m, n, 1); }

void FDistribution::SetParameters(Real p1, Real p2, Real p3) {
  FDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void FDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  StrictPositive = true;
  DefineParameter(1, 0, InfBound, false, "m");
  DefineParameter(2, 0, InfBound, false, "n");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  const Real m = p1, n = p2;
  // The beta component's shapes m/2 and n/2 can still be refused (within
  // twice the tolerance of 0).
  auto beta = std::make_unique<BetaDistribution>(m / 2, n / 2);
  NumDf = m;
  DenDf = n;
  DenBeta = beta->Incomplete.Swapped();
  nameId_ = 909;
  LogNorm = beta->LogNorm + (std::log(m) - std::log(n)) * m / 2;
  supportLow_ = 0;
  hasMean_ = n > 2;
  if (hasMean_) mean_ = n / (n - 2);
  hasVariance_ = n > 4;
  if (hasVariance_) variance_ = mean_ * mean_ * 2 * (m + n - 2) / (m * (n - 4));
  mode_ = m >= 2 ? (m - 2) * n / (m * (n + 2)) : 0;
  BetaPart = std::move(beta);
}

bool FDistribution::InSupport(Real x) const {
  if (NumDf < 2 && !(x > 0)) return false;
  return ContinuousDistribution::InSupport(x);
}

void FDistribution::BetaArguments(Real x, Real& y, Real& q) const {
  // y = m x / (m x + n) and q = 1 - y = n / (m x + n), both from the ratio
  // of the smaller to the larger of m x and n, so that neither overflows
  // nor loses digits to a subtraction.
  const Real mx = NumDf * x;
  if (mx <= DenDf) {
    const Real r = mx / DenDf;
    y = r / (1 + r);
    q = 1 / (1 + r);
  } else {
    const Real r = DenDf / NumDf / x;
    y = 1 / (1 + r);
    q = r / (1 + r);
  }
}

namespace {
// Dekker's exact product a b = hi + lo of two long doubles (splitting each
// into 32-bit halves; fmal is emulated in software and slow).
void TwoProd(Real a, Real b, Real& hi, Real& lo) {
  constexpr Real kSplit = 4294967297.0L;  // 2^32 + 1
  hi = a * b;
  const Real ta = a * kSplit, ah = ta - (ta - a), al = a - ah;
  const Real tb = b * kSplit, bh = tb - (tb - b), bl = b - bh;
  lo = ((ah * bh - hi) + ah * bl + al * bh) + al * bl;
}

// Knuth's exact sum a + b = s + e.
void TwoSum(Real a, Real b, Real& s, Real& e) {
  s = a + b;
  const Real v = s - a;
  e = (a - (s - v)) + (b - v);
}
}  // namespace

Real FDistribution::OddsError(Real x, Real y, Real q, OddsFrom kind) const {
  // The beta arguments y and q carry a rounding or two, and their odds y/q
  // differ from the exact m x / n by a relative eta of some 1e-19; the
  // density and the tails move by eta times (a - (a+b) y) and x f(x), which
  // for m and n of 1e6 far out is worth a few units of 1e-15.  The odds seen
  // are y/q for the density (Both), y/(1-y) when only y goes to the beta
  // function (Y), (1-q)/q when only q does (Q).  r = m x / n is formed as
  // rh + rl to twice the working precision, and the numerator
  // y_seen - r q_seen with exact products and sums.
  Real ph, pl;
  TwoProd(NumDf, x, ph, pl);
  const Real rh = ph / DenDf;
  Real h, l;
  TwoProd(rh, DenDf, h, l);
  const Real rl = ((ph - h) - l + pl) / DenDf;
  Real num, den;
  Real p1, p2, s1, s2;
  switch (kind) {
    case OddsFrom::Both:  // y - r q
      TwoProd(rh, q, p1, p2);
      num = (y - p1) - p2 - rl * q;
      den = rh * q;
      break;
    case OddsFrom::Y:  // y - r (1 - y) = (y + r y) - r
      TwoProd(rh, y, p1, p2);
      TwoSum(y, p1, s1, s2);
      num = (s1 - rh) + s2 + p2 + rl * y - rl;
      den = rh * (1 - y);
      break;
    default:  // (1 - q) - r q = 1 - (q + r q)
      TwoProd(rh, q, p1, p2);
      TwoSum(q, p1, s1, s2);
      num = (1 - s1) - s2 - p2 - rl * q;
      den = rh * q;
      break;
  }
  const Real eta = num / den;
  // Far out, where the splitting overflows or the odds underflow, there is
  // nothing to correct at the precision that matters.
  if (!std::isfinite(eta) || std::fabs(eta) > 1e-15L) return 0;
  return eta;
}

Real FDistribution::Density(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  const Real m = NumDf, n = DenDf;
  if (x > 0 && std::isfinite(x)) {
    Real y, q;
    BetaArguments(x, y, q);
    if (!(y > 0) || !(q > 0)) return 0;
    // Small whole degrees of freedom: the beta density by products, times
    // dy/dx = (m / n) q^2 (the odds' rounding is worth under 1e-17 there).
    if (Real f; BetaPart->PowerDensity(y, q, f)) return f * (m / n) * q * q;
    // Loader's binomial form: the beta density as a binomial weight, whose
    // deviance terms do not lose the digits that (n/2 - 1) ln q loses for
    // large n (a rounding of q is multiplied by n/2 there, and cancels here).
    //   m >= 2: f = m q / 2 * b((m-2)/2; (m+n-2)/2, y)
    //   m < 2:  f = m^2 q / (2 y (m+n)) * b(m/2; (m+n)/2, y)
    // The odds' rounding moves ln f by eta (m/2 - (m+n)/2 y).
    Real shift = -OddsError(x, y, q, OddsFrom::Both) * (m / 2 - (m + n) / 2 * y);
    if (!(std::fabs(shift) <= 1e-12L)) shift = 0;
    if (m >= 2)
      return m * q / 2 * std::exp(LogBinomialWeight((m - 2) / 2, (m + n - 2) / 2, y, q) + shift);
    return m * m * q / (2 * y * (m + n)) *
           std::exp(LogBinomialWeight(m / 2, (m + n) / 2, y, q) + shift);
  }
  // The F(2, n) density starts at exactly 1 (exp(LogNorm) is 1 for m = 2).
  if (m == 2 && x == 0) return 1;
  return 0;
}

Real FDistribution::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 0;
  if (std::isinf(x)) return 1;
  Real y, q;
  BetaArguments(x, y, q);
  // A rounding eta of the odds moves the lower tail by eta x f(x); it is
  // worth correcting only when x f(x) is far above the tail, that is for
  // large degrees of freedom, and only on the small side (near 1 it would
  // push a probability past 1 for nothing).
  Real p;
  OddsFrom kind;
  if (y <= 0.5L) {
    p = BetaPart->Incomplete.Lower(y);
    kind = OddsFrom::Y;
  } else {
    p = DenBeta.Upper(q);
    kind = OddsFrom::Q;
  }
  if (NumDf + DenDf >= 1000 && p > 0 && p < 0.5L) {
    const Real eta = OddsError(x, y, q, kind);
    // A sound correction is a few units of 1e-15 of p; anything else (an
    // overflowed or undefined x f(x) for extreme degrees of freedom) is not
    // one.
    if (eta != 0) {
      const Real c = eta * x * Density(x);
      if (std::fabs(c) <= 1e-12L * p) p -= c;
    }
  }
  return p;
}

Real FDistribution::UpperTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 1;
  if (std::isinf(x)) return 0;
  Real y, q;
  BetaArguments(x, y, q);
  Real p;
  OddsFrom kind;
  if (y <= 0.5L) {
    p = BetaPart->Incomplete.Upper(y);
    kind = OddsFrom::Y;
  } else {
    p = DenBeta.Lower(q);
    kind = OddsFrom::Q;
  }
  if (NumDf + DenDf >= 1000 && p > 0 && p < 0.5L) {  // as in Cdf
    const Real eta = OddsError(x, y, q, kind);
    // A sound correction is a few units of 1e-15 of p; anything else (an
    // overflowed or undefined x f(x) for extreme degrees of freedom) is not
    // one.
    if (eta != 0) {
      const Real c = eta * x * Density(x);
      if (std::fabs(c) <= 1e-12L * p) p += c;
    }
  }
  return p;
}

Real FDistribution::FromBeta(Real y, Real q) const {
  // x = n y / (m q)
  if (q == 0) return InfBound;
  return DenDf / NumDf * (y / q);
}

Real FDistribution::InverseCdf(Real p) const {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  if (p == 1) return InfBound;
  Real y, q;
  if (p <= 0.5L)
    y = BetaPart->Incomplete.LowerInv(p, &q);
  else
    y = BetaPart->Incomplete.UpperInv(1 - p, &q);
  return FromBeta(y, q);
}

Real FDistribution::UpperQuantile(Real t) const {
  CheckValue(msgAtLeast, t, 0);
  CheckValue(msgNotGreaterThan, t, 1);
  if (t == 0) return InfBound;
  Real y, q;
  if (t <= 0.5L)
    y = BetaPart->Incomplete.UpperInv(t, &q);
  else
    y = BetaPart->Incomplete.LowerInv(1 - t, &q);
  return FromBeta(y, q);
}

Real FDistribution::RandomValue(RandomEngine& engine) const {
  // y n/((1 - y) m) for a beta(m/2, n/2) variate y, with the odds y/(1 - y)
  // taken from the beta generator directly: for small degrees of freedom y
  // is often so close to 1 that 1 - y keeps few digits or none.
  const Real r = BetaPart->RandomOdds(engine) * DenDf / NumDf;
  if (!std::isfinite(r)) RaiseOverflow();
  return r;
}

void FDistribution::ParameterLabel(int i, int k, std::string& s) const {
  if (k <= 0) {
    s = ParAt(i).Symbol;
  } else if (i == 1) {
    s = "@n_" + std::to_string(k) + "1^";
  } else if (i == 2) {
    s = "@n_" + std::to_string(k) + "2^";
  }
}

}  // namespace vokt
