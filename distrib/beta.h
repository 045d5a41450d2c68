// Beta distribution on [0, 1] with shapes alpha and beta: cdf by the
// regularized incomplete beta function, random values by Cheng's BA.
#pragma once

#include "distrib/distribution.h"

namespace vokt {

class tBeta_distribution : public tContinuous_distribution {
 public:
  tBeta_distribution(Extended alpha, Extended beta);

  Extended ShapeSum = 2;  // alpha + beta
  Extended LogNorm = 0;   // ln Gamma(alpha + beta) - ln Gamma(alpha) - ln Gamma(beta)
  Extended Rho = 1;       // Cheng's 1 / beta-hat
  Extended AlphaRho = 2;  // alpha + Rho
  Extended Alpha = 1;
  Extended Beta = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  bool InSupport(Extended x) const override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
  // ln of the density at y with 1 - y = q given separately (0 < y < 1), so
  // that a caller who knows 1 - y better than the subtraction keeps it.
  Extended LogDensity(Extended y, Extended q) const;
  // W/beta from the same draw: the odds y/(1 - y) of a beta variate y (a
  // beta-prime variate), without the cancellation in 1 - y.  The F
  // distribution's generator uses it.
  Extended RandomOdds();

 private:
  // One accepted trial of Cheng's BA; returns ln W.
  Extended ChengLogW();
  // ln alpha, ln beta, ln(alpha + beta): generator constants, once per
  // parameter set.
  Extended LnAlpha = 0, LnBeta = 0, LnSum = 0;
  // Density through Loader's binomial weight (both shapes above 2 and a
  // large sum), with ln(alpha + beta - 1).
  bool Saddle = false;
  Extended LogSumM1 = 0;
};

}  // namespace vokt
