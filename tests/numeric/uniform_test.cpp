#include "numeric/uniform.h"

#include <gtest/gtest.h>

namespace vokt {
namespace {

TEST(Uniform, FirstStepFromSeedsOne) {
  SetSeeds(1, 1);
  Real u = Uniform();
  int32_t s1, s2;
  GetSeeds(s1, s2);
  EXPECT_EQ(s1, 40014);
  EXPECT_EQ(s2, 40692);
  EXPECT_EQ(u, 2147482884 * 4.656613e-10L);
}

TEST(Uniform, NeverZeroNorOne) {
  SeedUniform(99);
  for (int i = 0; i < 200000; ++i) {
    Real v = Uniform();
    ASSERT_GT(v, 0);
    ASSERT_LT(v, 1);
  }
}

TEST(Uniform, LargestSeedStaysInRange) {
  SetSeeds(2147483562, 2147483398);
  Uniform();
  int32_t s1, s2;
  GetSeeds(s1, s2);
  EXPECT_GT(s1, 0);
  EXPECT_LT(s1, 2147483563);
  EXPECT_GT(s2, 0);
  EXPECT_LT(s2, 2147483399);
}

TEST(Uniform, SeedingRepeatsTheStream) {
  SeedUniform(7);
  Real a = Uniform(), b = Uniform();
  SeedUniform(7);
  EXPECT_EQ(Uniform(), a);
  EXPECT_EQ(Uniform(), b);
  double sum = 0;
  const int n = 100000;
  for (int i = 0; i < n; ++i) sum += (double)Uniform();
  EXPECT_NEAR(sum / n, 0.5, 0.005);
}

}  // namespace
}  // namespace vokt
