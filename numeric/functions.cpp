// Lanczos ln Gamma (six terms), the incomplete gamma function by power series
// and continued fraction, and the incomplete beta function by its continued
// fraction (Numerical Recipes' betacf, renormalised at every step).
#include "numeric/functions.h"

#include <cmath>

namespace vokt {

namespace {
// The argument limit of these retired routines (the former stand-in for
// infinity); their remaining callers rely on it.
constexpr Extended kOldLimit = 2147483647.0L;
}  // namespace

namespace {
// The continued fractions converge in O(sqrt(max(a, b))) steps, a few
// thousand at the largest admissible shapes; a million is far beyond any
// valid input and still ends within milliseconds.
constexpr int kFractionCap = 1000000;
// The power series needs about sqrt(a) terms when x is close to a; the
// classical limit of 100 terms returned wrong values from a few hundred on.
constexpr int kSeriesCap = 1000000;

void RequireFinite(Extended v) {
  if (std::isnan(v)) RaiseInvalidOp();
  if (std::isinf(v)) RaiseOverflow();
}
}  // namespace

Extended CheckedExp(Extended y) {
  if (std::isnan(y)) RaiseInvalidOp();
  Extended r = std::exp(y);
  if (std::isinf(r)) RaiseOverflow();
  return r;
}

Extended CheckedLn(Extended x) {
  if (std::isnan(x)) RaiseInvalidOp();
  if (x < 0) RaiseInvalidOp();
  if (x == 0) RaiseZeroDivide();
  return std::log(x);
}

Extended LnGamma(Extended x) {
  static const Extended c[6] = {76.18009172947146L,     -86.50532032941677L,
                                24.01409824083091L,     -1.231739572450155L,
                                0.1208650973866179e-2L, -0.5395239384953e-5L};
  if (std::isnan(x)) RaiseInvalidOp();
  if (x <= 0) RaiseInvalidOp();
  if (std::isinf(x)) RaiseOverflow();
  Extended y = x - 1;
  Extended t = y + 5.5L;
  t = (y + 0.5L) * std::log(t) - t;
  Extended s = 1.0L;
  for (Extended cj : c) {
    y += 1;
    s += cj / y;
  }
  return CheckedLn(2.5066282746310005L * s) + t;
}

Extended GammaSeries(Extended x, Extended a) {
  // Only zero itself (or a rounding of it from below) gives 0: for a small
  // shape P(a, x) ~ x^a / Gamma(a + 1) is not negligible even for x below the
  // tolerance (2.5e-6 for a = 1/2 at x = 5e-12), and a tolerance here put the
  // normal cdf off by up to 1.3e-6 right next to its centre.
  if (x <= 0 && x > -Eps) return 0;
  Extended ap = a, term = 1 / a, sum = term;
  int n = 1;
  do {
    ap += 1;
    term = term * x / ap;
    sum += term;
    ++n;
    if (n > kSeriesCap) throw EConvergenceError("the incomplete gamma series");
    // Stop on the whole remaining tail, not on the last term: the ratios
    // x / (ap + k) fall, so the tail is at most term x / (ap + 1 - x).  For a
    // large shape near its mean the terms shrink slowly and a last-term rule
    // leaves about Eps sqrt(a) behind (4e-10 in a Poisson cdf at 10^6).
  } while (!(std::fabs(term) * (ap + 1 - x > 0 ? x / (ap + 1 - x) : 1) < std::fabs(sum) * Eps));
  Extended r = sum * std::exp(a * std::log(x) - x - LnGamma(a));
  RequireFinite(r);
  return r;
}

Extended GammaContFrac(Extended x, Extended a) {
  Extended g = 0, gold = 1, a0 = 1, a1 = x, b0 = 0, b1 = 1, fac = 1;
  int n = 1;
  do {
    Extended ana = n - a;
    a0 = (a1 + a0 * ana) * fac;
    b0 = (b1 + b0 * ana) * fac;
    Extended anf = n * fac;
    a1 = x * a0 + anf * a1;
    b1 = x * b0 + anf * b1;
    if (a1 != 0) {
      gold = g;
      fac = 1 / a1;
      g = b1 * fac;
    }
    ++n;
    RequireFinite(g);
    if (n > kFractionCap) throw EConvergenceError("the incomplete gamma fraction");
    if (g == 0) RaiseZeroDivide();
  } while (!(std::fabs((g - gold) / g) < Eps));
  Extended r = std::exp(a * std::log(x) - x - LnGamma(a)) * g;
  RequireFinite(r);
  return r;
}

Extended GammaP(Extended x, Extended a) {
  CheckValue(msgAtLeast, x, 0);
  ErrorIf(x > kOldLimit, msgTooLarge);
  CheckValue(msgGreaterThan, a, 0);
  ErrorIf(a > kOldLimit, msgTooLarge);
  if (x < a + 1) return GammaSeries(x, a);
  return 1 - GammaContFrac(x, a);
}

Extended BetaContFrac(Extended x, Extended a, Extended b) {
  Extended qab = a + b, qap = a + 1, qam = a - 1;
  Extended am = 1, bm = 1, az = 1, bz = 1 - qab * x / qap;
  Extended aold;
  int m = 1;
  do {
    Extended em = m, tem = 2.0L * m;
    Extended d = em * (b - em) * x / ((qam + tem) * (a + tem));
    Extended ap = az + d * am, bp = bz + d * bm;
    d = -(a + em) * (qab + em) * x / ((a + tem) * (qap + tem));
    Extended app = ap + d * az, bpp = bp + d * bz;
    if (bpp == 0) RaiseZeroDivide();
    aold = az;
    am = ap / bpp;
    bm = bp / bpp;
    az = app / bpp;
    bz = 1;
    ++m;
    RequireFinite(az);
    if (m > kFractionCap) throw EConvergenceError("the incomplete beta fraction");
  } while (!(std::fabs(az - aold) < Eps * std::fabs(az)));
  return az;
}

Extended BetaI(Extended x, Extended a, Extended b) {
  if (std::isnan(x) || std::isnan(a) || std::isnan(b)) RaiseMessage(msgNotANumber);
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  try {
    Extended bt = CheckedExp(LnGamma(a + b) + a * std::log(x) + b * std::log(1 - x) -
                             LnGamma(a) - LnGamma(b));
    Extended r;
    if (x < (a + 1) / (a + b + 2))
      r = bt * BetaContFrac(x, a, b) / a;
    else
      r = 1 - bt * BetaContFrac(1 - x, b, a) / b;
    RequireFinite(r);
    return r;
  } catch (const EMathError&) {
    // Arithmetic faults only (an overflowing prefactor, say); a fraction that
    // did not converge is reported to the caller.
    return 1;
  }
}

Extended LnChoose(Extended n, Extended k) {
  CheckValue(msgGreaterThan, n, 0);
  ErrorIf(!IsIntegerValue(n), msgInteger);
  ErrorIf(n > kOldLimit, msgTooLarge);
  CheckValue(msgAtLeast, k, 0);
  ErrorIf(!IsIntegerValue(k), msgInteger);
  ErrorIf(n < k, msgSecondNotAboveFirst);
  if (k > n - k) k = n - k;
  int32_t m = RoundInt(k);
  Extended s = 0;
  for (int32_t i = 1; i <= m; ++i) s += std::log((n - i + 1) / i);
  return s;
}

Extended Factorial(Extended x) {
  int32_t n = RoundInt(x);
  // 1755! exceeds the extended range; beyond that the repeated division only
  // spins on zero.
  ErrorIf(n > 1754, msgTooLarge);
  Extended c = 1;
  for (int32_t d = 2; d <= n; ++d) c /= d;
  if (c * 2147483647.0L > 1) return RoundExt(1 / c);
  return 1 / c;
}

}  // namespace vokt
