// Discrete uniform distribution: constant point probabilities, the tails as
// counts of points over the number of points, random values by scaling one
// uniform number.  Everything is formed in the extended type, so that any
// range of 64-bit integers is accepted.
#include "distrib/discrete_uniform.h"

#include <cmath>

#include "numeric/uniform.h"

namespace vokt {

namespace {
// The bounds are integers of up to 2^63 in size, exact in the extended type
// with their difference and the count N - M + 1.
constexpr Real kMaxBound = 9223372036854775807.0L;
}  // namespace

DiscreteUniformDistribution::DiscreteUniformDistribution(Real low, Real high) { Build(low, high); }

void DiscreteUniformDistribution::SetParameters(Real p1, Real p2, Real) {
  DiscreteUniformDistribution next;
  next.par_ = par_;
  next.Build(p1, p2);
  ReplaceWith(*this, std::move(next));
}

void DiscreteUniformDistribution::Build(Real p1, Real p2) {
  parCount_ = 2;
  // N is checked against the M given with it.
  DefineParameter(1, -InfBound, InfBound, true, "M");
  DefineParameter(2, p1 + 1, InfBound, true, "N");
  DiscreteDistribution::SetParameters(p1, p2, 1.0L);
  ErrorIf(std::fabs(p1) > kMaxBound || std::fabs(p2) > kMaxBound, msgTooLarge);
  nameId_ = 920;
  M = RoundExt(p1);
  N = RoundExt(p2);
  supportLow_ = M;
  supportHigh_ = N;
  mean_ = M / 2 + N / 2;
  const Real d = N - M;
  variance_ = d * (d + 2) / 12;
  hasMean_ = hasVariance_ = true;
  BuildPointTable();
}

Real DiscreteUniformDistribution::PointProb(Real x) const {
  if (!InSupport(x)) return 0;
  return 1 / (N - M + 1);
}

Real DiscreteUniformDistribution::Cdf(Real x) const {
  const Real k = CdfPoint(x);
  if (k < M) return 0;
  if (k >= N) return 1;
  return (k - M + 1) / (N - M + 1);
}

Real DiscreteUniformDistribution::UpperTail(Real x) const {
  const Real k = CdfPoint(x);
  if (k < M) return 1;
  if (k >= N) return 0;
  return (N - k) / (N - M + 1);
}

Real DiscreteUniformDistribution::RandomValue(RandomEngine& engine) const {
  return M + std::floor(engine.Uniform() * (N - M + 1));
}

}  // namespace vokt
