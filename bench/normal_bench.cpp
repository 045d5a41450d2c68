// Normal distribution: cdf, density, quantile and random values.
#include <benchmark/benchmark.h>

#include "distrib/normal.h"
#include "numeric/uniform.h"

namespace {

void BM_NormalCdf(benchmark::State& state) {
  vokt::NormalDistribution d(0, 1);
  vokt::Real x = -3;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d.Cdf(x));
    x += 0.001L;
    if (x > 3) x = -3;
  }
}
BENCHMARK(BM_NormalCdf);

void BM_NormalUpperTail(benchmark::State& state) {
  vokt::NormalDistribution d(0, 1);
  vokt::Real x = -3;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d.UpperTail(x));
    x += 0.001L;
    if (x > 3) x = -3;
  }
}
BENCHMARK(BM_NormalUpperTail);

void BM_NormalDensity(benchmark::State& state) {
  vokt::NormalDistribution d(0, 1);
  vokt::Real x = -3;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d.Density(x));
    x += 0.001L;
    if (x > 3) x = -3;
  }
}
BENCHMARK(BM_NormalDensity);

void BM_NormalQuantile(benchmark::State& state) {
  vokt::NormalDistribution d(0, 1);
  vokt::Real p = 0.001L;
  for (auto _ : state) {
    vokt::Real q = p;
    benchmark::DoNotOptimize(d.Quantile(q).X);
    p += 0.001L;
    if (p >= 1) p = 0.001L;
  }
}
BENCHMARK(BM_NormalQuantile);

void BM_NormalUpperQuantile(benchmark::State& state) {
  vokt::NormalDistribution d(0, 1);
  vokt::Real q = 1e-30L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d.UpperQuantile(q));
    q *= 10;
    if (q >= 0.5L) q = 1e-30L;
  }
}
BENCHMARK(BM_NormalUpperQuantile);

void BM_NormalMillionRandomValues(benchmark::State& state) {
  vokt::NormalDistribution d(0, 1);
  vokt::RandomEngine engine(1);
  for (auto _ : state) {
    vokt::Real s = 0;
    for (int i = 0; i < 1000000; ++i) s += d.RandomValue(engine);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_NormalMillionRandomValues)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
