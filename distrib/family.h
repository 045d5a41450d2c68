// The family table: every distribution type described once — its id, its
// kind, its parameters' defaults, how the window and the command line apply
// it, and how it is made.  The catalogue, the command line, the window and
// the graphs read this description instead of testing ids.  A new family is
// one new source file and one row in family.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "numeric/checks.h"

namespace vokt {

class Distribution;

enum class FamilyKind : uint8_t { Continuous, Discrete, RankTest };

// How applying the grid works for a type.
enum class ApplyStyle : uint8_t {
  Parameters,  // the parameters are set in place
  GroupSizes,  // one grid row per group size, plus a spare row (Kruskal-Wallis)
  Blocks,      // treatments and blocks build an exact table (Friedman)
};

struct Family {
  // Stable type id: the string table keys the name (Id), the range hints
  // (HintId) and the formulas by it, and the command line accepts it.
  uint16_t Id = 0;
  FamilyKind Kind = FamilyKind::Continuous;
  uint8_t ParameterCount = 0;
  std::array<Real, 3> Defaults{5, 5, 5};
  ApplyStyle Apply = ApplyStyle::Parameters;
  // The second and third parameters are the variance and the standard
  // deviation: typing one fills in the other (the normal distribution).
  bool SpreadPair = false;
  // The values of the statistic are not integers though the distribution is
  // discrete (Kruskal-Wallis H, Friedman S): the graph draws its bars in the
  // text colour, and a sample needs a number format.
  bool FractionalValues = false;
  // The test rejects for large values of the statistic only (a sum of
  // squares: Kruskal-Wallis H, Friedman S), so its tests are upper-tailed.
  bool OneSidedStatistic = false;
  // Makes the distribution with the given parameters (unused ones ignored).
  std::unique_ptr<Distribution> (*Make)(Real, Real, Real) = nullptr;

  // The string-table id of the range hint of parameter i (1-based).
  uint16_t HintId(int i) const { return static_cast<uint16_t>(Id + 1000 + 100 * i); }
  bool IsRankTest() const { return Kind == FamilyKind::RankTest; }
  // The exact table is built from sizes, off the window's thread, with a
  // known cost: Kruskal-Wallis and Friedman.
  bool BuildsTable() const { return Apply != ApplyStyle::Parameters; }
};

// The type the window shows at start: the standard normal distribution.
inline constexpr uint16_t kStartType = 901;

// All families, in increasing id order.
const std::vector<Family>& Families();
// The family of an id; null when there is none.
const Family* FindFamily(uint16_t id);
// The family of a distribution; a blank family (no flags) for a bare one.
const Family& FamilyOf(const Distribution& d);

}  // namespace vokt
