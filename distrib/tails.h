// p-values as tests report them: the two-sided p-value, the upper p-value of
// the tests that reject only for large values, the probability between two
// values, critical values at a significance level (with the levels a discrete
// distribution really attains) and a typed statistic matched to the table of
// possible values.  Upper tails are read from UpperTail and UpperQuantile,
// never as complements of the lower tail.
#pragma once

#include <string>

#include "distrib/distribution.h"

namespace vokt {

// Kruskal-Wallis (929) and Friedman (931): large values reject, so their
// "two-sided" p-value is the upper one, P(X >= x).
bool RejectsOnlyLarge(const Distribution& d);

// P(X <= x) and P(X >= x); for discrete types a value within Eps of a
// support point is that point.  +-infinity are allowed, NaN is refused.
Real ProbAtMost(Distribution& d, Real x);
Real ProbAtLeast(Distribution& d, Real x);
// P(X < x) and P(X > x).
Real ProbBelow(Distribution& d, Real x);
Real ProbAbove(Distribution& d, Real x);

// min(1, 2 min(P(X <= x), P(X >= x))); P(X >= x) for Kruskal-Wallis and
// Friedman.
Real TwoSidedPValue(Distribution& d, Real x);

// P(a <= X <= b); 0 when a > b.  Each part is taken from the tail it lies
// in, so a narrow interval far out keeps its digits.
Real IntervalProbability(Distribution& d, Real a, Real b);

// A critical value and the tail probability it attains.  Exists is false
// when no value qualifies (a discrete distribution whose most extreme point
// already has a tail above the level).
struct CriticalValue {
  bool Exists = false;
  Real X = 0;
  Real Level = 0;
};

// Left: the alpha-quantile for continuous types; for discrete ones the
// largest support point with P(X <= x) <= alpha.  Level = P(X <= x).
CriticalValue LowerCritical(Distribution& d, Real alpha);
// Right: the upper alpha-quantile for continuous types; for discrete ones the
// smallest support point with P(X >= x) <= alpha.  Level = P(X >= x).
CriticalValue UpperCritical(Distribution& d, Real alpha);

// Both critical values of a two-sided test at alpha (each tail alpha / 2);
// for Kruskal-Wallis and Friedman only Upper is set, at alpha itself.
struct CriticalPair {
  CriticalValue Lower, Upper;
};
CriticalPair TwoSidedCritical(Distribution& d, Real alpha);

// The point on the other side of x whose tail matches x's smaller tail (for
// a distribution symmetric about c: 2c - x).  For discrete types the
// innermost point whose tail does not exceed that of x.  Exists is false
// when there is none, or for Kruskal-Wallis and Friedman; Level is the tail
// probability beyond the mirrored point.
CriticalValue MirrorPoint(Distribution& d, Real x);

// A statistic typed as text for a type whose values come from a table (the
// rank tests' exact tables): when a possible value rounds to the typed value
// at the number of decimals typed, that value; otherwise x unchanged.  Texts
// without decimals or with an exponent are taken as they are.
Real SnapToTable(Distribution& d, const std::string& text, Real x);

}  // namespace vokt
