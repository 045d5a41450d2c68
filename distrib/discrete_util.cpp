#include "distrib/discrete_util.h"

namespace vokt {

DiscreteSnapshot::DiscreteSnapshot(const DiscreteDistribution& d)
    : nameId_(d.NameId),
      parCount_(d.ParCount),
      par_(d.Par),
      supportLow_(d.SupportLow),
      supportHigh_(d.SupportHigh),
      hasMean_(d.HasMean),
      hasVariance_(d.HasVariance),
      mean_(d.Mean),
      variance_(d.Variance),
      mode_(d.Mode),
      maxDens_(d.MaxDens),
      hatWidth_(d.HatWidth) {}

void DiscreteSnapshot::Restore(DiscreteDistribution& d, bool records) const {
  d.NameId = nameId_;
  if (records) {
    d.ParCount = parCount_;
    d.Par = par_;
  }
  d.SupportLow = supportLow_;
  d.SupportHigh = supportHigh_;
  d.HasMean = hasMean_;
  d.HasVariance = hasVariance_;
  d.Mean = mean_;
  d.Variance = variance_;
  d.Mode = mode_;
  d.MaxDens = maxDens_;
  d.HatWidth = hatWidth_;
}

}  // namespace vokt
