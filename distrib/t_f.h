// Student's t distribution (nu degrees of freedom) and Fisher's F
// distribution (m and n degrees of freedom), both with real degrees of
// freedom.  Their cdfs are regularized incomplete beta functions; the F
// delegates density, cdf and random values to an owned beta object, the t
// draws its random values for nu < 1 from an owned normal and gamma.
#pragma once

#include <memory>

#include "distrib/beta.h"
#include "distrib/distribution.h"
#include "distrib/gamma.h"
#include "distrib/normal.h"

namespace vokt {

class StudentTDistribution : public ContinuousDistribution {
 public:
  explicit StudentTDistribution(Real nu);

  Real LogNorm = 0;           // ln Gamma((nu+1)/2) - ln Gamma(nu/2) - ln(nu pi)/2
  Real Gen = 0;               // ratio-of-uniforms half-width (nu >= 1) or sqrt(nu/2) (nu < 1)
  Real LogSmallTailNorm = 0;  // ln(a B(a, 1/2)) with a = nu/2: the far tails' scale
  std::unique_ptr<NormalDistribution> NormalPart;  // N(0, 1), made when nu < 1
  std::unique_ptr<GammaDistribution> GammaPart;    // gamma(nu/2, 1), made when nu < 1
  Real Nu = 1;
  BetaFunction TailBeta{0.5L, 0.5L};    // I_w(nu/2, 1/2)
  BetaFunction CentreBeta{0.5L, 0.5L};  // I_w(1/2, nu/2)

  void SetParameters(Real p1, Real p2, Real p3) override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  // P(T > ax) for ax >= 0.
  Real TailBeyond(Real ax) const;
  // x >= 0 with P(T > x) = t, 0 < t <= 1/2.
  Real PositiveQuantile(Real t) const;

 private:
  StudentTDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

class FDistribution : public ContinuousDistribution {
 public:
  FDistribution(Real m, Real n);

  // ln Gamma((m+n)/2) - ln Gamma(m/2) - ln Gamma(n/2) + (ln m - ln n) m/2
  Real LogNorm = 0;
  std::unique_ptr<BetaDistribution> BetaPart;  // beta(m/2, n/2)
  Real NumDf = 1;
  Real DenDf = 1;
  BetaFunction DenBeta{1, 1};  // I_q(n/2, m/2), the numerator's BetaPart->Incomplete swapped

  void SetParameters(Real p1, Real p2, Real p3) override;
  bool InSupport(Real x) const override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;
  void ParameterLabel(int i, int n, std::string& s) const override;

 private:
  // The beta(m/2, n/2) argument y = m x / (m x + n) and its complement q.
  void BetaArguments(Real x, Real& y, Real& q) const;
  // The relative error of the odds that the beta functions see at x against
  // the exact m x / n (see RatioError in t_f.cpp).
  enum class OddsFrom { Both, Y, Q };
  Real OddsError(Real x, Real y, Real q, OddsFrom kind) const;
  // x = n y / (m q) from a beta argument and its complement.
  Real FromBeta(Real y, Real q) const;

 private:
  FDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

}  // namespace vokt
