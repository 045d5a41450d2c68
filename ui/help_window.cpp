#include "ui/help_window.h"

#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>

namespace vokt::ui {

namespace {
class HelpBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
      close();
      return;
    }
    QTextBrowser::keyPressEvent(e);
  }
};

const QUrl kHelpPage(QStringLiteral("qrc:/help/vokt.html"));
}  // namespace

void ShowHelp(QWidget* parent, QPointer<QWidget>& window) {
  if (!window) {
    auto* browser = new HelpBrowser(parent);
    browser->setWindowFlag(Qt::Window);
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browser->setWindowTitle(QStringLiteral("VOKT Help"));
    browser->setOpenExternalLinks(true);
    browser->setSource(kHelpPage);
    browser->resize(640, 560);
    window = browser;
  } else {
    static_cast<QTextBrowser*>(window.data())->setSource(kHelpPage);
  }
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace vokt::ui
