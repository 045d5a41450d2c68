// Inverse Gaussian distribution.  With v = sqrt(lambda/x) (x/mu - 1) and
// w = sqrt(lambda/x) (x/mu + 1) the tails are
//   P(X <= x) = Phi(v) + e^(2 phi) Phi(-w),
//   P(X > x)  = Phi(-v) - e^(2 phi) Phi(-w),   phi = lambda / mu,
// and since 2 phi - w^2/2 = -v^2/2 the second term equals pdf(v) R(w), with
// pdf the normal density and R the Mills ratio Phi(-t) / pdf(t).  That form
// needs neither e^(2 phi), which overflows for phi above about 5678, nor the
// far normal tail Phi(-w), which underflows long before.  The upper tail is
// a difference pdf(v) (R(v) - R(w)); where R(w) is more than 0.99 of
// R(v) the difference is the integral of -R'(t) = 1 - t R(t) > 0 over
// [v, w] (20-point Gauss-Legendre: R is smooth and w / v close to 1
// there), so the upper tail keeps its digits also far right, where the two
// terms agree in all but the last few.
#include "distrib/inverse_gaussian.h"

#include <cmath>
#include <limits>

#include "distrib/noncentral_series.h"
#include "numeric/functions.h"

namespace vokt {

namespace {
constexpr Real kLn2Pi = 1.837877066409345483560659472811235280L;

// From here on the asymptotic series of the Mills ratio is exact to extended
// precision with a dozen terms (its smallest term lies near n = w^2/2).
constexpr Real kMillsAsymptotic = 30;

// Nodes in (0, 1) and weights of the 20-point Gauss-Legendre rule on [-1, 1].
constexpr Real kGauss[10][2] = {
    {0.9931285991850949247861224L, 0.01761400713915211831186196L},
    {0.9639719272779137912676661L, 0.04060142980038694133103995L},
    {0.9122344282513259058677524L, 0.06267204833410906356950654L},
    {0.8391169718222188233945291L, 0.08327674157670474872475814L},
    {0.7463319064601507926143051L, 0.1019301198172404350367501L},
    {0.6360536807265150254528367L, 0.1181945319615184173123774L},
    {0.5108670019508270980043641L, 0.1316886384491766268984945L},
    {0.3737060887154195606725482L, 0.1420961093183820513292983L},
    {0.2277858511416450780804962L, 0.1491729864726037467878287L},
    {0.07652652113349733375464041L, 0.1527533871307258506980843L},
};

// 1 - t R(t) = -R'(t) > 0: directly up to 30 (at most three digits of
// cancellation, at t = 30), the asymptotic series beyond.
Real MillsSlope(Real t) {
  if (t < kMillsAsymptotic) return 1 - t * NormalMillsRatio(t);
  // 1 - t R(t) ~ sum_n>=1 (-1)^(n+1) (2n - 1)!! / t^(2n)
  const Real t2 = t * t;
  Real term = 1, sum = 0;
  for (int n = 1; n <= 14; ++n) {
    term *= (2 * n - 1) / t2;
    sum += (n % 2 == 1) ? term : -term;
  }
  return sum;
}

Real Clamp01(Real p) {
  if (p < 0) return 0;
  if (p > 1) return 1;
  return p;
}
}  // namespace

Real NormalMillsRatio(Real w) {
  if (std::isnan(w)) RaiseMessage(msgNotANumber);
  if (w < kMillsAsymptotic) {
    // Both keep their relative accuracy in the tail (the density is at least
    // e^-450 here).
    return NormalUpper(w) / NormalDensity(w);
  }
  // R(w) ~ (1/w) sum_n (-1)^n (2n - 1)!! / w^(2n)
  const Real w2 = w * w;
  Real term = 1, sum = 1;
  for (int n = 1; n <= 14; ++n) {
    term *= -(2 * n - 1) / w2;
    sum += term;
  }
  return sum / w;
}

InverseGaussianDistribution::InverseGaussianDistribution(Real mu, Real lambda) {
  NormalPart = std::make_unique<NormalDistribution>(0, 1);
  Build(mu, lambda, 1);
}

void InverseGaussianDistribution::SetParameters(Real p1, Real p2, Real p3) {
  InverseGaussianDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void InverseGaussianDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  DefineParameter(1, 0, InfBound, false, "@m");
  DefineParameter(2, 0, InfBound, false, "@l");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  nameId_ = 930;
  Mu = p1;
  Lambda = p2;
  Phi = Lambda / Mu;
  supportLow_ = 0;
  hasMean_ = true;
  hasVariance_ = true;
  mean_ = Mu;
  variance_ = Mu * Mu * Mu / Lambda;
  // mu (sqrt(1 + 9/(4 phi^2)) - 3/(2 phi)), multiplied out by the conjugate:
  // for small phi the difference would cancel to nothing.
  mode_ = Mu / (std::sqrt(1 + 9 / (4 * Phi * Phi)) + 3 / (2 * Phi));
}

bool InverseGaussianDistribution::InSupport(Real x) const {
  return ContinuousDistribution::InSupport(x) && x > 0;
}

Real InverseGaussianDistribution::Density(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!(x > 0) || std::isinf(x)) return 0;
  // sqrt(lambda/(2 pi x^3)) exp(-lambda (x - mu)^2 / (2 mu^2 x)), in logs so
  // that x^3 cannot underflow; the exponent is -v^2/2.
  const Real ratio = Lambda / x;
  if (!std::isfinite(ratio)) return 0;
  const Real z1 = x / Mu - 1;
  const Real v2 = ratio * z1 * z1;
  return std::exp((std::log(Lambda) - kLn2Pi) / 2 - 1.5L * std::log(x) - v2 / 2);
}

Real InverseGaussianDistribution::Cdf(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!(x > 0)) return 0;
  if (std::isinf(x)) return 1;
  const Real s = std::sqrt(Lambda / x);
  if (!std::isfinite(s)) return 0;  // x so close to 0 that lambda/x overflows
  const Real z = x / Mu;
  const Real v = s * (z - 1);
  const Real w = s * (z + 1);
  // Two positive terms: Phi(v) from the kernel, e^(2 phi) Phi(-w) as pdf(v) R(w).
  return Clamp01(NormalLower(v) + NormalDensity(v) * NormalMillsRatio(w));
}

Real InverseGaussianDistribution::UpperTail(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!(x > 0)) return 1;
  if (std::isinf(x)) return 0;
  const Real s = std::sqrt(Lambda / x);
  if (!std::isfinite(s)) return 1;
  const Real z = x / Mu;
  const Real v = s * (z - 1);
  const Real w = s * (z + 1);
  const Real dv = NormalDensity(v);
  const Real rw = NormalMillsRatio(w);
  const Real upperV = NormalUpper(v);  // Phi(-v) = pdf(v) R(v)
  const Real second = dv * rw;
  // Up to 0.99 the difference loses at most two digits of the twenty.
  if (second < 0.99L * upperV) return Clamp01(upperV - second);
  // pdf(v) times the integral of 1 - t R(t) over [v, w].
  const Real c = (v + w) / 2, hw = s;  // (w - v) / 2 = s
  Real sum = 0;
  for (const auto& node : kGauss)
    sum += node[1] * (MillsSlope(c - hw * node[0]) + MillsSlope(c + hw * node[0]));
  return Clamp01(dv * sum * hw);
}

Real InverseGaussianDistribution::Solve(Real p, bool upper) const {
  // Start: the lognormal with the same mean and variance.
  const Real s2 = std::log1p(Mu / Lambda), m = std::log(Mu) - s2 / 2;
  const bool up = p > 0.5L ? !upper : upper;
  const Real pp = p > 0.5L ? 1 - p : p;
  Real x0 = Mu;
  if (pp > 0) x0 = std::exp(m + std::sqrt(s2) * (up ? NormalUpperInv(pp) : NormalLowerInv(pp)));
  return noncentral::TailQuantile(
      [&](Real x) { return Cdf(x); }, [&](Real x) { return UpperTail(x); },
      [&](Real x) { return Density(x); }, p, upper, x0, 0, std::numeric_limits<Real>::infinity(),
      "the inverse Gaussian quantile");
}

Real InverseGaussianDistribution::InverseCdf(Real p) const { return Solve(p, false); }

Real InverseGaussianDistribution::UpperQuantile(Real q) const { return Solve(q, true); }

}  // namespace vokt
