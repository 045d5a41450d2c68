// Window speed: start-up to the first shown window (the window object built,
// laid out and shown, with its pdf graph), and applying the parameters of
// every type (the press in mode 0, with the graph drawn) on the real window.
// The process start itself (loading Qt, the platform plugin and fonts) is
// outside; scripts/screenshot.sh shows it in total.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

#include "distrib/catalogue.h"
#include "numeric/checks.h"
#include "ui/cdf_page.h"
#include "ui/density_page.h"
#include "ui/formulas_page.h"
#include "ui/main_window.h"
#include "ui/marker.h"
#include "ui/messages.h"
#include "ui/number_edit.h"
#include "ui/paint_box.h"
#include "ui/parameter_grid.h"
#include "ui/sample.h"
#include "ui/sample_dialogs.h"
#include "ui/sample_page.h"
#include "ui/sample_view.h"
#include "ui/tail_view.h"

namespace {

using vokt::ui::InputMode;
using vokt::ui::MainWindow;

void BM_StartUpToShownWindow(benchmark::State& state) {
  for (auto _ : state) {
    auto form = std::make_unique<MainWindow>();
    form->show();
    form->Density->Graph->repaint();
    QApplication::processEvents();
    benchmark::DoNotOptimize(form->isVisible());
    state.PauseTiming();
    form.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpToShownWindow)->Unit(benchmark::kMillisecond);

// One benchmark per type: the grid holds the catalogue's default parameters
// and the press applies them (SetParameters, ShowDistribution, the refresh
// of the pdf page with its repaint).
void BM_ApplyParameters(benchmark::State& state, uint16_t type) {
  MainWindow form;
  form.show();
  QApplication::processEvents();
  auto d = vokt::CreateDistribution(type);
  const QString name = QString::fromStdString(d->NameText());
  if (!form.ChooseType(name)) {
    state.SkipWithError("type not in the list");
    return;
  }
  std::vector<std::string> texts(form.Calc().ParameterTexts.size());
  for (int i = 1; i <= d->ParCount(); ++i) texts[i] = vokt::FormatNumber(d->Par()[i].Value);
  int errors = 0;
  auto old = vokt::ui::SetErrorHook([&](const std::string&) { ++errors; });
  for (auto _ : state) {
    form.Calc().ParameterTexts = texts;
    form.Calc().Mode = InputMode::Parameters;
    form.MainButtonClicked();
    form.Density->Graph->repaint();  // the graph is drawn now, not at the next event
    QApplication::processEvents();
  }
  vokt::ui::SetErrorHook(old);
  if (errors) state.SkipWithError("the press reported an error");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window's settings from an empty folder, never the user's own.
  QTemporaryDir settingsDir;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  QApplication app(argc, argv);
  for (uint16_t t : vokt::AvailableTypes()) {
    if (t == 929 || t == 931) continue;  // rank tests enumerate: timed with their own benchmarks
    const std::string name = "BM_ApplyParameters/" + vokt::CreateDistribution(t)->NameText();
    benchmark::RegisterBenchmark(name.c_str(), BM_ApplyParameters, t)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
