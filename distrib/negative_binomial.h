// Negative binomial distribution (failures before the r-th success) and the
// geometric distribution, its case r = 1.
#pragma once

#include <cstdint>

#include "distrib/distribution.h"

namespace vokt {

class tNegative_binomial_distribution : public tDiscrete_distribution {
 public:
  tNegative_binomial_distribution(Extended r, Extended p);

  int32_t r = 1;
  Extended p = 0.5L;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended PointProb(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended ProbRatio(int32_t k) override;
  // Every probability is computed on its own (no table walks): a
  // small p (r = 5, p = 1e-6 spans 30 million points) gets a thinned table.
  bool ThinTableAllowed() const override { return true; }

 protected:
  tNegative_binomial_distribution() = default;
  Extended ModeStart() override;
};

class tGeometric : public tNegative_binomial_distribution {
 public:
  explicit tGeometric(Extended p);

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
};

}  // namespace vokt
