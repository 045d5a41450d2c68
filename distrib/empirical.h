// A discrete distribution given by a finite table of distinct values.  A
// builder fills the table (Points) either with occurrence counts (Count), or
// with probabilities and both tails already summed (SetProbabilityTable, for
// tables whose counts do not fit in 64 bits); every query is answered from
// the table by a tolerant binary search.
#pragma once

#include <vector>

#include "distrib/distribution.h"

namespace vokt {

class tEmpirical_distribution : public tDiscrete_distribution {
 public:
  tEmpirical_distribution();

  Extended MaxProb = 0;    // largest probability in the table
  int64_t MaxCount = 0;    // largest Count (counted tables only)
  bool AllSingle = false;  // every value has the same probability
  int64_t TotalCount = 0;  // sum of all Count (counted tables only)
  // P(X > x_i) for every point, summed from the top (never 1 - CumProb).
  std::vector<Extended> UpperProb;

  int XDecimals() override;
  bool InSupport(Extended x) const override;
  Extended PointProb(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended UpperTail(Extended x) override;
  Extended StrictLowerTail(Extended x) override;
  Extended IntervalProb(Extended a, Extended b) override;
  Extended Quantile(Extended& p) override;
  Extended UpperQuantile(Extended q) override;
  Extended RandomValue() override;
  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  void PlotRange(tPlotRange& r) override;
  void BuildPointTable() override;

 protected:
  // Derives probabilities, both tails, mode and moments from the counts, or,
  // after SetProbabilityTable, the mode and moments from the probabilities
  // (the first steps of SetParameters).
  void DeriveFromCounts();
  // Installs a table whose records carry X, Prob and CumProb, with upper[i]
  // = P(X > x_i); Count is not used.
  void SetProbabilityTable(std::vector<tPointRecord>&& records, std::vector<Extended>&& upper);

 private:
  bool fromProbabilities_ = false;
};

// Relative tolerance of "reaches p" in the table quantiles: far above the
// rounding of the summed probabilities (a few units of 1e-19), far below any
// gap between two of them that matters.
inline constexpr Extended kQuantileRelTol = 1e-15L;

}  // namespace vokt
