// The catalogue of distribution types and the factory that creates them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "distrib/distribution.h"

namespace vokt {

inline constexpr uint16_t kFirstType = 901;
inline constexpr uint16_t kLastType = 932;

// Creates the distribution of type t.  With useDefaults the catalogue's
// default parameters are used and every record is marked Unset; otherwise
// values[1..3] give the values and Unset flags.  An id without a class gives
// a bare Distribution.
std::unique_ptr<Distribution> CreateDistribution(uint16_t t, const std::array<Parameter, 4>& values,
                                                 bool useDefaults);
std::unique_ptr<Distribution> CreateDistribution(uint16_t t);

// True when type t has a class in this build.
bool TypeAvailable(uint16_t t);
// The available type ids, in increasing order.
std::vector<uint16_t> AvailableTypes();

// Finds a type by id ("905") or name, case-insensitively; blanks and hyphens
// in the name may be written as either ("negative-binomial", "non-central
// chi2", "non-central-chi2").  0 when nothing matches.
uint16_t FindType(const std::string& text);

}  // namespace vokt
