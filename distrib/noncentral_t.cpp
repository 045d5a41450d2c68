// The non-central t distribution (the non-central F: noncentral_f.cpp).
//
// The non-central t with nu degrees of freedom and non-centrality d >= 0 has,
// for x >= 0 and y = x^2 / (x^2 + nu), b = nu / 2 (Lenth's algorithm AS 243):
//   P(T <= x) = Phi(-d) + 1/2 sum_j [p_j I_y(j + 1/2, b) + q_j I_y(j + 1, b)],
// p_j = e^(-d^2/2) (d^2/2)^j / j!, q_j = d / sqrt 2 e^(-d^2/2) (d^2/2)^j / Gamma(j + 3/2).
// For x < 0 the sign of the p-series changes; since sum p_j = 1 and
// sum q_j = 1 - 2 Phi(-d), the value is then 1/2 sum_j [p_j J_j - q_j K_j] with
// the upper tails J_j = 1 - I_y(j + 1/2, b), K_j = 1 - I_y(j + 1, b), which
// keeps the far lower tail from vanishing in 1 - (1 - small).  Where even
// that difference keeps no digits, the density and the lower tail come from
// an integral over the chi-square variable (noncentral_t_integrals.cpp).  A
// negative d uses P(T <= x; nu, d) = 1 - P(T <= -x; nu, -d).
#include "distrib/noncentral_f_t.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "distrib/noncentral_series.h"
#include "distrib/noncentral_t_integrals.h"
#include "numeric/functions.h"

namespace vokt {

using noncentral::ClampIndex;
using noncentral::kAbsTol;
using noncentral::kRelTol;
using noncentral::SeriesCap;

// ---------------------------------------------------------------------------
// Non-central t

namespace {

// Geometric bound on the rest of a weight series whose ratio from each weight
// to the next is at most rho, given the current weight w; infinite while the
// weights may still rise.
Real GeometricRest(Real w, Real rho) {
  if (!(rho < 1)) return std::numeric_limits<Real>::infinity();
  return w * rho / (1 - rho);
}

// Index of the largest term of a series with term ratio
// r(j - 1) >= 1  <=>  j^2 + bq j + cq <= 0.
int64_t PeakIndex(Real bq, Real cq) {
  const Real disc = bq * bq - 4 * cq;
  if (!(disc >= 0)) return 0;
  const Real root = (-bq + std::sqrt(disc)) / 2;
  if (!(root >= 1)) return 0;
  return ClampIndex(std::floor(root), int64_t{1} << 40);
}

// ln(x^2 + nu) for x >= 0 without overflow of x^2.
Real LogXSquarePlusNu(Real ax, Real nu) {
  if (ax <= 1) return std::log(ax * ax + nu);
  return 2 * std::log(ax) + std::log1p(nu / ax / ax);
}

}  // namespace

// The parts of the tail series that depend on nu and d = |delta| only: the
// start index o (the Poisson mode of h = d^2 / 2), the weights there, the
// logarithms of the Gamma ratios of the increments T1, T2 at o, and the
// incomplete beta functions the series start from.
struct NoncentralTDistribution::SeriesConstants {
  SeriesConstants(Real nu, Real d)
      : b(nu / 2),
        h(d * d / 2),
        o(static_cast<int64_t>(RoundExt(h))),
        e(static_cast<Real>(o)),
        half(0.5L, nu / 2),
        first(e + 0.5L, nu / 2),
        second(e + 1, nu / 2) {
    phi = NormalUpper(d);
    phiC = NormalLower(d);
    p0 = std::exp(LogPoissonWeight(e, h)) / 2;
    // q_o / p_o = d / sqrt 2 Gamma(o + 1) / Gamma(o + 3/2).
    q0 = d > 0 ? p0 * d * std::exp(LogGammaRatio(e + 1, e + 1.5L) - std::log(2.0L) / 2) : 0;
    // Gamma(j + c + b) / Gamma(b) as one ratio, so that a huge nu keeps the digits.
    logT1 = LogGammaRatio(e + 0.5L + b, b) - LogGamma(e + 1.5L);
    logT2 = LogGammaRatio(e + 1 + b, b) - LogGamma(e + 2);
    // The density's two series start at their peaks, which for x in the
    // bulk lie within eight of o.
    nearFirst = std::max<int64_t>(0, o - 8);
    for (int64_t j = nearFirst; j <= o + 8 && d > 0; ++j) {
      const Real ej = static_cast<Real>(j);
      const Real lw = LogPoissonWeight(ej, h);
      densityA.push_back(lw + LogGammaRatio(ej + 0.5L + b, b) - LogGamma(ej + 0.5L));
      densityB.push_back(lw + std::log(d) + LogGammaRatio(ej + 1, ej + 1.5L) - std::log(2.0L) / 2 +
                         LogGammaRatio(ej + 1 + b, b) - LogGamma(ej + 1));
    }
  }
  // The constant part of the log of the density series' term at j (A: p_j,
  // B: q_j, with their Gamma ratios), or NaN when j is not near o.
  Real DensityConstant(const std::vector<Real>& v, int64_t j) const {
    const int64_t k = j - nearFirst;
    if (k < 0 || k >= static_cast<int64_t>(v.size())) return std::numeric_limits<Real>::quiet_NaN();
    return v[static_cast<size_t>(k)];
  }
  Real b, h;
  int64_t o;
  Real e;
  BetaFunction half, first, second;  // I(1/2, b), I(o + 1/2, b), I(o + 1, b)
  Real phi = 0, phiC = 0;            // Phi(-d), Phi(d)
  Real p0 = 0, q0 = 0, logT1 = 0, logT2 = 0;
  int64_t nearFirst = 0;
  std::vector<Real> densityA, densityB;
};

NoncentralTDistribution::NoncentralTDistribution(Real nu, Real delta) { Build(nu, delta, 0); }

void NoncentralTDistribution::SetParameters(Real p1, Real p2, Real p3) {
  NoncentralTDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void NoncentralTDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  DefineParameter(1, 0, InfBound, false, "@n");
  DefineParameter(2, -InfBound, InfBound, false, "@d");
  const bool central = NearlyEqual(p2, 0);
  if (central) {
    StoreParameters(1, p1, 0, 0);
    par_[2].Value = 0;
    par_[2].Unset = false;
  } else {
    ContinuousDistribution::SetParameters(p1, p2, 1);
  }
  const Real nu = p1, delta = central ? 0 : p2;
  auto series = std::make_shared<const SeriesConstants>(nu, std::fabs(delta));
  nameId_ = 925;
  Series = std::move(series);
  Central = central;
  Nu = nu;
  Delta = delta;
  LogGammaHalfNu = LogGamma(nu / 2);
  LogNorm = LogGammaRatio((nu + 1) / 2, nu / 2) - std::log(nu * 3.14159265358979323846264L) / 2;
  hasMean_ = nu > 1;
  if (hasMean_)
    mean_ =
        delta == 0 ? 0 : delta * std::sqrt(nu / 2) * std::exp(LogGammaRatio((nu - 1) / 2, nu / 2));
  hasVariance_ = nu > 2;
  if (hasVariance_) {
    variance_ = (1 + delta * delta) * nu / (nu - 2) - mean_ * mean_;
    // Rounding in the difference must not leave a negative variance.
    if (!(variance_ > 0)) variance_ = nu / (nu - 2);
  }
  mode_ = -2147483648.0L;
}

void NoncentralTDistribution::CheckParameter(int i, Real x) const {
  // Every finite value is a candidate; an infinite one is too large.
  ErrorIf(std::isinf(x), msgTooLarge);
  ContinuousDistribution::CheckParameter(i, x);
  if (i == 2) ErrorIf(std::fabs(x) > kMaxNonCentralDelta, msgTooLarge);
}

namespace {
// Beyond this many degrees of freedom the t is taken as the normal
// N(delta, 1): the differences are O((1 + x^4) / nu), and nu / 2 + 1/2 is no
// longer a long double there (the series would lose their half-steps).
constexpr Real kNormalNu = 1e18L;
// Left of 0 the difference of the two series is taken only where their sums
// lie above this: nearer the end of the extended range the sums are cut at
// an absolute 1e-4920 and their smallest terms are subnormal, so that the
// difference may keep no digit at all.
constexpr Real kLeastDifferenced = 1e-4890L;
}  // namespace

Real NoncentralTDistribution::Density(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (Nu > kNormalNu) return NormalDensity(x - Delta);
  if (Central) {
    if (!InSupport(x)) return 0;
    return std::exp((std::log(Nu) - LogXSquarePlusNu(std::fabs(x), Nu)) * (Nu + 1) / 2 + LogNorm);
  }
  if (!(supportLow_ < x && x < supportHigh_)) return 0;
  Real d = Delta;
  if (d < 0) {
    x = -x;
    d = -d;
  }
  const Real h = d * d / 2, b = Nu / 2;
  if (x == 0) return std::exp(-h + LogGammaRatio(b + 0.5L, b) - LogGamma(0.5L) - std::log(Nu) / 2);
  const Real ax = std::fabs(x);
  // ln(1 - y) = -ln(1 + t^2), t = |x| / sqrt(nu), directly: as a difference
  // of two logarithms it would lose its digits for a large nu, and b times
  // it enters the density.
  const Real tt = ax / std::sqrt(Nu);
  const Real lnCY = tt <= 1 ? -std::log1p(tt * tt) : -2 * std::log(tt) - std::log1p(1 / tt / tt);
  const Real lnW = std::log(Nu) - lnCY;
  const Real lnY = 2 * std::log(ax) - lnW;
  const Real y = std::exp(lnY), hy = h * y;
  // Common factor x nu / (x^2 + nu)^2 (1 - y)^(b - 1) / Gamma(b) of the half
  // derivatives of I_y(j + 1/2, b) and I_y(j + 1, b).
  const Real lnC = std::log(ax) + std::log(Nu) - 2 * lnW + (b - 1) * lnCY;
  const int64_t capBase = SeriesCap(h);
  // Series p_j F_j.
  const int64_t jA = PeakIndex(-(0.5L + hy), -hy * (b - 0.5L));
  const Real eA = static_cast<Real>(jA);
  // Made for d = |delta|, as here.
  const SeriesConstants& sc = *Series;
  Real constA = sc.DensityConstant(sc.densityA, jA);
  if (std::isnan(constA))
    constA = LogPoissonWeight(eA, h) + LogGammaRatio(eA + 0.5L + b, b) - LogGamma(eA + 0.5L);
  const Real lnA = constA + lnC + (eA - 0.5L) * lnY;
  const Real sumA = noncentral::SumOutward(
      jA, std::exp(lnA),
      [&](int64_t j) {
        const Real e = static_cast<Real>(j);
        return hy * (e + 0.5L + b) / ((e + 1) * (e + 0.5L));
      },
      capBase + SeriesCap(eA), "the non-central t density");
  // Series q_j G_j.
  const int64_t jB = PeakIndex(0.5L - hy, -hy * b);
  const Real eB = static_cast<Real>(jB);
  Real constB = sc.DensityConstant(sc.densityB, jB);
  if (std::isnan(constB))
    constB = LogPoissonWeight(eB, h) + std::log(d) + LogGammaRatio(eB + 1, eB + 1.5L) -
             std::log(2.0L) / 2 + LogGammaRatio(eB + 1 + b, b) - LogGamma(eB + 1);
  const Real lnB = constB + lnC + eB * lnY;
  const Real sumB = noncentral::SumOutward(
      jB, std::exp(lnB),
      [&](int64_t j) {
        const Real e = static_cast<Real>(j);
        return hy * (e + 1 + b) / ((e + 1.5L) * (e + 1));
      },
      capBase + SeriesCap(eB), "the non-central t density");
  if (x > 0) return sumA + sumB;
  // Left of 0 the two series cancel; where more than six digits go, the
  // integral over the chi-square variable takes over.  So it does where the
  // difference magnifies the rounding of the series' start terms (about
  // |ln term| 1e-19 each, far left where ln(1 - y) is large) beyond 1e-16.
  const Real f = sumA - sumB;
  const Real spread = std::max(std::fabs(lnA), std::fabs(lnB)) * (sumA + sumB);
  if (f > 1e-6L * (sumA + sumB) && f * 1e3L > spread && sumA + sumB > kLeastDifferenced) return f;
  return noncentral_t::LowerTailDensity(ax, Nu, d);
}

Real NoncentralTDistribution::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (Nu > kNormalNu) return NormalLower(x - Delta);
  // P(T <= x; delta) = P(T > -x; -delta) for a negative delta.
  if (Delta < 0) return TailPositive(-x, -Delta, true);
  return TailPositive(x, Delta, false);
}

Real NoncentralTDistribution::UpperTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (Nu > kNormalNu) return NormalUpper(x - Delta);
  if (Delta < 0) return TailPositive(-x, -Delta, false);
  return TailPositive(x, Delta, true);
}

namespace {

// Largest share of the density's sums their untaken terms may have for the
// sums to stand as the density: the quantile solver's Newton and Halley
// steps need no more.
constexpr Real kDensityRest = 1e-15L;

// The beta argument y = x^2 / (x^2 + nu) of the tail series, 1 - y and their
// logarithms, with b = nu / 2, and the incomplete beta functions I_y(c, b)
// on either side.
struct BetaArgument {
  Real b, y, cy, lnY, lnCY;
  // 1 - I_y(c, b) = I_(1-y)(b, c); where 1 - y has left the extended range
  // (|x| beyond 1e2400 sqrt(nu)) its leading term
  // (1-y)^b Gamma(b + c) / (Gamma(c) Gamma(b + 1)) is exact to rounding.
  bool tiny;

  Real UpperI(const BetaFunction& f, Real c) const {
    if (tiny) return std::exp(b * lnCY + LogGammaRatio(b + c, c) - LogGamma(b + 1));
    return noncentral::IncBetaC(y, cy, f);
  }
  Real LowerI(const BetaFunction& f, Real c) const {
    return tiny ? 1 - UpperI(f, c) : noncentral::IncBeta(y, cy, f);
  }
};

// The argument at x, from t = |x| / sqrt(nu) without overflow.
BetaArgument MakeBetaArgument(Real x, Real nu) {
  BetaArgument a{};
  a.b = nu / 2;
  const Real t = std::fabs(x) / std::sqrt(nu);
  if (t <= 1) {
    const Real t2 = t * t;
    a.y = t2 / (1 + t2);
    a.cy = 1 / (1 + t2);
    a.lnY = 2 * std::log(t) - std::log1p(t2);
    a.lnCY = -std::log1p(t2);
  } else {
    const Real u = std::sqrt(nu) / std::fabs(x), r = u * u;
    a.y = 1 / (1 + r);
    a.cy = r / (1 + r);
    a.lnY = -std::log1p(r);
    a.lnCY = 2 * std::log(u) - std::log1p(r);
  }
  a.tiny = !(a.cy > 1e-4000L);
  return a;
}

// The running terms of the two series at one index j: the weights p_j, q_j
// (halved, as the sums take them), the increments
// T1 = I_y(j + 1/2, b) - I_y(j + 3/2, b), T2 = I_y(j + 1, b) - I_y(j + 2, b),
// and the series values V1, V2: I_y(j + 1/2, b), I_y(j + 1, b), or their
// complements 1 - I.
struct SeriesTerms {
  Real p, q, T1, T2, V1, V2;
};

// The terms at the start index o, from the constants made for nu and d.
SeriesTerms StartTerms(const NoncentralTDistribution::SeriesConstants& sc, const BetaArgument& a,
                       bool comp) {
  const Real e = sc.e;
  const Real T1o = std::exp(sc.logT1 + (e + 0.5L) * a.lnY + a.b * a.lnCY);
  const Real T2o = std::exp(sc.logT2 + (e + 1) * a.lnY + a.b * a.lnCY);
  const Real V1o = comp ? a.UpperI(sc.first, e + 0.5L) : a.LowerI(sc.first, e + 0.5L);
  const Real V2o = comp ? a.UpperI(sc.second, e + 1) : a.LowerI(sc.second, e + 1);
  return {sc.p0, sc.q0, T1o, T2o, V1o, V2o};
}

// The sums: P = sum p_j V1_j and Q = sum q_j V2_j give the tail.  The density
// comes with them: d I_y(c, b) / dx = 2 c T_c / x for the increment
// T_c = I_y(c, b) - I_y(c + 1, b), so that f(x) = 2 / |x| (DP +- DQ) with
// DP = sum p_j (j + 1/2) T1_j, DQ = sum q_j (j + 1) T2_j.  And its derivative:
// d T_c / dx = T_c 2 (c (1 - y) - b y) / x, so that
// f'(x) = 2 / x^2 (2 (E1 + E2) - (DP + DQ)) with
// E1 = sum p_j (j + 1/2) T1_j ((j + 1/2)(1 - y) - b y), E2 likewise.
// DRest bounds the terms of DP and DQ beyond the ends the tail series
// reached (they stop where the tail's weights have run out, which need not
// be where the density's terms have).
struct SeriesSums {
  Real P, Q, DP, DQ, E1, E2, DRest;
};

// The two series summed outward from the start index o.  comp: the series
// values are the complements 1 - I, which rise with j (else they fall with
// j); wantDensity: DP, DQ, E1, E2 are wanted beyond their start terms.  n
// counts the terms of both directions against cap.
struct TailSeries {
  const BetaArgument& a;
  Real h;  // d^2 / 2, the Poisson mean
  bool comp;
  bool wantDensity;
  int64_t cap;

  // The sums' start terms at o (e = o as a Real).
  SeriesSums StartSums(const SeriesTerms& s, Real e) const {
    const Real b = a.b, y = a.y, cy = a.cy;
    SeriesSums sum{};
    sum.P = s.p * s.V1;
    sum.Q = s.q * s.V2;
    sum.DP = s.p * (e + 0.5L) * s.T1;
    sum.DQ = s.q * (e + 1) * s.T2;
    sum.E1 = sum.DP * ((e + 0.5L) * cy - b * y);
    sum.E2 = sum.DQ * ((e + 1) * cy - b * y);
    return sum;
  }

  // Adds the terms at j (ej = j as a Real).
  void Add(SeriesSums& sum, const SeriesTerms& s, Real ej) const {
    sum.P += s.p * s.V1;
    sum.Q += s.q * s.V2;
    if (!wantDensity) return;
    const Real b = a.b, y = a.y, cy = a.cy;
    const Real dp = s.p * (ej + 0.5L) * s.T1, dq = s.q * (ej + 1) * s.T2;
    sum.DP += dp;
    sum.DQ += dq;
    sum.E1 += dp * ((ej + 0.5L) * cy - b * y);
    sum.E2 += dq * ((ej + 1) * cy - b * y);
  }

  // From o - 1 down to 0, or until a geometric bound on the rest is below the
  // tolerance.
  void Down(int64_t o, SeriesTerms s, SeriesSums& sum, int64_t& n) const {
    const Real b = a.b, y = a.y;
    const Real sgn = comp ? -1 : 1;
    int64_t j = o - 1;
    for (; j >= 0; --j) {
      const Real ej = static_cast<Real>(j);
      s.p = s.p * (ej + 1) / h;
      s.q = s.q * (ej + 1.5L) / h;
      s.T1 = s.T1 * (ej + 1.5L) / ((ej + 0.5L + b) * y);
      s.T2 = s.T2 * (ej + 2) / ((ej + 1 + b) * y);
      s.V1 = noncentral::Clamp01(s.V1 + sgn * s.T1);
      s.V2 = noncentral::Clamp01(s.V2 + sgn * s.T2);
      Add(sum, s, ej);
      if (j == 0) break;
      // Everything below the extended range: the recurrences stay at 0.
      if (s.V1 == 0 && s.V2 == 0 && s.T1 == 0 && s.T2 == 0) break;
      if (++n > cap) throw ConvergenceError("the non-central t distribution function");
      // Below j the weights fall at least with ratios j/h and (j + 1/2)/h.
      // The bound costs four divisions; every fourth step is soon enough.
      if (n % 4 != 0) continue;
      const Real rest = (comp ? s.V1 : 1) * GeometricRest(s.p, ej / h) +
                        (comp ? s.V2 : 1) * GeometricRest(s.q, (ej + 0.5L) / h);
      if (rest <= kRelTol * (sum.P + sum.Q) || rest <= kAbsTol) break;
    }
    // The density's terms below the last index j > 0 fall with ratios at
    // most j (j - 1/2) / (h y (j - 1/2 + b)) and (j + 1/2) j / (h y (j + b)).
    if (wantDensity && j > 0) sum.DRest += DensityRestBelow(s, j);
  }

  // From o + 1 upward, likewise.
  void Up(int64_t o, SeriesTerms s, SeriesSums& sum, int64_t& n) const {
    const Real b = a.b, y = a.y;
    const Real sgn = comp ? -1 : 1;
    int64_t j = o + 1;
    for (;; ++j) {
      const Real ej = static_cast<Real>(j);
      s.p = s.p * h / ej;
      s.q = s.q * h / (ej + 0.5L);
      s.V1 = noncentral::Clamp01(s.V1 - sgn * s.T1);
      s.V2 = noncentral::Clamp01(s.V2 - sgn * s.T2);
      s.T1 = s.T1 * y * (ej - 0.5L + b) / (ej + 0.5L);
      s.T2 = s.T2 * y * (ej + b) / (ej + 1);
      Add(sum, s, ej);
      if (!comp && s.V1 == 0 && s.V2 == 0) break;
      if (s.V1 == 0 && s.V2 == 0 && s.T1 == 0 && s.T2 == 0) break;
      if (!(s.p > 0) && !(s.q > 0)) break;
      if (++n > cap) throw ConvergenceError("the non-central t distribution function");
      if (n % 4 != 0) continue;  // as downward
      const Real rest = (comp ? 1 : s.V1) * GeometricRest(s.p, h / (ej + 1)) +
                        (comp ? 1 : s.V2) * GeometricRest(s.q, h / (ej + 1.5L));
      if (rest <= kRelTol * (sum.P + sum.Q) || rest <= kAbsTol) break;
    }
    // Above the last index j the density's terms fall with ratios at most
    // h y (j + 1/2 + b) / ((j + 1) (j + 1/2)) and h y (j + 1 + b) / ((j + 3/2) (j + 1)).
    if (wantDensity) sum.DRest += DensityRestAbove(s, j);
  }

  [[gnu::noinline]] Real DensityRestBelow(const SeriesTerms& s, int64_t j) const {
    const Real b = a.b, ej = static_cast<Real>(j), hy = h * a.y;
    return GeometricRest(s.p * (ej + 0.5L) * s.T1, ej * (ej - 0.5L) / (hy * (ej - 0.5L + b))) +
           GeometricRest(s.q * (ej + 1) * s.T2, (ej + 0.5L) * ej / (hy * (ej + b)));
  }
  [[gnu::noinline]] Real DensityRestAbove(const SeriesTerms& s, int64_t j) const {
    const Real b = a.b, ej = static_cast<Real>(j), hy = h * a.y;
    return GeometricRest(s.p * (ej + 0.5L) * s.T1,
                         hy * (ej + 0.5L + b) / ((ej + 1) * (ej + 0.5L))) +
           GeometricRest(s.q * (ej + 1) * s.T2, hy * (ej + 1 + b) / ((ej + 1.5L) * (ej + 1)));
  }
};

}  // namespace

Real NoncentralTDistribution::TailPositive(Real x, Real d, bool upperWanted, Real* density,
                                           Real* slope) const {
  if (density) *density = std::numeric_limits<Real>::quiet_NaN();
  if (slope) *slope = std::numeric_limits<Real>::quiet_NaN();
  if (std::isinf(x)) return (x > 0) == upperWanted ? 0 : 1;
  const BetaArgument a = MakeBetaArgument(x, Nu);
  // Made for d = |delta|, the only d this is called with.
  const SeriesConstants& sc = *Series;
  if (Central || d == 0) {
    // P(|T| > |x|) = I_(1-y)(nu/2, 1/2), halved for one side.
    if (x == 0) return 0.5L;
    if ((x > 0) == upperWanted) return a.UpperI(sc.half, 0.5L) / 2;
    return 0.5L + a.LowerI(sc.half, 0.5L) / 2;
  }
  // Below 0 the lower tail is at most Phi(-d) <= 1/2: the upper tail is its
  // complement without loss.
  if (x < 0 && upperWanted) return 1 - TailPositive(x, d, false, density, slope);
  const Real phi = sc.phi;  // Phi(-d) = P(T <= 0)
  if (x == 0 || !(a.y > 0)) return upperWanted ? sc.phiC : phi;
  // Series values: for the lower tail at x >= 0 V1, V2 are I_y(j + 1/2, b),
  // I_y(j + 1, b) and fall with j; otherwise they are the complements
  // 1 - I and rise with j.
  const bool comp = upperWanted || x < 0;
  const TailSeries series{a, sc.h, comp, density != nullptr, SeriesCap(sc.h)};
  const SeriesTerms start = StartTerms(sc, a, comp);
  SeriesSums sum = series.StartSums(start, sc.e);
  int64_t n = 0;
  series.Down(sc.o, start, sum, n);
  series.Up(sc.o, start, sum, n);
  const Real P = sum.P, Q = sum.Q, DP = sum.DP, DQ = sum.DQ;
  Real S;
  if (upperWanted) {
    S = P + Q;  // x > 0: 1/2 sum (p_j J_j + q_j K_j), all terms positive
  } else if (x > 0) {
    S = phi + P + Q;
  } else {
    // The difference of the two sums loses its digits in the far lower
    // tail; there the integral over the chi-square variable takes over.
    S = P - Q;
    // So does it where 1 - y has left the range: the series' terms are then
    // leading terms e^(b ln(1 - y) + ...), each rounded on its own exponent
    // of up to 1e4, which the difference would magnify.
    if (!(S > 1e-3L * (P + Q) && P + Q > kLeastDifferenced) || a.tiny)
      S = noncentral_t::LowerTailCdf(-x, Nu, d);
    // The density's difference is taken only where it keeps three digits
    // and its sums are whole.
    if (density && DP - DQ > 1e-3L * (DP + DQ) && DP + DQ > kLeastDifferenced &&
        sum.DRest <= kDensityRest * (DP - DQ))
      *density = 2 * (DP - DQ) / std::fabs(x);
    return noncentral::Clamp01(S);
  }
  // Where the density's terms reach beyond the tail's, the density and its
  // slope are left to Density.
  if (!(sum.DRest <= kDensityRest * (DP + DQ))) return noncentral::Clamp01(S);
  if (density) *density = 2 * (DP + DQ) / std::fabs(x);
  if (slope && DP + DQ > 0) *slope = (2 * (sum.E1 + sum.E2) - (DP + DQ)) / (x * (DP + DQ));
  return noncentral::Clamp01(S);
}

Real NoncentralTDistribution::Solve(Real p, bool upper) const {
  // Start: the normal approximation of Johnson and Kotz,
  // (x (1 - 1/(4 nu)) - delta) / sqrt(1 + x^2 / (2 nu)) standard normal,
  // solved for x; the solver works on the tail in any case.
  if (Nu > kNormalNu) {
    if (std::isnan(p)) RaiseMessage(msgNotANumber);
    CheckValue(msgAtLeast, p, 0);
    CheckValue(msgNotGreaterThan, p, 1);
    return Delta + (upper ? NormalUpperInv(p) : NormalLowerInv(p));
  }
  const bool up = p > 0.5L ? !upper : upper;
  const Real pp = p > 0.5L ? 1 - p : p;
  Real x0 = Delta;
  if (pp > 0) {
    const Real z = up ? NormalUpperInv(pp) : NormalLowerInv(pp);
    const Real c = 1 - 1 / (4 * Nu), A = c * c - z * z / (2 * Nu);
    const Real B = -2 * c * Delta, C = Delta * Delta - z * z;
    const Real disc = B * B - 4 * A * C;
    if (A > 0 && disc >= 0) {
      const Real r = std::sqrt(disc);
      const Real x1 = (-B - r) / (2 * A), x2 = (-B + r) / (2 * A);
      x0 = (c * x1 - Delta >= 0) == (z >= 0) ? x1 : x2;
    } else {
      x0 = Delta + z * std::sqrt(Nu / std::max(Nu - 2, Real(0.5L)));
    }
    // P(T <= 0) = Phi(-delta) tells on which side of 0 the root lies; a
    // start on the wrong side would cost the far lower tail's integral.
    const Real lowerAtZero = Delta >= 0 ? Series->phi : Series->phiC;
    const Real upperAtZero = Delta >= 0 ? Series->phiC : Series->phi;
    const Real atZero = up ? upperAtZero : lowerAtZero;  // the tail pp is of, at 0
    const bool positive = up ? pp < atZero : pp > atZero;
    if (positive && !(x0 > 0)) x0 = std::fabs(Delta) > 0 ? std::fabs(Delta) : 1;
    if (!positive && !(x0 < 0)) x0 = -1;
  }
  const Real inf = std::numeric_limits<Real>::infinity();
  // The solver asks for the density right after the tail at the same x; the
  // tail's sums give it on the way (else it is computed on its own).
  // With the density come its log-derivative (Halley's steps) where x > 0
  // (for a negative delta, of the mirror image: the sign turns).
  Real lastX = std::numeric_limits<Real>::quiet_NaN(), lastDensity = 0, lastSlope = 0;
  auto tail = [&](Real x, bool upperTail) {
    if (std::isnan(x)) RaiseMessage(msgNotANumber);
    lastX = x;
    if (Delta < 0) {
      const Real t = TailPositive(-x, -Delta, !upperTail, &lastDensity, &lastSlope);
      lastSlope = -lastSlope;
      return t;
    }
    return TailPositive(x, Delta, upperTail, &lastDensity, &lastSlope);
  };
  auto density = [&](Real x) {
    if (x == lastX && lastDensity > 0 && std::isfinite(lastDensity)) return lastDensity;
    return Density(x);
  };
  auto slope = [&](Real x) {
    return x == lastX ? lastSlope : std::numeric_limits<Real>::quiet_NaN();
  };
  return noncentral::TailQuantile([&](Real x) { return tail(x, false); },
                                  [&](Real x) { return tail(x, true); }, density, p, upper, x0,
                                  -inf, inf, "the non-central t quantile", slope);
}

Real NoncentralTDistribution::InverseCdf(Real p) const { return Solve(p, false); }

Real NoncentralTDistribution::UpperQuantile(Real q) const { return Solve(q, true); }

Real NoncentralTDistribution::RandomValue(RandomEngine& engine) const {
  // (Z + delta) / sqrt(V / nu), V chi-square(nu).
  const Real z = noncentral::StdNormalValue(engine) + Delta;
  const Real v = 2 * noncentral::GammaValue(engine, Nu / 2);
  const Real t = z / std::sqrt(v / Nu);
  if (std::isnan(t)) return ContinuousDistribution::RandomValue(engine);
  if (t > supportHigh_) return supportHigh_;
  if (t < supportLow_) return supportLow_;
  return t;
}

}  // namespace vokt
