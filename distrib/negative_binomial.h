// Negative binomial distribution (failures before the r-th success) and the
// geometric distribution, its case r = 1.
#pragma once

#include <cstdint>

#include "distrib/distribution.h"

namespace vokt {

class NegativeBinomialDistribution : public DiscreteDistribution {
 public:
  NegativeBinomialDistribution(Real successes, Real prob);

  int32_t r = 1;
  Real p = 0.5L;

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real PointProb(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real ProbRatio(int32_t k) const override;
  // Every probability is computed on its own (no table walks): a
  // small p (r = 5, p = 1e-6 spans 30 million points) gets a thinned table.
  bool ThinTableAllowed() const override { return true; }

 protected:
  NegativeBinomialDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2);
  Real ModeStart() const override;
};

class GeometricDistribution : public NegativeBinomialDistribution {
 public:
  explicit GeometricDistribution(Real prob);

  void SetParameters(Real p1, Real p2, Real p3) override;

 private:
  GeometricDistribution() = default;
  void Build(Real p1);
};

}  // namespace vokt
