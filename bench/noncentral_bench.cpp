// Cdf, UpperTail, Density, Quantile and UpperQuantile of the non-central
// families at the catalogue defaults and at large non-centralities, and the
// direct random generators.  Targets: every Cdf and upper tail under 20 us
// at the defaults, every Quantile under 20 us at the defaults and under 1 ms
// elsewhere.
#include <benchmark/benchmark.h>

#include <memory>

#include "distrib/catalogue.h"
#include "numeric/uniform.h"

namespace {

using vokt::Real;

struct Setting {
  int type;
  Real p1, p2, p3;
  bool defaults;
};

std::unique_ptr<vokt::Distribution> Make(const Setting& s) {
  auto d = vokt::CreateDistribution(static_cast<uint16_t>(s.type));
  if (!s.defaults) d->SetParameters(s.p1, s.p2, s.p3);
  return d;
}

// Index into this table is the benchmark argument.
const Setting kSettings[] = {
    {923, 5, 5, 0, true},     {924, 5, 5, 5, true},      {925, 5, 5, 0, true},
    {932, 5, 5, 5, true},     {923, 5, 1e4L, 0, false},  {924, 5, 5, 1e4L, false},
    {925, 5, 100, 0, false},  {932, 5, 5, 1e4L, false},  {923, 5, 1e7L, 0, false},
    {924, 5, 5, 1e7L, false}, {925, 5, 3000, 0, false},  {932, 5, 5, 1e7L, false},
    {925, 5, -50, 0, false},  {923, 2000, 50, 0, false}, {925, 2000, 50, 0, false},
};

void Label(benchmark::State& state, const Setting& s) {
  state.SetLabel(std::to_string(s.type) + (s.defaults ? " defaults"
                                                      : " (" + std::to_string((double)s.p1) + ", " +
                                                            std::to_string((double)s.p2) + ", " +
                                                            std::to_string((double)s.p3) + ")"));
}

// A spread of points through the bulk of the distribution: its quantiles.
std::vector<Real> Points(vokt::Distribution& d) {
  std::vector<Real> xs;
  for (Real p : {0.01L, 0.1L, 0.3L, 0.5L, 0.7L, 0.9L, 0.99L}) xs.push_back(d.Quantile(p).X);
  return xs;
}

void BM_Cdf(benchmark::State& state) {
  const Setting& s = kSettings[state.range(0)];
  auto d = Make(s);
  const auto xs = Points(*d);
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(d->Cdf(xs[i++ % xs.size()]));
  Label(state, s);
}

void BM_UpperTail(benchmark::State& state) {
  const Setting& s = kSettings[state.range(0)];
  auto d = Make(s);
  const auto xs = Points(*d);
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(d->UpperTail(xs[i++ % xs.size()]));
  Label(state, s);
}

void BM_UpperQuantile(benchmark::State& state) {
  const Setting& s = kSettings[state.range(0)];
  auto d = Make(s);
  const Real qs[] = {1e-30L, 1e-6L, 0.01L, 0.3L, 0.5L, 0.7L, 0.99L};
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(d->UpperQuantile(qs[i++ % 7]));
  Label(state, s);
}

void BM_Density(benchmark::State& state) {
  const Setting& s = kSettings[state.range(0)];
  auto d = Make(s);
  const auto xs = Points(*d);
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(d->Density(xs[i++ % xs.size()]));
  Label(state, s);
}

void BM_Quantile(benchmark::State& state) {
  const Setting& s = kSettings[state.range(0)];
  auto d = Make(s);
  const Real ps[] = {1e-6L, 0.01L, 0.3L, 0.5L, 0.7L, 0.99L, 1 - 1e-6L};
  size_t i = 0;
  for (auto _ : state) {
    Real p = ps[i++ % 7];
    benchmark::DoNotOptimize(d->Quantile(p).X);
  }
  Label(state, s);
}

void BM_RandomValue(benchmark::State& state) {
  const Setting& s = kSettings[state.range(0)];
  auto d = Make(s);
  vokt::RandomEngine engine(1);
  for (auto _ : state) benchmark::DoNotOptimize(d->RandomValue(engine));
  Label(state, s);
}

constexpr int kCount = sizeof kSettings / sizeof kSettings[0];

}  // namespace

BENCHMARK(BM_Cdf)->DenseRange(0, kCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpperTail)->DenseRange(0, kCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpperQuantile)->DenseRange(0, kCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Density)->DenseRange(0, kCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Quantile)->DenseRange(0, kCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RandomValue)->DenseRange(0, kCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
