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

class tT_distribution : public tContinuous_distribution {
 public:
  explicit tT_distribution(Extended nu);

  Extended LogNorm = 0;           // ln Gamma((nu+1)/2) - ln Gamma(nu/2) - ln(nu pi)/2
  Extended Gen = 0;               // ratio-of-uniforms half-width (nu >= 1) or sqrt(nu/2) (nu < 1)
  Extended LogSmallTailNorm = 0;  // ln(a B(a, 1/2)) with a = nu/2: the far tails' scale
  std::unique_ptr<tNormal_Distribution> NormalPart;  // N(0, 1), made when nu < 1
  std::unique_ptr<tGamma_distribution> GammaPart;    // gamma(nu/2, 1), made when nu < 1
  Extended Nu = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;

 private:
  // P(T > ax) for ax >= 0.
  Extended TailBeyond(Extended ax) const;
  // x >= 0 with P(T > x) = t, 0 < t <= 1/2.
  Extended PositiveQuantile(Extended t) const;
};

class tF_distribution : public tContinuous_distribution {
 public:
  tF_distribution(Extended m, Extended n);

  // ln Gamma((m+n)/2) - ln Gamma(m/2) - ln Gamma(n/2) + (ln m - ln n) m/2
  Extended LogNorm = 0;
  std::unique_ptr<tBeta_distribution> BetaPart;  // beta(m/2, n/2)
  Extended NumDf = 1;
  Extended DenDf = 1;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  bool InSupport(Extended x) const override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
  void ParameterLabel(int i, int n, std::string& s) const override;

 private:
  // The beta(m/2, n/2) argument y = m x / (m x + n) and its complement q.
  void BetaArguments(Extended x, Extended& y, Extended& q) const;
  // The relative error of the odds that the beta functions see at x against
  // the exact m x / n (see RatioError in t_f.cpp).
  enum class OddsFrom { Both, Y, Q };
  Extended OddsError(Extended x, Extended y, Extended q, OddsFrom kind) const;
  // x = n y / (m q) from a beta argument and its complement.
  Extended FromBeta(Extended y, Extended q) const;
};

}  // namespace vokt
