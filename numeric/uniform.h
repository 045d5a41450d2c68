// L'Ecuyer's combined multiplicative congruential generator (1988): two
// 32-bit generators with moduli 2147483563 and 2147483399, period ~2.3e18.
#pragma once

#include <cstdint>

#include "numeric/checks.h"

namespace vokt {

// Next uniform number, strictly between 0 and 1.
Real Uniform();

// The window never calls these: it runs on the clock seeding done at start.
// Tests and `vokt-cli --seed` use them for repeatable streams.
void SeedUniform(uint64_t seed);
void SetSeeds(int32_t seed1, int32_t seed2);
void GetSeeds(int32_t& seed1, int32_t& seed2);

}  // namespace vokt
