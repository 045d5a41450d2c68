// VOKT: the window.  "vokt --screenshot FILE" renders the window as it opens
// into FILE (PNG) and exits, which also works on the offscreen platform.
#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <cstring>
#include <iostream>

#include "distrib/distribution.h"
#include "formula/qt/mixhint.h"
#include "formula/qt/painter_surface.h"
#include "numeric/checks.h"
#include "ui/about.h"
#include "ui/hoofd.h"
#include "ui/messages.h"

namespace {
// The user's decimal separator, when it is one plain character.
char LocaleSeparator() {
  const QString sep = QLocale().decimalPoint();
  if (sep.size() == 1 && sep[0].unicode() < 128 && !sep[0].isDigit()) return static_cast<char>(sep[0].unicode());
  return '.';
}
}  // namespace

int main(int argc, char** argv) {
  QString screenshot;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) screenshot = QString::fromLocal8Bit(argv[++i]);
    else if (std::strcmp(argv[i], "--help") == 0) {
      std::cout << "usage: vokt [--screenshot FILE.png]\n";
      return 0;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VOKT"));
  QApplication::setApplicationDisplayName(QStringLiteral("VOKT"));
  vokt::InstallFontSubstitutes();
  vokt::InstallMixedFontHints(app);
  vokt::SetDecimalSeparator(LocaleSeparator());
  QApplication::setWindowIcon(vokt::ui::VoktIcon());

  int rc = 1;
  try {
    vokt::ui::TVoktForm form;
    form.show();
    if (!screenshot.isEmpty()) {
      QTimer::singleShot(200, &form, [&] {
        const bool ok = form.grab().save(screenshot);
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
