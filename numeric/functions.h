// The special functions of the whole program, accurate to a few units in the
// last place of long double: log-gamma, the regularized incomplete gamma and
// beta functions with their complements and inverses, the normal tails, and
// Loader's helpers for saddle-point probabilities.  Boost.Math does the heavy
// lifting; the wrappers turn its errors into the program's exceptions and
// settle the end points, so that callers never see a Boost exception.
#pragma once

#include "numeric/checks.h"

namespace vokt {

// ln Gamma(x) for x > 0.
Real LogGamma(Real x);
// ln Gamma(x) - ln Gamma(y) for x, y > 0, without the cancellation of two
// large log-gammas when x and y are large and close.
Real LogGammaRatio(Real x, Real y);
// ln C(n, k) for 0 <= k <= n (real n, k).
Real LogChoose(Real n, Real k);

// Regularized incomplete gamma: P(a, x) and Q(a, x) = 1 - P(a, x), each
// computed directly (a > 0, x >= 0; x = +inf allowed).
Real GammaLower(Real a, Real x);
Real GammaUpper(Real a, Real x);
// x with P(a, x) = p, and x with Q(a, x) = q (p, q in [0, 1]).
Real GammaLowerInv(Real a, Real p);
Real GammaUpperInv(Real a, Real q);

// Regularized incomplete beta: I_x(a, b) and 1 - I_x(a, b), each computed
// directly (a, b > 0, 0 <= x <= 1).
Real BetaLower(Real a, Real b, Real x);
Real BetaUpper(Real a, Real b, Real x);
// x with I_x(a, b) = p, and x with 1 - I_x(a, b) = q.  When complement is
// given it receives 1 - x, computed without cancellation when x is near 1.
Real BetaLowerInv(Real a, Real b, Real p, Real* complement = nullptr);
Real BetaUpperInv(Real a, Real b, Real q, Real* complement = nullptr);

// The regularized incomplete beta function at fixed shapes a, b > 0, with
// what depends on the shapes only (ln B(a, b)) computed once: for callers
// that evaluate many x at the same shapes.  BetaLower and the others above
// are this object used once.
class BetaFunction {
 public:
  BetaFunction(Real a, Real b);
  Real Lower(Real x) const;  // I_x(a, b)
  Real Upper(Real x) const;  // 1 - I_x(a, b)
  // x with I_x(a, b) = p, x with 1 - I_x(a, b) = q; complement as above.
  Real LowerInv(Real p, Real* complement = nullptr) const;
  Real UpperInv(Real q, Real* complement = nullptr) const;
  // The function with the shapes exchanged, I_x(b, a), sharing the constants.
  BetaFunction Swapped() const;

 private:
  BetaFunction(Real a, Real b, Real logBeta, Real logA, Real logB, bool own);
  bool OwnTail(Real x, bool upper, Real& value, Real* density) const;
  Real Tail(Real x, bool upper, Real* density) const;
  Real Start(Real t, bool up) const;
  Real Solve(Real t, bool up, Real x) const;
  Real Inverse(Real p, bool upper, Real* complement) const;
  Real a_ = 1, b_ = 1;
  // ln B(a, b), ln a and ln b where the shapes are the own continued
  // fraction's (own_); unused otherwise.
  Real logBeta_ = 0, logA_ = 0, logB_ = 0;
  bool own_ = false;
};

// Standard normal: Phi(z) and 1 - Phi(z) (each full precision in its own
// tail), the density, and the inverses (z with Phi(z) = p, z with
// 1 - Phi(z) = q; +-inf at 0 and 1).
Real NormalLower(Real z);
Real NormalUpper(Real z);
Real NormalDensity(Real z);
Real NormalLowerInv(Real p);
Real NormalUpperInv(Real q);

// erf and erfc.
Real Erf(Real x);
Real Erfc(Real x);

// Loader's deviance term x ln(x / m) + m - x, without cancellation when x is
// close to m (x >= 0, m > 0).
Real Bd0(Real x, Real m);
// Stirling's error ln(n!) - (ln(2 pi n) / 2 + n ln n - n) for n >= 0.
Real StirlingError(Real n);
// ln of the Poisson weight e^-a a^x / x! (x >= 0 real, a > 0), full precision
// also at large a.
Real LogPoissonWeight(Real x, Real a);
// ln of the binomial probability C(n, x) p^x q^(n-x) (q = 1 - p given
// separately so that p near 1 keeps its digits).
Real LogBinomialWeight(Real x, Real n, Real p, Real q);

// ln(1 + x) - x without cancellation near 0.
Real Log1pmx(Real x);

}  // namespace vokt
