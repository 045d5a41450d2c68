#include "formula/qt/painter_surface.h"

#include <QFontMetrics>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <algorithm>

namespace vokt {

namespace {

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QPolygon ToPolygon(const std::vector<Point>& points) {
  QPolygon poly(static_cast<int>(points.size()));
  for (size_t i = 0; i < points.size(); ++i)
    poly.setPoint(static_cast<int>(i), points[i].x, points[i].y);
  return poly;
}

}  // namespace

void InstallFontSubstitutes() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QFont::insertSubstitution(QStringLiteral("Lucida Sans Unicode"), QStringLiteral("DejaVu Sans"));
  QFont::insertSubstitution(QStringLiteral("Lucida Console"), QStringLiteral("DejaVu Sans Mono"));
}

QColor ResolveColor(Color c, const QPalette& palette) {
  switch (c.sys) {
    case SysColor::None:
      return QColor(c.r, c.g, c.b);
    case SysColor::WindowText:
      return palette.color(QPalette::Active, QPalette::WindowText);
    case SysColor::ActiveCaption:
      // Qt themes have no caption colour of their own; the active title bar
      // of the common desktop themes uses the selection colour.
      return palette.color(QPalette::Active, QPalette::Highlight);
    case SysColor::Highlight:
      return palette.color(QPalette::Active, QPalette::Highlight);
    case SysColor::ButtonFace:
      return palette.color(QPalette::Active, QPalette::Button);
    case SysColor::Light3D:
      return palette.color(QPalette::Active, QPalette::Light);
    case SysColor::Window:
      return palette.color(QPalette::Active, QPalette::Window);
  }
  return QColor(c.r, c.g, c.b);
}

QFont ToQFont(const FontSpec& font) {
  QFont f(FromUtf8(font.face));
  if (font.size > 0) f.setPointSizeF(font.size);
  f.setBold(font.bold);
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  return f;
}

FontSpec ToFontSpec(const QFont& font) {
  FontSpec result;
  result.face = font.family().toStdString();
  if (font.pointSizeF() > 0)
    result.size = font.pointSizeF();
  else if (font.pixelSize() > 0)
    result.size = font.pixelSize() * 72.0 / 96.0;  // pixels at the usual 96 dpi
  result.bold = font.bold();
  result.italic = font.italic();
  result.underline = font.underline();
  return result;
}

QPainterSurface::QPainterSurface(QPainter& painter, const QRect& client, const QPalette& palette)
    : painter_(painter), client_(client), palette_(palette) {
  InstallFontSubstitutes();
  painter_.save();
  painter_.translate(client_.topLeft());
  ApplyPen();
  painter_.setBrush(ResolveColor(brushColor_, palette_));
  painter_.setFont(ToQFont(font_));
}

QPainterSurface::~QPainterSurface() {
  if (painter_.isActive()) painter_.restore();
}

void QPainterSurface::ApplyPen() {
  const QColor c =
      penMode_ == PenMode::AlwaysBlack ? QColor(Qt::black) : ResolveColor(penColor_, palette_);
  QPen pen(c);
  pen.setWidth(penWidth_ < 1 ? 1 : penWidth_);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  painter_.setPen(pen);
}

void QPainterSurface::SetPenColor(Color c) {
  penColor_ = c;
  ApplyPen();
}

void QPainterSurface::SetPenWidth(int width) {
  penWidth_ = width;
  ApplyPen();
}

void QPainterSurface::SetPenMode(PenMode mode) {
  penMode_ = mode;
  ApplyPen();
}

void QPainterSurface::SetBrushColor(Color c) {
  brushColor_ = c;
  painter_.setBrush(ResolveColor(c, palette_));
}

void QPainterSurface::MoveTo(int x, int y) { pos_ = {x, y}; }

void QPainterSurface::LineTo(int x, int y) {
  if ((x == pos_.x || y == pos_.y) && !painter_.testRenderHint(QPainter::Antialiasing)) {
    // Axis-parallel lines (bars, steps, axes) as solid rectangles: the
    // raster engine fills those row by row in a tight loop, several times
    // faster than it strokes a line of the same pixels.  Both end points
    // are covered, as by a stroked line with square ends.
    const int w = penWidth_ < 1 ? 1 : penWidth_;
    const int lo = (w - 1) / 2;
    QRect r;
    if (x == pos_.x)
      r = QRect(QPoint(x - lo, std::min(y, pos_.y)), QPoint(x - lo + w - 1, std::max(y, pos_.y)));
    else
      r = QRect(QPoint(std::min(x, pos_.x), y - lo), QPoint(std::max(x, pos_.x), y - lo + w - 1));
    painter_.fillRect(r, painter_.pen().color());
  } else {
    painter_.drawLine(pos_.x, pos_.y, x, y);
  }
  pos_ = {x, y};
}

void QPainterSurface::Polyline(const std::vector<Point>& points) {
  if (points.empty()) return;
  painter_.drawPolyline(ToPolygon(points));
}

void QPainterSurface::Polygon(const std::vector<Point>& points) {
  if (points.empty()) return;
  painter_.drawPolygon(ToPolygon(points));
}

void QPainterSurface::TextOut(int x, int y, const std::string& text) {
  if (text.empty()) return;
  const QColor old = painter_.pen().color();
  // Text takes the font's colour, not the pen's.
  QPen pen = painter_.pen();
  pen.setColor(ResolveColor(font_.color, palette_));
  painter_.setPen(pen);
  QFontMetrics fm(painter_.font(), painter_.device());
  painter_.drawText(x, y + fm.ascent(), FromUtf8(text));
  pen.setColor(old);
  painter_.setPen(pen);
}

int QPainterSurface::TextWidth(const std::string& text) {
  if (text.empty()) return 0;
  QFontMetrics fm(painter_.font(), painter_.device());
  return fm.horizontalAdvance(FromUtf8(text));
}

int QPainterSurface::TextHeight(const std::string&) {
  QFontMetrics fm(painter_.font(), painter_.device());
  return fm.height();
}

void QPainterSurface::SetFont(const FontSpec& font) {
  font_ = font;
  painter_.setFont(ToQFont(font_));
}

Rect QPainterSurface::ClientRect() const { return {0, 0, client_.width(), client_.height()}; }

ImageSurface::ImageSurface(int width, int height, const QPalette& palette)
    : palette_(palette),
      image_(width > 0 ? width : 1, height > 0 ? height : 1, QImage::Format_RGB32) {
  image_.fill(palette_.color(QPalette::Active, QPalette::Window));
  painter_ = std::make_unique<QPainter>(&image_);
  surface_ = std::make_unique<QPainterSurface>(*painter_, QRect(0, 0, width, height), palette_);
}

ImageSurface::~ImageSurface() {
  surface_.reset();
  if (painter_ && painter_->isActive()) painter_->end();
}

DrawingSurface& ImageSurface::Surface() { return *surface_; }

void ImageSurface::Clear() {
  if (!surface_) return;
  painter_->fillRect(image_.rect(), palette_.color(QPalette::Active, QPalette::Window));
}

QImage ImageSurface::TakeImage() {
  surface_.reset();
  if (painter_->isActive()) painter_->end();
  return image_;
}

}  // namespace vokt
