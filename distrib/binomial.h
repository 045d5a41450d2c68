// Binomial distribution B(n, p) and the Bernoulli distribution, its case n = 1.
#pragma once

#include <cstdint>

#include "distrib/distribution.h"

namespace vokt {

class tBinomial_Distribution : public tDiscrete_distribution {
 public:
  tBinomial_Distribution(Extended n, Extended p);

  int32_t n = 1;
  Extended p = 0.5L;

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
  tBinomial_Distribution() = default;

 private:
  Extended SmallSum(Extended from, Extended to);
};

class tBernoulli_Distribution : public tBinomial_Distribution {
 public:
  explicit tBernoulli_Distribution(Extended p);

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended RandomValue() override;
};

}  // namespace vokt
