// Lognormal distribution: X = e^Y with Y normal with mean mu and variance
// sigma^2; the cdf and the random values come from an owned normal.
#pragma once

#include <memory>

#include "distrib/distribution.h"
#include "distrib/normal.h"

namespace vokt {

class tLognormal_Distribution : public tContinuous_distribution {
 public:
  tLognormal_Distribution(Extended mu, Extended sigma2);

  Extended LogNorm = 0;
  std::unique_ptr<tNormal_Distribution> NormalPart;  // N(mu, sigma^2)
  Extended Mu = 0;
  Extended Sigma2 = 1;
  Extended Sigma = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  bool InSupport(Extended x) const override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
  void ParameterLabel(int i, int n, std::string& s) const override;
};

}  // namespace vokt
