// Discrete uniform distribution on the integers M..N.
#pragma once

#include <cstdint>

#include "distrib/distribution.h"

namespace vokt {

class tDiscrete_uniform_distribution : public tDiscrete_distribution {
 public:
  tDiscrete_uniform_distribution(Extended M, Extended N);

  int32_t M = 0;
  int32_t N = 1;

  bool CheckParameter(int i, Extended x) override;
  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended PointProb(Extended x) override;
  Extended RandomValue() override;
};

}  // namespace vokt
