// Cost of the cdf, the upper tail, the density, both quantiles and the
// random generator of the closed-form families, the lognormal and the
// inverse Gaussian at their catalogue defaults (the inverse Gaussian also at
// phi = 1e4, where its cdf takes the Mills-ratio route).
#include <benchmark/benchmark.h>

#include "distrib/catalogue.h"
#include "numeric/uniform.h"

namespace {

using vokt::Real;

std::unique_ptr<vokt::Distribution> Make(const benchmark::State& state) {
  auto d = vokt::CreateDistribution(static_cast<uint16_t>(state.range(0)));
  if (state.range(1) != 0) d->SetParameters(1, static_cast<Real>(state.range(1)), 1);
  return d;
}

void Cdf(benchmark::State& state) {
  auto d = Make(state);
  Real lo = d->SupportLow() > -1e3L ? d->SupportLow() : d->Mode() - 10;
  Real x = lo, step = 1e-3L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d->Cdf(x));
    x += step;
    if (x > lo + 20) x = lo;
  }
}

void UpperTail(benchmark::State& state) {
  auto d = Make(state);
  Real lo = d->SupportLow() > -1e3L ? d->SupportLow() : d->Mode() - 10;
  Real x = lo, step = 1e-3L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d->UpperTail(x));
    x += step;
    if (x > lo + 20) x = lo;
  }
}

void Density(benchmark::State& state) {
  auto d = Make(state);
  Real lo = d->SupportLow() > -1e3L ? d->SupportLow() : d->Mode() - 10;
  Real x = lo, step = 1e-3L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d->Density(x));
    x += step;
    if (x > lo + 20) x = lo;
  }
}

void UpperQuantile(benchmark::State& state) {
  auto d = Make(state);
  vokt::RandomEngine engine(1);
  for (auto _ : state) benchmark::DoNotOptimize(d->UpperQuantile(engine.Uniform()));
}

void Quantile(benchmark::State& state) {
  auto d = Make(state);
  vokt::RandomEngine engine(1);
  for (auto _ : state) {
    Real p = engine.Uniform();
    benchmark::DoNotOptimize(d->Quantile(p).X);
  }
}

void RandomValue(benchmark::State& state) {
  auto d = Make(state);
  vokt::RandomEngine engine(1);
  for (auto _ : state) benchmark::DoNotOptimize(d->RandomValue(engine));
}

void Types(benchmark::internal::Benchmark* b) {
  for (int t : {903, 913, 914, 915, 916, 917, 918, 919, 930}) b->Args({t, 0});
  b->Args({930, 10000});
}

}  // namespace

BENCHMARK(Cdf)->Apply(Types);
BENCHMARK(UpperTail)->Apply(Types);
BENCHMARK(Density)->Apply(Types);
BENCHMARK(Quantile)->Apply(Types);
BENCHMARK(UpperQuantile)->Apply(Types);
BENCHMARK(RandomValue)->Apply(Types);
BENCHMARK_MAIN();
