// VOKT: the window.  The command line's options are the screenshot tool's
// (app/screenshot.h), plus --help and --version.
#include <QApplication>
#include <QLocale>
#include <QSettings>

#include "app/screenshot.h"
#include "formula/qt/hint_window.h"
#include "formula/qt/painter_surface.h"
#include "numeric/checks.h"
#include "ui/about.h"
#include "ui/main_window.h"
#include "ui/messages.h"

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
  int exitCode = -1;
  const vokt::app::ScreenshotOptions shot = vokt::app::ParseArguments(argc, argv, exitCode);
  if (exitCode >= 0) return exitCode;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VOKT"));
  QApplication::setApplicationDisplayName(QStringLiteral("VOKT"));
  QGuiApplication::setDesktopFileName(QStringLiteral(VOKT_APP_ID));
  vokt::InstallFontSubstitutes();
  vokt::InstallMixedFontHints(app);
  vokt::SetDecimalSeparator(LocaleSeparator());
  QApplication::setWindowIcon(vokt::ui::VoktIcon());
  // A screenshot shows the window as it first opens, whatever was stored.
  if (!shot.file.isEmpty())
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStringLiteral("/nonexistent"));
  int rc = 1;
  try {
    vokt::ui::MainWindow form;
    form.show();
    if (!shot.file.isEmpty() && !vokt::app::PrepareScreenshot(form, shot)) return 1;
    rc = QApplication::exec();
  } catch (...) {
    vokt::ui::ShowException(std::current_exception());
  }
  return rc;
}
