// The non-central t left of 0 through the integral over s = sqrt(V / nu),
// V chi-square(nu), with density g:
//   f(x) = integral over s > 0 of s phi(|x| s + d) g(s) ds,
//   P(T <= x) = integral over s > 0 of Phi(-(|x| s + d)) g(s) ds.
// With s = e^u both log integrands are concave in u; the trapezoidal rule
// around their peak converges geometrically.
#include "distrib/noncentral_t_integrals.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numeric/errors.h"
#include "numeric/functions.h"

namespace vokt::noncentral_t {

namespace {

const Real kHalfLn2Pi = 0.918938533204672741780329736405617639861L;

// Most nodes either integral visits before it gives up.
constexpr int kNodeCap = 1000000;

// Integral over the real line of exp(logf(u)) for a concave logf with its
// maximum at u0 and curvature scale sigma there: the trapezoidal rule, which
// for such smooth integrands on the whole line converges geometrically.  A
// step of sigma / 4 (error about exp(-2 pi^2 16) for a Gaussian peak), and at
// most 0.1 for the exponential tails (strip of analyticity pi/4: error about
// exp(-pi^2 / 0.2) = 5e-22), puts the discretisation error below the extended
// precision; the walk in each direction stops once a term is below 1e-22 of
// the sum.
// The integral as the pair (l0, r) with integral = r e^l0, l0 = logf(u0):
// r = 0 where l0 is not finite.
struct ScaledIntegral {
  Real l0, r;
};

template <class LogF>
ScaledIntegral LogConcaveIntegralScaled(LogF logf, Real u0, Real sigma) {
  if (!(sigma > 0) || !std::isfinite(sigma)) sigma = 1;
  const Real h = std::min(sigma / 4, 0.1L);
  const Real l0 = logf(u0);
  if (!std::isfinite(l0)) return {l0, 0};
  Real sum = 1;
  int n = 0;
  for (int dir = -1; dir <= 1; dir += 2) {
    for (int k = 1;; ++k) {
      const Real t = std::exp(logf(u0 + dir * k * h) - l0);
      sum += t;
      if (!(t >= 1e-22L * sum)) break;
      if (++n > kNodeCap) throw ConvergenceError("the non-central t integral");
    }
  }
  return {l0, h * sum};
}

template <class LogF>
Real LogConcaveIntegral(LogF logf, Real u0, Real sigma) {
  const ScaledIntegral v = LogConcaveIntegralScaled(logf, u0, sigma);
  if (!(v.r > 0)) return 0;
  return v.r * std::exp(v.l0);
}

// The inverse Mills ratio phi(z) / Phi(-z).
Real InverseMills(Real z) {
  const Real tail = NormalUpper(z);
  if (!(tail > 0)) return z + 1 / z;  // asymptotic, far beyond z = 200
  return std::exp(-z * z / 2 - kHalfLn2Pi - std::log(tail));
}

// The log density of u = ln s, s = sqrt(V / nu), V chi-square(nu), b = nu / 2:
//   ln(2 b^b / Gamma(b)) + nu u - b e^(2u) = LogChiConstant(b) + b ChiKernel(u),
// the two large terms b ln b - ln Gamma(b) and -b e^(2u) taken apart
// (for nu = 1e7 their cancellation cost 1e-12): with Stirling's error,
// b ln b - ln Gamma(b) = b + ln(b / (2 pi)) / 2 - StirlingError(b), and
// ChiKernel(u) = 1 + 2u - e^(2u) = Log1pmx(e^(2u) - 1) near its peak u = 0.
Real LogChiConstant(Real b) {
  return std::log(2.0L) + std::log(b) / 2 - kHalfLn2Pi - StirlingError(b);
}
Real ChiKernel(Real u) {
  if (std::fabs(u) < 0.5L) return Log1pmx(std::expm1(2 * u));
  return 1 + 2 * u - std::exp(2 * u);
}

// The cdf's log integrand in u = ln s,
//   L(u) = c + nu u - nu e^(2u) / 2 + ln Phi(-z),  z = |x| e^u + d,
// which is concave (ln Phi(-z) is concave and falling in z, z convex in u),
// with its slope L'(u) = nu - nu e^(2u) - |x| e^u M(z), M the inverse Mills
// ratio, and its curvature
//   -L''(u) = 2 nu e^(2u) + |x| e^u M + (|x| e^u)^2 M (M - z) > 0.
struct CdfIntegrand {
  CdfIntegrand(Real absX, Real dof, Real delta)
      : ax(absX), nu(dof), d(delta), b(dof / 2), c(LogChiConstant(dof / 2)) {}

  Real LogF(Real u) const {
    const Real e = std::exp(u);
    const Real tail = NormalUpper(ax * e + d);
    if (!(tail > 0)) return -std::numeric_limits<Real>::infinity();
    return c + b * ChiKernel(u) + std::log(tail);
  }
  Real Slope(Real u) const {
    const Real e = std::exp(u);
    return nu - nu * e * e - ax * e * InverseMills(ax * e + d);
  }
  Real Curvature(Real u) const {
    const Real e = std::exp(u), z = ax * e + d, m = InverseMills(z);
    return 2 * nu * e * e + ax * e * m + ax * ax * e * e * m * (m - z);
  }

  const Real ax, nu, d;
  const Real b;  // nu / 2
  const Real c;  // LogChiConstant(nu / 2)
};

// The peak of the cdf's log integrand.  A bracket first: from 0 in unit
// steps to the right, or in growing steps to the left (the peak may lie near
// -ln|x|); then Newton steps on the slope inside it, bisection when a step
// leaves it.  The peak is needed to a small fraction of the width only.
Real CdfPeak(const CdfIntegrand& f) {
  Real lo = 0, hi = 0;
  if (f.Slope(0) > 0) {
    for (int k = 0; f.Slope(hi) > 0; ++k) {
      lo = hi;
      hi += 1;
      if (k > 200) throw ConvergenceError("the non-central t integral");
    }
  } else {
    for (int k = 0; !(f.Slope(lo) > 0); ++k) {
      hi = lo;
      lo -= 2 * static_cast<Real>(k + 1);
      if (k > 2000) throw ConvergenceError("the non-central t integral");
    }
  }
  Real u0 = (lo + hi) / 2;
  for (int k = 0; k < 200; ++k) {
    const Real sl = f.Slope(u0), cv = f.Curvature(u0);
    if (sl > 0)
      lo = u0;
    else
      hi = u0;
    Real next = cv > 0 ? u0 + sl / cv : (lo + hi) / 2;
    // Only a Newton step measures the distance to the peak: a bisection
    // step taken where the curvature is tiny (far out on the flat left
    // side) says nothing about it.
    const bool newton = cv > 0 && next > lo && next < hi;
    if (!newton) next = (lo + hi) / 2;
    const Real step = std::fabs(next - u0);
    u0 = next;
    if (newton && step * std::sqrt(cv) < 1e-3L) break;
    if (!(hi - lo > 1e-15L)) break;
  }
  return u0;
}

// For f(u') = f(u) e^(lambda (u' - u)), u' <= u, the trapezoid's sum over the
// nodes u, u - h, ... with the weight 1/2 at u, less the integral below u,
// in units of h f(u), plus the 1/2: 1 / (1 - e^(-z)) - 1 / z for z = lambda h.
// Its expansion 1/2 + z/12 - z^3/720 + z^5/30240 - ... begins with Euler-
// Maclaurin's end terms; for small nu (lambda about nu, z up to 0.1 nu) the
// z^3 term is not negligible.
Real EndWeight(Real z) {
  if (!(z > 0)) return 0.5L;
  if (z < 1e-2L) {
    const Real z2 = z * z;
    return 0.5L + z / 12 * (1 - z2 / 60 * (1 - z2 / 42));
  }
  return -1 / std::expm1(-z) - 1 / z;
}

// The trapezoidal walk of the cdf's integrand from its peak u0 in steps of
// h, its terms scaled by exp(-l0) = exp(-L(u0)) and added to sum; n counts
// the nodes of both walks.  Rightwards the walk stops once a term is below
// 1e-22 of the sum.
void CdfWalkRight(const CdfIntegrand& f, Real u0, Real h, Real l0, Real& sum, int& n) {
  for (int k = 1;; ++k) {
    const Real t = std::exp(f.LogF(u0 + k * h) - l0);
    sum += t;
    if (!(t >= 1e-22L * sum)) break;
    if (++n > kNodeCap) throw ConvergenceError("the non-central t integral");
  }
}

// Leftwards likewise, or until the walk passes uEnd; there the rest is in
// closed form, and that rest is returned (else 0).
Real CdfWalkLeft(const CdfIntegrand& f, Real u0, Real h, Real l0, Real uEnd, Real& sum, int& n) {
  for (int k = 1;; ++k) {
    const Real u = u0 - k * h;
    const Real t = std::exp(f.LogF(u) - l0);
    if (u <= uEnd) {
      // Trapezoid down to u, the closed form below u, and what the
      // trapezoid's nodes below u add beyond that integral: t EndWeight,
      // with f falling like e^(lambda (u' - u)), lambda = L'(u), there.
      sum += t * EndWeight(f.Slope(u) * h);
      const Real e = std::exp(u);
      return NormalUpper(f.d) * GammaLower(f.b, f.nu * e * e / 2);
    }
    sum += t;
    if (!(t >= 1e-22L * sum)) break;
    if (++n > kNodeCap) throw ConvergenceError("the non-central t integral");
  }
  return 0;
}

// Beyond this |x| both integrals take their limit form below: there the
// integrands live at s of order 1 / |x|, where the chi-square factor
// e^(-nu s^2 / 2) is 1 to every digit (the relative corrections are of order
// nu^2 / x^2), and x^2 would overflow in their peak searches.
constexpr Real kFarX = 1e2400L;

// ln(C J), C = 2 (nu/2)^(nu/2) / Gamma(nu/2) / sqrt(2 pi), J the integral over
// w > 0 of w^nu e^(-(w + d)^2 / 2): with s = w / |x| the density far left is
// f(x) = C J |x|^(-nu-1), and the lower tail its integral C J |x|^(-nu) / nu.
// With w = e^v the log integrand (1 + nu) v - (e^v + d)^2 / 2 is concave,
// with its peak at the positive root of w^2 + d w = 1 + nu.
Real LogFarConstant(Real nu, Real d) {
  const Real b = nu / 2;
  const Real c = std::log(2.0L) + b * std::log(nu / 2) - LogGamma(b) - kHalfLn2Pi;
  auto logf = [&](Real v) {
    const Real z = std::exp(v) + d;
    return (1 + nu) * v - z * z / 2;
  };
  const Real w0 = 2 * (1 + nu) / (d + std::sqrt(d * d + 4 * (1 + nu)));
  const Real sigma = 1 / std::sqrt(2 * w0 * w0 + d * w0);
  const ScaledIntegral j = LogConcaveIntegralScaled(logf, std::log(w0), sigma);
  if (!(j.r > 0)) return -std::numeric_limits<Real>::infinity();
  return c + j.l0 + std::log(j.r);
}

}  // namespace

// With s = e^u the log integrand (1 + nu) u - nu e^(2u) / 2 - (|x| e^u + d)^2 / 2
// + const is concave, with its peak at the positive root of
// (nu + x^2) s^2 + |x| d s = 1 + nu (beyond kFarX the limit form).
Real LowerTailDensity(Real ax, Real nu, Real d) {
  if (ax > kFarX) return std::exp(LogFarConstant(nu, d) - (1 + nu) * std::log(ax));
  const Real b = nu / 2;
  const Real c = LogChiConstant(b) - kHalfLn2Pi;
  auto logf = [&](Real u) {
    const Real z = ax * std::exp(u) + d;
    return c + b * ChiKernel(u) + u - z * z / 2;
  };
  const Real q = nu + ax * ax;
  const Real s0 = (-ax * d + std::sqrt(ax * ax * d * d + 4 * q * (1 + nu))) / (2 * q);
  const Real sigma = 1 / std::sqrt(2 * q * s0 * s0 + ax * d * s0);
  return LogConcaveIntegral(logf, std::log(s0), sigma);
}

// The peak by CdfPeak, the trapezoidal rule around it (beyond kFarX the
// limit form).  Far left, where
// |x| e^u M(d) is below 1e-20, Phi(-z) is Phi(-d) to full precision and the
// rest of the integral is Phi(-d) P(s <= e^u), an incomplete gamma function:
// for small nu the integrand decays only like e^(nu u) there.
Real LowerTailCdf(Real ax, Real nu, Real d) {
  if (ax > kFarX) return std::exp(LogFarConstant(nu, d) - nu * std::log(ax) - std::log(nu));
  // Near 0, Phi(-(|x| s + d)) = Phi(-d) - |x| s phi(d) + O((|x| s)^2 d phi(d)),
  // and E[s^2] = 1: where |x| M(d) (1 + d) is below 1e-12 the integral is
  // Phi(-d) (1 - |x| M(d) E[s]) to every digit,
  // E[s] = sqrt(2 / nu) Gamma((nu + 1) / 2) / Gamma(nu / 2).
  const Real md = InverseMills(d);
  if (ax * md * (1 + d) <= 1e-12L) {
    const Real meanS = std::exp(LogGammaRatio((nu + 1) / 2, nu / 2)) * std::sqrt(2 / nu);
    return NormalUpper(d) * (1 - ax * md * meanS);
  }
  const CdfIntegrand f(ax, nu, d);
  const Real u0 = CdfPeak(f);
  const Real curv = f.Curvature(u0);
  const Real sigma = curv > 0 ? 1 / std::sqrt(curv) : 1;
  const Real h = std::min(sigma / 4, 0.1L);
  // Left end of the walk: there Phi(-z) = Phi(-d) (1 - |x| e^u M(d) + ...).
  const Real uEnd = std::log(1e-20L / (ax * md));
  const Real l0 = f.LogF(u0);
  if (!std::isfinite(l0)) return 0;
  Real sum = 1;
  int n = 0;
  CdfWalkRight(f, u0, h, l0, sum, n);
  const Real tailPart = CdfWalkLeft(f, u0, h, l0, uEnd, sum, n);
  return h * sum * std::exp(l0) + tailPart;
}

}  // namespace vokt::noncentral_t
