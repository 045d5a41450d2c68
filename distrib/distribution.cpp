// tDistribution: parameter validation, the cdf and interval probabilities
// defined through each other, inversion for random values, and the plotting
// range from the moments.
#include "distrib/distribution.h"

#include <cmath>
#include <limits>

#include "numeric/uniform.h"
#include "resources/strings.h"

namespace vokt {

void tRealPointList::Insert(int index, const tPointRecord& r) {
  if (index < 0 || index > Count()) throw ERangeError();
  items_.insert(items_.begin() + index, r);
}

tPointRecord& tRealPointList::operator[](int index) {
  if (index < 0 || index >= Count()) throw ERangeError();
  return items_[static_cast<size_t>(index)];
}

const tPointRecord& tRealPointList::operator[](int index) const {
  if (index < 0 || index >= Count()) throw ERangeError();
  return items_[static_cast<size_t>(index)];
}

void tRealPointList::Clear() {
  items_.clear();
  items_.shrink_to_fit();
}

bool FindPoint(const tRealPointList& list, Extended x, int& index) {
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

tDistribution::tDistribution() {
  Par[1].Symbol = "@m";
  Par[2].Symbol = "@s";
  Par[2].Value = 1.0L;
}

tDistribution::~tDistribution() = default;

tVar& tDistribution::ParAt(int i) {
  if (i < 1 || i > 3) throw ERangeError();
  return Par[static_cast<size_t>(i)];
}

const tVar& tDistribution::ParAt(int i) const {
  if (i < 1 || i > 3) throw ERangeError();
  return Par[static_cast<size_t>(i)];
}

void tDistribution::DefineParameter(int i, Extended low, Extended high, bool isInteger,
                                    const std::string& symbol) {
  tVar& v = ParAt(i);
  v.Low = low;
  v.High = high;
  v.IsInteger = isInteger;
  v.Symbol = symbol;
}

void tDistribution::GetParameter(int i, tVar& r) const { r = ParAt(i); }

void tDistribution::SetParameter(int i, const tVar& r) { ParAt(i).Value = r.Value; }

Extended tDistribution::StdDev() const {
  ErrorIf(!HasVariance, msgNoVariance);
  return std::sqrt(Variance);
}

void tDistribution::Name(std::string& s) const { s = LoadString(NameId); }

std::string tDistribution::NameText() const {
  std::string s;
  Name(s);
  return s;
}

int tDistribution::XDecimals() { return 0; }

bool tDistribution::CheckParameter(int i, Extended x) {
  tVar& v = ParAt(i);
  const Extended L = v.Low, H = v.High;
  if (v.IsInteger) {
    CheckValue(1298 + 4 * i, x, L);
    CheckValue(1299 + 4 * i, x, H);
    ErrorIf(!IsIntegerValue(x), 1300 + 4 * i);
  } else {
    if (StrictPositive && L == 0) {
      if (!(x > 0)) throw EArgumentError(LoadString(1297 + 4 * i) + FormatNumber(0));
    } else {
      CheckValue(1297 + 4 * i, x, L);
    }
    CheckValue(msgLessThan, x, H);
  }
  v.Unset = false;
  return true;
}

bool tDistribution::InSupport(Extended x) const { return SupportLow <= x && x <= SupportHigh; }

Extended tDistribution::PointProb(Extended) { return 0; }

Extended tDistribution::Density(Extended) { return 0; }

Extended tDistribution::Cdf(Extended x) {
  // The cdf and the interval probability are defined through each other; a
  // NaN would pass every comparison below and recurse without end.
  if (std::isnan(x)) RaiseMessage(msgNotANumber);
  if (x < SupportLow) return 0;
  if (x >= SupportHigh) return 1;
  return IntervalProb(SupportLow, x);
}

Extended tDistribution::UpperTail(Extended x) {
  const Extended r = 1 - Cdf(x);
  return r < 0 ? 0 : (r > 1 ? 1 : r);
}

Extended tDistribution::StrictLowerTail(Extended x) {
  const Extended r = Cdf(x) - PointProb(x);
  return r < 0 ? 0 : (r > 1 ? 1 : r);
}

void tDistribution::Probabilities(Extended x, Extended& left, Extended& central, Extended& right) {
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

Extended tDistribution::UpperQuantile(Extended q) {
  CheckValue(msgAtLeast, q, 0);
  CheckValue(msgNotGreaterThan, q, 1);
  Extended p = 1 - q;
  return Quantile(p);
}

Extended tDistribution::IntervalProb(Extended a, Extended b) {
  if (std::isnan(a) || std::isnan(b)) RaiseMessage(msgNotANumber);
  if (a < SupportLow) a = SupportLow;
  if (b > SupportHigh) b = SupportHigh;
  Extended r;
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

Extended tDistribution::Quantile(Extended& p) {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
  return 0;
}

Extended tDistribution::RandomValue() {
  Extended u = Uniform();
  return Quantile(u);
}

int tDistribution::SetParameters(Extended p1, Extended p2, Extended p3) {
  const Extended p[4] = {0, p1, p2, p3};
  int result = 0;
  for (int i = 1; i <= 3 && result == 0 && i <= ParCount; ++i) {
    tVar r;
    r.Value = p[i];
    if (!CheckParameter(i, p[i]))
      result = i;
    else
      SetParameter(i, r);
  }
  SupportLow = -InfBound;
  SupportHigh = InfBound;
  MaxDens = 0;
  return result;
}

void tDistribution::ParameterLabel(int i, int n, std::string& s) const {
  if (n <= 0)
    s = ParAt(i).Symbol;
  else
    s = ParAt(i).Symbol + "_" + std::to_string(n) + "^";
}

std::string tDistribution::Label(int i, int n) const {
  std::string s;
  ParameterLabel(i, n, s);
  return s;
}

void tDistribution::PlotRange(tPlotRange& r) {
  if (HasVariance) {
    r.Left = Mean - 4 * StdDev();
    if (r.Left < SupportLow) r.Left = SupportLow;
    r.Right = Mean + 4 * StdDev();
    if (r.Right > SupportHigh) r.Right = SupportHigh;
  } else {
    Extended p = 0.005L;
    r.Left = Quantile(p);
    p = 0.995L;
    r.Right = Quantile(p);
  }
  // The graph needs finite ends with a finite width between them.
  const Extended big = std::numeric_limits<Extended>::max() / 4;
  if (std::isnan(r.Left)) r.Left = SupportLow;
  if (std::isnan(r.Right)) r.Right = SupportHigh;
  r.Left = std::fmax(-big, std::fmin(r.Left, big));
  r.Right = std::fmax(-big, std::fmin(r.Right, big));
  if (!(r.Right > r.Left)) {
    const Extended w = std::fabs(r.Left) > 1 ? std::fabs(r.Left) * 1e-6L : 1e-6L;
    r.Left -= w;
    r.Right += w;
  }
}

tPlotRange tDistribution::Range() {
  tPlotRange r;
  PlotRange(r);
  return r;
}

Extended tDistribution::MaxDensity() {
  throw std::logic_error("Abstract error: MaxDensity is not implemented for this distribution");
}

void tDistribution::DrawDensity(DrawingSurface&, Color, Color, Extended, Extended) {}

void tDistribution::DrawCdf(DrawingSurface&, Extended, Extended) {}

}  // namespace vokt
