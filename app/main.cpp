// VOKT: the window.  "vokt --screenshot FILE" renders the window as it opens
// into FILE (PNG) and exits, which also works on the offscreen platform;
// "--hint ROW" adds the hint of that parameter row (0-based) as it shows when
// the mouse rests on the row, "--page N" shows page N (1 cdf, 2 formulas),
// "--type NAME --params P1;P2" applies a distribution first, "--x VALUE"
// then computes at x, "--sample N" draws a sample of N values (4 decimals)
// onto the sample page, "--size WxH" gives the window that size, "--view
// two|between" chooses the tail view of the pdf page, "--b VALUE" places its
// second marker and "--alpha A" enters a significance level.  A
// type that is not there or an error while applying ends the run with
// status 1 and no picture.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QSize>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "distrib/distribution.h"
#include "formula/qt/hint_window.h"
#include "formula/qt/painter_surface.h"
#include "numeric/checks.h"
#include "ui/about.h"
#include "ui/main_window.h"
#include "ui/messages.h"
#include "ui/sample.h"
#include "ui/tail_view.h"

#ifndef VOKT_VERSION
#define VOKT_VERSION "unknown"
#endif
#ifndef VOKT_APP_ID
#define VOKT_APP_ID "org.vokt.Vokt"
#endif

namespace {
// The user's decimal separator, when it is one plain character.
char LocaleSeparator() {
  const QString sep = QLocale().decimalPoint();
  if (sep.size() == 1 && sep[0].unicode() < 128 && !sep[0].isDigit())
    return static_cast<char>(sep[0].unicode());
  return '.';
}
}  // namespace

int main(int argc, char** argv) {
  QString screenshot;
  int hintRow = -1;
  int page = 0;
  QString type;
  QStringList params;
  QString xValue;
  QString sample;
  QSize size;
  QString view, bValue, alpha;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      screenshot = QString::fromLocal8Bit(argv[++i]);
    } else if (std::strcmp(argv[i], "--type") == 0 && i + 1 < argc) {
      type = QString::fromLocal8Bit(argv[++i]);
    } else if (std::strcmp(argv[i], "--params") == 0 && i + 1 < argc) {
      params = QString::fromLocal8Bit(argv[++i]).split(QLatin1Char(';'));
    } else if (std::strcmp(argv[i], "--x") == 0 && i + 1 < argc) {
      xValue = QString::fromLocal8Bit(argv[++i]);
    } else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
      const QStringList wh = QString::fromLocal8Bit(argv[++i]).split(QLatin1Char('x'));
      if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
    } else if (std::strcmp(argv[i], "--sample") == 0 && i + 1 < argc) {
      sample = QString::fromLocal8Bit(argv[++i]);
    } else if (std::strcmp(argv[i], "--view") == 0 && i + 1 < argc) {
      view = QString::fromLocal8Bit(argv[++i]);
    } else if (std::strcmp(argv[i], "--b") == 0 && i + 1 < argc) {
      bValue = QString::fromLocal8Bit(argv[++i]);
    } else if (std::strcmp(argv[i], "--alpha") == 0 && i + 1 < argc) {
      alpha = QString::fromLocal8Bit(argv[++i]);
    } else if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc) {
      page = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--hint") == 0 && i + 1 < argc) {
      hintRow = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--help") == 0) {
      std::cout << "usage: vokt [--screenshot FILE.png [--type NAME [--params P1;P2;P3]] [--x "
                   "VALUE] [--sample N]\n"
                   "            [--page 0|1|2] [--hint ROW] [--size WIDTHxHEIGHT]\n"
                   "            [--view two|between [--b VALUE] [--alpha A]]]\n"
                   "       vokt --help | --version\n";
      return 0;
    } else if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "vokt " VOKT_VERSION "\n";
      return 0;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VOKT"));
  QApplication::setApplicationDisplayName(QStringLiteral("VOKT"));
  QGuiApplication::setDesktopFileName(QStringLiteral(VOKT_APP_ID));
  vokt::InstallFontSubstitutes();
  vokt::InstallMixedFontHints(app);
  vokt::SetDecimalSeparator(LocaleSeparator());
  QApplication::setWindowIcon(vokt::ui::VoktIcon());

  int rc = 1;
  bool failed = false;
  try {
    vokt::ui::MainWindow form;
    if (!screenshot.isEmpty() && size.isValid()) form.resize(size);
    form.show();
    if (!screenshot.isEmpty()) {
      // No one is there to close a message box: errors end the run.
      vokt::ui::SetErrorHook([&failed](const std::string& text) {
        std::cerr << "vokt: " << text << "\n";
        failed = true;
      });
      vokt::ui::SetBeepHook([&failed] {
        std::cerr << "vokt: the x value was refused\n";
        failed = true;
      });
      if (!type.isEmpty() && !form.ChooseType(type)) {
        std::cerr << "vokt: no type " << type.toStdString() << "\n";
        return 1;
      }
      if (!params.isEmpty()) {
        // Kruskal-Wallis reads as many groups as its grid has rows (but the
        // spare one); selecting the last row adds one.
        for (int guard = 0; guard < 64 && type.startsWith(QLatin1String("Kruskal")) &&
                            form.Grid->rowCount() < params.size() + 1;
             ++guard)
          form.Grid->setCurrentCell(form.Grid->rowCount() - 1, 1);
        auto& texts = form.Calc().ParameterTexts;
        texts.assign(std::max<size_t>(texts.size(), params.size() + 1), std::string());
        for (int k = 0; k < params.size(); ++k) texts[k + 1] = params[k].toStdString();
        form.Calc().Mode = vokt::ui::InputMode::Parameters;
        form.MainButtonClicked();
        // An empty row stops the press before it applies anything (the mode
        // stays "apply"): the picture would show the previous parameters.
        if (!failed && (form.Calc().Mode == vokt::ui::InputMode::Parameters ||
                        !form.Calc().ParametersComplete())) {
          std::cerr << "vokt: parameters missing for " << form.TypeBox->currentText().toStdString()
                    << "\n";
          failed = true;
        }
      }
      if (!xValue.isEmpty() && !failed) {
        form.XEdit->setText(xValue);
        form.Calc().Mode = vokt::ui::InputMode::DensityX;
        form.MainButtonClicked();
      }
      if (!view.isEmpty() && !failed) {
        using vokt::ui::TailView;
        form.Tails->SetView(view == QLatin1String("between") ? TailView::Between
                            : view == QLatin1String("two")   ? TailView::TwoSided
                                                             : TailView::Three);
        if (!bValue.isEmpty()) {
          form.Tails->SecondEdit->setText(bValue);
          form.Tails->SecondEntered();
        }
        if (!alpha.isEmpty()) {
          form.Tails->AlphaEdit->setText(alpha);
          form.Tails->AlphaEntered();
        }
      }
      if (failed) return 1;
    }
    if (!screenshot.isEmpty() && !sample.isEmpty()) {
      form.RunDialog = [&](QDialog& d) {
        auto& draw = static_cast<vokt::ui::DrawDialog&>(d);
        draw.SampleSizeEdit->setText(sample);
        draw.DecimalsEdit->setText(QStringLiteral("4"));
        draw.SeedEdit->setText(QStringLiteral("1"));  // the same picture every time
        draw.Accept();
        return draw.result() == QDialog::Accepted;
      };
      form.ActionDrawSample->trigger();
    }
    if (!screenshot.isEmpty()) {
      if (page > 0 && page < 3) form.Pages->setCurrentIndex(page);
      QTimer::singleShot(200, &form, [&] {
        QImage image;
        {
          const vokt::ui::CleanCapture clean(form.Pages->currentWidget());  // no text cursor
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
            painter.drawPixmap(form.mapFromGlobal(hint->pos()), hint->grab());
          }
        }
        const bool ok = image.save(screenshot);
        if (!ok) std::cerr << "vokt: cannot write " << screenshot.toStdString() << "\n";
        QApplication::exit(ok ? 0 : 1);
      });
    }
    rc = QApplication::exec();
  } catch (...) {
    vokt::ui::ShowException(std::current_exception());
  }
  return rc;
}
