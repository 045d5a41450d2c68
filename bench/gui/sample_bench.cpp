// Sample page speed: drawing a sample of the standard normal distribution
// (the window's start-up type) through the Draw Sample dialog and showing it
// in the sample page, up to the largest size the dialog accepts (10^6, target
// 0.4 s and at most 64 MB more than before the draw), and saving it (10^6
// values, target 1 s).  The page is cleared between iterations, outside the
// timing.  The growth of the resident size over the draw is reported as a
// counter (MB_grown).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <QTabWidget>
#include <map>
#include <memory>

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

using vokt::ui::DrawDialog;
using vokt::ui::MainWindow;

// Resident set size of this process in kilobytes (Linux), 0 when unknown.
double ResidentKilobytes() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toDouble();
  return 0;
}

void BM_DrawNormalSample(benchmark::State& state) {
  const QString size = QString::number(state.range(0));
  auto noQuestions =
      vokt::ui::SetAskHook([](const std::string&, bool) { return vokt::ui::Answer::No; });
  int errors = 0;
  auto oldError = vokt::ui::SetErrorHook([&](const std::string&) { ++errors; });
  MainWindow form;
  form.show();
  QApplication::processEvents();
  form.Sample->RunDialog = [&](QDialog& d) {
    auto& draw = static_cast<DrawDialog&>(d);
    draw.SampleSizeEdit->setText(size);
    draw.FloatingPointCheckBox->setChecked(false);
    draw.DecimalsEdit->setText(QStringLiteral("4"));
    draw.CheckAndAccept();
    return draw.result() == QDialog::Accepted;
  };
  // The benchmark library calls this function several times per size; the
  // first call's resident size is the baseline, so memory kept by the
  // allocator after an earlier call still counts as growth.
  static std::map<int64_t, double> baselines;
  const double before = baselines.emplace(state.range(0), ResidentKilobytes()).first->second;
  double grown = 0;
  for (auto _ : state) {
    form.ActionDrawSample->trigger();
    form.Sample->List->viewport()->repaint();  // the page is shown now, not at the next event
    QApplication::processEvents();
    state.PauseTiming();
    grown = std::max(grown, ResidentKilobytes() - before);
    if (form.Sample->List->LineCount() != state.range(0)) errors++;
    form.ActionClear->trigger();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["MB_grown"] = grown / 1024.0;
  vokt::ui::SetErrorHook(oldError);
  vokt::ui::SetAskHook(noQuestions);
  if (errors) state.SkipWithError("the draw reported an error or a wrong line count");
}
BENCHMARK(BM_DrawNormalSample)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_SaveNormalSample(benchmark::State& state) {
  auto noQuestions =
      vokt::ui::SetAskHook([](const std::string&, bool) { return vokt::ui::Answer::No; });
  int errors = 0;
  auto oldError = vokt::ui::SetErrorHook([&](const std::string&) { ++errors; });
  QTemporaryDir dir;
  const QString file = dir.path() + QStringLiteral("/Sample.dat");
  auto oldName = vokt::ui::SetSaveNameHook([&](const std::string&) { return file.toStdString(); });
  MainWindow form;
  form.show();
  QApplication::processEvents();
  form.Sample->RunDialog = [&](QDialog& d) {
    auto& draw = static_cast<DrawDialog&>(d);
    draw.SampleSizeEdit->setText(QString::number(state.range(0)));
    draw.FloatingPointCheckBox->setChecked(false);
    draw.DecimalsEdit->setText(QStringLiteral("4"));
    draw.CheckAndAccept();
    return draw.result() == QDialog::Accepted;
  };
  form.ActionDrawSample->trigger();
  QApplication::processEvents();
  for (auto _ : state) {
    form.ActionSave->trigger();
    state.PauseTiming();
    if (QFileInfo(file).size() < state.range(0) * 8) errors++;
    QFile::remove(file);
    form.Sample->List->SetModified(true);
    state.ResumeTiming();
  }
  form.Sample->List->SetModified(false);
  vokt::ui::SetSaveNameHook(oldName);
  vokt::ui::SetErrorHook(oldError);
  vokt::ui::SetAskHook(noQuestions);
  if (errors) state.SkipWithError("the save reported an error or wrote a short file");
}
BENCHMARK(BM_SaveNormalSample)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window's settings from an empty folder, never the user's own.
  QTemporaryDir settingsDir;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
