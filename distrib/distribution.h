// The distribution model's three base classes: tDistribution, the common base
// with parameter records, support, moments and the virtual operations;
// tContinuous_distribution with the generic quantile, decimals and density
// maximum; tDiscrete_distribution with point tables, summed interval
// probabilities, the walking quantile and the table-mountain generator.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formula/surface.h"
#include "numeric/checks.h"

namespace vokt {

// Parameter record.
struct tVar {
  bool Unset = false;
  Extended Value = 0;
  bool IsInteger = false;
  Extended Low = 0;
  Extended High = 0;
  std::string Symbol;     // formula markup, e.g. "@s^2_"
  std::string RangeHint;  // formula markup, e.g. "@s^2_ > 0"
};

struct tPlotRange {
  Extended Left = 0;
  Extended Right = 0;
};

// One support point of a discrete distribution.
struct tPointRecord {
  Extended X = 0;
  Extended Prob = 0;
  Extended CumProb = 0;
  int64_t Count = 0;  // occurrence count, used only by empirical tables
};

// Owning list of point records, kept sorted by X.
class tRealPointList {
 public:
  void Add(const tPointRecord& r) { items_.push_back(r); }
  void Insert(int index, const tPointRecord& r);
  // Range-checked access (ERangeError on a bad index).
  tPointRecord& operator[](int index);
  const tPointRecord& operator[](int index) const;
  int Count() const { return static_cast<int>(items_.size()); }
  void Clear();
  void Reserve(size_t n) { items_.reserve(n); }
  const std::vector<tPointRecord>& Items() const { return items_; }

 private:
  std::vector<tPointRecord> items_;
};

// Tolerant binary search: true and the index when a point lies within Eps of
// x, otherwise false and the index at which x would be inserted.
bool FindPoint(const tRealPointList& list, Extended x, int& index);

class tDistribution {
 public:
  tDistribution();
  virtual ~tDistribution();
  tDistribution(const tDistribution&) = delete;
  tDistribution& operator=(const tDistribution&) = delete;

  uint16_t NameId = 900;
  uint8_t ParCount = 2;
  std::array<tVar, 4> Par;  // indices 1..3; Par[0] unused
  Extended SupportLow = -InfBound;
  Extended SupportHigh = InfBound;
  bool HasMean = true;
  bool HasVariance = true;
  Extended Mean = 0;
  Extended Variance = 1;
  Extended Mode = -2147483648.0L;
  Extended MaxDens = 0;
  std::unique_ptr<tRealPointList> Points;

  // The virtual operations, in the order of their slots.
  virtual void GetParameter(int i, tVar& r) const;
  virtual void SetParameter(int i, const tVar& r);
  virtual Extended StdDev() const;
  virtual void Name(std::string& s) const;
  virtual int XDecimals();
  virtual bool CheckParameter(int i, Extended x);
  virtual bool InSupport(Extended x) const;
  virtual Extended PointProb(Extended x);
  virtual Extended Density(Extended x);
  virtual Extended Cdf(Extended x);
  // P(X > x), computed directly in the upper tail (never as 1 - Cdf where
  // that loses digits).  The base class falls back on the complement.
  virtual Extended UpperTail(Extended x);
  // P(X < x).  The base class gives Cdf(x) - PointProb(x) within [0, 1]; the
  // discrete families compute it directly as the distribution function at
  // the support point below x.
  virtual Extended StrictLowerTail(Extended x);
  virtual Extended IntervalProb(Extended a, Extended b);
  virtual Extended Quantile(Extended& p);
  // x with P(X > x) = q, solved on the upper tail.  The base class falls back
  // on Quantile(1 - q).
  virtual Extended UpperQuantile(Extended q);
  virtual Extended RandomValue();
  virtual int SetParameters(Extended p1, Extended p2, Extended p3);
  virtual void ParameterLabel(int i, int n, std::string& s) const;
  virtual void PlotRange(tPlotRange& r);
  virtual Extended MaxDensity();
  virtual void DrawDensity(DrawingSurface& box, Color pen, Color brush, Extended from, Extended to);
  virtual void DrawCdf(DrawingSurface& box, Extended x, Extended upper);

  // Conveniences over the slots above.
  std::string NameText() const;
  std::string Label(int i, int n = 0) const;
  tPlotRange Range();
  Extended QuantileOf(Extended p) { return Quantile(p); }
  virtual bool IsDiscrete() const { return false; }
  // The three probabilities P(X < x), P(X = x) and P(X > x), each computed
  // on its own side (the lower from Cdf, the upper from UpperTail), each in
  // [0, 1].
  void Probabilities(Extended x, Extended& left, Extended& central, Extended& right);

 protected:
  // When set, a real parameter whose lower bound is 0 only has to be above 0
  // (a variance of 1e-15 is a variance), not above the tolerance Eps.
  bool StrictPositive = false;
  // Checked access to Par (1-based); ERangeError outside 1..3.
  tVar& ParAt(int i);
  const tVar& ParAt(int i) const;
  // Sets Low, High, IsInteger and Symbol of record i (step 1 of every
  // family's SetParameters).
  void DefineParameter(int i, Extended low, Extended high, bool isInteger,
                       const std::string& symbol);
};

class tContinuous_distribution : public tDistribution {
 public:
  tContinuous_distribution();

  int XDecimals() override;
  Extended Cdf(Extended x) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended MaxDensity() override;
  void DrawDensity(DrawingSurface& box, Color pen, Color brush, Extended from,
                   Extended to) override;
  void DrawCdf(DrawingSurface& box, Extended x, Extended upper) override;

  // Width of the screen in pixels, which sets the step of the density-maximum
  // search; the window sets it from the display.
  static void SetScreenWidth(int pixels);
  static int ScreenWidth();

 protected:
  // The generic inversion: x with P(X <= x) = t (upper false) or P(X > x) = t
  // (upper true), for 0 < t <= 1/2, on the tail that holds t, with a
  // tolerance relative to t.
  Extended SolveTail(Extended t, bool upper);
};

class tDiscrete_distribution : public tDistribution {
 public:
  tDiscrete_distribution();

  Extended HatWidth = 0;

  bool InSupport(Extended x) const override;
  Extended PointProb(Extended x) override;
  // P(X <= x) and P(X > x), each summed directly from its own side where the
  // family has no closed form: the side of the mean the point lies on is
  // summed (the smaller tail, from its largest term outwards, by the
  // family's probability ratio), the other is its complement.  A value
  // within Eps of a support point is that point.
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  // P(X < x): the distribution function at the support point below x when
  // x is (within Eps) a support point, so that it is 0 at the lowest point.
  Extended StrictLowerTail(Extended x) override;
  Extended IntervalProb(Extended a, Extended b) override;
  // The smallest support point n with P(X <= n) >= p.  "Reaches p" allows a
  // relative 5e-12 of p (for p <= 1/2) or of 1 - p (above, where the search
  // runs on the upper tail), so that far-tail quantiles are exact.  p = 0
  // and p = 1 give the ends of the support; p is set to P(X <= n).
  Extended Quantile(Extended& p) override;
  // The smallest support point n with P(X > n) <= q (q within a relative
  // 5e-12), solved on the upper tail: the same point as Quantile(1 - q)
  // without forming 1 - q.  q = 1 gives the lowest point, q = 0 the highest.
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
  void PlotRange(tPlotRange& r) override;
  Extended MaxDensity() override;
  void DrawDensity(DrawingSurface& box, Color pen, Color brush, Extended from,
                   Extended to) override;
  void DrawCdf(DrawingSurface& box, Extended x, Extended upper) override;
  virtual void BuildPointTable();
  // Whether a parameter set whose plot range holds more points than a table
  // takes gets a thinned table (evenly spaced points, for the graphs) instead
  // of being refused: the family computes every probability on demand.
  virtual bool ThinTableAllowed() const { return false; }
  // P(X = k) / P(X = k - 1), or 0 where the family has none.
  virtual Extended ProbRatio(int32_t k);

  bool IsDiscrete() const override { return true; }

  // The integer point a value stands for in a distribution function: the
  // nearest integer within Eps, otherwise the integer below (+-inf stay).
  static Extended CdfPoint(Extended x);

 protected:
  // Where the mode search of BuildPointTable starts (the rounded mean).
  virtual Extended ModeStart();
  // P(lo <= X <= hi) summed point by point from the end named by fromTop
  // (the larger terms), by the probability ratio, until the rest is
  // negligible.  Capped.
  Extended SumPoints(Extended lo, Extended hi, bool fromTop);
  // ProbRatio for any value (0 beyond the 32-bit range).
  Extended RatioAt(Extended k);
  // The tails the quantile's search brackets with: Cdf and UpperTail unless
  // a family whose precise tails are long sums gives a quicker form (within
  // about 1e-12); the search then settles its answer on the precise tails.
  virtual Extended SearchCdf(Extended k) { return Cdf(k); }
  virtual Extended SearchUpperTail(Extended k) { return UpperTail(k); }
  // Whether SearchCdf and SearchUpperTail are such quicker forms.
  virtual bool QuickSearchTails() const { return false; }

 private:
  // The smallest support point for which holds(n) is true; holds is
  // monotone (false below, true above), start a guess.
  template <class Pred>
  Extended SearchPoint(Extended start, Pred holds);
  // Moves n to the smallest point where holds is true, one step at a time
  // (n is at most a step or two away).
  template <class Pred>
  Extended SettlePoint(Extended n, Pred holds);
  Extended StartGuess(Extended z);
};

}  // namespace vokt
