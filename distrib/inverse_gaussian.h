// Inverse Gaussian (Wald) distribution with mean mu and shape lambda.  Both
// tails are computed directly; quantiles are solved on the tail that holds p
// from a lognormal start; random values come from the inversion.
#pragma once

#include <memory>

#include "distrib/distribution.h"
#include "distrib/normal.h"

namespace vokt {

class InverseGaussianDistribution : public ContinuousDistribution {
 public:
  InverseGaussianDistribution(Real mu, Real lambda);

  std::unique_ptr<NormalDistribution> NormalPart;  // N(0, 1)
  Real Mu = 1;
  Real Lambda = 1;
  Real Phi = 1;  // lambda / mu

  void SetParameters(Real p1, Real p2, Real p3) override;
  bool InSupport(Real x) const override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;

 private:
  Real Solve(Real p, bool upper) const;

 private:
  InverseGaussianDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

// Mills ratio R(w) = Phi(-w) / phi(w) of the standard normal for w >= 0, with
// full relative accuracy however far out w lies (Phi(-w) itself underflows
// beyond w of about 150).
Real NormalMillsRatio(Real w);

}  // namespace vokt
