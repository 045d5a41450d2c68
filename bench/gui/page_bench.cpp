// The graph pages of the real window at 1920 x 1080, for every type of the
// catalogue at its default parameters (applied through the grid as a user
// would):
//   BM_PdfPage, BM_CdfPage   the whole page (graph, labels, marker, edits)
//                            rendered into an offscreen image;
//   BM_PdfDrag, BM_CdfDrag   one step of a marker drag: a mouse move on the
//                            marker panel with the left button down, the
//                            probabilities' update and the repaint it causes
//                            (the panel and edits; on the cdf page the graph
//                            with its guide too).
// Target: each under 16 ms, one frame at 60 Hz.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "distrib/catalogue.h"
#include "formula/qt/painter_surface.h"
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

constexpr int kWidth = 1920, kHeight = 1080;

// A shown window with the given type applied at its defaults and the given
// page (0 pdf, 1 cdf) sized kWidth x kHeight.  Null, with the reason in
// *why, when that does not work out.
std::unique_ptr<MainWindow> WindowWith(uint16_t type, int page, std::string* why,
                                       const std::vector<std::string>& params = {}) {
  auto form = std::make_unique<MainWindow>();
  form->show();
  QApplication::processEvents();
  auto reference = vokt::CreateDistribution(type);
  if (!form->ChooseType(QString::fromStdString(reference->NameText()))) {
    *why = "type not in the list";
    return nullptr;
  }
  std::vector<std::string> texts(
      std::max<size_t>(form->Calc().ParameterTexts.size(), reference->ParCount() + 1));
  if (!params.empty()) {
    texts = params;
  } else if (type == 929) {
    texts = {"", "2", "3", ""};  // Kruskal-Wallis: group sizes, one per row
  } else {
    for (int i = 1; i <= reference->ParCount(); ++i)
      texts[i] = vokt::FormatNumber(reference->Par()[i].Value);
  }
  int errors = 0;
  auto old = vokt::ui::SetErrorHook([&](const std::string& text) {
    ++errors;
    *why = text;
  });
  form->Calc().ParameterTexts = texts;
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  form->Pages->setCurrentIndex(page);
  QWidget* sheet = page == 0 ? static_cast<QWidget*>(form->Density) : form->Cdf;
  // The page is what the window has left for it: grow the window by the
  // difference until the page has the wanted size.
  for (int i = 0; i < 4 && sheet->size() != QSize(kWidth, kHeight); ++i) {
    form->resize(form->size() + QSize(kWidth, kHeight) - sheet->size());
    QApplication::processEvents();
  }
  vokt::ui::SetErrorHook(old);
  if (errors) return nullptr;
  if (sheet->size() != QSize(kWidth, kHeight)) {
    *why = "page is " + std::to_string(sheet->width()) + " x " + std::to_string(sheet->height());
    return nullptr;
  }
  if (!form->Calc().ParametersComplete()) {
    *why = "parameters not applied";
    return nullptr;
  }
  return form;
}

void BM_Page(benchmark::State& state, uint16_t type, int page, std::vector<std::string> params) {
  std::string why;
  auto form = WindowWith(type, page, &why, params);
  if (!form) {
    state.SkipWithError(why.c_str());
    return;
  }
  QWidget* sheet = page == 0 ? static_cast<QWidget*>(form->Density) : form->Cdf;
  QImage image(sheet->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    sheet->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
}

// Mouse moves of a few pixels in the panel's own coordinates, turning back
// before the marker leaves the graph, so every step moves x.
void BM_Drag(benchmark::State& state, uint16_t type, int page, std::vector<std::string> params) {
  std::string why;
  auto form = WindowWith(type, page, &why, params);
  if (!form) {
    state.SkipWithError(why.c_str());
    return;
  }
  QWidget* panel = page == 0 ? form->Density->XMarker : form->Cdf->XMarker;
  QWidget* box = page == 0 ? static_cast<QWidget*>(form->Density->Graph) : form->Cdf->Graph;
  const int start = panel->width() / 2;
  auto send = [panel](QEvent::Type t, int x, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(t, QPointF(x, 5), panel->mapToGlobal(QPointF(x, 5)), button, buttons, {});
    QApplication::sendEvent(panel, &e);
  };
  send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
  QApplication::processEvents();
  constexpr int kStep = 7;
  int direction = kStep;
  for (auto _ : state) {
    const int centre = panel->x() + panel->width() / 2 - box->x();
    if (centre + direction > box->width() - kStep || centre + direction < kStep)
      direction = -direction;
    send(QEvent::MouseMove, start + direction, Qt::NoButton, Qt::LeftButton);
    QApplication::processEvents();  // the repaint the move asked for
  }
  send(QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The offscreen platform says for every window that it cannot pass size
  // hints on; that would bury the table.
  static const QtMessageHandler qtHandler = qInstallMessageHandler(nullptr);
  qInstallMessageHandler(
      [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.contains(QLatin1String("propagateSizeHints")))
          qtHandler(type, context, message);
      });
  // The window's settings from an empty folder, never the user's own.
  QTemporaryDir settingsDir;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  QApplication app(argc, argv);
  vokt::InstallFontSubstitutes();
  for (uint16_t t : vokt::AvailableTypes()) {
    const std::string name =
        "/" + std::to_string(t) + "_" + vokt::CreateDistribution(t)->NameText();
    for (int page : {0, 1}) {
      const std::string what = page == 0 ? "Pdf" : "Cdf";
      benchmark::RegisterBenchmark(("BM_" + what + "Page" + name).c_str(), BM_Page, t, page,
                                   std::vector<std::string>{})
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("BM_" + what + "Drag" + name).c_str(), BM_Drag, t, page,
                                   std::vector<std::string>{})
          ->Unit(benchmark::kMillisecond);
    }
  }
  // Beyond the defaults: a binomial whose plot range holds more support
  // points than the graph has pixel columns, so every pass of the pmf draws
  // one bar per column over the whole graph.
  const std::vector<std::string> wide = {"", "1000000", "0.5", ""};
  for (int page : {0, 1}) {
    const std::string what = page == 0 ? "Pdf" : "Cdf";
    benchmark::RegisterBenchmark(("BM_" + what + "Page/905_binomial(1000000;0.5)").c_str(), BM_Page,
                                 uint16_t{905}, page, wide)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_" + what + "Drag/905_binomial(1000000;0.5)").c_str(), BM_Drag,
                                 uint16_t{905}, page, wide)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
