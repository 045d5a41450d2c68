// Speed of the exact enumerations (Kruskal-Wallis, Friedman) and of the
// signed-rank and Mann-Whitney recursions.  The "configs/s" counter is the
// number of configurations (Kruskal-Wallis assignments, Friedman multisets)
// evaluated per second.
#include <benchmark/benchmark.h>

#include "distrib/kruskal_friedman.h"
#include "distrib/rank_sums.h"

namespace {

using vokt::Extended;

void KruskalWallis(benchmark::State& state, std::vector<int32_t> sizes) {
  vokt::tKruskalWallis_Distribution d({0, 1, 1}, nullptr);
  const double configs = static_cast<double>(vokt::KruskalWallisConfigurations(sizes));
  for (auto _ : state) {
    d.BuildKruskalWallis(sizes, nullptr);
    benchmark::DoNotOptimize(d.TotalCount);
  }
  state.counters["configs"] = configs;
  state.counters["configs/s"] =
      benchmark::Counter(configs, benchmark::Counter::kIsIterationInvariantRate);
}

void Friedman(benchmark::State& state, int T, int B) {
  vokt::tFriedman_Distribution d(nullptr, 2, 2);
  const double configs = static_cast<double>(vokt::FriedmanConfigurations(T, B));
  for (auto _ : state) {
    d.BuildFriedman(nullptr, T, B);
    benchmark::DoNotOptimize(d.TotalCount);
  }
  state.counters["configs"] = configs;
  state.counters["configs/s"] =
      benchmark::Counter(configs, benchmark::Counter::kIsIterationInvariantRate);
}

void SignedRank(benchmark::State& state) {
  const Extended n = static_cast<Extended>(state.range(0));
  for (auto _ : state) {
    vokt::tWilcoxon_Distribution d(n);
    benchmark::DoNotOptimize(d.ProbTable.data());
  }
}

void MannWhitney(benchmark::State& state) {
  const Extended m = static_cast<Extended>(state.range(0));
  for (auto _ : state) {
    vokt::tMann_Whitney_Distribution d(m, m);
    benchmark::DoNotOptimize(d.ProbTable.data());
  }
}

BENCHMARK_CAPTURE(KruskalWallis, s5_5_5, std::vector<int32_t>{0, 5, 5, 5})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(KruskalWallis, s6_6_6, std::vector<int32_t>{0, 6, 6, 6})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(KruskalWallis, s4_4_4_4, std::vector<int32_t>{0, 4, 4, 4, 4})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Friedman, T4_B8, 4, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Friedman, T5_B4, 5, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Friedman, T5_B5, 5, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(SignedRank)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(MannWhitney)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
