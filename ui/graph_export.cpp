#include "ui/graph_export.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWidget>

#include "distrib/distribution.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui/tail_view.h"

namespace vokt::ui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

// The page's widgets paint themselves into the generator: the curves, areas
// and texts stay vectors.
bool WriteSvg(QWidget* page, QSaveFile& out, const std::string& description) {
  QSvgGenerator svg;
  svg.setOutputDevice(&out);
  svg.setSize(page->size());
  svg.setViewBox(QRect(QPoint(0, 0), page->size()));
  svg.setResolution(96);  // CSS pixels: shown at the page's own size
  svg.setTitle(QStringLiteral("VOKT"));
  if (!description.empty()) svg.setDescription(Q(description));
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  page->render(&painter, QPoint(), QRegion(),
               QWidget::DrawWindowBackground | QWidget::DrawChildren);
  return painter.end();
}
}  // namespace

void CopyGraph(QWidget* page) {
  if (!page) return;
  const CleanCapture clean(page);
  QGuiApplication::clipboard()->setPixmap(page->grab());
}

void SaveGraph(QWidget* page, const std::string& presetName, const std::string& description) {
  if (!page) return;
  std::string preset = presetName;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = AskSaveFileName(preset, "PNG image (*.png);;SVG image (*.svg)");
    if (name.empty()) return;
    QString file = Q(name);
    QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix.isEmpty()) {
      file += QStringLiteral(".png");
      suffix = QStringLiteral("png");
    }
    const QString shortName = QFileInfo(file).fileName();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg"))
      throw ArgumentError("A graph is saved as a .png or .svg file, not " +
                          shortName.toStdString());
    if (QFileInfo::exists(file) &&
        Ask(LoadString(1166) + shortName.toStdString() + "?", false) != Answer::Yes) {
      preset = file.toStdString();
      continue;
    }
    // Written beside the target and renamed at the end, so a failed write
    // leaves an existing file as it was.
    QSaveFile out(file);
    bool ok = out.open(QIODevice::WriteOnly);
    const CleanCapture clean(page);
    if (ok && suffix == QLatin1String("svg"))
      ok = WriteSvg(page, out, description);
    else if (ok)
      ok = page->grab().toImage().save(&out, "PNG");
    if (!ok || !out.commit()) throw ArgumentError("Cannot write " + shortName.toStdString());
    return;
  }
}

}  // namespace vokt::ui
