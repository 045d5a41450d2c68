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
  Real PointProb(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real ProbRatio(int32_t k) const override;

 protected:
  // The incomplete beta / gamma function, quick where the tails are sums.
  Real SearchCdf(Real x) const override;
  Real SearchUpperTail(Real x) const override;
  bool QuickSearchTails() const override;

 private:
  PoissonDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1);
};

}  // namespace vokt
