// Discrete uniform distribution: constant point probabilities, the tails as
// counts of points over the number of points, random values by scaling one
// uniform number.  Everything is formed in the extended type, so that any
// range of 64-bit integers is accepted.
#include "distrib/discrete_uniform.h"

#include <cmath>

#include "distrib/discrete_util.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {
// The bounds are integers of up to 2^63 in size, exact in the extended type
// with their difference and the count N - M + 1.
constexpr Extended kMaxBound = 9223372036854775807.0L;
}  // namespace

tDiscrete_uniform_distribution::tDiscrete_uniform_distribution(Extended M, Extended N) {
  SetParameters(M, N, 0);
}

bool tDiscrete_uniform_distribution::CheckParameter(int i, Extended x) {
  // N is compared with the M stored just before it.
  if (i == 1)
    ParAt(1).High = InfBound;
  else if (i == 2)
    ParAt(2).Low = Par[1].Value + 1;
  return tDiscrete_distribution::CheckParameter(i, x);
}

int tDiscrete_uniform_distribution::SetParameters(Extended p1, Extended p2, Extended p3) {
  (void)p3;
  tSetParametersGuard guard(*this, false, M, N);
  ParCount = 2;
  DefineParameter(1, -InfBound, InfBound, true, "M");
  DefineParameter(2, p1 + 1, InfBound, true, "N");
  int r = tDiscrete_distribution::SetParameters(p1, p2, 1.0L);
  if (r != 0) return r;
  ErrorIf(std::fabs(p1) > kMaxBound || std::fabs(p2) > kMaxBound, msgTooLarge);
  guard.Validated();
  NameId = 920;
  M = RoundExt(p1);
  N = RoundExt(p2);
  SupportLow = M;
  SupportHigh = N;
  Mean = M / 2 + N / 2;
  const Extended d = N - M;
  Variance = d * (d + 2) / 12;
  HasMean = HasVariance = true;
  BuildPointTable();
  guard.Commit();
  return 0;
}

Extended tDiscrete_uniform_distribution::PointProb(Extended x) {
  if (!InSupport(x)) return 0;
  return 1 / (N - M + 1);
}

Extended tDiscrete_uniform_distribution::Cdf(Extended x) {
  const Extended k = CdfPoint(x);
  if (k < M) return 0;
  if (k >= N) return 1;
  return (k - M + 1) / (N - M + 1);
}

Extended tDiscrete_uniform_distribution::UpperTail(Extended x) {
  const Extended k = CdfPoint(x);
  if (k < M) return 1;
  if (k >= N) return 0;
  return (N - k) / (N - M + 1);
}

Extended tDiscrete_uniform_distribution::RandomValue() {
  return M + std::floor(Uniform() * (N - M + 1));
}

}  // namespace vokt
