// The drawing surface over a QPainter: graphs, grid labels and formula hints
// paint through it on screen, and through ImageSurface into images (copying
// a graph, exports, benchmarks).
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <memory>

#include "formula/surface.h"

namespace vokt {

// Registers DejaVu Sans and DejaVu Sans Mono as substitutes for the faces the
// program asks for ("Lucida Sans Unicode", "Lucida Console"), which Linux
// desktops rarely have.  Safe to call more than once; the application calls
// it once at start-up.
void InstallFontSubstitutes();

// The colour a surface colour stands for under the given palette.
QColor ResolveColor(Color c, const QPalette& palette);
// The QFont for a font description (face, size in points, bold, italic,
// underline).
QFont ToQFont(const FontSpec& font);
// The font description of a QFont (family, point size, bold, italic,
// underline), in the window-text colour; for drawing markup in a widget's
// font.
FontSpec ToFontSpec(const QFont& font);

class QPainterSurface : public DrawingSurface {
 public:
  // client is the area the graph may use, in the painter's coordinates
  // (paint handlers pass the widget's rect()); the surface's origin is its
  // top-left corner.  The palette resolves the system colours.  The
  // painter's state (pen, brush, font, origin) is saved here and restored
  // when the surface is destroyed.
  QPainterSurface(QPainter& painter, const QRect& client, const QPalette& palette);
  ~QPainterSurface() override;
  QPainterSurface(const QPainterSurface&) = delete;
  QPainterSurface& operator=(const QPainterSurface&) = delete;

  void SetPenColor(Color c) override;
  void SetPenWidth(int width) override;
  void SetPenMode(PenMode mode) override;
  Color PenColor() const override { return penColor_; }
  int PenWidth() const override { return penWidth_; }
  PenMode GetPenMode() const override { return penMode_; }
  void SetBrushColor(Color c) override;

  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Polyline(const std::vector<Point>& points) override;
  void Polygon(const std::vector<Point>& points) override;

  void TextOut(int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;

  FontSpec Font() const override { return font_; }
  void SetFont(const FontSpec& font) override;

  Rect ClientRect() const override;

  QPainter& Painter() { return painter_; }
  const QPalette& Palette() const { return palette_; }

 private:
  void ApplyPen();

  QPainter& painter_;
  QRect client_;
  QPalette palette_;
  Color penColor_ = kTextColor;
  int penWidth_ = 1;
  PenMode penMode_ = PenMode::Normal;
  Color brushColor_ = Color::System(SysColor::Window);
  FontSpec font_;
  Point pos_;
};

// An offscreen image with a painter and a surface over it, for rendering
// graphs without a window.  The image starts filled with the palette's
// window colour.
class ImageSurface {
 public:
  ImageSurface(int width, int height, const QPalette& palette = QPalette());
  ~ImageSurface();
  ImageSurface(const ImageSurface&) = delete;
  ImageSurface& operator=(const ImageSurface&) = delete;

  DrawingSurface& Surface();
  // Fills the image with the palette's window colour again.
  void Clear();
  // Ends painting and returns the image; the surface cannot be used after.
  QImage TakeImage();

 private:
  QPalette palette_;
  QImage image_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<QPainterSurface> surface_;
};

}  // namespace vokt
