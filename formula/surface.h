// The drawing surface that graphs, grid labels and formula hints draw on.  It
// is a small toolkit-free interface: the window implements it over QPainter,
// tests record the calls, and exports render through the same code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vokt {

// Named colours of the desktop theme; the implementation resolves them.
enum class SysColor : uint8_t {
  None,           // not a system colour: use the RGB value
  WindowText,     // outlines, curves, axes
  ActiveCaption,  // filled density area
  Highlight,      // cdf guide lines
  ButtonFace,
  Light3D,
  Window,
};

struct Color {
  SysColor sys = SysColor::None;
  uint8_t r = 0, g = 0, b = 0;

  static constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) { return {SysColor::None, r, g, b}; }
  static constexpr Color System(SysColor s) { return {s, 0, 0, 0}; }
  friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kTextColor = Color::System(SysColor::WindowText);
inline constexpr Color kFillColor = Color::System(SysColor::ActiveCaption);
inline constexpr Color kHighlightColor = Color::System(SysColor::Highlight);
inline constexpr Color kGrayColor = Color::Rgb(128, 128, 128);
inline constexpr Color kBlackColor = Color::Rgb(0, 0, 0);
inline constexpr Color kNavyColor = Color::Rgb(0, 0, 128);
inline constexpr Color kSilverColor = Color::Rgb(192, 192, 192);

enum class PenMode : uint8_t { Normal, AlwaysBlack };

struct Point {
  int32_t x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};

struct FontSpec {
  std::string face = "Lucida Sans Unicode";
  double size = 9;  // points
  Color color = kTextColor;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  virtual void SetPenColor(Color c) = 0;
  virtual void SetPenWidth(int width) = 0;
  virtual void SetPenMode(PenMode mode) = 0;
  virtual Color PenColor() const = 0;
  virtual int PenWidth() const = 0;
  virtual PenMode GetPenMode() const = 0;
  virtual void SetBrushColor(Color c) = 0;

  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void Polyline(const std::vector<Point>& points) = 0;
  virtual void Polygon(const std::vector<Point>& points) = 0;

  // Text in UTF-8, cell's top-left corner at (x, y), in the current font.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight(const std::string& text) = 0;

  virtual FontSpec Font() const = 0;
  virtual void SetFont(const FontSpec& font) = 0;

  // The area a graph may use; left and top are 0.
  virtual Rect ClientRect() const = 0;
  int Width() const { return ClientRect().Width(); }
  int Height() const { return ClientRect().Height(); }
};

}  // namespace vokt
