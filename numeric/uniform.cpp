#include "numeric/uniform.h"

#include <chrono>
#include <cmath>
#include <random>

namespace vokt {

namespace {
constexpr int32_t kM1 = 2147483563;
constexpr int32_t kM2 = 2147483399;
constexpr Real kScale = 4.656613e-10L;

// Maps a value in [0, 1) to a seed in 1 .. m - 1; the plain 1 + round(r x
// 2147483647) can exceed both moduli and even 32 bits.
int32_t SeedFrom(double r, int32_t m) {
  auto v = static_cast<int64_t>(std::nearbyint(r * 2147483647.0));
  return static_cast<int32_t>(1 + v % (m - 1));
}

struct Seeds {
  int32_t s1, s2;
  Seeds() {
    std::mt19937_64 platform(
        static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    std::uniform_real_distribution<double> u(0.0, 1.0);
    double r1 = u(platform), r2 = u(platform);
    s1 = SeedFrom(r1, kM1);
    s2 = SeedFrom(r2, kM2);
  }
};

Seeds& State() {
  static Seeds seeds;
  return seeds;
}
}  // namespace

Real Uniform() {
  Seeds& s = State();
  int32_t k = s.s1 / 53668;
  s.s1 = 40014 * (s.s1 - k * 53668) - k * 12211;
  if (s.s1 < 0) s.s1 += kM1;
  k = s.s2 / 52774;
  s.s2 = 40692 * (s.s2 - k * 52774) - k * 3791;
  if (s.s2 < 0) s.s2 += kM2;
  int32_t z = s.s1 - s.s2;
  if (z < 1) z += 2147483562;
  return z * kScale;
}

void SeedUniform(uint64_t seed) {
  std::mt19937_64 g(seed);
  Seeds& s = State();
  s.s1 = static_cast<int32_t>(1 + g() % (kM1 - 1));
  s.s2 = static_cast<int32_t>(1 + g() % (kM2 - 1));
}

void SetSeeds(int32_t seed1, int32_t seed2) {
  State().s1 = seed1;
  State().s2 = seed2;
}

void GetSeeds(int32_t& seed1, int32_t& seed2) {
  seed1 = State().s1;
  seed2 = State().s2;
}

}  // namespace vokt
