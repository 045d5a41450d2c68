#include "numeric/uniform.h"

#include <gtest/gtest.h>

namespace vokt {
namespace {

TEST(Uniform, FirstStepFromSeedsOne) {
  RandomEngine engine(1, 1);
  Real u = engine.Uniform();
  EXPECT_EQ(engine.Seed1(), 40014);
  EXPECT_EQ(engine.Seed2(), 40692);
  EXPECT_EQ(u, 2147482884 * 4.656613e-10L);
}

TEST(Uniform, NeverZeroNorOne) {
  RandomEngine engine(uint64_t{99});
  for (int i = 0; i < 200000; ++i) {
    Real v = engine.Uniform();
    ASSERT_GT(v, 0);
    ASSERT_LT(v, 1);
  }
}

TEST(Uniform, LargestSeedStaysInRange) {
  RandomEngine engine(2147483562, 2147483398);
  engine.Uniform();
  EXPECT_GT(engine.Seed1(), 0);
  EXPECT_LT(engine.Seed1(), 2147483563);
  EXPECT_GT(engine.Seed2(), 0);
  EXPECT_LT(engine.Seed2(), 2147483399);
}

TEST(Uniform, SeedingRepeatsTheStream) {
  RandomEngine engine(uint64_t{7});
  Real a = engine.Uniform(), b = engine.Uniform();
  RandomEngine again(uint64_t{7});
  EXPECT_EQ(again.Uniform(), a);
  EXPECT_EQ(again.Uniform(), b);
  double sum = 0;
  const int n = 100000;
  for (int i = 0; i < n; ++i) sum += (double)again.Uniform();
  EXPECT_NEAR(sum / n, 0.5, 0.005);
}

TEST(Uniform, EnginesAreIndependent) {
  // Drawing from one engine leaves another with the same seed where it was.
  RandomEngine a(uint64_t{11}), b(uint64_t{11});
  for (int i = 0; i < 5; ++i) a.Uniform();
  RandomEngine c(uint64_t{11});
  EXPECT_EQ(b.Uniform(), c.Uniform());
}

}  // namespace
}  // namespace vokt
