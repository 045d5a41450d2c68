// Wrappers around Boost.Math's special functions, and Loader's saddle-point
// helpers.  Every entry settles its end points and its domain itself, so that
// Boost only ever sees arguments inside its domain; what Boost still raises
// (a series that did not converge) comes back as the program's exceptions.
#include "numeric/special.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include <boost/math/policies/policy.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/math/special_functions/log1p.hpp>

namespace vokt {

namespace {

namespace bp = boost::math::policies;
// Overflow gives infinity and underflow zero, which the callers expect at
// the far ends; a domain error cannot happen (the arguments are checked
// first) and a failed evaluation throws.
using Policy = bp::policy<bp::overflow_error<bp::ignore_error>,
                          bp::underflow_error<bp::ignore_error>,
                          bp::denorm_error<bp::ignore_error>,
                          bp::domain_error<bp::throw_on_error>,
                          bp::pole_error<bp::throw_on_error>,
                          bp::evaluation_error<bp::throw_on_error>,
                          bp::promote_float<false>, bp::promote_double<false>>;

constexpr Extended kInf = std::numeric_limits<Extended>::infinity();
constexpr Extended kLnSqrt2Pi = 0.918938533204672741780329736405617639861L;
constexpr Extended kInvSqrt2Pi = 0.398942280401432677939946059934381868476L;
constexpr Extended kSqrt1_2 = 0.707106781186547524400844362104849039284L;
constexpr Extended kSqrt2 = 1.41421356237309504880168872420969807857L;

template <class F>
Extended Guarded(F f) {
  try {
    return f();
  } catch (const boost::math::evaluation_error&) {
    throw EConvergenceError("a special function");
  } catch (const std::domain_error&) {
    RaiseInvalidOp();
  } catch (const std::overflow_error&) {
    RaiseOverflow();
  }
}

void RequireNumber(Extended x) {
  if (std::isnan(x)) RaiseInvalidOp();
}

void RequirePositive(Extended a) {
  if (!(a > 0)) RaiseInvalidOp();
}

void RequireProbability(Extended p) {
  if (!(p >= 0 && p <= 1)) RaiseInvalidOp();
}

// Stirling series of ln Gamma(x) - ((x - 1/2) ln x - x + ln(2 pi) / 2) for
// x >= 15, with the Bernoulli coefficients B_2k / (2k (2k - 1)); at x = 15 the
// first omitted term is below 3e-21.
Extended StirlingTail(Extended x) {
  const Extended z = 1 / (x * x);
  return (1.0L / 12 +
          z * (-1.0L / 360 +
               z * (1.0L / 1260 +
                    z * (-1.0L / 1680 +
                         z * (1.0L / 1188 +
                              z * (-691.0L / 360360 + z * (1.0L / 156 + z * (-3617.0L / 122400)))))))) /
         x;
}

// x in [lo, hi] with f(x) = target for a monotone f (increasing when up),
// by bisection of the exponent range first, then of the mantissa: under 200
// steps from any bracket.  The fallback where Boost's root finder gives up
// in a far tail.
template <class F>
Extended Bisect(F f, Extended target, bool up, Extended lo, Extended hi) {
  const Extended tiny = std::numeric_limits<Extended>::denorm_min();
  for (int i = 0; i < 400; ++i) {
    Extended m;
    if (lo >= 0 && hi / std::max(lo, tiny) > 4)
      m = std::sqrt(std::max(lo, tiny)) * std::sqrt(hi);
    else
      m = lo + (hi - lo) / 2;
    if (!(m > lo && m < hi)) break;
    const Extended v = f(m);
    if ((v < target) == up)
      lo = m;
    else
      hi = m;
  }
  return std::fabs(f(lo) - target) <= std::fabs(f(hi) - target) ? lo : hi;
}

}  // namespace

Extended LogGamma(Extended x) {
  RequirePositive(x);
  if (std::isinf(x)) return kInf;
  return Guarded([&] { return boost::math::lgamma(x, Policy()); });
}

Extended LogGammaRatio(Extended x, Extended y) {
  RequirePositive(x);
  RequirePositive(y);
  if (x < 15 || y < 15) return LogGamma(x) - LogGamma(y);
  // (x - 1/2) ln x - (y - 1/2) ln y - (x - y), regrouped so that nothing
  // large cancels when x and y are close.
  const Extended d = x - y;
  return (x - 0.5L) * std::log1p(d / y) + d * (std::log(y) - 1) + StirlingTail(x) -
         StirlingTail(y);
}

Extended LogChoose(Extended n, Extended k) {
  RequireNumber(n);
  RequireNumber(k);
  if (k < 0 || k > n) RaiseInvalidOp();
  if (k == 0 || k == n) return 0;
  // ln Gamma(n + 1) - ln Gamma(n - k + 1) as one ratio, so that a large n
  // with a small k does not cancel two huge log-gammas.
  if (k > n - k) k = n - k;
  return LogGammaRatio(n + 1, n - k + 1) - LogGamma(k + 1);
}

Extended GammaLower(Extended a, Extended x) {
  RequirePositive(a);
  RequireNumber(x);
  if (x <= 0) return 0;
  if (std::isinf(x)) return 1;
  return Guarded([&] { return boost::math::gamma_p(a, x, Policy()); });
}

Extended GammaUpper(Extended a, Extended x) {
  RequirePositive(a);
  RequireNumber(x);
  if (x <= 0) return 1;
  if (std::isinf(x)) return 0;
  return Guarded([&] { return boost::math::gamma_q(a, x, Policy()); });
}

Extended GammaLowerInv(Extended a, Extended p) {
  RequirePositive(a);
  RequireProbability(p);
  if (p == 0) return 0;
  if (p == 1) return kInf;
  try {
    return Guarded([&] { return boost::math::gamma_p_inv(a, p, Policy()); });
  } catch (const EConvergenceError&) {
    return Bisect([&](Extended t) { return GammaLower(a, t); }, p, true, 0,
                  std::numeric_limits<Extended>::max());
  }
}

Extended GammaUpperInv(Extended a, Extended q) {
  RequirePositive(a);
  RequireProbability(q);
  if (q == 1) return 0;
  if (q == 0) return kInf;
  try {
    return Guarded([&] { return boost::math::gamma_q_inv(a, q, Policy()); });
  } catch (const EConvergenceError&) {
    return Bisect([&](Extended t) { return GammaUpper(a, t); }, q, false, 0,
                  std::numeric_limits<Extended>::max());
  }
}

Extended BetaLower(Extended a, Extended b, Extended x) {
  RequirePositive(a);
  RequirePositive(b);
  RequireNumber(x);
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  // Above the mean the upper tail is the small one; its complement is then
  // exact to rounding, and sidesteps ibeta's lost digits where the result is
  // within 1e-10 of 1 (I_x(1/2, 1/2) at x = 1 - 1e-20 gives 1).
  if (x * (a + b) > a) {
    const Extended q = Guarded([&] { return boost::math::ibetac(a, b, x, Policy()); });
    if (q < 0.5L) return 1 - q;
  }
  return Guarded([&] { return boost::math::ibeta(a, b, x, Policy()); });
}

Extended BetaUpper(Extended a, Extended b, Extended x) {
  RequirePositive(a);
  RequirePositive(b);
  RequireNumber(x);
  if (x <= 0) return 1;
  if (x >= 1) return 0;
  // Below the mean the lower tail is the small one (ibetac(1/2, 1/2, 1e-20)
  // gives 1, not 1 - 6.4e-11).
  if (x * (a + b) <= a) {
    const Extended p = Guarded([&] { return boost::math::ibeta(a, b, x, Policy()); });
    if (p < 0.5L) return 1 - p;
  }
  return Guarded([&] { return boost::math::ibetac(a, b, x, Policy()); });
}

Extended BetaLowerInv(Extended a, Extended b, Extended p, Extended* complement) {
  RequirePositive(a);
  RequirePositive(b);
  RequireProbability(p);
  Extended y = 1;
  Extended x = 0;
  if (p == 1) {
    x = 1;
    y = 0;
  } else if (p > 0) {
    try {
      x = Guarded([&] { return boost::math::ibeta_inv(a, b, p, &y, Policy()); });
    } catch (const EConvergenceError&) {
      x = Bisect([&](Extended t) { return BetaLower(a, b, t); }, p, true, 0, 1);
      y = 1 - x;
    }
  }
  if (complement) *complement = y;
  return x;
}

Extended BetaUpperInv(Extended a, Extended b, Extended q, Extended* complement) {
  RequirePositive(a);
  RequirePositive(b);
  RequireProbability(q);
  Extended y = 1;
  Extended x = 0;
  if (q == 0) {
    x = 1;
    y = 0;
  } else if (q < 1) {
    try {
      x = Guarded([&] { return boost::math::ibetac_inv(a, b, q, &y, Policy()); });
    } catch (const EConvergenceError&) {
      x = Bisect([&](Extended t) { return BetaUpper(a, b, t); }, q, false, 0, 1);
      y = 1 - x;
    }
  }
  if (complement) *complement = y;
  return x;
}

Extended Erf(Extended x) {
  RequireNumber(x);
  return Guarded([&] { return boost::math::erf(x, Policy()); });
}

Extended Erfc(Extended x) {
  RequireNumber(x);
  return Guarded([&] { return boost::math::erfc(x, Policy()); });
}

namespace {
// sqrt(1/2) - kSqrt1_2: the part of sqrt(1/2) beyond the 64 bits of the
// constant.
constexpr Extended kSqrt1_2Low = 1.895032558893257079655062e-20L;

// erfc(z / sqrt 2) / 2, the upper tail at z.  Far out the rounding of
// z / sqrt 2 alone would cost 2 x^2 units of the last place; the exact
// remainder dx of the product moves erfc by the factor exp(-h dx) with
// h = -d ln erfc(x) / dx, which is 2x + 1/x to all the digits needed there.
Extended UpperTailOfStandardNormal(Extended z) {
  RequireNumber(z);
  const Extended x = z * kSqrt1_2;
  const Extended r = Erfc(x) / 2;
  if (!(x > 1) || r == 0 || std::isinf(x)) return r;
  // The rounding error of z * kSqrt1_2, exact from 32-bit halves (Dekker);
  // fmal is emulated in software and slow.
  constexpr Extended kSplit = 4294967297.0L;  // 2^32 + 1
  const Extended t = z * kSplit;
  const Extended zh = t - (t - z), zl = z - zh;
  const Extended c = kSqrt1_2 * kSplit;
  const Extended ch = c - (c - kSqrt1_2), cl = kSqrt1_2 - ch;
  const Extended err = ((zh * ch - x) + zh * cl + zl * ch) + zl * cl;
  const Extended dx = err + z * kSqrt1_2Low;
  return r * std::exp(-dx * (2 * x + 1 / x));
}
}  // namespace

Extended NormalLower(Extended z) { return UpperTailOfStandardNormal(-z); }

Extended NormalUpper(Extended z) { return UpperTailOfStandardNormal(z); }

Extended NormalDensity(Extended z) {
  RequireNumber(z);
  z = std::fabs(z);
  if (std::isinf(z)) return 0;
  // Up to 8 the rounding of z^2 / 2 costs under 32 units of 1e-19.
  if (z < 8) return kInvSqrt2Pi * std::exp(-0.5L * z * z);
  // exp(-z^2 / 2) with z split into a part of 16 bits and the rest, so that
  // the square loses no digits in the far tails.
  const Extended hi = std::ldexp(std::trunc(std::ldexp(z, 16)), -16);
  const Extended lo = z - hi;
  return kInvSqrt2Pi * std::exp(-0.5L * hi * hi) * std::exp((-0.5L * lo - hi) * lo);
}

Extended NormalLowerInv(Extended p) {
  RequireProbability(p);
  if (p == 0) return -kInf;
  if (p == 1) return kInf;
  return -kSqrt2 * Guarded([&] { return boost::math::erfc_inv(2 * p, Policy()); });
}

Extended NormalUpperInv(Extended q) {
  RequireProbability(q);
  if (q == 0) return kInf;
  if (q == 1) return -kInf;
  return kSqrt2 * Guarded([&] { return boost::math::erfc_inv(2 * q, Policy()); });
}

Extended Log1pmx(Extended x) {
  RequireNumber(x);
  if (!(x > -1)) RaiseInvalidOp();
  return Guarded([&] { return boost::math::log1pmx(x, Policy()); });
}

namespace {
// Bd0 with d = x - m given separately: where m is a rounded product (n p),
// x - m formed from it would carry the product's rounding, up to 1e-13 for
// n = 1e7, into the result.
Extended Bd0WithDifference(Extended x, Extended m, Extended d) {
  if (x == 0) return m;
  if (std::fabs(d) < 0.1L * (x + m)) {
    Extended v = d / (x + m);
    Extended s = d * v, ej = 2 * x * v;
    v *= v;
    for (int k = 1; k < 1000; ++k) {
      ej *= v;
      const Extended s1 = s + ej / (2 * k + 1);
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
Extended DifferenceToProduct(Extended x, Extended a, Extended b) {
  const Extended prod = a * b;
  if (!std::isfinite(prod)) return x - prod;
  auto split = [](Extended v, Extended& hi, Extended& lo) {
    const Extended c = 4294967297.0L * v;  // 2^32 + 1
    hi = c - (c - v);
    lo = v - hi;
  };
  Extended ah, al, bh, bl;
  split(a, ah, al);
  split(b, bh, bl);
  const Extended err = ((ah * bh - prod) + ah * bl + al * bh) + al * bl;
  return (x - prod) - err;
}
}  // namespace

Extended Bd0(Extended x, Extended m) {
  RequireNumber(x);
  RequirePositive(m);
  return Bd0WithDifference(x, m, x - m);
}

Extended StirlingError(Extended n) {
  RequireNumber(n);
  if (n < 0) RaiseInvalidOp();
  if (n == 0) return 0;
  if (n >= 15) return StirlingTail(n);
  // Below 15 the difference is at most 0.08 and the log-gamma's absolute
  // error, a few units of 1e-19 times its size (< 30), is what the callers
  // add to a logarithm: relative 1e-17 in the probability.
  return LogGamma(n + 1) - (n + 0.5L) * std::log(n) + n - kLnSqrt2Pi;
}

Extended LogPoissonWeight(Extended x, Extended a) {
  RequireNumber(x);
  RequireNumber(a);
  if (x < 0) return -kInf;
  if (a <= 0) return x == 0 ? 0 : -kInf;
  if (std::isinf(a)) return -kInf;
  if (x == 0) return -a;
  if (std::isinf(x)) return -kInf;
  return -StirlingError(x) - Bd0(x, a) - 0.5L * std::log(x) - kLnSqrt2Pi;
}

Extended LogBinomialWeight(Extended x, Extended n, Extended p, Extended q) {
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
  const Extended d = p <= q ? DifferenceToProduct(x, n, p) : -DifferenceToProduct(n - x, n, q);
  const Extended lc = StirlingError(n) - StirlingError(x) - StirlingError(n - x) -
                      Bd0WithDifference(x, n * p, d) - Bd0WithDifference(n - x, n * q, -d);
  const Extended lf = 2 * kLnSqrt2Pi + std::log(x) + std::log1p(-x / n);
  return lc - 0.5L * lf;
}

}  // namespace vokt
