// The regularized incomplete beta function and its inverse: BetaFunction
// (own continued fraction and Newton inverse for moderate shapes, Boost
// elsewhere) and the large-shape continued fraction.
#include <algorithm>
#include <cmath>
#include <limits>

#include <boost/math/special_functions/beta.hpp>

#include "numeric/boost_guard.h"
#include "numeric/functions.h"

namespace vokt {

using namespace functions_detail;

namespace {
constexpr Real kInf = std::numeric_limits<Real>::infinity();
}  // namespace

namespace {
// I_x(a, b) for large a and b (b at least a/100) up to the mean (some
// thousand steps there for shapes of 1e7, a few dozen far out): the continued fraction of I_x
// (Lentz's method) times the prefactor x^a (1-x)^b / (a B(a, b)) = b / (a + b) C(a+b, a) x^a
// (1-x)^b, whose logarithm LogBinomialWeight keeps to full relative accuracy (Boost's prefix loses
// digits for shapes of 1e5 and more).  y = 1 - x.  Returns -1 when the fraction does not settle or
// the case is not one for it.  One of x, y is the caller's exact argument and the other its rounded
// complement; dx, dy are what the rounding left out (x + dx + y + dy = 1 exactly), and they move
// the logarithm of the prefactor by the derivative of a ln x + b ln y, which for shapes of 1e6 is
// worth a few units of 1e-15.
Real BetaLowerFraction(Real a, Real b, Real x, Real y, Real dx, Real dy) {
  if (!(a >= 100 && b >= 100)) return -1;
  const Real s = a + b;
  // With a far above b (x close to 1) the fraction's steps cancel and lose
  // a few units of 1e-15 (for a/b of 5000 and more); Boost's own methods are
  // the more accurate there.
  if (b < a / 100) return -1;
  if (!(a - s * x >= 0)) return -1;
  constexpr Real kTiny = 1e-4000L;
  constexpr Real kEps = std::numeric_limits<Real>::epsilon();
  // 1 - s x / (a + 1) = (a + 1 - s x) / (a + 1) with s x exact (Dekker's
  // product from 32-bit halves): close to the mean the difference would
  // otherwise cancel by the factor a / (a - s x).
  constexpr Real kSplit = 4294967297.0L;  // 2^32 + 1
  const Real sx = s * x;
  const Real ts = s * kSplit, sh = ts - (ts - s), sl = s - sh;
  const Real tx = x * kSplit, xh = tx - (tx - x), xl = x - xh;
  const Real sxl = ((sh * xh - sx) + sh * xl + sl * xh) + sl * xl;
  Real c = 1, d = ((a + 1 - sx) - sxl) / (a + 1);
  if (std::fabs(d) < kTiny) d = kTiny;
  d = 1 / d;
  Real h = d;
  for (int m = 1; m <= 20000; ++m) {
    const Real m2 = 2 * m;
    Real aa = m * (b - m) * x / ((a - 1 + m2) * (a + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    h *= d * c;
    aa = -(a + m) * (s + m) * x / ((a + m2) * (a + 1 + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    const Real del = d * c;
    h *= del;
    if (std::fabs(del - 1) <= kEps / 2) {
      // LogBinomialWeight takes the smaller of x and y as exact and the
      // other as its exact complement; the rounding of that smaller one
      // moves x^a y^b by its derivative.
      const Real shift = x <= y ? dx * (a / x - b / y) : dy * (b / y - a / x);
      return b / s * std::exp(LogBinomialWeight(a, s, x, y) + shift) * h;
    }
  }
  return -1;
}
}  // namespace

namespace {
// Shapes served by the own continued fraction below: from 1/2 (below, the
// tail on the far side of the fraction's switch point can be tiny and would
// be 1 minus a number close to 1) to under 100 (beyond, ln B(a, b) from
// log-gammas and the prefactor's logarithm grow large enough to cost digits;
// BetaLowerFraction and Boost serve there).
constexpr Real kOwnShapeLow = 0.5L;
constexpr Real kOwnShapeHigh = 100;
// The prefactor is exp of a sum of logarithms; each carries a relative
// rounding of about 1e-19, so the sum of their sizes bounds the absolute
// error of the exponent: up to 1000 that is 2e-16 at worst.  Beyond (far
// tails at x like 1e-300), Boost's powers keep the digits.
constexpr Real kOwnLogSize = 1000;

// The continued fraction of I_x(a, b) x^-a (1-x)^-b a B(a, b)
//   1 / (1 + d1 / (1 + d2 / (1 + ...))),
//   d(2m+1) = -(a+m)(a+b+m) x / ((a+2m)(a+2m+1)), d(2m) = m(b-m) x / ((a+2m-1)(a+2m)),
// by the modified Lentz method.  It converges for x below (a+1)/(a+b+2) in
// some O(sqrt(max(a, b))) steps; the cap is far beyond that.
Real BetaContinuedFraction(Real a, Real b, Real x) {
  constexpr Real kTiny = 1e-4000L;
  constexpr Real kEps = std::numeric_limits<Real>::epsilon();
  const Real s = a + b;
  Real c = 1, d = 1 - s * x / (a + 1);
  if (std::fabs(d) < kTiny) d = kTiny;
  d = 1 / d;
  Real h = d;
  for (int m = 1; m <= 5000; ++m) {
    const Real m2 = 2 * m;
    Real aa = m * (b - m) * x / ((a - 1 + m2) * (a + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    h *= d * c;
    aa = -(a + m) * (s + m) * x / ((a + m2) * (a + 1 + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    const Real del = d * c;
    h *= del;
    if (std::fabs(del - 1) <= kEps) return h;
  }
  throw ConvergenceError("the incomplete beta function");
}
}  // namespace

BetaFunction::BetaFunction(Real a, Real b) : a_(a), b_(b) {
  RequirePositive(a);
  RequirePositive(b);
  own_ = a >= kOwnShapeLow && b >= kOwnShapeLow && a < kOwnShapeHigh && b < kOwnShapeHigh;
  if (own_) {
    logBeta_ = LogGamma(a) + LogGamma(b) - LogGamma(a + b);
    logA_ = std::log(a);
    logB_ = std::log(b);
  }
}

BetaFunction::BetaFunction(Real a, Real b, Real logBeta, Real logA, Real logB, bool own)
    : a_(a), b_(b), logBeta_(logBeta), logA_(logA), logB_(logB), own_(own) {}

BetaFunction BetaFunction::Swapped() const {
  return BetaFunction(b_, a_, logBeta_, logB_, logA_, own_);
}

bool BetaFunction::OwnTail(Real x, bool upper, Real& value, Real* density) const {
  const Real a = a_, b = b_;
  // x is exact; so is 1 - x from 1/2 on, and below, ln(1 - x) is log1p(-x).
  const Real lx = std::log(x);
  const Real ly = x <= 0.5L ? std::log1p(-x) : std::log(1 - x);
  const Real ta = a * lx, tb = b * ly;
  if (std::fabs(ta) + std::fabs(tb) + std::fabs(logBeta_) > kOwnLogSize) return false;
  // The fraction converges quickly below (a+1)/(a+b+2); above, it is taken
  // for the complement I_(1-x)(b, a).  With both shapes at least 1/2 the
  // tail on the far side of that point is above 0.05, so that 1 minus the
  // near one keeps its digits.
  const bool lowerSide = x * (a + b + 2) < a + 1;
  const Real e = ta + tb - logBeta_;  // ln(x^a (1-x)^b / B(a, b))
  const Real k = std::exp(e - (lowerSide ? logA_ : logB_));
  const Real t =
      k * (lowerSide ? BetaContinuedFraction(a, b, x) : BetaContinuedFraction(b, a, 1 - x));
  value = upper != lowerSide ? t : 1 - t;
  // x^(a-1) (1-x)^(b-1) / B(a, b)
  if (density) *density = k * (lowerSide ? a : b) / (x * (1 - x));
  return true;
}

Real BetaFunction::Tail(Real x, bool upper, Real* density) const {
  RequireNumber(x);
  if (density) *density = 0;
  if (x <= 0) return upper ? 1 : 0;
  if (x >= 1) return upper ? 0 : 1;
  const Real a = a_, b = b_;
  if (own_) {
    Real v;
    if (OwnTail(x, upper, v, density)) return v;
  }
  if (density) {
    const Real lx = std::log(x), ly = x <= 0.5L ? std::log1p(-x) : std::log(1 - x);
    *density =
        std::exp((a - 1) * lx + (b - 1) * ly - (LogGamma(a) + LogGamma(b) - LogGamma(a + b)));
  }
  {
    // Large comparable shapes: the fraction on whichever side of the mean x
    // lies, the other tail's complement beyond it.
    const Real y = 1 - x, e = (1 - y) - x;
    if (!upper) {
      if (const Real f = BetaLowerFraction(a, b, x, y, 0, e); f >= 0) return f;
      if (const Real f = BetaLowerFraction(b, a, y, x, e, 0); f >= 0 && f < 0.5L) return 1 - f;
    } else {
      if (const Real f = BetaLowerFraction(b, a, y, x, e, 0); f >= 0) return f;
      if (const Real f = BetaLowerFraction(a, b, x, y, 0, e); f >= 0 && f < 0.5L) return 1 - f;
    }
  }
  if (!upper) {
    // Above the mean the upper tail is the small one; its complement is then
    // exact to rounding, and sidesteps ibeta's lost digits where the result is
    // within 1e-10 of 1 (I_x(1/2, 1/2) at x = 1 - 1e-20 gives 1).
    if (x * (a + b) > a) {
      const Real q = Guarded([&] { return boost::math::ibetac(a, b, x, Policy()); });
      if (q < 0.5L) return 1 - q;
    }
    return Guarded([&] { return boost::math::ibeta(a, b, x, Policy()); });
  }
  // Below the mean the lower tail is the small one (ibetac(1/2, 1/2, 1e-20)
  // gives 1, not 1 - 6.4e-11).
  if (x * (a + b) <= a) {
    const Real p = Guarded([&] { return boost::math::ibeta(a, b, x, Policy()); });
    if (p < 0.5L) return 1 - p;
  }
  return Guarded([&] { return boost::math::ibetac(a, b, x, Policy()); });
}

Real BetaFunction::Lower(Real x) const { return Tail(x, false, nullptr); }

Real BetaFunction::Upper(Real x) const { return Tail(x, true, nullptr); }

Real BetaFunction::Start(Real t, bool up) const {
  // A first x with the tail (lower, or upper when up) equal to t <= 1/2.
  const Real a = a_, b = b_;
  const Real lt = std::log(t);
  // The ends' power laws, I_x about x^a / (a B) near 0 and 1 - I_x about
  // (1-x)^b / (b B) near 1, are within 10 % where the factor (1-x)^(b-1)
  // they leave out is (and x^(a-1) at the other end).
  if (!up) {
    const Real x = std::exp((lt + logA_ + logBeta_) / a);
    if (x * std::fabs(b - 1) < 0.1L * a) return x;
  } else {
    const Real y = std::exp((lt + logB_ + logBeta_) / b);
    if (y * std::fabs(a - 1) < 0.1L * b) return 1 - y;
  }
  if (a > 1 && b > 1) {
    // The normal approximation of Abramowitz and Stegun 26.5.22, with the
    // normal quantile from their rational approximation 26.2.22; z is the
    // upper normal quantile of the lower tail's probability.
    const Real r = std::sqrt(-2 * lt);
    Real z = r - (2.30753L + 0.27061L * r) / (1 + r * (0.99229L + 0.04481L * r));
    if (up) z = -z;
    const Real l = (z * z - 3) / 6;
    const Real h = 2 / (1 / (2 * a - 1) + 1 / (2 * b - 1));
    const Real w = z * std::sqrt(h + l) / h -
                   (1 / (2 * b - 1) - 1 / (2 * a - 1)) * (l + 5.0L / 6 - 2 / (3 * h));
    return a / (a + b * std::exp(2 * w));
  }
  // A shape at most 1: the mass sits at the ends, each taken by its power law
  // with the weights of the two ends (Numerical Recipes' start).
  const Real s = a + b;
  const Real wa = std::exp(a * std::log(a / s)) / a, wb = std::exp(b * std::log(b / s)) / b;
  const Real pl = up ? 1 - t : t, pu = up ? t : 1 - t;
  if (pl < wa / (wa + wb)) return std::pow(a * (wa + wb) * pl, 1 / a);
  return 1 - std::pow(b * (wa + wb) * pu, 1 / b);
}

Real BetaFunction::Solve(Real t, bool up, Real x) const {
  // z in (0, 1) with the tail equal to t: Newton steps on ln tail - ln t,
  // in ln z for the lower tail (exact for its power law near 0), in z for
  // the upper; bisection (geometric, or by squaring towards 0) when a step
  // leaves the bracket.  Ends after a step below 1e-10 of z: Newton
  // converges quadratically, so the error left is of order 1e-20.
  const Real lt = std::log(t);
  Real lo = 0, hi = 1;
  if (!(x > 0 && x < 1)) x = 0.5L;
  for (int step = 0; step < 300; ++step) {
    Real f = 0;
    const Real v = Tail(x, up, &f);
    const Real g = v > 0 ? std::log(v) - lt : -kInf;
    if (g == 0) return x;
    if ((g < 0) != up)
      lo = x;
    else
      hi = x;
    Real next = std::numeric_limits<Real>::quiet_NaN();
    if (v > 0 && f > 0 && std::isfinite(g)) {
      const Real dx = (up ? g : -g) * v / f;
      if (!up) {
        const Real du = dx / x;
        if (std::fabs(du) < 11000) next = x * std::exp(du);
      } else {
        next = x + dx;
      }
      if (std::fabs(next - x) <= 1e-10L * std::min(x, 1 - x)) {
        return next > lo && next < hi ? next : x;
      }
    }
    if (!(next > lo && next < hi)) {
      if (lo == 0) {
        next = hi < 0.5L ? hi * hi : hi / 16;
        // A root below the smallest long double ends at the smallest one.
        if (!(next > 0)) next = std::numeric_limits<Real>::denorm_min();
      } else if (hi > 4 * lo)
        next = std::sqrt(lo) * std::sqrt(hi);
      else
        next = lo + (hi - lo) / 2;
      if (!(next > lo && next < hi)) return x;
    }
    x = next;
  }
  throw ConvergenceError("the inverse incomplete beta function");
}

Real BetaFunction::Inverse(Real p, bool upper, Real* complement) const {
  RequireProbability(p);
  Real x, y;
  if (p == 0 || p == 1) {
    // The ends: the lower tail is 0 at x = 0, the upper tail 0 at x = 1.
    x = (p == 0) == upper ? 1 : 0;
    y = 1 - x;
  } else if (own_) {
    // On the tail holding at most 1/2, and for the unknown on the side of
    // 1/2 where it is small, so that the other of x, 1 - x keeps its digits.
    bool up = upper;
    Real t = p;
    if (t > 0.5L) {
      t = 1 - t;  // exact
      up = !up;
    }
    const Real x0 = Start(t, up);
    if (x0 > 0.5L) {
      y = Swapped().Solve(t, !up, 1 - x0);
      x = 1 - y;
    } else {
      x = Solve(t, up, x0);
      y = 1 - x;
    }
  } else {
    const Real a = a_, b = b_;
    y = 1;
    try {
      x = Guarded([&] {
        return upper ? boost::math::ibetac_inv(a, b, p, &y, Policy())
                     : boost::math::ibeta_inv(a, b, p, &y, Policy());
      });
    } catch (const ConvergenceError&) {
      x = Bisect([&](Real s) { return Tail(s, upper, nullptr); }, p, !upper, 0, 1);
      y = 1 - x;
    }
  }
  if (complement) *complement = y;
  return x;
}

Real BetaFunction::LowerInv(Real p, Real* complement) const {
  return Inverse(p, false, complement);
}

Real BetaFunction::UpperInv(Real q, Real* complement) const { return Inverse(q, true, complement); }

Real BetaLower(Real a, Real b, Real x) { return BetaFunction(a, b).Lower(x); }

Real BetaUpper(Real a, Real b, Real x) { return BetaFunction(a, b).Upper(x); }

Real BetaLowerInv(Real a, Real b, Real p, Real* complement) {
  return BetaFunction(a, b).LowerInv(p, complement);
}

Real BetaUpperInv(Real a, Real b, Real q, Real* complement) {
  return BetaFunction(a, b).UpperInv(q, complement);
}

}  // namespace vokt
