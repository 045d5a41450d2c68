// Poisson distribution with mean lambda.
#pragma once

#include <cstdint>

#include "distrib/distribution.h"

namespace vokt {

class PoissonDistribution : public DiscreteDistribution {
 public:
  explicit PoissonDistribution(Real lambda);

  Real Lambda = 1;

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real PointProb(Real x) override;
  Real Cdf(Real x) override;
  Real UpperTail(Real x) override;
  Real ProbRatio(int32_t k) override;

 protected:
  // The incomplete beta / gamma function, quick where the tails are sums.
  Real SearchCdf(Real x) override;
  Real SearchUpperTail(Real x) override;
  bool QuickSearchTails() const override;
};

}  // namespace vokt
