// L'Ecuyer's combined multiplicative congruential generator (1988): two
// 32-bit generators with moduli 2147483563 and 2147483399, period ~2.3e18.
#pragma once

#include <cstdint>

#include "numeric/checks.h"

namespace vokt {

// One stream of uniform numbers.  Whoever draws owns an engine and hands it
// to the draws (Distribution::RandomValue); there is no shared state.
class RandomEngine {
 public:
  // Seeded from the clock: a new stream every run.
  RandomEngine();
  // The repeatable stream of a seed (what `vokt-cli --seed` and the window's
  // seeded draws use).
  explicit RandomEngine(uint64_t seed);
  // The generator's two states as they are, each within 1 .. its modulus - 1.
  RandomEngine(int32_t seed1, int32_t seed2) : s1_(seed1), s2_(seed2) {}

  // Next uniform number, strictly between 0 and 1.
  Real Uniform();

  int32_t Seed1() const { return s1_; }
  int32_t Seed2() const { return s2_; }

 private:
  int32_t s1_;
  int32_t s2_;
};

}  // namespace vokt
