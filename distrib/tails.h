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
bool RejectsOnlyLarge(const tDistribution& d);

// P(X <= x) and P(X >= x); for discrete types a value within Eps of a
// support point is that point.  +-infinity are allowed, NaN is refused.
Extended ProbAtMost(tDistribution& d, Extended x);
Extended ProbAtLeast(tDistribution& d, Extended x);
// P(X < x) and P(X > x).
Extended ProbBelow(tDistribution& d, Extended x);
Extended ProbAbove(tDistribution& d, Extended x);

// min(1, 2 min(P(X <= x), P(X >= x))); P(X >= x) for Kruskal-Wallis and
// Friedman.
Extended TwoSidedPValue(tDistribution& d, Extended x);

// P(a <= X <= b); 0 when a > b.  Each part is taken from the tail it lies
// in, so a narrow interval far out keeps its digits.
Extended IntervalProbability(tDistribution& d, Extended a, Extended b);

// A critical value and the tail probability it attains.  Exists is false
// when no value qualifies (a discrete distribution whose most extreme point
// already has a tail above the level).
struct tCritical {
  bool Exists = false;
  Extended X = 0;
  Extended Level = 0;
};

// Left: the alpha-quantile for continuous types; for discrete ones the
// largest support point with P(X <= x) <= alpha.  Level = P(X <= x).
tCritical LowerCritical(tDistribution& d, Extended alpha);
// Right: the upper alpha-quantile for continuous types; for discrete ones the
// smallest support point with P(X >= x) <= alpha.  Level = P(X >= x).
tCritical UpperCritical(tDistribution& d, Extended alpha);

// Both critical values of a two-sided test at alpha (each tail alpha / 2);
// for Kruskal-Wallis and Friedman only Upper is set, at alpha itself.
struct tCriticalPair {
  tCritical Lower, Upper;
};
tCriticalPair TwoSidedCritical(tDistribution& d, Extended alpha);

// The point on the other side of x whose tail matches x's smaller tail (for
// a distribution symmetric about c: 2c - x).  For discrete types the
// innermost point whose tail does not exceed that of x.  Exists is false
// when there is none, or for Kruskal-Wallis and Friedman; Level is the tail
// probability beyond the mirrored point.
tCritical MirrorPoint(tDistribution& d, Extended x);

// A statistic typed as text for a type whose values come from a table (the
// rank tests' exact tables): when a possible value rounds to the typed value
// at the number of decimals typed, that value; otherwise x unchanged.  Texts
// without decimals or with an exponent are taken as they are.
Extended SnapToTable(tDistribution& d, const std::string& text, Extended x);

}  // namespace vokt
