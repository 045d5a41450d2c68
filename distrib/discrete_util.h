// Helper shared by the discrete families: a guard that puts a distribution
// back as it was when a parameter change fails after validation.
#pragma once

#include <array>
#include <cstdint>
#include <tuple>

#include "distrib/distribution.h"

namespace vokt {

// Copy of the base fields that SetParameters changes.  The point table is not
// part of it: BuildPointTable replaces the table only once everything else
// has succeeded.
class DiscreteSnapshot {
 public:
  explicit DiscreteSnapshot(const DiscreteDistribution& d);
  // Puts back support, moments, mode, maximum and hat width; the parameter
  // records and their count too when records is true.
  void Restore(DiscreteDistribution& d, bool records) const;

 private:
  uint16_t nameId_;
  uint8_t parCount_;
  std::array<Parameter, 4> par_;
  Real supportLow_, supportHigh_;
  bool hasMean_, hasVariance_;
  Real mean_, variance_, mode_, maxDens_, hatWidth_;
};

// Guards one SetParameters call.  Unless Commit is reached, the destructor
// restores the base fields and the family fields passed in.  A failure during
// validation leaves the parameter records as the validation left them (the
// values that passed stay stored); a failure after it (Validated called)
// restores the records too, so that they describe the parameters in use.
// With wholeRecords the records are restored in either case: the one-parameter
// wrappers (Bernoulli, geometric) validate through their two-parameter base
// and must never be left looking like it.
template <class... Fields>
class ParameterChangeGuard {
 public:
  ParameterChangeGuard(DiscreteDistribution& d, bool wholeRecords, Fields&... fields)
      : d_(d), snapshot_(d), wholeRecords_(wholeRecords), refs_(fields...), saved_(fields...) {}
  ~ParameterChangeGuard() {
    if (committed_) return;
    snapshot_.Restore(d_, validated_ || wholeRecords_);
    refs_ = saved_;
  }
  ParameterChangeGuard(const ParameterChangeGuard&) = delete;
  ParameterChangeGuard& operator=(const ParameterChangeGuard&) = delete;

  void Validated() { validated_ = true; }
  void Commit() { committed_ = true; }

 private:
  DiscreteDistribution& d_;
  DiscreteSnapshot snapshot_;
  bool wholeRecords_;
  bool validated_ = false;
  bool committed_ = false;
  std::tuple<Fields&...> refs_;
  std::tuple<Fields...> saved_;
};

}  // namespace vokt
