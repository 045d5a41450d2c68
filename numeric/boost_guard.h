// Shared by the special functions' sources (numeric/functions.cpp and
// numeric/beta_function.cpp): the error policy under which Boost.Math is
// called, the guard that turns what it raises into the program's
// exceptions, the domain checks, and a bisection fallback for the inverses.
// Not for use outside numeric/.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include <boost/math/policies/error_handling.hpp>
#include <boost/math/policies/policy.hpp>

#include "numeric/checks.h"

namespace vokt::functions_detail {

namespace bp = boost::math::policies;
// Overflow gives infinity and underflow zero, which the callers expect at
// the far ends; a domain error cannot happen (the arguments are checked
// first) and a failed evaluation throws.
using Policy =
    bp::policy<bp::overflow_error<bp::ignore_error>, bp::underflow_error<bp::ignore_error>,
               bp::denorm_error<bp::ignore_error>, bp::domain_error<bp::throw_on_error>,
               bp::pole_error<bp::throw_on_error>, bp::evaluation_error<bp::throw_on_error>,
               bp::promote_float<false>, bp::promote_double<false>>;

template <class F>
Real Guarded(F f) {
  try {
    return f();
  } catch (const boost::math::evaluation_error&) {
    throw ConvergenceError("a special function");
  } catch (const std::domain_error&) {
    RaiseInvalidOp();
  } catch (const std::overflow_error&) {
    RaiseOverflow();
  }
}

inline void RequireNumber(Real x) {
  if (std::isnan(x)) RaiseInvalidOp();
}

inline void RequirePositive(Real a) {
  if (!(a > 0)) RaiseInvalidOp();
}

inline void RequireProbability(Real p) {
  if (!(p >= 0 && p <= 1)) RaiseInvalidOp();
}

// x in [lo, hi] with f(x) = target for a monotone f (increasing when up),
// by bisection of the exponent range first, then of the mantissa: under 200
// steps from any bracket.  The fallback where Boost's root finder gives up
// in a far tail.
template <class F>
Real Bisect(F f, Real target, bool up, Real lo, Real hi) {
  const Real tiny = std::numeric_limits<Real>::denorm_min();
  for (int i = 0; i < 400; ++i) {
    Real m;
    if (lo >= 0 && hi / std::max(lo, tiny) > 4)
      m = std::sqrt(std::max(lo, tiny)) * std::sqrt(hi);
    else
      m = lo + (hi - lo) / 2;
    if (!(m > lo && m < hi)) break;
    const Real v = f(m);
    if ((v < target) == up)
      lo = m;
    else
      hi = m;
  }
  return std::fabs(f(lo) - target) <= std::fabs(f(hi) - target) ? lo : hi;
}

}  // namespace vokt::functions_detail
