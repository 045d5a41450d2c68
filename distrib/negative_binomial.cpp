// Negative binomial distribution: point probabilities as r / (r + k) times
// the binomial weight of r successes in r + k trials (Loader's saddle-point
// form), neighbouring points by their ratio, and the distribution function
// and the upper tail each directly as a tail of the binomial (r + k, p) at r
// (a sum of a few standard deviations of binomial weights; the incomplete
// beta function I_p(r, k + 1) loses up to 1e-11 for p = 1e-6).  A sum of the
// negative binomial's own point probabilities would cost one step per point:
// tens of millions for a geometric distribution with p = 1e-6.
#include "distrib/negative_binomial.h"

#include <cmath>

#include "numeric/functions.h"

namespace vokt {

namespace {
// Beyond 2^64 every point is far past the mass (which the point table
// limits), and the integers are no longer exact.
constexpr Real kBeyondMass = 18446744073709551616.0L;
// Up to this r and k a point probability is a short product.
constexpr Real kSmallCount = 32;
// A sum of binomial weights ends long before this many terms (some ten
// standard deviations of the binomial, about 5e5 terms for r = 2^31).
constexpr int64_t kMaxTerms = 50000000;
// A sum ends when the rest, bounded by a geometric series, is below this
// part of it.
constexpr Real kSumTolerance = 1e-21L;

// X <= k exactly when r + k trials hold at least r successes:
// P(X <= k) = P(B >= r) and P(X > k) = P(B <= r - 1) for B binomial (r + k, p).
// Each is summed from j = r upwards or from j = r - 1 downwards, on the side
// of B's mean where the terms fall (the tail that is the smaller one), from
// the precise weight at its first term by the ratio of neighbouring terms.
Real BinomialTailSum(Real n, Real p, Real from, bool upwards) {
  const Real q = 1 - p;
  Real term = std::exp(LogBinomialWeight(from, n, p, q)), sum = term;
  Real j = from;
  for (int64_t steps = 0; steps < kMaxTerms; ++steps) {
    if (upwards ? j >= n : j <= 0) return sum;
    const Real ratio = upwards ? (n - j) / (j + 1) * p / q : j / (n - j + 1) * q / p;
    term *= ratio;
    j += upwards ? 1 : -1;
    sum += term;
    if (term == 0 || (ratio < 1 && term * ratio / (1 - ratio) <= kSumTolerance * sum)) return sum;
  }
  throw ConvergenceError("the probability sum");
}
}  // namespace

NegativeBinomialDistribution::NegativeBinomialDistribution(Real successes, Real prob) {
  Build(successes, prob);
}

void NegativeBinomialDistribution::SetParameters(Real p1, Real p2, Real) {
  NegativeBinomialDistribution next;
  next.par_ = par_;
  next.Build(p1, p2);
  ReplaceWith(*this, std::move(next));
}

void NegativeBinomialDistribution::Build(Real p1, Real p2) {
  parCount_ = 2;
  // r = 0 would be the point mass at 0; the range is r = 1, 2, ...
  DefineParameter(1, 1, InfBound, true, "r");
  DefineParameter(2, 0, 1, false, "p");
  DiscreteDistribution::SetParameters(p1, p2, 1.0L);
  // r is counted in 32 bits.
  ErrorIf(p1 > 2147483647.0L, msgTooLarge);
  nameId_ = 921;
  r = RoundInt(p1);
  p = p2;
  supportLow_ = 0;
  mean_ = r * (1 - p) / p;
  variance_ = mean_ / p;
  hasMean_ = hasVariance_ = true;
  BuildPointTable();
}

Real NegativeBinomialDistribution::PointProb(Real x) const {
  if (!InSupport(x)) return 0;
  const Real k = RoundExt(x);
  if (k <= kSmallCount && r <= kSmallCount) {
    // C(r + k - 1, k) p^r q^k by a product of at most 96 factors.
    const Real q = 1 - p;
    Real c = 1;
    for (int32_t i = 0; i < r; ++i) c *= p;
    for (Real i = 1; i <= k; i += 1) c = c * (r - 1 + i) / i * q;
    return c;
  }
  // P(X = k) = r / (r + k) * C(r + k, r) p^r (1 - p)^k.
  return r / (r + k) * std::exp(LogBinomialWeight(r, r + k, p, 1 - p));
}

Real NegativeBinomialDistribution::Cdf(Real x) const {
  const Real k = CdfPoint(x);
  if (k < 0) return 0;
  if (k >= kBeyondMass) return 1;
  if (k <= kSmallCount && r <= kSmallCount) {
    // Positive terms by the ratio.
    Real term = PointProb(0), sum = term;
    for (Real j = 1; j <= k; j += 1) {
      term *= (r + j - 1) / j * (1 - p);
      sum += term;
    }
    return sum > 1 ? 1 : sum;
  }
  if (k < mean_) return std::min<Real>(1, BinomialTailSum(r + k, p, r, true));
  const Real c = 1 - BinomialTailSum(r + k, p, r - 1, false);
  return c < 0 ? 0 : c;
}

Real NegativeBinomialDistribution::UpperTail(Real x) const {
  const Real k = CdfPoint(x);
  if (k < 0) return 1;
  if (k >= kBeyondMass) return 0;
  if (k <= kSmallCount && r <= kSmallCount && p >= 0.25L) {
    // Positive terms by the ratio, which falls to about 1 - p <= 3/4: the
    // sum ends within a few hundred terms.
    const Real q = 1 - p;
    Real term = PointProb(k + 1), sum = term;
    for (Real j = k + 2; j < 4000; j += 1) {
      term *= (r + j - 1) / j * q;
      const Real next = sum + term;
      if (next == sum) return sum > 1 ? 1 : sum;
      sum = next;
    }
    return sum > 1 ? 1 : sum;
  }
  if (k >= mean_) return std::min<Real>(1, BinomialTailSum(r + k, p, r - 1, false));
  const Real c = 1 - BinomialTailSum(r + k, p, r, true);
  return c < 0 ? 0 : c;
}

Real NegativeBinomialDistribution::ModeStart() const {
  // The mode is floor((r - 1)(1 - p) / p) (0 for r = 1): the mean lies up to
  // 1/p above it, a long walk for a small p.
  return std::floor((static_cast<Real>(r) - 1) * (1 - p) / p);
}

Real NegativeBinomialDistribution::ProbRatio(int32_t k) const {
  if (k <= 0) return 0;
  return (static_cast<Real>(r) + k - 1) * (1 - p) / k;
}

GeometricDistribution::GeometricDistribution(Real prob) { Build(prob); }

void GeometricDistribution::SetParameters(Real p1, Real, Real) {
  GeometricDistribution next;
  next.par_ = par_;
  next.Build(p1);
  ReplaceWith(*this, std::move(next));
}

void GeometricDistribution::Build(Real p1) {
  // Validated as the negative binomial's second parameter, then given its
  // own record.
  NegativeBinomialDistribution::Build(1.0L, p1);
  parCount_ = 1;
  DefineParameter(1, 0, 1, false, "p");
  par_[1].Value = p1;
  par_[1].Unset = false;
  nameId_ = 922;
}

}  // namespace vokt
