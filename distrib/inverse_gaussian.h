// Inverse Gaussian (Wald) distribution with mean mu and shape lambda.  Both
// tails are computed directly; quantiles are solved on the tail that holds p
// from a lognormal start; random values come from the inversion.
#pragma once

#include <memory>

#include "distrib/distribution.h"
#include "distrib/normal.h"

namespace vokt {

class tInverseGaussian_distribution : public tContinuous_distribution {
 public:
  tInverseGaussian_distribution(Extended mu, Extended lambda);

  std::unique_ptr<tNormal_Distribution> NormalPart;  // N(0, 1)
  Extended Mu = 1;
  Extended Lambda = 1;
  Extended Phi = 1;  // lambda / mu

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  bool InSupport(Extended x) const override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;

 private:
  Extended Solve(Extended p, bool upper);
};

// Mills ratio R(w) = Phi(-w) / phi(w) of the standard normal for w >= 0, with
// full relative accuracy however far out w lies (Phi(-w) itself underflows
// beyond w of about 150).
Extended NormalMillsRatio(Extended w);

}  // namespace vokt
