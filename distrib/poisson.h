// Poisson distribution with mean lambda.
#pragma once

#include <cstdint>

#include "distrib/distribution.h"

namespace vokt {

class tPoisson_Distribution : public tDiscrete_distribution {
 public:
  explicit tPoisson_Distribution(Extended lambda);

  Extended Lambda = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended PointProb(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended ProbRatio(int32_t k) override;

 protected:
  // The incomplete beta / gamma function, quick where the tails are sums.
  Extended SearchCdf(Extended x) override;
  Extended SearchUpperTail(Extended x) override;
  bool QuickSearchTails() const override;
};

}  // namespace vokt
