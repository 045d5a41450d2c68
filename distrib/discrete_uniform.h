// Discrete uniform distribution on the integers M..N.
#pragma once

#include "distrib/distribution.h"

namespace vokt {

class DiscreteUniformDistribution : public DiscreteDistribution {
 public:
  DiscreteUniformDistribution(Real low, Real high);

  Real M = 0;
  Real N = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real PointProb(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  DiscreteUniformDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2);
};

}  // namespace vokt
