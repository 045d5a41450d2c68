// Hypergeometric distribution: marked objects in a sample of n drawn without
// replacement from N objects of which N1 are marked.
#pragma once

#include <cstdint>

#include "distrib/distribution.h"

namespace vokt {

class tHypergeometric_Distribution : public tDiscrete_distribution {
 public:
  tHypergeometric_Distribution(Extended N, Extended N1, Extended n);

  int32_t N = 2;
  int32_t N1 = 1;
  int32_t N2 = 1;
  int32_t n = 1;

  bool CheckParameter(int i, Extended x) override;
  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended PointProb(Extended x) override;
  Extended ProbRatio(int32_t k) override;
};

}  // namespace vokt
