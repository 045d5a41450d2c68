// Closed-form continuous families: the Gumbel, the Cauchy and the double
// exponential (the uniform, Weibull, logistic and Pareto are in
// closed_form.cpp, which describes how the tails, quantiles and random
// values are computed).
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

// The Cauchy generator accepts a point of the square with probability pi/4;
// a thousand rejections in a row never happen with a working generator.
constexpr int kCauchyTrials = 1000;

constexpr Real kEuler = 0.577215664901532860606512090082402431042L;

}  // namespace

// ---------------------------------------------------------------- Gumbel

GumbelDistribution::GumbelDistribution(Real alpha, Real beta) { Build(alpha, beta, 1); }

void GumbelDistribution::SetParameters(Real p1, Real p2, Real p3) {
  GumbelDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void GumbelDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  DefineParameter(1, -InfBound, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  nameId_ = 916;
  Location = p1;
  Scale = p2;
  hasMean_ = true;
  hasVariance_ = true;
  mean_ = Location + kEuler * Scale;
  variance_ = (kPi * Scale) * (kPi * Scale) / 6;
  mode_ = Location;
}

Real GumbelDistribution::Density(Real x) const {
  RefuseNaN(x);
  if (std::isinf(x)) return 0;
  const Real z = (Location - x) / Scale;
  return std::exp(z - std::exp(z)) / Scale;
}

Real GumbelDistribution::Cdf(Real x) const {
  RefuseNaN(x);
  return Clamp01(std::exp(-std::exp((Location - x) / Scale)));
}

Real GumbelDistribution::UpperTail(Real x) const {
  RefuseNaN(x);
  return Clamp01(-std::expm1(-std::exp((Location - x) / Scale)));
}

Real GumbelDistribution::InverseCdf(Real p) const {
  Real x;
  if (QuantileEnd(p, supportLow_, supportHigh_, x)) return x;
  Real lp, lc;
  LogPair(p, lp, lc);
  return Location - Scale * std::log(-lp);
}

Real GumbelDistribution::UpperQuantile(Real q) const {
  Real x;
  if (QuantileEnd(q, supportHigh_, supportLow_, x)) return x;
  Real lq, lc;
  LogPair(q, lq, lc);
  return Location - Scale * std::log(-lc);
}

Real GumbelDistribution::RandomValue(RandomEngine& engine) const {
  return Location - Scale * std::log(-std::log(engine.Uniform()));
}

// ---------------------------------------------------------------- Cauchy

CauchyDistribution::CauchyDistribution(Real alpha, Real beta) { Build(alpha, beta, 1); }

void CauchyDistribution::SetParameters(Real p1, Real p2, Real p3) {
  CauchyDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void CauchyDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  DefineParameter(1, -InfBound, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  nameId_ = 917;
  Location = p1;
  Scale = p2;
  hasMean_ = false;
  hasVariance_ = false;
  mode_ = Location;
}

Real CauchyDistribution::Density(Real x) const {
  RefuseNaN(x);
  if (std::isinf(x)) return 0;
  const Real d = x - Location;
  return (Scale / kPi) / (Scale * Scale + d * d);
}

namespace {
// P(Z <= z) of the standard Cauchy: beyond |z| = 1 the arctangent of the
// reciprocal, which keeps the digits of the far tail.
Real CauchyLower(Real z) {
  if (z < -1) return std::atan(-1 / z) / kPi;
  if (z > 1) return 1 - std::atan(1 / z) / kPi;
  return 0.5L + std::atan(z) / kPi;
}

// z with P(Z <= z) = p for the standard Cauchy, 0 < p < 1: the cotangent
// of pi p (or of pi (1 - p), 1 - p exact) in the tails.
Real CauchyInverse(Real p) {
  if (p < 0.25L) return -1 / std::tan(kPi * p);
  if (p > 0.75L) return 1 / std::tan(kPi * (1 - p));
  return std::tan(kPi * (p - 0.5L));
}
}  // namespace

Real CauchyDistribution::Cdf(Real x) const {
  RefuseNaN(x);
  return Clamp01(CauchyLower((x - Location) / Scale));
}

Real CauchyDistribution::UpperTail(Real x) const {
  RefuseNaN(x);
  return Clamp01(CauchyLower((Location - x) / Scale));
}

Real CauchyDistribution::InverseCdf(Real p) const {
  Real x;
  if (QuantileEnd(p, supportLow_, supportHigh_, x)) return x;
  return Location + Scale * CauchyInverse(p);
}

Real CauchyDistribution::UpperQuantile(Real q) const {
  Real x;
  if (QuantileEnd(q, supportHigh_, supportLow_, x)) return x;
  return Location - Scale * CauchyInverse(q);
}

Real CauchyDistribution::RandomValue(RandomEngine& engine) const {
  // The ratio of the coordinates of a uniform point in the unit disc is
  // standard Cauchy (the tangent of a uniform angle, without the tangent).
  for (int trial = 0; trial < kCauchyTrials; ++trial) {
    const Real c = 2 * engine.Uniform() - 1;
    const Real d = 2 * engine.Uniform() - 1;
    if (c * c + d * d <= 1 && d != 0) return Location + Scale * c / d;
  }
  throw ConvergenceError("the Cauchy generator");
}

// ---------------------------------------------------------------- double exponential

DoubleExponentialDistribution::DoubleExponentialDistribution(Real alpha, Real beta) {
  Build(alpha, beta, 1);
}

void DoubleExponentialDistribution::SetParameters(Real p1, Real p2, Real p3) {
  DoubleExponentialDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void DoubleExponentialDistribution::Build(Real p1, Real p2, Real) {
  parCount_ = 2;
  DefineParameter(1, -InfBound, InfBound, false, "@a");
  DefineParameter(2, 0, InfBound, false, "@b");
  ContinuousDistribution::SetParameters(p1, p2, 1);
  nameId_ = 919;
  Location = p1;
  Scale = p2;
  hasMean_ = true;
  hasVariance_ = true;
  mean_ = Location;
  variance_ = 2 * Scale * Scale;
  mode_ = Location;
}

Real DoubleExponentialDistribution::Density(Real x) const {
  RefuseNaN(x);
  if (std::isinf(x)) return 0;
  return std::exp(-std::fabs(x - Location) / Scale) / (2 * Scale);
}

namespace {
Real LaplaceLower(Real z) {
  if (z <= 0) return std::exp(z) / 2;
  return 1 - std::exp(-z) / 2;
}

// z with P(Z <= z) = p for the standard Laplace, 0 < p < 1.
Real LaplaceInverse(Real p) {
  if (p < 0.5L) return std::log(2 * p);
  return -std::log(2 * (1 - p));
}
}  // namespace

Real DoubleExponentialDistribution::Cdf(Real x) const {
  RefuseNaN(x);
  return Clamp01(LaplaceLower((x - Location) / Scale));
}

Real DoubleExponentialDistribution::UpperTail(Real x) const {
  RefuseNaN(x);
  return Clamp01(LaplaceLower((Location - x) / Scale));
}

Real DoubleExponentialDistribution::InverseCdf(Real p) const {
  Real x;
  if (QuantileEnd(p, supportLow_, supportHigh_, x)) return x;
  return Location + Scale * LaplaceInverse(p);
}

Real DoubleExponentialDistribution::UpperQuantile(Real q) const {
  Real x;
  if (QuantileEnd(q, supportHigh_, supportLow_, x)) return x;
  return Location - Scale * LaplaceInverse(q);
}

Real DoubleExponentialDistribution::RandomValue(RandomEngine& engine) const {
  // A fair sign from U, an exponential magnitude from U'.
  if (engine.Uniform() > 0.5L) return Location - Scale * std::log(engine.Uniform());
  return Location + Scale * std::log(engine.Uniform());
}

}  // namespace vokt
