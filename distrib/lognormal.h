// Lognormal distribution: X = e^Y with Y normal with mean mu and variance
// sigma^2; the cdf and the random values come from an owned normal.
#pragma once

#include <memory>

#include "distrib/distribution.h"
#include "distrib/normal.h"

namespace vokt {

class LognormalDistribution : public ContinuousDistribution {
 public:
  LognormalDistribution(Real mu, Real sigma2);

  Real LogNorm = 0;
  std::unique_ptr<NormalDistribution> NormalPart;  // N(mu, sigma^2)
  Real Mu = 0;
  Real Sigma2 = 1;
  Real Sigma = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  bool InSupport(Real x) const override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;
  void ParameterLabel(int i, int n, std::string& s) const override;

 private:
  LognormalDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

}  // namespace vokt
