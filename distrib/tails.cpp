#include "distrib/tails.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "distrib/empirical.h"
#include "distrib/family.h"
#include "resources/strings.h"

namespace vokt {

namespace {

// A tail probability equal to the level up to the last few bits of a long
// double counts as not exceeding it: exact tables (1/1024-ths, counts over
// a total) land on a level such as 0.025 exactly and must not fall out of
// the critical region by one rounding.
constexpr Real kLevelSlack = 1e-15L;

// Critical values of discrete types are found from the quantile and then
// settled by walking over support points; a few steps suffice, the cap
// stops a quantile that has gone astray.
constexpr int kMaxSettleSteps = 100000;

bool AtMostLevel(Real p, Real alpha) { return p <= alpha * (1 + kLevelSlack); }

const PointTable* Table(const Distribution& d) {
  if (!dynamic_cast<const EmpiricalDistribution*>(&d)) return nullptr;
  return d.Points() && d.Points()->Count() > 0 ? d.Points() : nullptr;
}

Real Clamp01(Real p) { return p < 0 ? 0 : (p > 1 ? 1 : p); }

// A quantile at an unbounded end of the support (today +-InfBound, later
// +-infinity) is no critical value.
bool RealValue(Real x) { return std::isfinite(x) && std::fabs(x) < InfBound; }

// The support point x stands for (within Eps), if any.
bool SupportPoint(Distribution& d, Real x, Real& s) {
  if (!std::isfinite(x)) return false;
  if (const PointTable* t = Table(d)) {
    int i = 0;
    if (!FindPoint(*t, x, i)) return false;
    s = (*t)[i].X;
    return true;
  }
  if (!d.InSupport(x)) return false;
  s = RoundExt(x);
  return true;
}

// The support point after / before support point s.
bool NextPoint(Distribution& d, Real s, Real& n) {
  if (const PointTable* t = Table(d)) {
    int i = 0;
    FindPoint(*t, s, i);
    if (i + 1 >= t->Count()) return false;
    n = (*t)[i + 1].X;
    return true;
  }
  n = s + 1;
  return n <= d.SupportHigh() && n != s;
}

bool PrevPoint(Distribution& d, Real s, Real& p) {
  if (const PointTable* t = Table(d)) {
    int i = 0;
    FindPoint(*t, s, i);
    if (i <= 0) return false;
    p = (*t)[i - 1].X;
    return true;
  }
  p = s - 1;
  return p >= d.SupportLow() && p != s;
}

// The support point nearest to x (for starting a walk); false when the
// support has no finite point near x.
bool NearestPoint(Distribution& d, Real x, Real& s) {
  if (const PointTable* t = Table(d)) {
    int i = 0;
    FindPoint(*t, x, i);
    if (i >= t->Count()) i = t->Count() - 1;
    s = (*t)[i].X;
    return true;
  }
  if (std::isnan(x)) return false;
  if (x < d.SupportLow()) x = d.SupportLow();
  if (x > d.SupportHigh()) x = d.SupportHigh();
  if (!std::isfinite(x)) return false;
  s = RoundExt(x);
  if (s < d.SupportLow()) s += 1;
  if (s > d.SupportHigh()) s -= 1;
  return true;
}

// A level is a probability strictly between 0 and 1, compared exactly: a
// level of 1e-30 is as good as 0.05 (the tolerant checks would refuse it).
void CheckLevel(Real alpha) {
  if (std::isnan(alpha)) RaiseMessage(msgNotANumber);
  if (!(alpha > 0)) throw ArgumentError(LoadString(msgGreaterThan) + FormatNumber(0));
  if (!(alpha < 1)) throw ArgumentError(LoadString(msgLessThan) + FormatNumber(1));
}

void CountStep(int& steps) {
  if (++steps > kMaxSettleSteps) throw ConvergenceError("the critical value");
}

}  // namespace

bool RejectsOnlyLarge(const Distribution& d) { return FamilyOf(d).OneSidedStatistic; }

Real ProbAtMost(Distribution& d, Real x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x == -std::numeric_limits<Real>::infinity()) return 0;
  if (x == std::numeric_limits<Real>::infinity()) return 1;
  // Beyond the ends of the support nothing is computed (some families
  // refuse arguments far outside it).
  if (x < d.SupportLow() - Eps) return 0;
  if (x >= d.SupportHigh()) return 1;
  return Clamp01(d.Cdf(x));
}

Real ProbAbove(Distribution& d, Real x) {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x == -std::numeric_limits<Real>::infinity()) return 1;
  if (x == std::numeric_limits<Real>::infinity()) return 0;
  if (x < d.SupportLow() - Eps) return 1;
  if (x >= d.SupportHigh()) return 0;
  return Clamp01(d.UpperTail(x));
}

Real ProbAtLeast(Distribution& d, Real x) {
  Real s;
  if (!d.IsDiscrete() || !SupportPoint(d, x, s)) return ProbAbove(d, x);
  return Clamp01(d.UpperTail(s) + d.PointProb(s));
}

Real ProbBelow(Distribution& d, Real x) {
  Real s, p;
  if (!d.IsDiscrete() || !SupportPoint(d, x, s)) return ProbAtMost(d, x);
  return PrevPoint(d, s, p) ? Clamp01(d.Cdf(p)) : 0;
}

Real TwoSidedPValue(Distribution& d, Real x) {
  if (RejectsOnlyLarge(d)) return ProbAtLeast(d, x);
  const Real lower = ProbAtMost(d, x), upper = ProbAtLeast(d, x);
  const Real p = 2 * std::min(lower, upper);
  return p > 1 ? 1 : p;
}

Real IntervalProbability(Distribution& d, Real a, Real b) {
  if (std::isnan(a) || std::isnan(b)) RaiseMessage(msgNotANumber);
  if (a > b) return 0;
  const Real below = ProbBelow(d, a), above = ProbAbove(d, b);
  // An interval in the upper half is a difference of upper tails, one in the
  // lower half a difference of lower tails; otherwise both tails are small
  // and leave the rest.
  Real r;
  if (below > 0.5L)
    r = ProbAtLeast(d, a) - above;
  else if (above > 0.5L)
    r = ProbAtMost(d, b) - below;
  else
    r = (1 - below) - above;
  return Clamp01(r);
}

CriticalValue LowerCritical(Distribution& d, Real alpha) {
  CheckLevel(alpha);
  CriticalValue c;
  if (!d.IsDiscrete()) {
    c.X = d.Quantile(alpha).X;
    c.Level = ProbAtMost(d, c.X);
    c.Exists = RealValue(c.X);
    return c;
  }
  Real s;
  if (!NearestPoint(d, d.Quantile(alpha).X, s)) return c;
  int steps = 0;
  while (!AtMostLevel(d.Cdf(s), alpha)) {
    if (!PrevPoint(d, s, s)) return c;  // even the lowest point exceeds alpha
    CountStep(steps);
  }
  for (Real n; NextPoint(d, s, n) && AtMostLevel(d.Cdf(n), alpha);) {
    s = n;
    CountStep(steps);
  }
  c.Exists = true;
  c.X = s;
  c.Level = ProbAtMost(d, s);
  return c;
}

CriticalValue UpperCritical(Distribution& d, Real alpha) {
  CheckLevel(alpha);
  CriticalValue c;
  if (!d.IsDiscrete()) {
    c.X = d.UpperQuantile(alpha);
    c.Level = ProbAtLeast(d, c.X);
    c.Exists = RealValue(c.X);
    return c;
  }
  Real s;
  if (!NearestPoint(d, d.UpperQuantile(alpha), s)) return c;
  int steps = 0;
  while (!AtMostLevel(ProbAtLeast(d, s), alpha)) {
    if (!NextPoint(d, s, s)) return c;  // even the highest point exceeds alpha
    CountStep(steps);
  }
  for (Real p; PrevPoint(d, s, p) && AtMostLevel(ProbAtLeast(d, p), alpha);) {
    s = p;
    CountStep(steps);
  }
  c.Exists = true;
  c.X = s;
  c.Level = ProbAtLeast(d, s);
  return c;
}

CriticalPair TwoSidedCritical(Distribution& d, Real alpha) {
  CheckLevel(alpha);
  CriticalPair r;
  if (RejectsOnlyLarge(d)) {
    r.Upper = UpperCritical(d, alpha);
  } else {
    r.Lower = LowerCritical(d, alpha / 2);
    r.Upper = UpperCritical(d, alpha / 2);
  }
  return r;
}

CriticalValue MirrorPoint(Distribution& d, Real x) {
  CriticalValue m;
  if (RejectsOnlyLarge(d) || std::isnan(x)) return m;
  const Real lower = ProbAtMost(d, x), upper = ProbAtLeast(d, x);
  const Real tail = std::min(lower, upper);
  if (!(tail > 0) || !(tail < 1)) return m;
  // x in the lower tail: its mirror lies in the upper one, and the other way.
  m = lower <= upper ? UpperCritical(d, tail) : LowerCritical(d, tail);
  if (!RealValue(m.X)) m.Exists = false;
  return m;
}

Real SnapToTable(Distribution& d, const std::string& text, Real x) {
  const PointTable* t = Table(d);
  if (!t || !std::isfinite(x)) return x;
  int decimals = -1;
  for (char ch : text) {
    if (ch == 'e' || ch == 'E') return x;
    if (ch == '.' || ch == ',' || ch == DecimalSeparator()) {
      decimals = 0;
    } else if (decimals >= 0 && std::isdigit(static_cast<unsigned char>(ch))) {
      ++decimals;
    }
  }
  if (decimals <= 0 || decimals > 18) return x;
  // Half a unit of the last typed decimal, and a hair more for the binary
  // representation of the typed number.
  const Real half = 0.5L * std::pow(10.0L, -decimals) * (1 + 1e-9L);
  int i = 0;
  FindPoint(*t, x, i);
  Real best = x, distance = half;
  for (int k = i - 1; k <= i; ++k) {
    if (k < 0 || k >= t->Count()) continue;
    const Real v = (*t)[k].X, dv = std::fabs(v - x);
    if (dv <= distance) {
      best = v;
      distance = dv;
    }
  }
  return best;
}

}  // namespace vokt
