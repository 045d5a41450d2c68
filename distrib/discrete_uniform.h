// Discrete uniform distribution on the integers M..N.
#pragma once

#include "distrib/distribution.h"

namespace vokt {

class tDiscrete_uniform_distribution : public tDiscrete_distribution {
 public:
  tDiscrete_uniform_distribution(Extended M, Extended N);

  Extended M = 0;
  Extended N = 1;

  bool CheckParameter(int i, Extended x) override;
  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended PointProb(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended RandomValue() override;
};

}  // namespace vokt
