// Discrete uniform distribution: constant point probabilities, random values
// by scaling one uniform number.
#include "distrib/discrete_uniform.h"

#include <cmath>

#include "distrib/discrete_util.h"
#include "numeric/uniform.h"

namespace vokt {

namespace {
// The moments are formed in 32-bit integers, as the formulas page shows them;
// a range whose d(d + 2) does not fit (N - M of 46340 or more) is refused
// rather than wrapped.
int32_t CheckedAdd(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_add_overflow(a, b, &r)) throw EMathError("Integer overflow");
  return r;
}

int32_t CheckedMul(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw EMathError("Integer overflow");
  return r;
}

int32_t CheckedSub(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) throw EMathError("Integer overflow");
  return r;
}
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
  // M = -2147483647 is the stand-in for minus infinity: as a support bound
  // it would make the point M itself fall outside the support.  The lowest
  // admissible M is therefore one above it.
  DefineParameter(1, -InfBound + 1, InfBound, true, "M");
  DefineParameter(2, p1 + 1, InfBound, true, "N");
  int r = tDiscrete_distribution::SetParameters(p1, p2, 1.0L);
  if (r != 0) return r;
  guard.Validated();
  NameId = 920;
  M = RoundInt(p1);
  N = RoundInt(p2);
  SupportLow = M;
  SupportHigh = N;
  Mean = static_cast<Extended>(CheckedAdd(M, N)) / 2;
  const int32_t d = CheckedSub(N, M);
  Variance = static_cast<Extended>(CheckedMul(d, CheckedAdd(d, 2))) / 12;
  HasMean = HasVariance = true;
  BuildPointTable();
  guard.Commit();
  return 0;
}

Extended tDiscrete_uniform_distribution::PointProb(Extended x) {
  if (!InSupport(x)) return 0;
  return 1 / static_cast<Extended>(CheckedAdd(CheckedSub(N, M), 1));
}

Extended tDiscrete_uniform_distribution::RandomValue() {
  return M + std::floor(Uniform() * (static_cast<Extended>(N) - M + 1));
}

}  // namespace vokt
