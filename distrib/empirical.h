// A discrete distribution given by a finite table of distinct values.  A
// builder fills the table (Points) either with occurrence counts (Count), or
// with probabilities and both tails already summed (SetProbabilityTable, for
// tables whose counts do not fit in 64 bits); every query is answered from
// the table by a tolerant binary search.
#pragma once

#include <vector>

#include "distrib/distribution.h"

namespace vokt {

class EmpiricalDistribution : public DiscreteDistribution {
 public:
  EmpiricalDistribution();

  Real MaxProb = 0;        // largest probability in the table
  int64_t MaxCount = 0;    // largest Count (counted tables only)
  bool AllSingle = false;  // every value has the same probability
  int64_t TotalCount = 0;  // sum of all Count (counted tables only)
  // P(X > x_i) for every point, summed from the top (never 1 - CumProb).
  std::vector<Real> UpperProb;

  int XDecimals() const override;
  bool InSupport(Real x) const override;
  Real PointProb(Real x) const override;
  Real Cdf(Real x) const override;
  Real UpperTail(Real x) const override;
  Real StrictLowerTail(Real x) const override;
  Real IntervalProb(Real a, Real b) const override;
  QuantileResult Quantile(Real p) const override;
  Real UpperQuantile(Real q) const override;
  Real RandomValue(RandomEngine& engine) const override;
  void SetParameters(Real p1, Real p2, Real p3) override;
  void PlotRange(GraphRange& r) const override;
  void BuildPointTable() override;

 protected:
  // Derives probabilities, both tails, mode and moments from the counts
  // (upper: room for the upper tails, one per point), or, after
  // SetProbabilityTable, the mode and moments from the probabilities (steps
  // of SetParameters).
  void DeriveFromCounts(std::vector<Real>&& upper);
  // Installs a table whose records carry X, Prob and CumProb, with upper[i]
  // = P(X > x_i); Count is not used.  Cannot fail.
  void SetProbabilityTable(std::unique_ptr<PointTable>&& points,
                           std::vector<Real>&& upper) noexcept;

 private:
  bool fromProbabilities_ = false;
};

// Relative tolerance of "reaches p" in the table quantiles: far above the
// rounding of the summed probabilities (a few units of 1e-19), far below any
// gap between two of them that matters.
inline constexpr Real kQuantileRelTol = 1e-15L;

}  // namespace vokt
