// Start-up of the window: the MainWindow built (the catalogue's types, the
// parts and their layouts, the settings read), shown, and run until the pdf
// graph has painted for the first time.  The process start itself (loading
// Qt, the platform plugin and fonts) is outside.  The settings are read from
// an empty temporary folder, as at a first start.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

#include "ui/density_page.h"
#include "ui/main_window.h"
#include "ui/paint_box.h"

namespace {

using vokt::ui::MainWindow;

// Counts the paints of one widget.
class PaintWatch : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, e);
  }
};

void BM_StartUpToFirstPaint(benchmark::State& state) {
  for (auto _ : state) {
    auto form = std::make_unique<MainWindow>();
    PaintWatch watch;
    form->Density->Graph->installEventFilter(&watch);
    form->show();
    QElapsedTimer limit;
    limit.start();
    // The first paint comes with the first pass of the event loop; the cap
    // keeps a broken build from waiting for ever.
    while (watch.paints == 0 && limit.elapsed() < 5000)
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (watch.paints == 0) state.SkipWithError("the graph was never painted");
    state.PauseTiming();
    form.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
