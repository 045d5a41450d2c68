// Normal distribution N(mu, sigma^2): three parameter records for two
// parameters, so the user can type the variance or the standard deviation.
#pragma once

#include "distrib/distribution.h"

namespace vokt {

class tNormal_Distribution : public tContinuous_distribution {
 public:
  tNormal_Distribution(Extended mu, Extended sigma2);

  Extended LogNorm = 0;
  Extended RouConst = 0;
  Extended Mu = 0;
  Extended Sigma2 = 1;
  Extended Sigma = 1;
  Extended InvSigma = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
  void ParameterLabel(int i, int n, std::string& s) const override;

 private:
  // (x - mu) / sigma, also where x - mu would overflow.
  Extended Z(Extended x) const;
};

// Standard normal cdf Phi(z) (NormalLower, with a NaN refused).
Extended StdNormalCdf(Extended z);

}  // namespace vokt
