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
inline constexpr Real kMaxNonCentralDelta = 3000;

class NoncentralFDistribution : public ContinuousDistribution {
 public:
  NoncentralFDistribution(Real m, Real n, Real lambda);

  bool Central = true;
  std::unique_ptr<NoncentralBetaDistribution> NcBetaPart;
  // Beyond 1e18 denominator degrees of freedom the F is chi-square(m,
  // lambda) / m to every digit; then this part answers.
  std::unique_ptr<NoncentralChiSquareDistribution> ChiPart;
  Real NumDf = 1;
  Real DenDf = 1;
  Real NonCentrality = 0;

  void SetParameters(Real p1, Real p2, Real p3) override;
  void CheckParameter(int i, Real x) const override;
  bool InSupport(Real x) const override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;
  void ParameterLabel(int i, int n, std::string& s) const override;

 private:
  // F's density, cdf and upper tail through the beta variable
  // y = m x / (m x + n), 1 - y = n / (m x + n), exact for every finite x.
  // The tail at x; density, when given, receives f(x) where the tail's sums
  // give it (NaN elsewhere).
  Real Tail(Real x, bool upper, Real* density = nullptr) const;
  Real Solve(Real p, bool upper) const;

 private:
  NoncentralFDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

class NoncentralTDistribution : public ContinuousDistribution {
 public:
  NoncentralTDistribution(Real nu, Real delta);

  // With delta = 0 the object is the central t(nu), computed as the t family
  // computes it (LogNorm is its normalising constant).
  bool Central = true;
  Real LogNorm = 0;
  Real Nu = 1;
  Real Delta = 0;
  Real LogGammaHalfNu = 0;  // ln Gamma(nu / 2)
  // What the tail series need of nu and |delta| only, made once per
  // parameter set (defined in noncentral_t.cpp).
  struct SeriesConstants;
  std::shared_ptr<const SeriesConstants> Series;

  void SetParameters(Real p1, Real p2, Real p3) override;
  void CheckParameter(int i, Real x) const override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  // P(T <= x) (upper false) or P(T > x) for delta >= 0 given as d = |delta|;
  // density, when given, receives f(x) where the sums give it, NaN elsewhere.
  // slope, when given, receives f'(x) / f(x) at x > 0 (NaN elsewhere).
  Real TailPositive(Real x, Real d, bool upper, Real* density = nullptr,
                    Real* slope = nullptr) const;
  Real Solve(Real p, bool upper) const;

 private:
  NoncentralTDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

}  // namespace vokt
