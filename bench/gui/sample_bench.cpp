// Sample page speed: drawing a sample of the standard normal distribution
// (the window's start-up type) through the Draw Sample dialog and showing it
// in the sample page, up to the largest size the dialog accepts (10^6, target
// under 3 s).  The page is cleared between iterations, outside the timing.
// The peak resident size after the largest draw is reported as a counter
// (kilobytes per line drawn), to show that the memory follows the text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>

#include <QTabWidget>
#include <memory>

#include "ui/hoofd.h"
#include "ui/messages.h"
#include "ui/sample.h"
#include "ui/sample_view.h"

namespace {

using vokt::ui::TDrawForm;
using vokt::ui::TVoktForm;

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
  auto noQuestions = vokt::ui::SetAskHook([](const std::string&, bool) { return vokt::ui::Answer::No; });
  int errors = 0;
  auto oldError = vokt::ui::SetErrorHook([&](const std::string&) { ++errors; });
  TVoktForm form;
  form.show();
  QApplication::processEvents();
  form.RunDialog = [&](QDialog& d) {
    auto& draw = static_cast<TDrawForm&>(d);
    draw.SampleSizeEdit->setText(size);
    draw.FloatingPointCheckBox->setChecked(false);
    draw.DecimalsEdit->setText(QStringLiteral("4"));
    draw.ButtonOKClick();
    return draw.result() == QDialog::Accepted;
  };
  const double before = ResidentKilobytes();
  double grown = 0;
  for (auto _ : state) {
    form.ActionDrawSample->trigger();
    form.SampleMemo->viewport()->repaint();  // the page is shown now, not at the next event
    QApplication::processEvents();
    state.PauseTiming();
    grown = std::max(grown, ResidentKilobytes() - before);
    if (form.SampleMemo->LineCount() != state.range(0)) errors++;
    form.ActionClear->trigger();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["kB_per_line"] = grown / static_cast<double>(state.range(0));
  vokt::ui::SetErrorHook(oldError);
  vokt::ui::SetAskHook(noQuestions);
  if (errors) state.SkipWithError("the draw reported an error or a wrong line count");
}
BENCHMARK(BM_DrawNormalSample)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
