// Speed of the continuous types at their catalogue defaults: Cdf, upper
// tail and density (no slower than before the one kernel), Quantile (target
// under 20 us) and the upper-tail quantile at 1e-10, and 10^6 random
// values of the generators with their own algorithms (target under 0.5 s).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "distrib/beta.h"
#include "distrib/catalogue.h"
#include "distrib/gamma.h"
#include "distrib/normal.h"
#include "distrib/t_f.h"
#include "numeric/uniform.h"

namespace vokt {
namespace {

// A point inside the bulk of the distribution, where the special functions
// do their typical amount of work.
Real BulkPoint(Distribution& d) {
  Real p = 0.7L;
  return d.Quantile(p).X;
}

void RegisterCatalogue() {
  for (uint16_t t : AvailableTypes()) {
    auto probe = CreateDistribution(t);
    if (probe->IsDiscrete()) continue;
    const std::string name = std::to_string(t) + "_" + probe->NameText();
    benchmark::RegisterBenchmark(("Cdf/" + name).c_str(), [t](benchmark::State& state) {
      auto d = CreateDistribution(t);
      const Real x = BulkPoint(*d);
      for (auto _ : state) benchmark::DoNotOptimize(d->Cdf(x));
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("Density/" + name).c_str(), [t](benchmark::State& state) {
      auto d = CreateDistribution(t);
      const Real x = BulkPoint(*d);
      for (auto _ : state) benchmark::DoNotOptimize(d->Density(x));
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("UpperTail/" + name).c_str(), [t](benchmark::State& state) {
      auto d = CreateDistribution(t);
      const Real x = BulkPoint(*d);
      for (auto _ : state) benchmark::DoNotOptimize(d->UpperTail(x));
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("Quantile/" + name).c_str(), [t](benchmark::State& state) {
      auto d = CreateDistribution(t);
      for (auto _ : state) {
        Real p = 0.3L;
        benchmark::DoNotOptimize(d->Quantile(p).X);
      }
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("UpperQuantile/" + name).c_str(), [t](benchmark::State& state) {
      auto d = CreateDistribution(t);
      for (auto _ : state) benchmark::DoNotOptimize(d->UpperQuantile(1e-10L));
    })->Unit(benchmark::kMicrosecond);
  }
}

template <class Make>
void RegisterRandom(const std::string& name, Make make) {
  benchmark::RegisterBenchmark(("Random1e6/" + name).c_str(),
                               [make](benchmark::State& state) {
                                 std::unique_ptr<Distribution> d = make();
                                 RandomEngine engine(1);
                                 for (auto _ : state) {
                                   Real s = 0;
                                   for (int i = 0; i < 1000000; ++i) s += d->RandomValue(engine);
                                   benchmark::DoNotOptimize(s);
                                 }
                               })
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
}

}  // namespace
}  // namespace vokt

int main(int argc, char** argv) {
  using namespace vokt;
  RegisterCatalogue();
  RegisterRandom("normal(0,1)", [] { return std::make_unique<NormalDistribution>(0, 1); });
  RegisterRandom("gamma(0.5,1)", [] { return std::make_unique<GammaDistribution>(0.5L, 1); });
  RegisterRandom("gamma(5,1)", [] { return std::make_unique<GammaDistribution>(5, 1); });
  RegisterRandom("beta(5,5)", [] { return std::make_unique<BetaDistribution>(5, 5); });
  RegisterRandom("t(5)", [] { return std::make_unique<StudentTDistribution>(5); });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
