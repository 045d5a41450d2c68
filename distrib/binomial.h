// Binomial distribution B(n, p) and the Bernoulli distribution, its case n = 1.
#pragma once

#include <cstdint>

#include "distrib/distribution.h"

namespace vokt {

class BinomialDistribution : public DiscreteDistribution {
 public:
  BinomialDistribution(Real trials, Real prob);

  int32_t n = 1;
  Real p = 0.5L;

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
  BinomialDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2);

 private:
  Real SmallSum(Real from, Real to) const;
};

class BernoulliDistribution : public BinomialDistribution {
 public:
  explicit BernoulliDistribution(Real prob);

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  BernoulliDistribution() = default;
  void Build(Real p1);
};

}  // namespace vokt
