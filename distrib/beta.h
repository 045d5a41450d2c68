// Beta distribution on [0, 1] with shapes alpha and beta: cdf by the
// regularized incomplete beta function, random values by Cheng's BA.
#pragma once

#include "distrib/distribution.h"
#include "numeric/functions.h"

namespace vokt {

class BetaDistribution : public ContinuousDistribution {
 public:
  BetaDistribution(Real alpha, Real beta);

  Real ShapeSum = 2;  // alpha + beta
  Real LogNorm = 0;   // ln Gamma(alpha + beta) - ln Gamma(alpha) - ln Gamma(beta)
  Real Rho = 1;       // Cheng's 1 / beta-hat
  Real AlphaRho = 2;  // alpha + Rho
  Real Alpha = 1;
  Real Beta = 1;
  BetaFunction Incomplete{1, 1};  // I_x(alpha, beta) with its shape constants

  void SetParameters(Real p1, Real p2, Real p3) override;
  bool InSupport(Real x) const override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;
  // ln of the density at y with 1 - y = q given separately (0 < y < 1), so
  // that a caller who knows 1 - y better than the subtraction keeps it.
  Real LogDensity(Real y, Real q) const;
  // The density at y (1 - y = q given) as Norm y^(alpha-1) q^(beta-1) by
  // products and a square root, for shapes that are whole or half numbers
  // with a sum up to 20: no logarithm and no exponential.  False where that
  // does not apply or a power leaves the normal range.
  bool PowerDensity(Real y, Real q, Real& f) const;
  // W/beta from the same draw: the odds y/(1 - y) of a beta variate y (a
  // beta-prime variate), without the cancellation in 1 - y.  The F
  // distribution's generator uses it.
  Real RandomOdds(RandomEngine& engine) const;

 private:
  // One accepted trial of Cheng's BA; returns ln W.
  Real ChengLogW(RandomEngine& engine) const;
  // ln alpha, ln beta, ln(alpha + beta): generator constants, once per
  // parameter set.
  Real LnAlpha = 0, LnBeta = 0, LnSum = 0;
  // Density through Loader's binomial weight (both shapes above 2 and a
  // large sum), with ln(alpha + beta - 1).
  bool Saddle = false;
  Real LogSumM1 = 0;
  // 2 (alpha - 1) and 2 (beta - 1) where PowerDensity serves, else -1; 1 / B.
  int PowerA = -1, PowerB = -1;
  Real Norm = 0;

 private:
  BetaDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

}  // namespace vokt
