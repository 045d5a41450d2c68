// Wrappers around Boost.Math's special functions, and Loader's saddle-point
// helpers.  Every entry settles its end points and its domain itself, so that
// Boost only ever sees arguments inside its domain; what Boost still raises
// (a series that did not converge) comes back as the program's exceptions.
#include "numeric/functions.h"

#include "numeric/boost_guard.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/math/special_functions/log1p.hpp>

namespace vokt {

using namespace functions_detail;

namespace {
constexpr Real kInf = std::numeric_limits<Real>::infinity();
constexpr Real kLnSqrt2Pi = 0.918938533204672741780329736405617639861L;
constexpr Real kInvSqrt2Pi = 0.398942280401432677939946059934381868476L;
constexpr Real kSqrt1_2 = 0.707106781186547524400844362104849039284L;
constexpr Real kSqrt2 = 1.41421356237309504880168872420969807857L;

// Stirling series of ln Gamma(x) - ((x - 1/2) ln x - x + ln(2 pi) / 2) for
// x >= 15, with the Bernoulli coefficients B_2k / (2k (2k - 1)); at x = 15 the
// first omitted term is below 3e-21.
Real StirlingTail(Real x) {
  const Real z = 1 / (x * x);
  return (1.0L / 12 +
          z * (-1.0L / 360 +
               z * (1.0L / 1260 +
                    z * (-1.0L / 1680 +
                         z * (1.0L / 1188 + z * (-691.0L / 360360 +
                                                 z * (1.0L / 156 + z * (-3617.0L / 122400)))))))) /
         x;
}
}  // namespace

Real LogGamma(Real x) {
  RequirePositive(x);
  if (std::isinf(x)) return kInf;
  return Guarded([&] { return boost::math::lgamma(x, Policy()); });
}

Real LogGammaRatio(Real x, Real y) {
  RequirePositive(x);
  RequirePositive(y);
  if (x < 15 || y < 15) return LogGamma(x) - LogGamma(y);
  // (x - 1/2) ln x - (y - 1/2) ln y - (x - y), regrouped so that nothing
  // large cancels when x and y are close.
  const Real d = x - y;
  return (x - 0.5L) * std::log1p(d / y) + d * (std::log(y) - 1) + StirlingTail(x) - StirlingTail(y);
}

Real LogChoose(Real n, Real k) {
  RequireNumber(n);
  RequireNumber(k);
  if (k < 0 || k > n) RaiseInvalidOp();
  if (k == 0 || k == n) return 0;
  // ln Gamma(n + 1) - ln Gamma(n - k + 1) as one ratio, so that a large n
  // with a small k does not cancel two huge log-gammas.
  if (k > n - k) k = n - k;
  return LogGammaRatio(n + 1, n - k + 1) - LogGamma(k + 1);
}

namespace {
// P(a, x) for large a well below the mean (x <= a - sqrt a): the continued
// fraction gamma(a, x) = x^a e^-x / (a - a x / (a+1 + x / (a+2 - (a+1) x /
// (a+3 + 2x / (a+4 - ...))))) by Lentz's method, times Gamma(a)^-1 through
// LogPoissonWeight, e^-x x^a / Gamma(a + 1), which keeps full relative
// accuracy (Boost loses digits there and underflows to 0 near 1e-350 for a
// of 1e8).  A few dozen steps far out, some hundreds a deviation below the
// mean.  Returns -1 when the fraction does not settle.
Real GammaLowerFraction(Real a, Real x) {
  constexpr Real kTiny = 1e-4000L;
  constexpr Real kEps = std::numeric_limits<Real>::epsilon();
  Real f = a, c = f, d = 0;
  for (int n = 1; n <= 20000; ++n) {
    const int k = n / 2;
    const Real an = n % 2 ? -(a + k) * x : k * x;
    const Real bn = a + n;
    d = bn + an * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    d = 1 / d;
    c = bn + an / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    const Real del = c * d;
    f *= del;
    if (std::fabs(del - 1) <= kEps / 2) return std::exp(LogPoissonWeight(a, x)) * (a / f);
  }
  return -1;
}
}  // namespace

Real GammaLower(Real a, Real x) {
  RequirePositive(a);
  RequireNumber(x);
  if (x <= 0) return 0;
  if (std::isinf(x)) return 1;
  if (a >= 100 && x <= a - std::sqrt(a)) {
    const Real p = GammaLowerFraction(a, x);
    if (p >= 0) return p;
  }
  return Guarded([&] { return boost::math::gamma_p(a, x, Policy()); });
}

namespace {
// Q(a, x) for large a well above the mean (x >= a + sqrt a): Legendre's
// continued fraction for Gamma(a, x) e^x x^-a, by Lentz's method, times the
// prefactor x^a e^-x / Gamma(a) = a e^-x x^a / Gamma(a + 1), whose logarithm
// LogPoissonWeight keeps to full relative accuracy (Boost's prefix loses a
// few units of 1e-15 there).  Returns -1 when the fraction does not settle.
Real GammaUpperFraction(Real a, Real x) {
  constexpr Real kTiny = 1e-4000L;
  constexpr Real kEps = std::numeric_limits<Real>::epsilon();
  Real b = x + 1 - a;
  Real c = 1 / kTiny, d = 1 / b, h = d;
  for (int i = 1; i <= 20000; ++i) {
    const Real an = -i * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = b + an / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    const Real del = d * c;
    h *= del;
    if (std::fabs(del - 1) <= kEps / 2) return a * std::exp(LogPoissonWeight(a, x)) * h;
  }
  return -1;
}

}  // namespace

Real GammaUpper(Real a, Real x) {
  RequirePositive(a);
  RequireNumber(x);
  if (x <= 0) return 1;
  if (std::isinf(x)) return 0;
  if (a >= 100 && x >= a + std::sqrt(a)) {
    const Real q = GammaUpperFraction(a, x);
    if (q >= 0) return q;
  }
  return Guarded([&] { return boost::math::gamma_q(a, x, Policy()); });
}

Real GammaLowerInv(Real a, Real p) {
  RequirePositive(a);
  RequireProbability(p);
  if (p == 0) return 0;
  if (p == 1) return kInf;
  try {
    return Guarded([&] { return boost::math::gamma_p_inv(a, p, Policy()); });
  } catch (const ConvergenceError&) {
    return Bisect([&](Real t) { return GammaLower(a, t); }, p, true, 0,
                  std::numeric_limits<Real>::max());
  }
}

Real GammaUpperInv(Real a, Real q) {
  RequirePositive(a);
  RequireProbability(q);
  if (q == 1) return 0;
  if (q == 0) return kInf;
  try {
    return Guarded([&] { return boost::math::gamma_q_inv(a, q, Policy()); });
  } catch (const ConvergenceError&) {
    return Bisect([&](Real t) { return GammaUpper(a, t); }, q, false, 0,
                  std::numeric_limits<Real>::max());
  }
}

Real Erf(Real x) {
  RequireNumber(x);
  return Guarded([&] { return boost::math::erf(x, Policy()); });
}

Real Erfc(Real x) {
  RequireNumber(x);
  return Guarded([&] { return boost::math::erfc(x, Policy()); });
}

namespace {
// sqrt(1/2) - kSqrt1_2: the part of sqrt(1/2) beyond the 64 bits of the
// constant.
constexpr Real kSqrt1_2Low = 1.895032558893257079655062e-20L;

// erfc(z / sqrt 2) / 2, the upper tail at z.  Far out the rounding of
// z / sqrt 2 alone would cost 2 x^2 units of the last place; the exact
// remainder dx of the product moves erfc by the factor exp(-h dx) with
// h = -d ln erfc(x) / dx, which is 2x + 1/x to all the digits needed there.
Real UpperTailOfStandardNormal(Real z) {
  RequireNumber(z);
  const Real x = z * kSqrt1_2;
  const Real r = Erfc(x) / 2;
  if (!(x > 1) || r == 0 || std::isinf(x)) return r;
  // The rounding error of z * kSqrt1_2, exact from 32-bit halves (Dekker);
  // fmal is emulated in software and slow.
  constexpr Real kSplit = 4294967297.0L;  // 2^32 + 1
  const Real t = z * kSplit;
  const Real zh = t - (t - z), zl = z - zh;
  const Real c = kSqrt1_2 * kSplit;
  const Real ch = c - (c - kSqrt1_2), cl = kSqrt1_2 - ch;
  const Real err = ((zh * ch - x) + zh * cl + zl * ch) + zl * cl;
  const Real dx = err + z * kSqrt1_2Low;
  return r * std::exp(-dx * (2 * x + 1 / x));
}
}  // namespace

Real NormalLower(Real z) { return UpperTailOfStandardNormal(-z); }

Real NormalUpper(Real z) { return UpperTailOfStandardNormal(z); }

Real NormalDensity(Real z) {
  RequireNumber(z);
  z = std::fabs(z);
  if (std::isinf(z)) return 0;
  // Up to 8 the rounding of z^2 / 2 costs under 32 units of 1e-19.
  if (z < 8) return kInvSqrt2Pi * std::exp(-0.5L * z * z);
  // exp(-z^2 / 2) with z split into a part of 16 bits and the rest, so that
  // the square loses no digits in the far tails.
  const Real hi = std::ldexp(std::trunc(std::ldexp(z, 16)), -16);
  const Real lo = z - hi;
  return kInvSqrt2Pi * std::exp(-0.5L * hi * hi) * std::exp((-0.5L * lo - hi) * lo);
}

Real NormalLowerInv(Real p) {
  RequireProbability(p);
  if (p == 0) return -kInf;
  if (p == 1) return kInf;
  return -kSqrt2 * Guarded([&] { return boost::math::erfc_inv(2 * p, Policy()); });
}

Real NormalUpperInv(Real q) {
  RequireProbability(q);
  if (q == 0) return kInf;
  if (q == 1) return -kInf;
  return kSqrt2 * Guarded([&] { return boost::math::erfc_inv(2 * q, Policy()); });
}

Real Log1pmx(Real x) {
  RequireNumber(x);
  if (!(x > -1)) RaiseInvalidOp();
  return Guarded([&] { return boost::math::log1pmx(x, Policy()); });
}

namespace {
// Bd0 with d = x - m given separately: where m is a rounded product (n p),
// x - m formed from it would carry the product's rounding, up to 1e-13 for
// n = 1e7, into the result.
Real Bd0WithDifference(Real x, Real m, Real d) {
  if (x == 0) return m;
  if (std::fabs(d) < 0.1L * (x + m)) {
    Real v = d / (x + m);
    Real s = d * v, ej = 2 * x * v;
    v *= v;
    for (int k = 1; k < 1000; ++k) {
      ej *= v;
      const Real s1 = s + ej / (2 * k + 1);
      if (s1 == s) return s1;
      s = s1;
    }
    return s;
  }
  return x * std::log(x / m) - d;
}

// x - a b to about the last place: the product's rounding error by Dekker's
// splitting (a fused multiply-add is a slow library call for long double).
// Where the result matters (x within 10 % of a b) x - fl(a b) is exact.
Real DifferenceToProduct(Real x, Real a, Real b) {
  const Real prod = a * b;
  if (!std::isfinite(prod)) return x - prod;
  auto split = [](Real v, Real& hi, Real& lo) {
    const Real c = 4294967297.0L * v;  // 2^32 + 1
    hi = c - (c - v);
    lo = v - hi;
  };
  Real ah, al, bh, bl;
  split(a, ah, al);
  split(b, bh, bl);
  const Real err = ((ah * bh - prod) + ah * bl + al * bh) + al * bl;
  return (x - prod) - err;
}
}  // namespace

Real Bd0(Real x, Real m) {
  RequireNumber(x);
  RequirePositive(m);
  return Bd0WithDifference(x, m, x - m);
}

Real StirlingError(Real n) {
  RequireNumber(n);
  if (n < 0) RaiseInvalidOp();
  if (n == 0) return 0;
  if (n >= 15) return StirlingTail(n);
  // Below 15 the difference is at most 0.08 and the log-gamma's absolute
  // error, a few units of 1e-19 times its size (< 30), is what the callers
  // add to a logarithm: relative 1e-17 in the probability.
  return LogGamma(n + 1) - (n + 0.5L) * std::log(n) + n - kLnSqrt2Pi;
}

Real LogPoissonWeight(Real x, Real a) {
  RequireNumber(x);
  RequireNumber(a);
  if (x < 0) return -kInf;
  if (a <= 0) return x == 0 ? 0 : -kInf;
  if (std::isinf(a)) return -kInf;
  if (x == 0) return -a;
  if (std::isinf(x)) return -kInf;
  return -StirlingError(x) - Bd0(x, a) - 0.5L * std::log(x) - kLnSqrt2Pi;
}

Real LogBinomialWeight(Real x, Real n, Real p, Real q) {
  RequireNumber(x);
  if (x < 0 || x > n) return -kInf;
  if (p == 0) return x == 0 ? 0 : -kInf;
  if (q == 0) return x == n ? 0 : -kInf;
  if (x == 0) {
    if (n == 0) return 0;
    return p < 0.1L ? -Bd0(n, n * q) - n * p : n * std::log(q);
  }
  if (x == n) return q < 0.1L ? -Bd0(n, n * p) - n * q : n * std::log(p);
  // x - n p and (n - x) - n q = n p - x, to the last place, from the
  // smaller of p and q (the other may be its rounded complement).
  const Real d = p <= q ? DifferenceToProduct(x, n, p) : -DifferenceToProduct(n - x, n, q);
  const Real lc = StirlingError(n) - StirlingError(x) - StirlingError(n - x) -
                  Bd0WithDifference(x, n * p, d) - Bd0WithDifference(n - x, n * q, -d);
  const Real lf = 2 * kLnSqrt2Pi + std::log(x) + std::log1p(-x / n);
  return lc - 0.5L * lf;
}

}  // namespace vokt
