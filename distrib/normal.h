// Normal distribution N(mu, sigma^2): three parameter records for two
// parameters, so the user can type the variance or the standard deviation.
#pragma once

#include "distrib/distribution.h"

namespace vokt {

class NormalDistribution : public ContinuousDistribution {
 public:
  NormalDistribution(Real mu, Real sigma2);

  Real LogNorm = 0;
  Real RouConst = 0;
  Real Mu = 0;
  Real Sigma2 = 1;
  Real Sigma = 1;
  Real InvSigma = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;
  void ParameterLabel(int i, int n, std::string& s) const override;

 private:
  // (x - mu) / sigma, also where x - mu would overflow.
  Real Z(Real x) const;

 private:
  NormalDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

// Standard normal cdf Phi(z) (NormalLower, with a NaN refused).
Real StdNormalCdf(Real z);

}  // namespace vokt
