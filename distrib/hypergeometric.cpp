// Hypergeometric distribution: point probabilities from three binomial
// weights with success probability n / N (Loader's saddle-point form, as in
// R's dhyper), neighbouring points by their ratio; the discrete base sums the
// tail on the point's side of the mean from its largest term.
#include "distrib/hypergeometric.h"

#include <cmath>

#include "numeric/functions.h"

namespace vokt {

namespace {
// Up to this sample size the probability is an exact product: C(n, k) times
// the falling factorials of the marked and unmarked counts over that of N,
// 2n roundings (below 1e-17 relative), and much cheaper than three weights.
constexpr int32_t kProductLimit = 60;
}  // namespace

HypergeometricDistribution::HypergeometricDistribution(Real population, Real successes,
                                                       Real draws) {
  Build(population, successes, draws);
}

void HypergeometricDistribution::SetParameters(Real p1, Real p2, Real p3) {
  HypergeometricDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void HypergeometricDistribution::Build(Real p1, Real p2, Real p3) {
  parCount_ = 3;
  // N1 and n are checked against the N given with them.
  DefineParameter(1, 2, InfBound, true, "N");
  DefineParameter(2, 1, p1, true, "N_1^");
  DefineParameter(3, 1, p1, true, "n");
  DiscreteDistribution::SetParameters(p1, p2, p3);
  ErrorIf(p1 > 2147483647.0L, msgTooLarge);
  nameId_ = 912;
  N = RoundInt(p1);
  N1 = RoundInt(p2);
  N2 = N - N1;
  n = RoundInt(p3);
  supportLow_ = n > N2 ? n - N2 : 0;
  supportHigh_ = N1 < n ? N1 : n;
  mean_ = static_cast<Real>(static_cast<int64_t>(n) * N1) / N;
  variance_ = N2 * mean_ * (N - n) / N / (N - 1);
  hasMean_ = hasVariance_ = true;
  BuildPointTable();
}

Real HypergeometricDistribution::PointProb(Real x) const {
  if (!InSupport(x)) return 0;
  const Real k = RoundExt(x);
  if (n <= kProductLimit) {
    const int32_t kk = static_cast<int32_t>(k);
    Real c = 1;
    for (int32_t i = 1; i <= kk; ++i) c = c * (n - kk + i) / i;  // C(n, k)
    for (int32_t i = 0; i < kk; ++i) c = c * (N1 - i) / (N - i);
    for (int32_t i = 0; i < n - kk; ++i) c = c * (N2 - i) / (N - kk - i);
    return c;
  }
  // C(N1, k) C(N2, n - k) / C(N, n) = b(k; N1) b(n - k; N2) / b(n; N) for
  // binomial weights b with any success probability; n / N keeps all three
  // near their peaks.
  const Real pr = static_cast<Real>(n) / N, q = static_cast<Real>(N - n) / N;
  return std::exp(LogBinomialWeight(k, N1, pr, q) + LogBinomialWeight(n - k, N2, pr, q) -
                  LogBinomialWeight(n, N, pr, q));
}

Real HypergeometricDistribution::ProbRatio(int32_t k) const {
  // Undefined at the lowest point (and outside the support): the callers
  // then evaluate the point probability itself.
  if (k <= supportLow_ || k > supportHigh_ || N2 + k == n) return 0;
  return (static_cast<Real>(N1 - k + 1) / k) * (n - k + 1) / (k + N2 - n);
}

}  // namespace vokt
