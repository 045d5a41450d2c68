// Non-central chi-square and non-central beta distributions: Poisson mixtures
// of chi-square(nu + 2j) and beta(alpha + j, beta) distributions with weights
// e^(-a) a^j / j!, a = lambda / 2.
#pragma once

#include <vector>

#include "distrib/distribution.h"
#include "numeric/functions.h"

namespace vokt {

// Largest non-centrality lambda the mixtures accept.  A sum needs about
// 15 sqrt(lambda) terms on each side of its start and one incomplete function
// of shape about lambda / 2: at 1e7 a density or cdf call takes about a
// millisecond (a quantile some 30 of them), and the log-gamma differences of
// the start terms still carry twelve digits.  Beyond it the parameter check
// raises "Numbers too large.".
inline constexpr Real kMaxNonCentrality = 1e7L;

class NoncentralChiSquareDistribution : public ContinuousDistribution {
 public:
  NoncentralChiSquareDistribution(Real nu, Real lambda);

  // With lambda = 0 the object is the central chi-square(nu); its density
  // and cdf are computed as the chi-square family computes them.
  bool Central = true;
  Real Nu = 1;
  Real NonCentrality = 0;

  void SetParameters(Real p1, Real p2, Real p3) override;
  void CheckParameter(int i, Real x) const override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

 private:
  Real Tail(Real x, bool upper) const;
  Real Solve(Real p, bool upper) const;
  // The density summed upward from its first term, for moderate arguments.
  Real DensityFromZero(Real x) const;
  // The lower tail summed from its first term, for moderate arguments;
  // false where it does not apply.
  bool LowerTailFromZero(Real x, Real& lower) const;
  // ln(e^(-lambda/2) / (2 Gamma(nu/2))), the constant of DensityFromZero,
  // and ln(e^(-lambda/2) / Gamma(nu/2 + 1)), that of LowerTailFromZero.
  Real lnDensityScale_ = 0;
  Real lnTailScale_ = 0;

 private:
  NoncentralChiSquareDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

class NoncentralBetaDistribution : public ContinuousDistribution {
 public:
  NoncentralBetaDistribution(Real alpha, Real beta, Real lambda);

  bool Central = true;
  Real Alpha = 1;
  Real Beta = 1;
  Real NonCentrality = 0;
  // For the indices j next to the Poisson mode of lambda / 2, where the
  // tails and the density start their sums: I(alpha + j, beta), the log of
  // Gamma(alpha + beta + j) / (Gamma(beta) Gamma(alpha + j + 1)) and the log
  // of the Poisson weight of j; made once per parameter set.
  struct IndexConstants {
    BetaFunction Incomplete;
    Real LogGammas;
    Real LogWeight;
  };
  int64_t NearFirst = 0;
  std::vector<IndexConstants> Near;
  // The constants of index j, or null when j is not among them.
  const IndexConstants* NearAt(int64_t j) const;

  void SetParameters(Real p1, Real p2, Real p3) override;
  void CheckParameter(int i, Real x) const override;
  bool InSupport(Real x) const override;
  Real Density(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real InverseCdf(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;

  // Density, cdf and upper tail at x with 1 - x given separately, so that callers that
  // know the complement more accurately than 1 - x (the non-central F in its
  // upper tail) keep it.
  Real DensityAt(Real x, Real cx) const;
  Real CdfAt(Real x, Real cx) const;
  Real UpperAt(Real x, Real cx) const;
  // Start value for a quantile solver: Patnaik's two-moment chi-square for
  // the non-central part (p on the upper tail when upper).
  Real StartValue(Real p, bool upper) const;
  // The lower (or upper) tail at x; density, when given, receives the
  // density at x from the same sums (NaN where they do not give it).
  Real TailAt(Real x, Real cx, bool upper, Real* density = nullptr) const;

 private:
  Real Solve(Real p, bool upper) const;

 private:
  NoncentralBetaDistribution() = default;
  // SetParameters on a fresh object.
  void Build(Real p1, Real p2, Real p3);
};

}  // namespace vokt
