#include "app/screenshot.h"

#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QPainter>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "formula/qt/hint_window.h"
#include "ui/density_page.h"
#include "ui/main_window.h"
#include "ui/messages.h"
#include "ui/parameter_grid.h"
#include "ui/sample.h"
#include "ui/sample_dialogs.h"
#include "ui/sample_page.h"
#include "ui/tail_view.h"

#ifndef VOKT_VERSION
#define VOKT_VERSION "unknown"
#endif

namespace vokt::app {

namespace {
void PrintUsage() {
  std::cout << "usage: vokt [--screenshot FILE.png [--type NAME [--params P1;P2;P3]] [--x "
               "VALUE] [--sample N]\n"
               "            [--page 0|1|2] [--hint ROW] [--size WIDTHxHEIGHT]\n"
               "            [--view two|between [--b VALUE] [--alpha A]] [--refuse P]]\n"
               "       vokt --help | --version\n";
}

// Applies the type, parameters, x and tail view; false when one failed.
bool ApplyChoices(ui::MainWindow& form, const ScreenshotOptions& o, bool& failed) {
  if (!o.type.isEmpty() && !form.ChooseType(o.type)) {
    std::cerr << "vokt: no type " << o.type.toStdString() << "\n";
    return false;
  }
  if (!o.params.isEmpty()) {
    // Kruskal-Wallis reads as many groups as its grid has rows (but the
    // spare one); selecting the last row adds one.
    for (int guard = 0; guard < 64 && o.type.startsWith(QLatin1String("Kruskal")) &&
                        form.Grid->rowCount() < o.params.size() + 1;
         ++guard)
      form.Grid->setCurrentCell(form.Grid->rowCount() - 1, 1);
    auto& texts = form.Calc().ParameterTexts;
    texts.assign(std::max<size_t>(texts.size(), o.params.size() + 1), std::string());
    for (int k = 0; k < o.params.size(); ++k) texts[k + 1] = o.params[k].toStdString();
    form.Calc().Mode = ui::InputMode::Parameters;
    form.MainButtonClicked();
    // An empty row stops the press before it applies anything (the mode
    // stays "apply"): the picture would show the previous parameters.
    if (!failed &&
        (form.Calc().Mode == ui::InputMode::Parameters || !form.Calc().ParametersComplete())) {
      std::cerr << "vokt: parameters missing for " << form.TypeBox->currentText().toStdString()
                << "\n";
      failed = true;
    }
  }
  if (!o.xValue.isEmpty() && !failed) {
    form.Density->XEdit->setText(o.xValue);
    form.Calc().Mode = ui::InputMode::DensityX;
    form.MainButtonClicked();
  }
  if (!o.view.isEmpty() && !failed) {
    using ui::TailView;
    ui::TailControls* tails = form.Density->Tails;
    tails->SetView(o.view == QLatin1String("between") ? TailView::Between
                   : o.view == QLatin1String("two")   ? TailView::TwoSided
                                                      : TailView::Three);
    if (!o.bValue.isEmpty()) {
      tails->SecondEdit->setText(o.bValue);
      tails->SecondEntered();
    }
    if (!o.alpha.isEmpty()) {
      tails->AlphaEdit->setText(o.alpha);
      tails->AlphaEntered();
    }
  }
  return !failed;
}

// The window's picture, with the hint of row hintRow over it when asked.
QImage Capture(ui::MainWindow& form, int hintRow) {
  QImage image;
  {
    const ui::CleanCapture clean(form.Pages->currentWidget());  // no text cursor
    image = form.grab().toImage();
  }
  if (hintRow >= 0 && hintRow < form.Grid->rowCount()) {
    QWidget* viewport = form.Grid->viewport();
    const QPoint at = form.Grid->visualRect(form.Grid->model()->index(hintRow, 0)).center();
    QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &help);
    QWidget* hint = vokt::MixedFontHintWindow();
    if (hint && hint->isVisible()) {
      QPainter painter(&image);
      const QPixmap pm = hint->grab();
      painter.drawPixmap(QRectF(form.mapFromGlobal(hint->pos()), hint->size()), pm,
                         QRectF(pm.rect()));
    }
  }
  return image;
}
}  // namespace

ScreenshotOptions ParseArguments(int argc, char** argv, int& exitCode) {
  ScreenshotOptions o;
  exitCode = -1;
  auto next = [&](int& i) { return QString::fromLocal8Bit(argv[++i]); };
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    const bool more = i + 1 < argc;
    if (std::strcmp(a, "--help") == 0) {
      PrintUsage();
      exitCode = 0;
    } else if (std::strcmp(a, "--version") == 0) {
      std::cout << "vokt " VOKT_VERSION "\n";
      exitCode = 0;
    } else if (!more) {
      continue;
    } else if (std::strcmp(a, "--screenshot") == 0) {
      o.file = next(i);
    } else if (std::strcmp(a, "--type") == 0) {
      o.type = next(i);
    } else if (std::strcmp(a, "--params") == 0) {
      o.params = next(i).split(QLatin1Char(';'));
    } else if (std::strcmp(a, "--x") == 0) {
      o.xValue = next(i);
    } else if (std::strcmp(a, "--size") == 0) {
      const QStringList wh = next(i).split(QLatin1Char('x'));
      if (wh.size() == 2) o.size = QSize(wh[0].toInt(), wh[1].toInt());
    } else if (std::strcmp(a, "--sample") == 0) {
      o.sample = next(i);
    } else if (std::strcmp(a, "--view") == 0) {
      o.view = next(i);
    } else if (std::strcmp(a, "--b") == 0) {
      o.bValue = next(i);
    } else if (std::strcmp(a, "--alpha") == 0) {
      o.alpha = next(i);
    } else if (std::strcmp(a, "--refuse") == 0) {
      o.refuse = next(i);
    } else if (std::strcmp(a, "--page") == 0) {
      o.page = std::atoi(argv[++i]);
    } else if (std::strcmp(a, "--hint") == 0) {
      o.hintRow = std::atoi(argv[++i]);
    }
    if (exitCode >= 0) break;
  }
  return o;
}

bool PrepareScreenshot(ui::MainWindow& form, const ScreenshotOptions& o) {
  // Without --size the picture has the window's usual size at 96 dpi, also
  // where the screen (the offscreen platform's) is smaller.
  form.resize(o.size.isValid() ? o.size : QSize(900, 560));
  bool failed = false;
  // No one is there to close a message box: errors end the run.
  ui::SetErrorHook([&failed](const std::string& text) {
    std::cerr << "vokt: " << text << "\n";
    failed = true;
  });
  bool beepExpected = false;
  ui::SetBeepHook([&failed, &beepExpected] {
    if (beepExpected) return;
    std::cerr << "vokt: the x value was refused\n";
    failed = true;
  });
  if (!ApplyChoices(form, o, failed)) return false;
  if (!o.refuse.isEmpty()) {
    // The refusal's reason shows in the status line.
    beepExpected = true;
    form.Density->ProbabilityEditLeft->setText(o.refuse);
    form.Calc().Mode = ui::InputMode::LowerProbability;
    form.MainButtonClicked();
    beepExpected = false;
  }
  if (!o.sample.isEmpty()) {
    const QString n = o.sample;
    form.Sample->RunDialog = [n](QDialog& d) {
      auto& draw = static_cast<ui::DrawDialog&>(d);
      draw.SampleSizeEdit->setText(n);
      draw.DecimalsEdit->setText(QStringLiteral("4"));
      draw.SeedEdit->setText(QStringLiteral("1"));  // the same picture every time
      draw.CheckAndAccept();
      return draw.result() == QDialog::Accepted;
    };
    form.ActionDrawSample->trigger();
  }
  if (o.page > 0 && o.page < 3) form.Pages->setCurrentIndex(o.page);
  const QString file = o.file;
  const int hintRow = o.hintRow;
  QTimer::singleShot(200, &form, [&form, file, hintRow] {
    const bool ok = Capture(form, hintRow).save(file);
    if (!ok) std::cerr << "vokt: cannot write " << file.toStdString() << "\n";
    QApplication::exit(ok ? 0 : 1);
  });
  return true;
}

}  // namespace vokt::app
