// Special functions: log-gamma, the regularized incomplete gamma and beta
// functions, log binomial coefficients and factorials.
#pragma once

#include "numeric/checks.h"

namespace vokt {

Extended LnGamma(Extended x);
Extended GammaSeries(Extended x, Extended a);
Extended GammaContFrac(Extended x, Extended a);
Extended GammaP(Extended x, Extended a);
Extended BetaContFrac(Extended x, Extended a, Extended b);
Extended BetaI(Extended x, Extended a, Extended b);
Extended LnChoose(Extended n, Extended k);
Extended Factorial(Extended x);

// e^y with an explicit overflow check (EMathError instead of infinity).
Extended CheckedExp(Extended y);
// ln x with an explicit domain check (EMathError for x <= 0 or NaN).
Extended CheckedLn(Extended x);

}  // namespace vokt
