// Speed of the discrete families: distribution function, quantile and random
// values at sizes where sums and walks would show, and the point table built
// by SetParameters.  Targets: Quantile under 50 us, SetParameters under
// 50 ms, 10^6 random values under 0.5 s.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>

#include "distrib/binomial.h"
#include "distrib/catalogue.h"
#include "distrib/hypergeometric.h"
#include "distrib/negative_binomial.h"
#include "distrib/poisson.h"
#include "numeric/uniform.h"

namespace {

using namespace vokt;

std::unique_ptr<DiscreteDistribution> Make(int which) {
  switch (which) {
    case 0:
      return std::make_unique<BinomialDistribution>(1000, 0.3L);
    case 1:
      return std::make_unique<PoissonDistribution>(1000);
    case 3:
      return std::make_unique<BinomialDistribution>(1e7L, 0.3L);
    case 4:
      return std::make_unique<PoissonDistribution>(1e6L);
    case 5:
      return std::make_unique<NegativeBinomialDistribution>(5, 1e-6L);
    default:
      return std::make_unique<HypergeometricDistribution>(500, 200, 66);
  }
}

const char* Label(int which) {
  switch (which) {
    case 0:
      return "binomial(1000,0.3)";
    case 1:
      return "Poisson(1000)";
    case 3:
      return "binomial(1e7,0.3)";
    case 4:
      return "Poisson(1e6)";
    case 5:
      return "negative-binomial(5,1e-6)";
    default:
      return "hypergeometric(500,200,66)";
  }
}

void BM_Cdf(benchmark::State& state) {
  auto d = Make(static_cast<int>(state.range(0)));
  state.SetLabel(Label(static_cast<int>(state.range(0))));
  const Real lo = d->Mean() - 3 * d->StdDev(), hi = d->Mean() + 3 * d->StdDev();
  Real x = lo;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d->Cdf(x));
    x = x + 1 > hi ? lo : x + 1;
  }
}
// 3 to 5: the large parameters whose tails are sums of point probabilities.
BENCHMARK(BM_Cdf)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

void BM_Quantile(benchmark::State& state) {
  auto d = Make(static_cast<int>(state.range(0)));
  state.SetLabel(Label(static_cast<int>(state.range(0))));
  static const Real probs[] = {1e-9L, 0.001L, 0.1L, 0.5L, 0.77L, 0.999L, 1 - 1e-9L};
  size_t i = 0;
  for (auto _ : state) {
    Real p = probs[i];
    benchmark::DoNotOptimize(d->Quantile(p).X);
    i = (i + 1) % (sizeof probs / sizeof probs[0]);
  }
}
BENCHMARK(BM_Quantile)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_RandomValues(benchmark::State& state) {
  auto d = Make(static_cast<int>(state.range(0)));
  state.SetLabel(Label(static_cast<int>(state.range(0))));
  RandomEngine engine(1);
  for (auto _ : state) {
    Real s = 0;
    for (int i = 0; i < 1000000; ++i) s += d->RandomValue(engine);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_RandomValues)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_PoissonSetParameters(benchmark::State& state) {
  PoissonDistribution d(5);
  for (auto _ : state) {
    d.SetParameters(1e6L, 1, 1);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PoissonSetParameters)->Unit(benchmark::kMillisecond);

// The seven discrete types at their default parameters (the window's first
// view): distribution function, upper tail and point probability at every
// support point of the central range, and far-tail quantiles.
constexpr uint16_t kDefaultTypes[] = {904, 905, 906, 912, 920, 921, 922};

std::unique_ptr<Distribution> MakeDefault(int which, std::string& label) {
  const uint16_t t = kDefaultTypes[which];
  label = std::to_string(t);
  return CreateDistribution(t);
}

template <class Op>
void AtDefaults(benchmark::State& state, Op op) {
  std::string label;
  auto d = MakeDefault(static_cast<int>(state.range(0)), label);
  state.SetLabel(label);
  const Real lo = d->SupportLow(), hi = std::min(d->SupportHigh(), d->SupportLow() + 12);
  Real x = lo;
  for (auto _ : state) {
    benchmark::DoNotOptimize(op(*d, x));
    x = x + 1 > hi ? lo : x + 1;
  }
}

void BM_DefaultCdf(benchmark::State& state) {
  AtDefaults(state, [](Distribution& d, Real x) { return d.Cdf(x); });
}
BENCHMARK(BM_DefaultCdf)->DenseRange(0, 6)->Unit(benchmark::kNanosecond);

void BM_DefaultUpperTail(benchmark::State& state) {
  AtDefaults(state, [](Distribution& d, Real x) { return d.UpperTail(x); });
}
BENCHMARK(BM_DefaultUpperTail)->DenseRange(0, 6)->Unit(benchmark::kNanosecond);

void BM_DefaultPointProb(benchmark::State& state) {
  AtDefaults(state, [](Distribution& d, Real x) { return d.PointProb(x); });
}
BENCHMARK(BM_DefaultPointProb)->DenseRange(0, 6)->Unit(benchmark::kNanosecond);

void BM_UpperTail(benchmark::State& state) {
  auto d = Make(static_cast<int>(state.range(0)));
  state.SetLabel(Label(static_cast<int>(state.range(0))));
  const Real lo = d->Mean() - 3 * d->StdDev(), hi = d->Mean() + 3 * d->StdDev();
  Real x = lo;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d->UpperTail(x));
    x = x + 1 > hi ? lo : x + 1;
  }
}
BENCHMARK(BM_UpperTail)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

// Far-tail quantiles of large distributions: binomial n = 1e7 and Poisson
// 1e6 at p = 1e-10 and 1 - 1e-10.
void BM_FarQuantile(benchmark::State& state) {
  std::unique_ptr<DiscreteDistribution> d;
  if (state.range(0) == 0) {
    d = std::make_unique<BinomialDistribution>(1e7L, 0.3L);
    state.SetLabel("binomial(1e7,0.3)");
  } else {
    d = std::make_unique<PoissonDistribution>(1e6L);
    state.SetLabel("Poisson(1e6)");
  }
  static const Real probs[] = {1e-10L, 1 - 1e-10L};
  size_t i = 0;
  for (auto _ : state) {
    Real p = probs[i];
    benchmark::DoNotOptimize(d->Quantile(p).X);
    i = (i + 1) % 2;
  }
}
BENCHMARK(BM_FarQuantile)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
