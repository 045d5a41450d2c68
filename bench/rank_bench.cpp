// Speed of the exact rank-test tables at the sizes of the targets: the
// Kruskal-Wallis and Friedman dynamic programmes (build of the distribution,
// table included) and the signed-rank and Mann-Whitney recursions.  The
// "est s" counter is the build's own cost estimate, for comparison.  The
// targets: signed rank 1000 within 0.5 s, Mann-Whitney and rank sum
// 1000 x 1000 within 2 s.  The Mann-Whitney recursion shares its sweeps
// between two threads on two cores: its times are wall-clock times.
#include <benchmark/benchmark.h>

#include "distrib/kruskal_friedman.h"
#include "distrib/rank_sums.h"

namespace {

void KruskalWallis(benchmark::State& state, std::vector<int32_t> sizes) {
  vokt::KruskalWallisDistribution d({0, 1, 1});
  for (auto _ : state) {
    d.BuildKruskalWallis(sizes);
    benchmark::DoNotOptimize(d.Points()->Count());
  }
  state.counters["points"] = d.Points()->Count();
  state.counters["est s"] = vokt::KruskalWallisCost(sizes).Seconds();
}

void Friedman(benchmark::State& state, int T, int B) {
  vokt::FriedmanDistribution d(nullptr, 2, 2);
  for (auto _ : state) {
    d.BuildFriedman(nullptr, T, B);
    benchmark::DoNotOptimize(d.Points()->Count());
  }
  state.counters["points"] = d.Points()->Count();
  state.counters["est s"] = vokt::FriedmanCost(T, B).Seconds();
}

void SignedRank(benchmark::State& state) {
  const auto n = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    vokt::SignedRankDistribution d(n);
    benchmark::DoNotOptimize(d.Table.Prob.data());
  }
  state.counters["est s"] = vokt::SignedRankCost(n).Seconds();
}

void MannWhitney(benchmark::State& state) {
  const auto m = static_cast<int32_t>(state.range(0));
  const auto n = static_cast<int32_t>(state.range(1));
  for (auto _ : state) {
    vokt::MannWhitneyDistribution d(m, n);
    benchmark::DoNotOptimize(d.Table.Prob.data());
  }
  state.counters["est s"] = vokt::MannWhitneyCost(m, n).Seconds();
}

void RankSum(benchmark::State& state) {
  const auto m = static_cast<int32_t>(state.range(0));
  const auto n = static_cast<int32_t>(state.range(1));
  for (auto _ : state) {
    vokt::RankSumDistribution d(m, n);
    benchmark::DoNotOptimize(d.Table.Prob.data());
  }
  state.counters["est s"] = vokt::MannWhitneyCost(m, n).Seconds();
}

}  // namespace

BENCHMARK_CAPTURE(KruskalWallis, k6_6_6, std::vector<int32_t>{0, 6, 6, 6})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(KruskalWallis, k10_10_10, std::vector<int32_t>{0, 10, 10, 10})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(KruskalWallis, k15_15_15, std::vector<int32_t>{0, 15, 15, 15})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(KruskalWallis, k5_5_5_5, std::vector<int32_t>{0, 5, 5, 5, 5})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(Friedman, T3_B50, 3, 50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Friedman, T4_B20, 4, 20)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Friedman, T5_B10, 5, 10)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Friedman, T6_B6, 6, 6)->Unit(benchmark::kMillisecond)->Iterations(1);
// Signed rank 1000 in pairs of doubles, 1100 and 2000 in long double.
BENCHMARK(SignedRank)->Arg(1000)->Arg(1100)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(MannWhitney)
    ->Args({300, 300})
    ->Args({500, 500})
    ->Args({200, 1000})
    ->Args({1000, 1000})
    ->Args({1500, 1500})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(RankSum)->Args({1000, 1000})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

BENCHMARK_MAIN();
