// The non-central F distribution.  The non-central t is in noncentral_t.cpp;
// both are declared in noncentral_f_t.h.
#include "distrib/noncentral_f_t.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "distrib/noncentral_series.h"
#include "numeric/functions.h"

namespace vokt {

// ---------------------------------------------------------------------------
// Non-central F

namespace {
// Denominator degrees of freedom beyond which the F is chi-square(m, lambda) / m.
constexpr Real kChiSquareDenDf = 1e18L;
}  // namespace

NoncentralFDistribution::NoncentralFDistribution(Real m, Real n, Real lambda) {
  Build(m, n, lambda);
}

void NoncentralFDistribution::SetParameters(Real p1, Real p2, Real p3) {
  NoncentralFDistribution next;
  next.par_ = par_;
  next.Build(p1, p2, p3);
  ReplaceWith(*this, std::move(next));
}

void NoncentralFDistribution::Build(Real p1, Real p2, Real p3) {
  parCount_ = 3;
  DefineParameter(1, 0, InfBound, false, "m");
  DefineParameter(2, 0, InfBound, false, "n");
  DefineParameter(3, -Eps, InfBound, false, "@l");
  const bool central = NearlyEqual(p3, 0);
  if (central) {
    // The central F's records and checks; lambda = 0 itself would fail the
    // check against -Eps.
    StoreParameters(2, p1, p2, 0);
    par_[3].Value = 0;
    par_[3].Unset = false;
  } else {
    ContinuousDistribution::SetParameters(p1, p2, p3);
  }
  const Real m = p1, n = p2, lambda = central ? 0 : p3;
  auto beta = std::make_unique<NoncentralBetaDistribution>(m / 2, n / 2, lambda);
  nameId_ = 924;
  Central = central;
  NumDf = m;
  DenDf = n;
  NonCentrality = lambda;
  supportLow_ = 0;
  supportHigh_ = InfBound;
  hasMean_ = n > 2;
  if (hasMean_) mean_ = (m + lambda) * n / ((n - 2) * m);
  hasVariance_ = n > 4;
  if (hasVariance_) {
    const Real r = n / m;
    variance_ = 2 * r * r * ((m + lambda) * (m + lambda) + (m + 2 * lambda) * (n - 2)) /
                ((n - 2) * (n - 2) * (n - 4));
  }
  mode_ = -1;
  NcBetaPart = std::move(beta);
  ChiPart.reset();
  if (n > kChiSquareDenDf) {
    // The chi-square's own checks want an integer nu off the central path;
    // here m is any positive number, so the fields are set directly.
    ChiPart = std::make_unique<NoncentralChiSquareDistribution>(1, 0);
    ChiPart->Nu = m;
    ChiPart->NonCentrality = lambda;
    ChiPart->Central = lambda == 0;
  }
}

void NoncentralFDistribution::CheckParameter(int i, Real x) const {
  // Every finite value is a candidate; an infinite one is too large.
  ErrorIf(std::isinf(x), msgTooLarge);
  ContinuousDistribution::CheckParameter(i, x);
  if (i == 3) ErrorIf(x > kMaxNonCentrality, msgTooLarge);
}

bool NoncentralFDistribution::InSupport(Real x) const {
  if (NumDf == 1) return ContinuousDistribution::InSupport(x) && x > 0;
  return ContinuousDistribution::InSupport(x);
}

namespace {

// y = m x / (m x + n) and 1 - y, each without overflow or cancellation.
void BetaVariable(Real m, Real n, Real x, Real& y, Real& cy) {
  const Real t = m * x / n;
  if (t <= 1) {
    y = t / (1 + t);
    cy = 1 / (1 + t);
  } else {
    const Real r = (n / m) / x;
    y = 1 / (1 + r);
    cy = r / (1 + r);
  }
}

}  // namespace

Real NoncentralFDistribution::Density(Real x) const {
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!(x >= 0) || std::isinf(x)) return 0;
  // At 0 the density is finite and positive only for m = 2: the limit of the
  // j = 0 term, e^(-lambda/2) (1 for the central F).
  if (x == 0) return NumDf == 2 ? std::exp(-NonCentrality / 2) : 0;
  if (ChiPart) return NumDf * ChiPart->Density(NumDf * x);
  Real y, cy;
  BetaVariable(NumDf, DenDf, x, y, cy);
  // dy/dx = m n / (m x + n)^2 = (m / n) (1 - y)^2
  return NcBetaPart->DensityAt(y, cy) * (NumDf / DenDf) * cy * cy;
}

Real NoncentralFDistribution::Cdf(Real x) const { return Tail(x, false); }

Real NoncentralFDistribution::UpperTail(Real x) const { return Tail(x, true); }

Real NoncentralFDistribution::Tail(Real x, bool upper, Real* density) const {
  if (density) *density = std::numeric_limits<Real>::quiet_NaN();
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (!(x > 0)) return upper ? 1 : 0;
  if (std::isinf(x)) return upper ? 0 : 1;
  if (ChiPart) return upper ? ChiPart->UpperTail(NumDf * x) : ChiPart->Cdf(NumDf * x);
  Real y, cy;
  BetaVariable(NumDf, DenDf, x, y, cy);
  const Real t = NcBetaPart->TailAt(y, cy, upper, density);
  // dy/dx = (m / n) (1 - y)^2, as in Density.
  if (density) *density *= (NumDf / DenDf) * cy * cy;
  return t;
}

Real NoncentralFDistribution::Solve(Real p, bool upper) const {
  const bool up = p > 0.5L ? !upper : upper;
  const Real y0 = NcBetaPart->StartValue(p > 0.5L ? 1 - p : p, up);
  const Real x0 = (DenDf / NumDf) * y0 / (1 - y0);
  // The density comes with the tail's sums (as for the non-central beta).
  Real lastX = std::numeric_limits<Real>::quiet_NaN(), lastDensity = 0;
  auto tail = [&](Real x, bool upperTail) {
    lastX = x;
    return Tail(x, upperTail, &lastDensity);
  };
  auto density = [&](Real x) {
    if (x == lastX && lastDensity > 0 && std::isfinite(lastDensity)) return lastDensity;
    return Density(x);
  };
  return noncentral::TailQuantile(
      [&](Real x) { return tail(x, false); }, [&](Real x) { return tail(x, true); }, density, p,
      upper, x0, 0, std::numeric_limits<Real>::infinity(), "the non-central F quantile");
}

Real NoncentralFDistribution::InverseCdf(Real p) const { return Solve(p, false); }

Real NoncentralFDistribution::UpperQuantile(Real q) const { return Solve(q, true); }

Real NoncentralFDistribution::RandomValue(RandomEngine& engine) const {
  // (X1 / m) / (X2 / n), X1 non-central chi-square(m, lambda), X2 chi-square(n).
  const Real x1 = noncentral::NcChiSquareValue(engine, NumDf, NonCentrality);
  const Real x2 = 2 * noncentral::GammaValue(engine, DenDf / 2);
  const Real r = (x1 / NumDf) / (x2 / DenDf);
  if (!(r >= 0)) return ContinuousDistribution::RandomValue(engine);
  return r < supportHigh_ ? r : supportHigh_;
}

void NoncentralFDistribution::ParameterLabel(int i, int n, std::string& s) const {
  if (n <= 0) {
    s = ParAt(i).Symbol;
  } else if (i == 1) {
    s = "@n_" + std::to_string(n) + "1^";
  } else if (i == 2) {
    s = "@n_" + std::to_string(n) + "2^";
  } else {
    s = "@l_" + std::to_string(n) + "^";
  }
}

}  // namespace vokt
