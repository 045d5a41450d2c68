// Continuous families whose density, cdf and random generator have closed
// forms: uniform, Weibull, logistic, Pareto, Gumbel, Cauchy and double
// exponential.  Quantiles come from the generic inversion of the continuous
// base; random values from direct generators (closed-form inversions of the
// cdf, and for the Cauchy the ratio of the coordinates of a point in a disc).
#pragma once

#include "distrib/distribution.h"

namespace vokt {

// Uniform on [a, b]; each parameter bounds the other.
class UniformDistribution : public ContinuousDistribution {
 public:
  UniformDistribution(Real a, Real b);

  Real Lower = 0;
  Real Upper = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  UniformDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

// Weibull with density a b x^(b-1) exp(-a x^b): R's shape b, scale a^(-1/b).
class WeibullDistribution : public ContinuousDistribution {
 public:
  WeibullDistribution(Real a, Real b);

  Real RecipA = 1;
  Real RecipB = 1;
  Real A = 1;
  Real B = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  bool InSupport(Real x) const override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  WeibullDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

// Logistic with location alpha and scale beta.
class LogisticDistribution : public ContinuousDistribution {
 public:
  LogisticDistribution(Real alpha, Real beta);

  Real Location = 0;
  Real Scale = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  LogisticDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

// Pareto on [alpha, inf) with shape theta.
class ParetoDistribution : public ContinuousDistribution {
 public:
  ParetoDistribution(Real alpha, Real theta);

  Real Alpha = 1;
  Real Theta = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  ParetoDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

// Gumbel (largest extreme value) with location alpha and scale beta.
class GumbelDistribution : public ContinuousDistribution {
 public:
  GumbelDistribution(Real alpha, Real beta);

  Real Location = 0;
  Real Scale = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  GumbelDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

// Cauchy with location alpha and scale beta; no mean, no variance.
class CauchyDistribution : public ContinuousDistribution {
 public:
  CauchyDistribution(Real alpha, Real beta);

  Real Location = 0;
  Real Scale = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  CauchyDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

// Double exponential (Laplace) with location alpha and scale beta.
class DoubleExponentialDistribution : public ContinuousDistribution {
 public:
  DoubleExponentialDistribution(Real alpha, Real beta);

  Real Location = 0;
  Real Scale = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  DoubleExponentialDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

// ln Gamma(1 + 2t) - 2 ln Gamma(1 + t), the logarithm of the ratio that makes
// the Weibull variance; exact to rounding also for t close to 0, where the
// plain difference of two log-gammas cancels.
Real WeibullSpreadLog(Real t);

}  // namespace vokt
