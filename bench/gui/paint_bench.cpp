// Painting the pdf and cdf graphs of every available type at its default
// parameters into a 1920 x 1080 image, as the window's paint handlers do:
// the density on both sides of x (and the bar at x for discrete types), the
// distribution function with its guide.  Target: under 16 ms per graph.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "distrib/catalogue.h"
#include "formula/qt/painter_surface.h"
#include "plot/graph.h"

namespace {

using vokt::Distribution;
using vokt::Real;

constexpr int kWidth = 1920, kHeight = 1080;

// Uniform on 0..n-1: a discrete graph with as many support points as wanted,
// for the bar and step paths with sparse (n < width) and dense support.
class SyntheticUniform : public vokt::DiscreteDistribution {
 public:
  explicit SyntheticUniform(int n) : n_(n) {
    nameId_ = 990;
    supportLow_ = 0;
    supportHigh_ = n - 1;
    mean_ = (n - 1) / 2.0L;
    variance_ = (static_cast<Real>(n) * n - 1) / 12;
    BuildPointTable();
  }
  Real PointProb(Real x) const override { return InSupport(x) ? 1.0L / n_ : 0; }
  Real Cdf(Real x) const override {
    if (x < 0) return 0;
    return std::min<Real>(std::floor(x) + 1, n_) / n_;
  }

 private:
  int n_;
};

Real CentreX(Distribution& d) {
  if (d.HasMean()) return d.Mean();
  Real p = 0.5L;
  return d.Quantile(p).X;
}

void PaintDensity(Distribution& d, vokt::DrawingSurface& s, Real x) {
  if (d.IsDiscrete()) {
    vokt::DrawDensity(d, s, vokt::kGrayColor, vokt::kFillColor, d.SupportLow(), x);
    vokt::DrawDensity(d, s, vokt::kGrayColor, vokt::kFillColor, x, d.SupportHigh());
    vokt::DrawDensity(d, s, vokt::kBlackColor, vokt::kFillColor, x, x);
  } else {
    vokt::DrawDensity(d, s, vokt::kTextColor, vokt::kFillColor, d.SupportLow(), x);
    vokt::DrawDensity(d, s, vokt::kTextColor, vokt::kFillColor, x, d.SupportHigh());
  }
}

void BM_Paint(benchmark::State& state, uint16_t type, bool cdf) {
  std::unique_ptr<Distribution> d;
  if (type == 0)
    d = std::make_unique<SyntheticUniform>(static_cast<int>(state.range(0)));
  else
    d = vokt::CreateDistribution(type);
  const Real x = CentreX(*d);
  vokt::ImageSurface image(kWidth, kHeight);
  for (auto _ : state) {
    image.Clear();
    if (cdf)
      vokt::DrawCdf(*d, image.Surface(), x, d->SupportHigh());
    else
      PaintDensity(*d, image.Surface(), x);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  vokt::InstallFontSubstitutes();
  for (uint16_t t : vokt::AvailableTypes()) {
    const std::string name = std::to_string(t) + "_" + vokt::CreateDistribution(t)->NameText();
    benchmark::RegisterBenchmark(("BM_PaintDensity/" + name).c_str(), BM_Paint, t, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_PaintCdf/" + name).c_str(), BM_Paint, t, true)
        ->Unit(benchmark::kMillisecond);
  }
  for (bool cdf : {false, true})
    benchmark::RegisterBenchmark(
        cdf ? "BM_PaintCdf/synthetic_uniform" : "BM_PaintDensity/synthetic_uniform", BM_Paint,
        uint16_t{0}, cdf)
        ->Arg(100)
        ->Arg(100000)
        ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
