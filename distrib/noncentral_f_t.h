// Non-central F distribution (through a non-central beta after the
// substitution y = m x / (m x + n)) and non-central t distribution (Lenth's
// Poisson-weighted series in the incomplete beta function).
#pragma once

#include <memory>

#include "distrib/noncentral_chi2_beta.h"

namespace vokt {

// Largest |delta| of the non-central t: its series are Poisson mixtures with
// mean delta^2 / 2 = 4.5e6, as large as the other families' lambda / 2 at
// their bound (a cdf call there takes about 5 ms: two incomplete beta
// functions of that shape).
inline constexpr Extended kMaxNonCentralDelta = 3000;

class tNon_central_F_distribution : public tContinuous_distribution {
 public:
  tNon_central_F_distribution(Extended m, Extended n, Extended lambda);

  bool Central = true;
  std::unique_ptr<tNon_Central_Beta_distribution> NcBetaPart;
  // Beyond 1e18 denominator degrees of freedom the F is chi-square(m,
  // lambda) / m to every digit; then this part answers.
  std::unique_ptr<tNon_Central_Chi_square_distribution> ChiPart;
  Extended NumDf = 1;
  Extended DenDf = 1;
  Extended NonCentrality = 0;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  bool CheckParameter(int i, Extended x) override;
  bool InSupport(Extended x) const override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
  void ParameterLabel(int i, int n, std::string& s) const override;

 private:
  // F's density, cdf and upper tail through the beta variable
  // y = m x / (m x + n), 1 - y = n / (m x + n), exact for every finite x.
  Extended Tail(Extended x, bool upper);
  Extended Solve(Extended p, bool upper);
};

class tNon_central_t_distribution : public tContinuous_distribution {
 public:
  tNon_central_t_distribution(Extended nu, Extended delta);

  // With delta = 0 the object is the central t(nu), computed as the t family
  // computes it (LogNorm is its normalising constant).
  bool Central = true;
  Extended LogNorm = 0;
  Extended Nu = 1;
  Extended Delta = 0;
  Extended LogGammaHalfNu = 0;  // ln Gamma(nu / 2)

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  bool CheckParameter(int i, Extended x) override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;

 private:
  // P(T <= x) (upper false) or P(T > x) for delta >= 0 given as d.
  Extended TailPositive(Extended x, Extended d, bool upper);
  Extended Solve(Extended p, bool upper);
};

}  // namespace vokt
