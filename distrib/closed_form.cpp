// Closed-form continuous families.  Cdfs are written so that they stay within
// [0, 1] and keep their accuracy in the tails (expm1 instead of 1 - exp where
// the exponent is small); random values come from direct generators, with
// exponentials that would leave the extended range reported as overflow
// rather than returned as infinity.
#include "distrib/closed_form.h"

#include <array>
#include <cmath>
#include <limits>

#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {

constexpr Extended kPi = 3.141592653589793238462643383279502884L;

// The Cauchy generator accepts a point of the square with probability pi/4;
// a thousand rejections in a row never happen with a working generator.
constexpr int kCauchyTrials = 1000;

void RefuseNaN(Extended x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
}

Extended Clamp01(Extended p) {
  if (p < 0) return 0;
  if (p > 1) return 1;
  return p;
}

// Largest y for which exp(y) is finite.
Extended LnMaxExtended() {
  static const Extended v = std::log(std::numeric_limits<Extended>::max());
  return v;
}

// ln(e^d - 1) for d > 0 without overflow for large d.
Extended LnExpm1(Extended d) {
  if (d > 40) return d + std::log1p(-std::exp(-d));
  return std::log(std::expm1(d));
}

// Riemann zeta(k) for k = 2 .. kZetaTerms: the sum up to N - 1 plus the
// Euler-Maclaurin tail with three correction terms; for N = 1000 the
// neglected term is below 1e-22 already at k = 2.
constexpr int kZetaTerms = 26;

const std::array<Extended, kZetaTerms + 1>& Zeta() {
  static const std::array<Extended, kZetaTerms + 1> table = [] {
    std::array<Extended, kZetaTerms + 1> z{};
    constexpr int N = 1000;
    for (int k = 2; k <= kZetaTerms; ++k) {
      Extended s = 0;
      for (int n = N - 1; n >= 1; --n) s += std::pow(static_cast<Extended>(n), -k);
      const Extended nk = std::pow(static_cast<Extended>(N), -k);
      s += N * nk / (k - 1) + nk / 2 + k * nk / (12.0L * N) -
           static_cast<Extended>(k) * (k + 1) * (k + 2) * nk / (720.0L * N * N * N);
      z[static_cast<size_t>(k)] = s;
    }
    return z;
  }();
  return table;
}

}  // namespace

Extended WeibullSpreadLog(Extended t) {
  // Below 0.05 the Taylor series of ln Gamma(1 + x) = -gamma x +
  // sum_k (-1)^k zeta(k) x^k / k gives the difference term by term (the
  // linear terms cancel exactly); with 2t < 0.1 the terms fall tenfold each.
  if (t < 0.05L) {
    const auto& zeta = Zeta();
    Extended s = 0;
    for (int k = kZetaTerms; k >= 2; --k) {
      const Extended c = zeta[static_cast<size_t>(k)] * (std::ldexp(1.0L, k) - 2) / k *
                         std::pow(t, static_cast<Extended>(k));
      s += (k % 2 == 0) ? c : -c;
    }
    return s;
  }
  return LnGamma(2 * t + 1) - 2 * LnGamma(t + 1);
}

// ---------------------------------------------------------------- uniform

tUniform_Distribution::tUniform_Distribution(Extended a, Extended b) { SetParameters(a, b, 1); }

int tUniform_Distribution::SetParameters(Extended p1, Extended p2, Extended) {
  // Each value is the other's bound, so a NaN would end up in the message as a
  // bound; refuse it as what it is.
  RefuseNaN(p1);
  RefuseNaN(p2);
  ParCount = 2;
  DefineParameter(1, -InfBound, p2, false, "@a");
  DefineParameter(2, p1, InfBound, false, "@b");
  const int r = tContinuous_distribution::SetParameters(p1, p2, 1);
  if (r != 0) return r;
  NameId = 903;
  Lower = p1;
  Upper = p2;
  SupportLow = Lower;
  SupportHigh = Upper;
  HasMean = true;
  HasVariance = true;
  Mean = (Lower + Upper) / 2;
  Variance = (Lower - Upper) * (Lower - Upper) / 12;
  Mode = Mean;
  return 0;
}

Extended tUniform_Distribution::Density(Extended x) {
  if (!InSupport(x)) return 0;
  return 1 / (Upper - Lower);
}

Extended tUniform_Distribution::Cdf(Extended x) {
  RefuseNaN(x);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  return Clamp01((x - Lower) / (Upper - Lower));
}

Extended tUniform_Distribution::RandomValue() { return Uniform() * (Upper - Lower) + Lower; }

// ---------------------------------------------------------------- Weibull

tWeibull_Distribution::tWeibull_Distribution(Extended a, Extended b) { SetParameters(a, b, 1); }

int tWeibull_Distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, 0, InfBound, false, "a");
  DefineParameter(2, 0, InfBound, false, "b");
  const int r = tContinuous_distribution::SetParameters(p1, p2, 1);
  if (r != 0) return r;
  NameId = 913;
  A = p1;
  B = p2;
  RecipA = 1 / A;
  RecipB = 1 / B;
  SupportLow = 0;
  // E X = a^(-1/b) Gamma(1 + 1/b) and Var X = (E X)^2 (Gamma(1 + 2/b) /
  // Gamma(1 + 1/b)^2 - 1), both through logarithms: for small b the moments
  // leave the extended range (they are then reported as absent, so that the
  // plot range and the quantile search work from quantiles), and for large b
  // the variance is a tiny difference that must not be formed by subtraction.
  const Extended logMean = LnGamma(RecipB + 1) - RecipB * std::log(A);
  const Extended logVar = 2 * logMean + LnExpm1(WeibullSpreadLog(RecipB));
  HasMean = logMean < LnMaxExtended();
  Mean = HasMean ? std::exp(logMean) : 0;
  Variance = std::exp(logVar);
  HasVariance = HasMean && std::isnormal(Variance);
  if (!HasVariance) Variance = 0;
  Mode = B > 1 ? std::pow((B - 1) / (A * B), RecipB) : 0;
  return 0;
}

bool tWeibull_Distribution::InSupport(Extended x) const {
  if (B > 1) return tContinuous_distribution::InSupport(x);
  return tContinuous_distribution::InSupport(x) && x > 0;
}

Extended tWeibull_Distribution::Density(Extended x) {
  if (!InSupport(x) || !(x > 0)) return 0;
  const Extended lx = std::log(x);
  return std::exp((B - 1) * lx - A * std::pow(x, B)) * A * B;
}

Extended tWeibull_Distribution::Cdf(Extended x) {
  RefuseNaN(x);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  return Clamp01(-std::expm1(-A * std::pow(x, B)));
}

Extended tWeibull_Distribution::RandomValue() {
  // (-ln U / a)^(1/b)
  return CheckedExp(RecipB * std::log(-std::log(Uniform()) * RecipA));
}

// ---------------------------------------------------------------- logistic

tLogistic_Distribution::tLogistic_Distribution(Extended alpha, Extended beta) {
  SetParameters(alpha, beta, 1);
}

int tLogistic_Distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, -InfBound, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  const int r = tContinuous_distribution::SetParameters(p1, p2, 1);
  if (r != 0) return r;
  NameId = 914;
  Location = p1;
  Scale = p2;
  HasMean = true;
  HasVariance = true;
  Mean = Location;
  Variance = (kPi * Scale) * (kPi * Scale) / 3;
  Mode = Location;
  return 0;
}

Extended tLogistic_Distribution::Density(Extended x) {
  if (!InSupport(x)) return 0;
  // 1/(1/z + z + 2)/beta with z = exp((x - alpha)/beta), written with the
  // exponent that cannot overflow.
  const Extended e = std::exp(-std::fabs(x - Location) / Scale);
  return e / ((1 + e) * (1 + e)) / Scale;
}

Extended tLogistic_Distribution::Cdf(Extended x) {
  RefuseNaN(x);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  return Clamp01(1 / (std::exp((Location - x) / Scale) + 1));
}

Extended tLogistic_Distribution::RandomValue() {
  const Extended u = Uniform();
  return Location + Scale * std::log(u / (1 - u));
}

// ---------------------------------------------------------------- Pareto

tPareto_Distribution::tPareto_Distribution(Extended alpha, Extended theta) {
  SetParameters(alpha, theta, 1);
}

int tPareto_Distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, 0, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@q");
  const int r = tContinuous_distribution::SetParameters(p1, p2, 1);
  if (r != 0) return r;
  NameId = 915;
  Alpha = p1;
  Theta = p2;
  SupportLow = Alpha;
  HasMean = Theta > 1;
  HasVariance = Theta > 2;
  if (HasMean) Mean = Alpha * Theta / (Theta - 1);
  if (HasVariance) Variance = Mean * Alpha / ((Theta - 1) * (Theta - 2));
  Mode = Alpha;
  return 0;
}

Extended tPareto_Distribution::Density(Extended x) {
  if (!InSupport(x)) return 0;
  return std::pow(Alpha / x, Theta + 1) * Theta / Alpha;
}

Extended tPareto_Distribution::Cdf(Extended x) {
  RefuseNaN(x);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  // 1 - (alpha/x)^theta
  return Clamp01(-std::expm1(Theta * std::log(Alpha / x)));
}

Extended tPareto_Distribution::RandomValue() {
  // alpha U^(-1/theta)
  return CheckedExp(std::log(Alpha) - std::log(Uniform()) / Theta);
}

// ---------------------------------------------------------------- Gumbel

tGumbel_Distribution::tGumbel_Distribution(Extended alpha, Extended beta) {
  SetParameters(alpha, beta, 1);
}

int tGumbel_Distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, -InfBound, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  const int r = tContinuous_distribution::SetParameters(p1, p2, 1);
  if (r != 0) return r;
  NameId = 916;
  Location = p1;
  Scale = p2;
  HasMean = true;
  HasVariance = true;
  // Euler's constant to six places, as the expectation formula shows it.
  Mean = Location + 0.577216L * Scale;
  Variance = (kPi * Scale) * (kPi * Scale) / 6;
  Mode = Location;
  return 0;
}

Extended tGumbel_Distribution::Density(Extended x) {
  if (!InSupport(x)) return 0;
  const Extended z = (Location - x) / Scale;
  return std::exp(z - std::exp(z)) / Scale;
}

Extended tGumbel_Distribution::Cdf(Extended x) {
  RefuseNaN(x);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  return Clamp01(std::exp(-std::exp((Location - x) / Scale)));
}

Extended tGumbel_Distribution::RandomValue() {
  return Location - Scale * std::log(-std::log(Uniform()));
}

// ---------------------------------------------------------------- Cauchy

tCauchy_Distribution::tCauchy_Distribution(Extended alpha, Extended beta) {
  SetParameters(alpha, beta, 1);
}

int tCauchy_Distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, -InfBound, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  const int r = tContinuous_distribution::SetParameters(p1, p2, 1);
  if (r != 0) return r;
  NameId = 917;
  Location = p1;
  Scale = p2;
  HasMean = false;
  HasVariance = false;
  Mode = Location;
  return 0;
}

Extended tCauchy_Distribution::Density(Extended x) {
  if (!InSupport(x)) return 0;
  const Extended d = x - Location;
  return (Scale / kPi) / (Scale * Scale + d * d);
}

Extended tCauchy_Distribution::Cdf(Extended x) {
  RefuseNaN(x);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  return Clamp01(std::atan((x - Location) / Scale) / kPi + 0.5L);
}

Extended tCauchy_Distribution::RandomValue() {
  // The ratio of the coordinates of a uniform point in the unit disc is
  // standard Cauchy (the tangent of a uniform angle, without the tangent).
  for (int trial = 0; trial < kCauchyTrials; ++trial) {
    const Extended c = 2 * Uniform() - 1;
    const Extended d = 2 * Uniform() - 1;
    if (c * c + d * d <= 1 && d != 0) return Location + Scale * c / d;
  }
  throw EConvergenceError("the Cauchy generator");
}

// ---------------------------------------------------------------- double exponential

tDouble_exponential_Distribution::tDouble_exponential_Distribution(Extended alpha, Extended beta) {
  SetParameters(alpha, beta, 1);
}

int tDouble_exponential_Distribution::SetParameters(Extended p1, Extended p2, Extended) {
  ParCount = 2;
  DefineParameter(1, -InfBound, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  const int r = tContinuous_distribution::SetParameters(p1, p2, 1);
  if (r != 0) return r;
  NameId = 919;
  Location = p1;
  Scale = p2;
  HasMean = true;
  HasVariance = true;
  Mean = Location;
  Variance = 2 * Scale * Scale;
  Mode = Location;
  return 0;
}

Extended tDouble_exponential_Distribution::Density(Extended x) {
  if (!InSupport(x)) return 0;
  return std::exp(-std::fabs(x - Location) / Scale) / (2 * Scale);
}

Extended tDouble_exponential_Distribution::Cdf(Extended x) {
  RefuseNaN(x);
  if (!InSupport(x)) return tContinuous_distribution::Cdf(x);
  if (x <= Location) return Clamp01(std::exp((x - Location) / Scale) / 2);
  return Clamp01(1 - std::exp((Location - x) / Scale) / 2);
}

Extended tDouble_exponential_Distribution::RandomValue() {
  // A fair sign from U, an exponential magnitude from U'.
  if (Uniform() > 0.5L) return Location - Scale * std::log(Uniform());
  return Location + Scale * std::log(Uniform());
}

}  // namespace vokt
