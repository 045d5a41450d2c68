// Hypergeometric distribution: point probabilities by an exact product (the
// binomial coefficient C(n, k) as an integer times the falling factorials of
// the marked and unmarked counts over that of N) or, where that coefficient
// overflows, by binomial saddle-point terms; neighbouring points by their
// ratio.
#include "distrib/hypergeometric.h"

#include <cmath>

#include "distrib/discrete_util.h"

namespace vokt {

namespace {
// C(n, k) as an exact 64-bit integer; false when it does not fit (first at
// n = 67, k = 33).
bool ExactChoose(int32_t n, int32_t k, int64_t& result) {
  if (k > n - k) k = n - k;
  unsigned __int128 c = 1;
  for (int32_t i = 1; i <= k; ++i) {
    // c * (n - k + i) / i is C(n - k + i, i), an integer at every step.
    c = c * static_cast<unsigned>(n - k + i) / static_cast<unsigned>(i);
    if (c > static_cast<unsigned __int128>(INT64_MAX)) return false;
  }
  result = static_cast<int64_t>(c);
  return true;
}

// Samples up to this size use the exact product.
constexpr int32_t kProductLimit = 5000;

// ln of C(m, x) p^x q^(m - x), including the end points x = 0 and x = m.
Extended LnBinomialEdge(Extended x, Extended m, Extended p, Extended q) {
  if (x == 0) return m * std::log(q);
  if (x == m) return m * std::log(p);
  return LnBinomialTerm(x, m, p, q);
}
}  // namespace

tHypergeometric_Distribution::tHypergeometric_Distribution(Extended N, Extended N1, Extended n) {
  SetParameters(N, N1, n);
}

bool tHypergeometric_Distribution::CheckParameter(int i, Extended x) {
  // N1 and n are compared with the N just stored: the parameters are checked
  // and stored in order.
  if (i == 1)
    ParAt(1).High = InfBound;
  else
    ParAt(i).High = Par[1].Value;
  return tDiscrete_distribution::CheckParameter(i, x);
}

int tHypergeometric_Distribution::SetParameters(Extended p1, Extended p2, Extended p3) {
  tSetParametersGuard guard(*this, false, N, N1, N2, n);
  ParCount = 3;
  DefineParameter(1, 2, InfBound, true, "N");
  DefineParameter(2, 1, p1, true, "N_1^");
  DefineParameter(3, 1, p1, true, "n");
  int r = tDiscrete_distribution::SetParameters(p1, p2, p3);
  if (r != 0) return r;
  guard.Validated();
  NameId = 912;
  N = RoundInt(p1);
  N1 = RoundInt(p2);
  N2 = N - N1;
  n = RoundInt(p3);
  SupportLow = n > N2 ? n - N2 : 0;
  SupportHigh = N1 < n ? N1 : n;
  Mean = static_cast<Extended>(static_cast<int64_t>(n) * N1) / N;
  Variance = N2 * Mean * (N - n) / N / (N - 1);
  HasMean = HasVariance = true;
  BuildPointTable();
  guard.Commit();
  return 0;
}

Extended tHypergeometric_Distribution::PointProb(Extended x) {
  if (!InSupport(x)) return 0;
  const int32_t k = RoundInt(x);
  // The product needs C(n, k) as a 64-bit integer and costs n steps.  Where
  // the coefficient does not fit, or the sample is large, the same
  // probability comes from three binomial terms with success probability
  // n/N (Loader's form), in a constant number of operations.
  int64_t choose = 0;
  if (n > kProductLimit || !ExactChoose(n, k, choose)) {
    const Extended pr = static_cast<Extended>(n) / N, q = 1 - pr;
    return std::exp(LnBinomialEdge(k, N1, pr, q) + LnBinomialEdge(n - k, N2, pr, q) -
                    LnBinomialEdge(n, N, pr, q));
  }
  Extended c = static_cast<Extended>(choose);
  for (int32_t i = 0; i < k; ++i) c = c * (N1 - i) / (N - i);
  for (int32_t i = 0; i < n - k; ++i) c = c * (N2 - i) / (N - k - i);
  return c;
}

Extended tHypergeometric_Distribution::ProbRatio(int32_t k) {
  // Undefined at the lowest point (and outside the support): the callers
  // then evaluate the point probability itself.
  if (k <= SupportLow || k > SupportHigh || N2 + k == n) return 0;
  return (static_cast<Extended>(N1 - k + 1) / k) * (n - k + 1) / (k + N2 - n);
}

}  // namespace vokt
