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
Extended LogGamma(Extended x);
// ln Gamma(x) - ln Gamma(y) for x, y > 0, without the cancellation of two
// large log-gammas when x and y are large and close.
Extended LogGammaRatio(Extended x, Extended y);
// ln C(n, k) for 0 <= k <= n (real n, k).
Extended LogChoose(Extended n, Extended k);

// Regularized incomplete gamma: P(a, x) and Q(a, x) = 1 - P(a, x), each
// computed directly (a > 0, x >= 0; x = +inf allowed).
Extended GammaLower(Extended a, Extended x);
Extended GammaUpper(Extended a, Extended x);
// x with P(a, x) = p, and x with Q(a, x) = q (p, q in [0, 1]).
Extended GammaLowerInv(Extended a, Extended p);
Extended GammaUpperInv(Extended a, Extended q);

// Regularized incomplete beta: I_x(a, b) and 1 - I_x(a, b), each computed
// directly (a, b > 0, 0 <= x <= 1).
Extended BetaLower(Extended a, Extended b, Extended x);
Extended BetaUpper(Extended a, Extended b, Extended x);
// x with I_x(a, b) = p, and x with 1 - I_x(a, b) = q.  When complement is
// given it receives 1 - x, computed without cancellation when x is near 1.
Extended BetaLowerInv(Extended a, Extended b, Extended p, Extended* complement = nullptr);
Extended BetaUpperInv(Extended a, Extended b, Extended q, Extended* complement = nullptr);

// Standard normal: Phi(z) and 1 - Phi(z) (each full precision in its own
// tail), the density, and the inverses (z with Phi(z) = p, z with
// 1 - Phi(z) = q; +-inf at 0 and 1).
Extended NormalLower(Extended z);
Extended NormalUpper(Extended z);
Extended NormalDensity(Extended z);
Extended NormalLowerInv(Extended p);
Extended NormalUpperInv(Extended q);

// erf and erfc.
Extended Erf(Extended x);
Extended Erfc(Extended x);

// Loader's deviance term x ln(x / m) + m - x, without cancellation when x is
// close to m (x >= 0, m > 0).
Extended Bd0(Extended x, Extended m);
// Stirling's error ln(n!) - (ln(2 pi n) / 2 + n ln n - n) for n >= 0.
Extended StirlingError(Extended n);
// ln of the Poisson weight e^-a a^x / x! (x >= 0 real, a > 0), full precision
// also at large a.
Extended LogPoissonWeight(Extended x, Extended a);
// ln of the binomial probability C(n, x) p^x q^(n-x) (q = 1 - p given
// separately so that p near 1 keeps its digits).
Extended LogBinomialWeight(Extended x, Extended n, Extended p, Extended q);

// ln(1 + x) - x without cancellation near 0.
Extended Log1pmx(Extended x);

}  // namespace vokt
