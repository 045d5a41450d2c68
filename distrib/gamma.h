// Gamma distribution (shape alpha, rate lambda) and its two one-parameter
// special cases, the exponential (gamma(1, theta)) and the chi-square
// (gamma(nu/2, 1/2)).  The gamma carries all the mathematics; the special
// cases only translate their parameter.
#pragma once

#include "distrib/distribution.h"

namespace vokt {

class tGamma_distribution : public tContinuous_distribution {
 public:
  tGamma_distribution(Extended alpha, Extended lambda);

  Extended LogNorm = 0;  // alpha ln lambda - ln Gamma(alpha)
  Extended Gen1 = 0;     // generator constants, see RandomValue
  Extended Gen2 = 0;
  Extended Alpha = 1;
  Extended Lambda = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  bool InSupport(Extended x) const override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;

 protected:
  Extended LogLambda = 0;      // ln lambda
  Extended LogGammaAlpha = 0;  // ln Gamma(alpha)
  Extended SaddleShape = 0;    // alpha - 1 (alpha >= 1) or alpha
  Extended SaddleConst = 0;    // -StirlingError - ln(SaddleShape)/2 - ln sqrt(2 pi)

  // For the special cases, whose constructors apply their own SetParameters.
  tGamma_distribution() = default;
};

class tExponential : public tGamma_distribution {
 public:
  explicit tExponential(Extended theta);

  Extended Theta = 1;  // rate

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
};

class tChi_square_Distribution : public tGamma_distribution {
 public:
  explicit tChi_square_Distribution(Extended nu);

  Extended Nu = 1;  // degrees of freedom, need not be an integer

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
};

}  // namespace vokt
