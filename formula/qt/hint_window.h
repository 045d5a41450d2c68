// Hints with formula markup.  HintWindow is a tooltip-style window
// that draws its caption with the markup renderer; InstallMixedFontHints
// routes every tooltip of the application: hints containing markup go to the
// hint window, plain hints stay with Qt's own tooltip.
#pragma once

#include <QApplication>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <string>

namespace vokt {

class HintWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HintWindow(QWidget* parent = nullptr);

  // Shows caption (UTF-8 markup) near globalPos, as a tooltip would be
  // placed; owner is the widget the hint belongs to (its font is used and
  // leaving it hides the hint).  A caption without markup is shown as plain
  // text.
  void ShowHint(const QPoint& globalPos, const QString& caption, QWidget* owner = nullptr);
  void HideHint();
  QString Caption() const { return caption_; }
  QWidget* Owner() const { return owner_; }

  // The text that is painted: one blank before the caption, three after.
  static std::string PaddedText(const std::string& caption);
  // text without the markup characters "$ @ ^ _" (the characters after "@"
  // and "$" stay).
  static std::string PlainText(const std::string& text);
  // True when the hint contains a markup character.
  static bool HasMarkup(const QString& hint);
  // How far the markup's raised and lowered parts reach above and below the
  // line (pixels), for a font of the given size (points).
  static void LevelReach(const std::string& text, double size, int& above, int& below);
  // Where the caption's line starts: below the frame and the highest
  // superscript.
  int TextTop() const { return textTop_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
  QWidget* owner_ = nullptr;
  int textTop_ = 1;
  QTimer hideTimer_;
};

// Installs the application-wide tooltip filter.  Hints with markup are shown
// in one HintWindow; for item views (the parameter grid) the hint is
// the ToolTipRole of the cell under the mouse, so it follows the cell.  Call
// once, after the QApplication exists and before windows are shown.
void InstallMixedFontHints(QApplication& app);

// The hint window the filter uses (created on first use); for tests.
HintWindow* MixedFontHintWindow();

}  // namespace vokt
