// A discrete distribution given by a finite table of distinct values, each
// with an occurrence count.  A builder fills the table (Points); SetParameters
// turns the counts into probabilities, cumulative probabilities and moments,
// and every query is answered from the table by binary search.
#pragma once

#include "distrib/distribution.h"

namespace vokt {

class tEmpirical_distribution : public tDiscrete_distribution {
 public:
  tEmpirical_distribution();

  int64_t MaxCount = 0;    // largest Count in the table
  bool AllSingle = false;  // every value occurs exactly once
  int64_t TotalCount = 0;  // sum of all Count

  int XDecimals() override;
  bool InSupport(Extended x) const override;
  Extended PointProb(Extended x) override;
  Extended Cdf(Extended x) override;
  Extended IntervalProb(Extended a, Extended b) override;
  Extended Quantile(Extended& p) override;
  Extended RandomValue() override;
  int SetParameters(Extended p1, Extended p2, Extended p3) override;
  void PlotRange(tPlotRange& r) override;
  void BuildPointTable() override;

 protected:
  // Derives probabilities, cumulative probabilities, mode and moments from
  // the counts (the first steps of SetParameters).
  void DeriveFromCounts();
};

}  // namespace vokt
