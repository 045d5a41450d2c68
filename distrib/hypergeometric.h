// Hypergeometric distribution: marked objects in a sample of n drawn without
// replacement from N objects of which N1 are marked.
#pragma once

#include <cstdint>

#include "distrib/distribution.h"

namespace vokt {

class HypergeometricDistribution : public DiscreteDistribution {
 public:
  HypergeometricDistribution(Real population, Real successes, Real draws);

  int32_t N = 2;
  int32_t N1 = 1;
  int32_t N2 = 1;
  int32_t n = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real PointProb(Real x) const override;
  Real ProbRatio(int32_t k) const override;

 private:
  HypergeometricDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

}  // namespace vokt
