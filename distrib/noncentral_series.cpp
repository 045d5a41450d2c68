#include "distrib/noncentral_series.h"

#include "numeric/special.h"

namespace vokt::noncentral {

Extended LnGammaX(Extended x) {
  if (std::isnan(x) || x <= 0) RaiseInvalidOp();
  if (std::isinf(x)) RaiseOverflow();
  // Below 15 shift upwards: ln Gamma(x) = ln Gamma(x + n) - ln(x (x+1) ... (x+n-1)).
  Extended shift = 1;
  while (x < 15) {
    shift *= x;
    x += 1;
  }
  const Extended z = 1 / (x * x);
  // Stirling series with the Bernoulli coefficients B_2k / (2k (2k - 1)); at
  // x = 15 the first omitted term is below 3e-21.
  const Extended series =
      (1.0L / 12 +
       z * (-1.0L / 360 +
            z * (1.0L / 1260 +
                 z * (-1.0L / 1680 +
                      z * (1.0L / 1188 +
                           z * (-691.0L / 360360 + z * (1.0L / 156 + z * (-3617.0L / 122400)))))))) /
      x;
  const Extended halfLn2Pi = 0.918938533204672741780329736405617639861L;
  return (x - 0.5L) * std::log(x) - x + halfLn2Pi + series - std::log(shift);
}

Extended LnPoisson(int64_t j, Extended a) {
  if (j == 0) return -a;
  return static_cast<Extended>(j) * std::log(a) - a - LnGammaX(static_cast<Extended>(j) + 1);
}

Extended BetaIc(Extended x, Extended cx, Extended a, Extended b) {
  if (x <= 0) return 0;
  if (cx <= 0) return 1;
  if (x < (a + 1) / (a + b + 2)) return BetaI(x, a, b);
  return 1 - BetaI(cx, b, a);
}

Extended NormalTail(Extended z) {
  if (std::isnan(z)) RaiseMessage(msgNotANumber);
  if (z < 0) return 1 - NormalTail(-z);
  const Extended h = z * z / 2;
  if (h > 20000) return 0;  // below 1e-8600, under the extended range
  if (h < 1.5L) return 0.5L - 0.5L * GammaP(h, 0.5L);
  return 0.5L * GammaContFrac(h, 0.5L);
}

int64_t SeriesCap(Extended a) { return 100000 + static_cast<int64_t>(50 * std::sqrt(a)); }

int64_t ClampIndex(Extended j, int64_t limit) {
  if (!(j > 0)) return 0;
  if (j >= static_cast<Extended>(limit)) return limit;
  return static_cast<int64_t>(j);
}

}  // namespace vokt::noncentral
