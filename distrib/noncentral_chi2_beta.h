// Non-central chi-square and non-central beta distributions: Poisson mixtures
// of chi-square(nu + 2j) and beta(alpha + j, beta) distributions with weights
// e^(-a) a^j / j!, a = lambda / 2.
#pragma once

#include "distrib/distribution.h"

namespace vokt {

// Largest non-centrality lambda the mixtures accept.  A sum needs about
// 15 sqrt(lambda) terms on each side of its start and one incomplete function
// of shape about lambda / 2: at 1e7 a density or cdf call takes about a
// millisecond (a quantile some 30 of them), and the log-gamma differences of
// the start terms still carry twelve digits.  Beyond it the parameter check
// raises "Numbers too large.".
inline constexpr Extended kMaxNonCentrality = 1e7L;

class tNon_Central_Chi_square_distribution : public tContinuous_distribution {
 public:
  tNon_Central_Chi_square_distribution(Extended nu, Extended lambda);

  // With lambda = 0 the object is the central chi-square(nu); its density
  // and cdf are computed as the chi-square family computes them.
  bool Central = true;
  Extended Nu = 1;
  Extended NonCentrality = 0;

  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  bool CheckParameter(int i, Extended x) override;
  Extended Density(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;

 private:
  Extended Tail(Extended x, bool upper);
  Extended Solve(Extended p, bool upper);
};

class tNon_Central_Beta_distribution : public tContinuous_distribution {
 public:
  tNon_Central_Beta_distribution(Extended alpha, Extended beta, Extended lambda);

  bool Central = true;
  Extended Alpha = 1;
  Extended Beta = 1;
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

  // Density, cdf and upper tail at x with 1 - x given separately, so that callers that
  // know the complement more accurately than 1 - x (the non-central F in its
  // upper tail) keep it.
  Extended DensityAt(Extended x, Extended cx);
  Extended CdfAt(Extended x, Extended cx);
  Extended UpperAt(Extended x, Extended cx);
  // Start value for a quantile solver: Patnaik's two-moment chi-square for
  // the non-central part (p on the upper tail when upper).
  Extended StartValue(Extended p, bool upper) const;

 private:
  Extended TailAt(Extended x, Extended cx, bool upper);
};

}  // namespace vokt
