// Closed-form continuous families.  Both tails come from their own closed
// formulas, each written so that it keeps its digits where it is small
// (expm1 and log1p where an argument is close to 0, the Cauchy's arctangent
// of the reciprocal); quantiles are the closed inverses, the upper-tail
// quantile the inverse of the upper tail.  Random values come from direct
// generators, with exponentials that would leave the extended range reported
// as overflow rather than returned as infinity.
#include "distrib/closed_form.h"

#include <array>
#include <cmath>
#include <limits>

#include "distrib/closed_form_util.h"
#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

using namespace closed_form;

namespace {

// ln(p / (1 - p)) for 0 < p < 1, also near 1/2 where the two logarithms
// cancel: there log1p of (2p - 1) / (1 - p), 2p - 1 exact.
Real Logit(Real p) {
  if (p >= 0.25L && p <= 0.75L) return std::log1p((2 * p - 1) / (1 - p));
  Real lp, lc;
  LogPair(p, lp, lc);
  return lp - lc;
}

// Largest y for which exp(y) is finite.
Real LnMaxExtended() {
  static const Real v = std::log(std::numeric_limits<Real>::max());
  return v;
}

// ln(e^d - 1) for d > 0 without overflow for large d.
Real LnExpm1(Real d) {
  if (d > 40) return d + std::log1p(-std::exp(-d));
  return std::log(std::expm1(d));
}

// Riemann zeta(k) for k = 2 .. kZetaTerms: the sum up to N - 1 plus the
// Euler-Maclaurin tail with three correction terms; for N = 1000 the
// neglected term is below 1e-22 already at k = 2.
constexpr int kZetaTerms = 26;

const std::array<Real, kZetaTerms + 1>& Zeta() {
  static const std::array<Real, kZetaTerms + 1> table = [] {
    std::array<Real, kZetaTerms + 1> z{};
    constexpr int N = 1000;
    for (int k = 2; k <= kZetaTerms; ++k) {
      Real s = 0;
      for (int n = N - 1; n >= 1; --n) s += std::pow(static_cast<Real>(n), -k);
      const Real nk = std::pow(static_cast<Real>(N), -k);
      s += N * nk / (k - 1) + nk / 2 + k * nk / (12.0L * N) -
           static_cast<Real>(k) * (k + 1) * (k + 2) * nk / (720.0L * N * N * N);
      z[static_cast<size_t>(k)] = s;
    }
    return z;
  }();
  return table;
}

}  // namespace

Real WeibullSpreadLog(Real t) {
  // Below 0.05 the Taylor series of ln Gamma(1 + x) = -gamma x +
  // sum_k (-1)^k zeta(k) x^k / k gives the difference term by term (the
  // linear terms cancel exactly); with 2t < 0.1 the terms fall tenfold each.
  if (t < 0.05L) {
    const auto& zeta = Zeta();
    Real s = 0;
    for (int k = kZetaTerms; k >= 2; --k) {
      const Real c = zeta[static_cast<size_t>(k)] * (std::ldexp(1.0L, k) - 2) / k *
                     std::pow(t, static_cast<Real>(k));
      s += (k % 2 == 0) ? c : -c;
    }
    return s;
  }
  return LogGamma(2 * t + 1) - 2 * LogGamma(t + 1);
}

// ---------------------------------------------------------------- uniform

UniformDistribution::UniformDistribution(Real a, Real b) { Build(a, b, 1); }

void UniformDistribution::SetParameters(Real p1, Real p2, Real p3) {
  UniformDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void UniformDistribution::Build(Real p1, Real p2, Real) {
  // Each value is the other's bound, so a NaN would end up in the message as a
  // bound; refuse it as what it is.
  RefuseNaN(p1);
  RefuseNaN(p2);
  parCount_ = 2;
  DefineParameter(1, -InfBound, p2, false, "@a");
  DefineParameter(2, p1, InfBound, false, "@b");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  nameId_ = 903;
  Lower = p1;
  Upper = p2;
  supportLow_ = Lower;
  supportHigh_ = Upper;
  hasMean_ = true;
  hasVariance_ = true;
  mean_ = (Lower + Upper) / 2;
  variance_ = (Lower - Upper) * (Lower - Upper) / 12;
  mode_ = mean_;
}

Real UniformDistribution::Density(Real x) const {
  if (!InSupport(x)) return 0;
  return 1 / (Upper - Lower);
}

Real UniformDistribution::Cdf(Real x) const {
  RefuseNaN(x);
  if (x <= Lower) return 0;
  if (x >= Upper) return 1;
  const Real w = Upper - Lower;
  if (std::isinf(w)) return Clamp01((x / 2 - Lower / 2) / (Upper / 2 - Lower / 2));
  return Clamp01((x - Lower) / w);
}

Real UniformDistribution::UpperTail(Real x) const {
  RefuseNaN(x);
  if (x <= Lower) return 1;
  if (x >= Upper) return 0;
  const Real w = Upper - Lower;
  if (std::isinf(w)) return Clamp01((Upper / 2 - x / 2) / (Upper / 2 - Lower / 2));
  return Clamp01((Upper - x) / w);
}

Real UniformDistribution::InverseCdf(Real p) const {
  Real x;
  if (QuantileEnd(p, Lower, Upper, x)) return x;
  // From the nearer end, so that a p close to 1 keeps its digits.
  if (p <= 0.5L) return Lower + p * (Upper - Lower);
  return Upper - (1 - p) * (Upper - Lower);
}

Real UniformDistribution::UpperQuantile(Real q) const {
  Real x;
  if (QuantileEnd(q, Upper, Lower, x)) return x;
  if (q <= 0.5L) return Upper - q * (Upper - Lower);
  return Lower + (1 - q) * (Upper - Lower);
}

Real UniformDistribution::RandomValue(RandomEngine& engine) const {
  return engine.Uniform() * (Upper - Lower) + Lower;
}

// ---------------------------------------------------------------- Weibull

WeibullDistribution::WeibullDistribution(Real a, Real b) { Build(a, b, 1); }

void WeibullDistribution::SetParameters(Real p1, Real p2, Real p3) {
  WeibullDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void WeibullDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  DefineParameter(1, 0, InfBound, false, "a");
  DefineParameter(2, 0, InfBound, false, "b");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  nameId_ = 913;
  A = p1;
  B = p2;
  RecipA = 1 / A;
  RecipB = 1 / B;
  supportLow_ = 0;
  // E X = a^(-1/b) Gamma(1 + 1/b) and Var X = (E X)^2 (Gamma(1 + 2/b) /
  // Gamma(1 + 1/b)^2 - 1), both through logarithms: for small b the moments
  // leave the extended range (they are then reported as absent, so that the
  // plot range and the quantile search work from quantiles), and for large b
  // the variance is a tiny difference that must not be formed by subtraction.
  const Real logMean = LogGamma(RecipB + 1) - RecipB * std::log(A);
  const Real logVar = 2 * logMean + LnExpm1(WeibullSpreadLog(RecipB));
  // Var = Mean^2 (e^spread - 1) directly where the mean is in range.
  hasMean_ = logMean < LnMaxExtended();
  // a^(-1/b) Gamma(1 + 1/b) as a power times the gamma function where both
  // are in range (exact at a = b = 1), through the logarithm otherwise.
  mean_ = 0;
  if (hasMean_) {
    const Real power = std::pow(A, -RecipB);
    const Real gamma = RecipB < 1000 ? std::exp(LogGamma(RecipB + 1)) : 0;
    mean_ = std::isnormal(power) && std::isnormal(gamma) ? power * gamma : std::exp(logMean);
  }
  variance_ = std::exp(logVar);
  if (hasMean_ && std::isnormal(mean_)) {
    const Real v = mean_ * mean_ * std::expm1(WeibullSpreadLog(RecipB));
    if (std::isnormal(v)) variance_ = v;
  }
  hasVariance_ = hasMean_ && std::isnormal(variance_);
  if (!hasVariance_) variance_ = 0;
  mode_ = B > 1 ? std::pow((B - 1) / (A * B), RecipB) : 0;
}

bool WeibullDistribution::InSupport(Real x) const {
  if (B > 1) return ContinuousDistribution::InSupport(x);
  return ContinuousDistribution::InSupport(x) && x > 0;
}

namespace {
// a x^b for x > 0: the power first, the logarithm where it would leave the
// range on the way.
Real WeibullExponent(Real a, Real b, Real x) {
  const Real e = a * std::pow(x, b);
  if (std::isnormal(e)) return e;
  return std::exp(std::log(a) + b * std::log(x));
}

// (L / a)^(1/b) for L = -ln of a tail probability.
Real WeibullInverse(Real a, Real recipB, Real L) {
  const Real r = L / a;
  if (std::isnormal(r)) {
    const Real x = std::pow(r, recipB);
    if (std::isnormal(x)) return x;
  }
  return std::exp((std::log(L) - std::log(a)) * recipB);
}
}  // namespace

Real WeibullDistribution::Density(Real x) const {
  RefuseNaN(x);
  if (!(x > 0) || std::isinf(x)) return 0;
  const Real lx = std::log(x);
  return std::exp((B - 1) * lx - WeibullExponent(A, B, x)) * A * B;
}

Real WeibullDistribution::Cdf(Real x) const {
  RefuseNaN(x);
  if (!(x > 0)) return 0;
  return Clamp01(-std::expm1(-WeibullExponent(A, B, x)));
}

Real WeibullDistribution::UpperTail(Real x) const {
  RefuseNaN(x);
  if (!(x > 0)) return 1;
  return Clamp01(std::exp(-WeibullExponent(A, B, x)));
}

Real WeibullDistribution::InverseCdf(Real p) const {
  Real x;
  if (QuantileEnd(p, 0, supportHigh_, x)) return x;
  Real lp, lc;
  LogPair(p, lp, lc);
  return WeibullInverse(A, RecipB, -lc);
}

Real WeibullDistribution::UpperQuantile(Real q) const {
  Real x;
  if (QuantileEnd(q, supportHigh_, 0, x)) return x;
  Real lq, lc;
  LogPair(q, lq, lc);
  return WeibullInverse(A, RecipB, -lq);
}

Real WeibullDistribution::RandomValue(RandomEngine& engine) const {
  // (-ln U / a)^(1/b)
  return CheckedExp(RecipB * std::log(-std::log(engine.Uniform()) * RecipA));
}

// ---------------------------------------------------------------- logistic

LogisticDistribution::LogisticDistribution(Real alpha, Real beta) { Build(alpha, beta, 1); }

void LogisticDistribution::SetParameters(Real p1, Real p2, Real p3) {
  LogisticDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void LogisticDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  DefineParameter(1, -InfBound, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  nameId_ = 914;
  Location = p1;
  Scale = p2;
  hasMean_ = true;
  hasVariance_ = true;
  mean_ = Location;
  variance_ = (kPi * Scale) * (kPi * Scale) / 3;
  mode_ = Location;
}

Real LogisticDistribution::Density(Real x) const {
  RefuseNaN(x);
  if (std::isinf(x)) return 0;
  // 1/(1/z + z + 2)/beta with z = exp((x - alpha)/beta), written with the
  // exponent that cannot overflow.
  const Real e = std::exp(-std::fabs(x - Location) / Scale);
  return e / ((1 + e) * (1 + e)) / Scale;
}

namespace {
// 1 / (1 + e^-z) with the exponential that cannot overflow.
Real LogisticLower(Real z) {
  if (z < 0) {
    const Real e = std::exp(z);
    return e / (1 + e);
  }
  return 1 / (1 + std::exp(-z));
}
}  // namespace

Real LogisticDistribution::Cdf(Real x) const {
  RefuseNaN(x);
  return Clamp01(LogisticLower((x - Location) / Scale));
}

Real LogisticDistribution::UpperTail(Real x) const {
  RefuseNaN(x);
  return Clamp01(LogisticLower((Location - x) / Scale));
}

Real LogisticDistribution::InverseCdf(Real p) const {
  Real x;
  if (QuantileEnd(p, supportLow_, supportHigh_, x)) return x;
  return Location + Scale * Logit(p);
}

Real LogisticDistribution::UpperQuantile(Real q) const {
  Real x;
  if (QuantileEnd(q, supportHigh_, supportLow_, x)) return x;
  return Location - Scale * Logit(q);
}

Real LogisticDistribution::RandomValue(RandomEngine& engine) const {
  const Real u = engine.Uniform();
  return Location + Scale * std::log(u / (1 - u));
}

// ---------------------------------------------------------------- Pareto

ParetoDistribution::ParetoDistribution(Real alpha, Real theta) { Build(alpha, theta, 1); }

void ParetoDistribution::SetParameters(Real p1, Real p2, Real p3) {
  ParetoDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void ParetoDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  DefineParameter(1, 0, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@q");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  nameId_ = 915;
  Alpha = p1;
  Theta = p2;
  supportLow_ = Alpha;
  hasMean_ = Theta > 1;
  hasVariance_ = Theta > 2;
  if (hasMean_) mean_ = Alpha * Theta / (Theta - 1);
  if (hasVariance_) variance_ = mean_ * Alpha / ((Theta - 1) * (Theta - 2));
  mode_ = Alpha;
}

namespace {
// ln(alpha / x) for x >= alpha, through log1p of the exact difference near alpha.
Real ParetoLogRatio(Real alpha, Real x) {
  if (x < 2 * alpha) return std::log1p((alpha - x) / x);
  return std::log(alpha) - std::log(x);
}
}  // namespace

Real ParetoDistribution::Density(Real x) const {
  RefuseNaN(x);
  if (!(x >= Alpha) || std::isinf(x)) return 0;
  const Real r = Alpha / x;
  if (std::isnormal(r)) return std::pow(r, Theta + 1) * Theta / Alpha;
  return std::exp((Theta + 1) * ParetoLogRatio(Alpha, x)) * Theta / Alpha;
}

Real ParetoDistribution::Cdf(Real x) const {
  RefuseNaN(x);
  if (!(x > Alpha)) return 0;
  // 1 - (alpha/x)^theta
  return Clamp01(-std::expm1(Theta * ParetoLogRatio(Alpha, x)));
}

Real ParetoDistribution::UpperTail(Real x) const {
  RefuseNaN(x);
  if (!(x > Alpha)) return 1;
  const Real r = Alpha / x;
  if (std::isnormal(r) && x >= 2 * Alpha) return Clamp01(std::pow(r, Theta));
  return Clamp01(std::exp(Theta * ParetoLogRatio(Alpha, x)));
}

Real ParetoDistribution::InverseCdf(Real p) const {
  Real x;
  if (QuantileEnd(p, Alpha, supportHigh_, x)) return x;
  Real lp, lc;
  LogPair(p, lp, lc);
  return Alpha * std::exp(-lc / Theta);
}

Real ParetoDistribution::UpperQuantile(Real q) const {
  Real x;
  if (QuantileEnd(q, supportHigh_, Alpha, x)) return x;
  Real lq, lc;
  LogPair(q, lq, lc);
  return Alpha * std::exp(-lq / Theta);
}

Real ParetoDistribution::RandomValue(RandomEngine& engine) const {
  // alpha U^(-1/theta)
  return CheckedExp(std::log(Alpha) - std::log(engine.Uniform()) / Theta);
}

}  // namespace vokt
