#include "formula/qt/mixhint.h"

#include <QPaintEvent>
#include <QPainter>

#include "formula/markup.h"
#include "formula/qt/painter_surface.h"

namespace vokt {

TMixedFontHintWindow::TMixedFontHintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint) {}

void TMixedFontHintWindow::ShowHint(const QPoint&, const QString& caption, QWidget* owner) {
  caption_ = caption;
  owner_ = owner;
}

void TMixedFontHintWindow::HideHint() { hide(); }

std::string TMixedFontHintWindow::PaddedText(const std::string& caption) {
  return " " + caption + "   ";
}

std::string TMixedFontHintWindow::PlainText(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '$' && c != '@' && c != '^' && c != '_') out += c;
  return out;
}

bool TMixedFontHintWindow::HasMarkup(const QString& hint) {
  for (QChar c : hint)
    if (c == u'$' || c == u'@' || c == u'^' || c == u'_') return true;
  return false;
}

void TMixedFontHintWindow::paintEvent(QPaintEvent*) {}

void InstallMixedFontHints(QApplication&) {}

TMixedFontHintWindow* MixedFontHintWindow() { return nullptr; }

}  // namespace vokt
