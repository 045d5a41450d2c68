// Continuous families whose density, cdf and random generator have closed
// forms: uniform, Weibull, logistic, Pareto, Gumbel, Cauchy and double
// exponential.  Quantiles come from the generic inversion of the continuous
// base; random values from direct generators (closed-form inversions of the
// cdf, and for the Cauchy the ratio of the coordinates of a point in a disc).
#pragma once

#include "distrib/distribution.h"

namespace vokt {

// Uniform on [a, b]; each parameter bounds the other.
class tUniform_Distribution : public tContinuous_distribution {
 public:
  tUniform_Distribution(Extended a, Extended b);

  Extended Lower = 0;
  Extended Upper = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
};

// Weibull with density a b x^(b-1) exp(-a x^b): R's shape b, scale a^(-1/b).
class tWeibull_Distribution : public tContinuous_distribution {
 public:
  tWeibull_Distribution(Extended a, Extended b);

  Extended RecipA = 1;
  Extended RecipB = 1;
  Extended A = 1;
  Extended B = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  bool InSupport(Extended x) const override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
};

// Logistic with location alpha and scale beta.
class tLogistic_Distribution : public tContinuous_distribution {
 public:
  tLogistic_Distribution(Extended alpha, Extended beta);

  Extended Location = 0;
  Extended Scale = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
};

// Pareto on [alpha, inf) with shape theta.
class tPareto_Distribution : public tContinuous_distribution {
 public:
  tPareto_Distribution(Extended alpha, Extended theta);

  Extended Alpha = 1;
  Extended Theta = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
};

// Gumbel (largest extreme value) with location alpha and scale beta.
class tGumbel_Distribution : public tContinuous_distribution {
 public:
  tGumbel_Distribution(Extended alpha, Extended beta);

  Extended Location = 0;
  Extended Scale = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
};

// Cauchy with location alpha and scale beta; no mean, no variance.
class tCauchy_Distribution : public tContinuous_distribution {
 public:
  tCauchy_Distribution(Extended alpha, Extended beta);

  Extended Location = 0;
  Extended Scale = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
};

// Double exponential (Laplace) with location alpha and scale beta.
class tDouble_exponential_Distribution : public tContinuous_distribution {
 public:
  tDouble_exponential_Distribution(Extended alpha, Extended beta);

  Extended Location = 0;
  Extended Scale = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
};

// ln Gamma(1 + 2t) - 2 ln Gamma(1 + t), the logarithm of the ratio that makes
// the Weibull variance; exact to rounding also for t close to 0, where the
// plain difference of two log-gammas cancels.
Extended WeibullSpreadLog(Extended t);

}  // namespace vokt
