#include "distrib/discrete_util.h"

#include <cmath>

namespace vokt {

tDiscreteSnapshot::tDiscreteSnapshot(const tDiscrete_distribution& d)
    : nameId_(d.NameId),
      parCount_(d.ParCount),
      par_(d.Par),
      supportLow_(d.SupportLow),
      supportHigh_(d.SupportHigh),
      hasMean_(d.HasMean),
      hasVariance_(d.HasVariance),
      mean_(d.Mean),
      variance_(d.Variance),
      mode_(d.Mode),
      maxDens_(d.MaxDens),
      hatWidth_(d.HatWidth) {}

void tDiscreteSnapshot::Restore(tDiscrete_distribution& d, bool records) const {
  d.NameId = nameId_;
  if (records) {
    d.ParCount = parCount_;
    d.Par = par_;
  }
  d.SupportLow = supportLow_;
  d.SupportHigh = supportHigh_;
  d.HasMean = hasMean_;
  d.HasVariance = hasVariance_;
  d.Mean = mean_;
  d.Variance = variance_;
  d.Mode = mode_;
  d.MaxDens = maxDens_;
  d.HatWidth = hatWidth_;
}

namespace {
constexpr Extended kLnSqrt2Pi = 0.918938533204672741780329736405617639861L;

// Stirling remainder ln(n!) - ln(sqrt(2 pi n) (n/e)^n).  The asymptotic
// series is exact to the extended precision from n = 15 on (the first omitted
// term is below 1e-19 there); below that, log-gamma of the library.
Extended StirlingError(Extended n) {
  constexpr Extended S0 = 1.0L / 12, S1 = 1.0L / 360, S2 = 1.0L / 1260, S3 = 1.0L / 1680,
                     S4 = 1.0L / 1188, S5 = 691.0L / 360360, S6 = 1.0L / 156;
  if (n <= 15) {
    if (n == 0) return 0;
    return std::lgamma(n + 1) - (n + 0.5L) * std::log(n) + n - kLnSqrt2Pi;
  }
  const Extended nn = n * n;
  return (S0 - (S1 - (S2 - (S3 - (S4 - (S5 - S6 / nn) / nn) / nn) / nn) / nn) / nn) / n;
}

// Deviance term x ln(x / m) + m - x, summed as a series when x is close to m
// (where the direct form cancels).
Extended Bd0(Extended x, Extended m) {
  if (std::fabs(x - m) < 0.1L * (x + m)) {
    Extended v = (x - m) / (x + m);
    Extended s = (x - m) * v;
    Extended ej = 2 * x * v;
    const Extended v2 = v * v;
    // |v| < 0.1, so each term shrinks by a factor 100: 15 terms reach the
    // extended precision; the cap only guards against a non-finite input.
    for (int j = 1; j < 100; ++j) {
      ej *= v2;
      const Extended s1 = s + ej / (2 * j + 1);
      if (s1 == s) return s1;
      s = s1;
    }
    return s;
  }
  return x * std::log(x / m) + m - x;
}
}  // namespace

Extended LnBinomialTerm(Extended x, Extended n, Extended p, Extended q) {
  const Extended lc = StirlingError(n) - StirlingError(x) - StirlingError(n - x) -
                      Bd0(x, n * p) - Bd0(n - x, n * q);
  const Extended lf = 2 * kLnSqrt2Pi + std::log(x) + std::log1p(-x / n);
  return lc - 0.5L * lf;
}

}  // namespace vokt
