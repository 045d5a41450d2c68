// Speed of the discrete families: distribution function, quantile and random
// values at sizes where sums and walks would show, and the point table built
// by SetParameters.  Targets: Quantile under 50 us, SetParameters under
// 50 ms, 10^6 random values under 0.5 s.
#include <benchmark/benchmark.h>

#include <memory>

#include "distrib/binomial.h"
#include "distrib/hypergeometric.h"
#include "distrib/poisson.h"
#include "numeric/uniform.h"

namespace {

using namespace vokt;

std::unique_ptr<tDiscrete_distribution> Make(int which) {
  switch (which) {
    case 0: return std::make_unique<tBinomial_Distribution>(1000, 0.3L);
    case 1: return std::make_unique<tPoisson_Distribution>(1000);
    default: return std::make_unique<tHypergeometric_Distribution>(500, 200, 66);
  }
}

const char* Label(int which) {
  switch (which) {
    case 0: return "binomial(1000,0.3)";
    case 1: return "Poisson(1000)";
    default: return "hypergeometric(500,200,66)";
  }
}

void BM_Cdf(benchmark::State& state) {
  auto d = Make(static_cast<int>(state.range(0)));
  state.SetLabel(Label(static_cast<int>(state.range(0))));
  const Extended lo = d->Mean - 3 * d->StdDev(), hi = d->Mean + 3 * d->StdDev();
  Extended x = lo;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d->Cdf(x));
    x = x + 1 > hi ? lo : x + 1;
  }
}
BENCHMARK(BM_Cdf)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_Quantile(benchmark::State& state) {
  auto d = Make(static_cast<int>(state.range(0)));
  state.SetLabel(Label(static_cast<int>(state.range(0))));
  static const Extended probs[] = {1e-9L, 0.001L, 0.1L, 0.5L, 0.77L, 0.999L, 1 - 1e-9L};
  size_t i = 0;
  for (auto _ : state) {
    Extended p = probs[i];
    benchmark::DoNotOptimize(d->Quantile(p));
    i = (i + 1) % (sizeof probs / sizeof probs[0]);
  }
}
BENCHMARK(BM_Quantile)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_RandomValues(benchmark::State& state) {
  auto d = Make(static_cast<int>(state.range(0)));
  state.SetLabel(Label(static_cast<int>(state.range(0))));
  SeedUniform(1);
  for (auto _ : state) {
    Extended s = 0;
    for (int i = 0; i < 1000000; ++i) s += d->RandomValue();
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_RandomValues)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_PoissonSetParameters(benchmark::State& state) {
  tPoisson_Distribution d(5);
  for (auto _ : state) benchmark::DoNotOptimize(d.SetParameters(1e6L, 1, 1));
}
BENCHMARK(BM_PoissonSetParameters)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
