// The distribution model's three base classes: Distribution, the common base
// with parameter records, support, moments and the virtual operations;
// ContinuousDistribution with the generic quantile, decimals and density
// maximum; DiscreteDistribution with point tables, summed interval
// probabilities, the walking quantile and the table-mountain generator.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "formula/surface.h"
#include "numeric/checks.h"

namespace vokt {

class RandomEngine;

// Parameter record.
struct Parameter {
  bool Unset = false;
  Real Value = 0;
  bool IsInteger = false;
  Real Low = 0;
  Real High = 0;
  std::string Symbol;     // formula markup, e.g. "@s^2_"
  std::string RangeHint;  // formula markup, e.g. "@s^2_ > 0"
};

// A quantile: the point x and the probability P(X <= x) it reaches.  For a
// continuous distribution that is the probability asked for; a discrete one
// stops at the smallest support point whose distribution function reaches
// it, and says how far that is.
struct QuantileResult {
  Real X = 0;
  Real Probability = 0;
};

struct GraphRange {
  Real Left = 0;
  Real Right = 0;
};

// One support point of a discrete distribution.
struct PointRecord {
  Real X = 0;
  Real Prob = 0;
  Real CumProb = 0;
  int64_t Count = 0;  // occurrence count, used only by empirical tables
};

// Owning list of point records, kept sorted by X.
class PointTable {
 public:
  PointTable() = default;
  explicit PointTable(std::vector<PointRecord>&& items) : items_(std::move(items)) {}
  void Add(const PointRecord& r) { items_.push_back(r); }
  void Insert(int index, const PointRecord& r);
  // Range-checked access (RangeError on a bad index).
  PointRecord& operator[](int index);
  const PointRecord& operator[](int index) const;
  int Count() const { return static_cast<int>(items_.size()); }
  void Clear();
  void Reserve(size_t n) { items_.reserve(n); }
  const std::vector<PointRecord>& Items() const { return items_; }

 private:
  std::vector<PointRecord> items_;
};

// Tolerant binary search: true and the index when a point lies within Eps of
// x, otherwise false and the index at which x would be inserted.
bool FindPoint(const PointTable& list, Real x, int& index);

class Distribution {
 public:
  Distribution();
  virtual ~Distribution();
  Distribution(const Distribution&) = delete;
  Distribution& operator=(const Distribution&) = delete;

  // What the parameters made: read here, set only by the family's
  // SetParameters (and the rank tables' builds).
  uint16_t NameId() const { return nameId_; }
  uint8_t ParCount() const { return parCount_; }
  // The parameter records, indices 1..3 (0 unused).
  const std::array<Parameter, 4>& Par() const { return par_; }
  Real SupportLow() const { return supportLow_; }
  Real SupportHigh() const { return supportHigh_; }
  bool HasMean() const { return hasMean_; }
  bool HasVariance() const { return hasVariance_; }
  Real Mean() const { return mean_; }
  Real Variance() const { return variance_; }
  // The family's mode (see ModeValue for the one a search found).
  Real Mode() const { return mode_; }
  Real MaxDens() const { return maxDens_; }
  // The point table of a discrete distribution; null for a continuous one.
  const PointTable* Points() const { return points_.get(); }
  // How record i shows in the grid: not yet typed (unset), and the hint of
  // its range; neither changes what the distribution computes.
  void MarkUnset(int i, bool unset) { ParAt(i).Unset = unset; }
  void SetRangeHint(int i, const std::string& hint) { ParAt(i).RangeHint = hint; }

  // The virtual operations, in the order of their slots.
  virtual void GetParameter(int i, Parameter& r) const;
  virtual void SetParameter(int i, const Parameter& r);
  virtual Real StdDev() const;
  virtual void Name(std::string& s) const;
  virtual int XDecimals() const;
  // Checks a value for parameter i against its record; raises the message
  // of the first fault.  Changes nothing.
  virtual void CheckParameter(int i, Real x) const;
  virtual bool InSupport(Real x) const;
  virtual Real PointProb(Real x) const;
  virtual Real Density(Real x) const;
  virtual Real Cdf(Real x) const;
  // P(X > x), computed directly in the upper tail (never as 1 - Cdf where
  // that loses digits).  The base class falls back on the complement.
  virtual Real UpperTail(Real x) const;
  // P(X < x).  The base class gives Cdf(x) - PointProb(x) within [0, 1]; the
  // discrete families compute it directly as the distribution function at
  // the support point below x.
  virtual Real StrictLowerTail(Real x) const;
  virtual Real IntervalProb(Real a, Real b) const;
  virtual QuantileResult Quantile(Real p) const;
  // x with P(X > x) = q, solved on the upper tail.  The base class falls back
  // on Quantile(1 - q).
  virtual Real UpperQuantile(Real q) const;
  virtual Real RandomValue(RandomEngine& engine) const;
  // Gives the distribution new parameters.  Everything is checked and
  // computed before anything is stored: a refused set (any exception) leaves
  // the distribution exactly as it was, parameter records included.
  virtual void SetParameters(Real p1, Real p2, Real p3);
  virtual void ParameterLabel(int i, int n, std::string& s) const;
  virtual void PlotRange(GraphRange& r) const;
  virtual Real MaxDensity() const;

  // Conveniences over the slots above.
  std::string NameText() const;
  std::string Label(int i, int n = 0) const;
  GraphRange Range() const;
  virtual bool IsDiscrete() const { return false; }
  // The three probabilities P(X < x), P(X = x) and P(X > x), each computed
  // on its own side (the lower from Cdf, the upper from UpperTail), each in
  // [0, 1].
  void Probabilities(Real x, Real& left, Real& central, Real& right) const;
  // The mode: the family's, or where MaxDensity found the highest density of
  // a continuous distribution whose family gives none.
  Real ModeValue() const { return peakFound_ ? peakMode_ : mode_; }

 protected:
  uint16_t nameId_ = 900;
  uint8_t parCount_ = 2;
  std::array<Parameter, 4> par_;  // indices 1..3; par_[0] unused
  Real supportLow_ = -InfBound;
  Real supportHigh_ = InfBound;
  bool hasMean_ = true;
  bool hasVariance_ = true;
  Real mean_ = 0;
  Real variance_ = 1;
  // Set with the parameters, never by an evaluation (see ModeValue).
  Real mode_ = -2147483648.0L;
  Real maxDens_ = 0;
  std::unique_ptr<PointTable> points_;

  // For the families' SetParameters, which build a fresh object of their own
  // class and move it in (see ReplaceWith).
  Distribution(Distribution&&) noexcept = default;
  Distribution& operator=(Distribution&&) noexcept = default;
  // Checks the first count values (p1, p2, p3) against their records in
  // order; changes nothing.
  void CheckParameters(int count, Real p1, Real p2, Real p3) const;
  // Checks the first count values, then stores them (their Unset flags
  // cleared) and forgets the support, the density maximum and the density
  // peak found: a refused value stores nothing.
  void StoreParameters(int count, Real p1, Real p2, Real p3);
  // What MaxDensity found where the family gives no maximum: a cache filled
  // by the first call after a parameter change (emptied by SetParameters).
  // An object is evaluated by one thread at a time, never shared.
  mutable Real peakDensity_ = 0;
  mutable Real peakMode_ = 0;
  mutable bool peakFound_ = false;
  // When set, a real parameter whose lower bound is 0 only has to be above 0
  // (a variance of 1e-15 is a variance), not above the tolerance Eps.
  bool StrictPositive = false;
  // Checked access to Par (1-based); RangeError outside 1..3.
  Parameter& ParAt(int i);
  const Parameter& ParAt(int i) const;
  // Sets Low, High, IsInteger and Symbol of record i (step 1 of every
  // family's SetParameters).
  void DefineParameter(int i, Real low, Real high, bool isInteger, const std::string& symbol);

  // The last step of a family's SetParameters: the parameters were applied
  // to next, a fresh object of the same class whose records started as
  // copies of target's, and everything that can fail has been computed
  // there; moving it in cannot fail.
  template <class D>
  static void ReplaceWith(D& target, D&& next) noexcept {
    static_assert(std::is_nothrow_move_assignable_v<D>);
    target = std::move(next);
  }
};

class ContinuousDistribution : public Distribution {
 public:
  ContinuousDistribution();

  int XDecimals() const override;
  Real Cdf(Real x) const override;
  // {InverseCdf(p), p}: a continuous distribution reaches p exactly.
  QuantileResult Quantile(Real p) const override;
  // x with P(X <= x) = p; the generic inversion unless the family has a
  // closed form or a quicker one.
  virtual Real InverseCdf(Real p) const;
  Real UpperQuantile(Real q) const override;
  Real MaxDensity() const override;

 protected:
  // Where the quantile search starts.
  Real SearchStart() const;
  // The generic inversion: x with P(X <= x) = t (upper false) or P(X > x) = t
  // (upper true), for 0 < t <= 1/2, on the tail that holds t, with a
  // tolerance relative to t.
  Real SolveTail(Real t, bool upper) const;
};

class DiscreteDistribution : public Distribution {
 public:
  DiscreteDistribution();

  Real HatWidth = 0;

  bool InSupport(Real x) const override;
  Real PointProb(Real x) const override;
  // P(X <= x) and P(X > x), each summed directly from its own side where the
  // family has no closed form: the side of the mean the point lies on is
  // summed (the smaller tail, from its largest term outwards, by the
  // family's probability ratio), the other is its complement.  A value
  // within Eps of a support point is that point.
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  // P(X < x): the distribution function at the support point below x when
  // x is (within Eps) a support point, so that it is 0 at the lowest point.
  Real StrictLowerTail(Real x) const override;
  Real IntervalProb(Real a, Real b) const override;
  // The smallest support point n with P(X <= n) >= p.  "Reaches p" allows a
  // relative 5e-12 of p (for p <= 1/2) or of 1 - p (above, where the search
  // runs on the upper tail), so that far-tail quantiles are exact.  p = 0
  // and p = 1 give the ends of the support; the probability reached is
  // P(X <= n).
  QuantileResult Quantile(Real p) const override;
  // The smallest support point n with P(X > n) <= q (q within a relative
  // 5e-12), solved on the upper tail: the same point as Quantile(1 - q)
  // without forming 1 - q.  q = 1 gives the lowest point, q = 0 the highest.
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;
  void PlotRange(GraphRange& r) const override;
  Real MaxDensity() const override;
  virtual void BuildPointTable();
  // Whether a parameter set whose plot range holds more points than a table
  // takes gets a thinned table (evenly spaced points, for the graphs) instead
  // of being refused: the family computes every probability on demand.
  virtual bool ThinTableAllowed() const { return false; }
  // P(X = k) / P(X = k - 1), or 0 where the family has none.
  virtual Real ProbRatio(int32_t k) const;

  bool IsDiscrete() const override { return true; }

  // The integer point a value stands for in a distribution function: the
  // nearest integer within Eps, otherwise the integer below (+-inf stay).
  static Real CdfPoint(Real x);

 protected:
  // Where the mode search of BuildPointTable starts (the rounded mean).
  virtual Real ModeStart() const;
  // P(lo <= X <= hi) summed point by point from the end named by fromTop
  // (the larger terms), by the probability ratio, until the rest is
  // negligible.  Capped.
  Real SumPoints(Real lo, Real hi, bool fromTop) const;
  // ProbRatio for any value (0 beyond the 32-bit range).
  Real RatioAt(Real k) const;
  // The tails the quantile's search brackets with: Cdf and UpperTail unless
  // a family whose precise tails are long sums gives a quicker form (within
  // about 1e-12); the search then settles its answer on the precise tails.
  virtual Real SearchCdf(Real k) const { return Cdf(k); }
  virtual Real SearchUpperTail(Real k) const { return UpperTail(k); }
  // Whether SearchCdf and SearchUpperTail are such quicker forms.
  virtual bool QuickSearchTails() const { return false; }

 private:
  // The smallest support point for which holds(n) is true; holds is
  // monotone (false below, true above), start a guess.
  template <class Pred>
  Real SearchPoint(Real start, Pred holds) const;
  // Moves n to the smallest point where holds is true, one step at a time
  // (n is at most a step or two away).
  template <class Pred>
  Real SettlePoint(Real n, Pred holds) const;
  Real StartGuess(Real z) const;
};

}  // namespace vokt
