// Gamma distribution (shape alpha, rate lambda) and its two one-parameter
// special cases, the exponential (gamma(1, theta)) and the chi-square
// (gamma(nu/2, 1/2)).  The gamma carries all the mathematics; the special
// cases only translate their parameter.
#pragma once

#include "distrib/distribution.h"

namespace vokt {

class GammaDistribution : public ContinuousDistribution {
 public:
  GammaDistribution(Real alpha, Real lambda);

  Real LogNorm = 0;  // alpha ln lambda - ln Gamma(alpha)
  Real Gen1 = 0;     // generator constants, see RandomValue
  Real Gen2 = 0;
  Real Alpha = 1;
  Real Lambda = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  bool InSupport(Real x) const override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

 protected:
  Real LogLambda = 0;      // ln lambda
  Real LogGammaAlpha = 0;  // ln Gamma(alpha)
  Real SaddleShape = 0;    // alpha - 1 (alpha >= 1) or alpha
  Real SaddleConst = 0;    // -StirlingError - ln(SaddleShape)/2 - ln sqrt(2 pi)

  // For SetParameters and the special cases: a fresh object, and
  // SetParameters on it.
  GammaDistribution() = default;
  void Build(Real p1, Real p2);
};

class ExponentialDistribution : public GammaDistribution {
 public:
  explicit ExponentialDistribution(Real theta);

  Real Theta = 1;  // rate

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;

 private:
  ExponentialDistribution() = default;
  void Build(Real p1);
};

class ChiSquareDistribution : public GammaDistribution {
 public:
  explicit ChiSquareDistribution(Real nu);

  Real Nu = 1;  // degrees of freedom, need not be an integer

  void SetParameters(Real p1, Real p2, Real p3) override;

 private:
  ChiSquareDistribution() = default;
  void Build(Real p1);
};

}  // namespace vokt
