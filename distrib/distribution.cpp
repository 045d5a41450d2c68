// Distribution: parameter validation, the cdf and interval probabilities
// defined through each other, inversion for random values, and the plotting
// range from the moments.
#include "distrib/distribution.h"

#include <cmath>
#include <limits>

#include "numeric/uniform.h"
#include "resources/strings.h"

namespace vokt {

void PointTable::Insert(int index, const PointRecord& r) {
  if (index < 0 || index > Count()) throw RangeError();
  items_.insert(items_.begin() + index, r);
}

PointRecord& PointTable::operator[](int index) {
  if (index < 0 || index >= Count()) throw RangeError();
  return items_[static_cast<size_t>(index)];
}

const PointRecord& PointTable::operator[](int index) const {
  if (index < 0 || index >= Count()) throw RangeError();
  return items_[static_cast<size_t>(index)];
}

void PointTable::Clear() {
  items_.clear();
  items_.shrink_to_fit();
}

bool FindPoint(const PointTable& list, Real x, int& index) {
  const auto& items = list.Items();
  int count = list.Count();
  int lo = 0, hi = count - 1;
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (x > items[static_cast<size_t>(mid)].X + Eps)
      lo = mid + 1;
    else
      hi = mid;
  }
  if (count > 0 && std::fabs(items[static_cast<size_t>(lo)].X - x) < Eps) {
    index = lo;
    return true;
  }
  index = (lo < count && x > items[static_cast<size_t>(lo)].X) ? lo + 1 : lo;
  return false;
}

Distribution::Distribution() {
  par_[1].Symbol = "@m";
  par_[2].Symbol = "@s";
  par_[2].Value = 1.0L;
}

Distribution::~Distribution() = default;

Parameter& Distribution::ParAt(int i) {
  if (i < 1 || i > 3) throw RangeError();
  return par_[static_cast<size_t>(i)];
}

const Parameter& Distribution::ParAt(int i) const {
  if (i < 1 || i > 3) throw RangeError();
  return par_[static_cast<size_t>(i)];
}

void Distribution::DefineParameter(int i, Real low, Real high, bool isInteger,
                                   const std::string& symbol) {
  Parameter& v = ParAt(i);
  v.Low = low;
  v.High = high;
  v.IsInteger = isInteger;
  v.Symbol = symbol;
}

void Distribution::GetParameter(int i, Parameter& r) const { r = ParAt(i); }

void Distribution::SetParameter(int i, const Parameter& r) { ParAt(i).Value = r.Value; }

Real Distribution::StdDev() const {
  ErrorIf(!hasVariance_, msgNoVariance);
  return std::sqrt(variance_);
}

void Distribution::Name(std::string& s) const { s = LoadString(nameId_); }

std::string Distribution::NameText() const {
  std::string s;
  Name(s);
  return s;
}

int Distribution::XDecimals() const { return 0; }

void Distribution::CheckParameter(int i, Real x) const {
  const Parameter& v = ParAt(i);
  const Real L = v.Low, H = v.High;
  if (v.IsInteger) {
    CheckValue(1298 + 4 * i, x, L);
    CheckValue(1299 + 4 * i, x, H);
    ErrorIf(!IsIntegerValue(x), 1300 + 4 * i);
  } else {
    if (StrictPositive && L == 0) {
      if (!(x > 0)) throw ArgumentError(LoadString(1297 + 4 * i) + FormatNumber(0));
    } else {
      CheckValue(1297 + 4 * i, x, L);
    }
    CheckValue(msgLessThan, x, H);
  }
}

bool Distribution::InSupport(Real x) const { return supportLow_ <= x && x <= supportHigh_; }

Real Distribution::PointProb(Real) const { return 0; }

Real Distribution::Density(Real) const { return 0; }

Real Distribution::Cdf(Real x) const {
  // The cdf and the interval probability are defined through each other; a
  // NaN would pass every comparison below and recurse without end.
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x < supportLow_) return 0;
  if (x >= supportHigh_) return 1;
  return IntervalProb(supportLow_, x);
}

Real Distribution::UpperTail(Real x) const {
  const Real r = 1 - Cdf(x);
  return r < 0 ? 0 : (r > 1 ? 1 : r);
}

Real Distribution::StrictLowerTail(Real x) const {
  const Real r = Cdf(x) - PointProb(x);
  return r < 0 ? 0 : (r > 1 ? 1 : r);
}

void Distribution::Probabilities(Real x, Real& left, Real& central, Real& right) const {
  // Each from its own tail, so that none inherits the rounding of another.
  central = PointProb(x);
  if (!(central >= 0)) central = 0;
  if (central > 1) central = 1;
  right = UpperTail(x);
  if (!(right >= 0)) right = 0;
  if (right > 1) right = 1;
  left = StrictLowerTail(x);
  if (!(left >= 0)) left = 0;
  if (left > 1) left = 1;
}

Real Distribution::UpperQuantile(Real q) const {
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  return Quantile(1 - q).X;
}

Real Distribution::IntervalProb(Real a, Real b) const {
  if (std::isnan(a) || std::isnan(b)) RaiseMessage(msgNotANumber);
  if (a < supportLow_) a = supportLow_;
  if (b > supportHigh_) b = supportHigh_;
  Real r;
  if (b >= InfBound)
    r = 1 - Cdf(a) + PointProb(a);
  else if (a <= -InfBound)
    r = Cdf(b);
  else
    r = Cdf(b) - Cdf(a) + PointProb(a);
  if (r < 0) return 0;
  if (r > 1) return 1;
  return r;
}

QuantileResult Distribution::Quantile(Real p) const {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  return {0, p};
}

Real Distribution::RandomValue(RandomEngine& engine) const { return Quantile(engine.Uniform()).X; }

void Distribution::CheckParameters(int count, Real p1, Real p2, Real p3) const {
  const Real p[4] = {0, p1, p2, p3};
  // A value out of range raises ArgumentError here.
  for (int i = 1; i <= 3 && i <= count; ++i) CheckParameter(i, p[i]);
}

void Distribution::StoreParameters(int count, Real p1, Real p2, Real p3) {
  CheckParameters(count, p1, p2, p3);
  const Real p[4] = {0, p1, p2, p3};
  for (int i = 1; i <= 3 && i <= count; ++i) {
    Parameter r;
    r.Value = p[i];
    SetParameter(i, r);
    par_[static_cast<size_t>(i)].Unset = false;
  }
  peakDensity_ = 0;
  peakFound_ = false;
  supportLow_ = -InfBound;
  supportHigh_ = InfBound;
  maxDens_ = 0;
}

void Distribution::SetParameters(Real p1, Real p2, Real p3) {
  StoreParameters(parCount_, p1, p2, p3);
}

void Distribution::ParameterLabel(int i, int n, std::string& s) const {
  if (n <= 0)
    s = ParAt(i).Symbol;
  else
    s = ParAt(i).Symbol + "_" + std::to_string(n) + "^";
}

std::string Distribution::Label(int i, int n) const {
  std::string s;
  ParameterLabel(i, n, s);
  return s;
}

void Distribution::PlotRange(GraphRange& r) const {
  if (hasVariance_) {
    r.Left = mean_ - 4 * StdDev();
    if (r.Left < supportLow_) r.Left = supportLow_;
    r.Right = mean_ + 4 * StdDev();
    if (r.Right > supportHigh_) r.Right = supportHigh_;
  } else {
    r.Left = Quantile(0.005L).X;
    r.Right = Quantile(0.995L).X;
  }
  // The graph needs finite ends with a finite width between them.
  const Real big = std::numeric_limits<Real>::max() / 4;
  if (std::isnan(r.Left)) r.Left = supportLow_;
  if (std::isnan(r.Right)) r.Right = supportHigh_;
  r.Left = std::fmax(-big, std::fmin(r.Left, big));
  r.Right = std::fmax(-big, std::fmin(r.Right, big));
  if (!(r.Right > r.Left)) {
    const Real w = std::fabs(r.Left) > 1 ? std::fabs(r.Left) * 1e-6L : 1e-6L;
    r.Left -= w;
    r.Right += w;
  }
}

GraphRange Distribution::Range() const {
  GraphRange r;
  PlotRange(r);
  return r;
}

Real Distribution::MaxDensity() const {
  throw std::logic_error("Abstract error: MaxDensity is not implemented for this distribution");
}

}  // namespace vokt
