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
}  // namespace

RandomEngine::RandomEngine() {
  std::mt19937_64 platform(
      static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  std::uniform_real_distribution<double> u(0.0, 1.0);
  double r1 = u(platform), r2 = u(platform);
  s1_ = SeedFrom(r1, kM1);
  s2_ = SeedFrom(r2, kM2);
}

RandomEngine::RandomEngine(uint64_t seed) {
  std::mt19937_64 g(seed);
  s1_ = static_cast<int32_t>(1 + g() % (kM1 - 1));
  s2_ = static_cast<int32_t>(1 + g() % (kM2 - 1));
}

Real RandomEngine::Uniform() {
  int32_t k = s1_ / 53668;
  s1_ = 40014 * (s1_ - k * 53668) - k * 12211;
  if (s1_ < 0) s1_ += kM1;
  k = s2_ / 52774;
  s2_ = 40692 * (s2_ - k * 52774) - k * 3791;
  if (s2_ < 0) s2_ += kM2;
  int32_t z = s1_ - s2_;
  if (z < 1) z += 2147483562;
  return z * kScale;
}

}  // namespace vokt
