// A drawing surface for tests: it records every drawing call with the pen,
// brush and font in force, and measures text with a fixed-width fake font in
// which every character is as wide as the font's size in points and a line
// is twice that high.
#pragma once

#include <string>
#include <vector>

#include "formula/surface.h"

namespace vokt::test {

struct PenState {
  Color color = kTextColor;
  int width = 1;
  PenMode mode = PenMode::Normal;
};

struct RecordedLine {
  Point from, to;
  PenState pen;
};

struct RecordedShape {  // polyline or polygon
  std::vector<Point> points;
  PenState pen;
  Color brush;
};

struct RecordedText {
  int x = 0, y = 0;
  std::string text;
  FontSpec font;
};

// Number of code points in a UTF-8 string.
inline int Utf8Length(const std::string& s) {
  int n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

class RecordingSurface : public DrawingSurface {
 public:
  explicit RecordingSurface(int width = 400, int height = 200) : rect_{0, 0, width, height} {}

  void SetPenColor(Color c) override { pen_.color = c; }
  void SetPenWidth(int width) override { pen_.width = width; }
  void SetPenMode(PenMode mode) override { pen_.mode = mode; }
  Color PenColor() const override { return pen_.color; }
  int PenWidth() const override { return pen_.width; }
  PenMode GetPenMode() const override { return pen_.mode; }
  void SetBrushColor(Color c) override { brush_ = c; }

  void MoveTo(int x, int y) override { pos_ = {x, y}; }
  void LineTo(int x, int y) override {
    lines.push_back({pos_, {x, y}, pen_});
    pos_ = {x, y};
  }
  void Polyline(const std::vector<Point>& points) override {
    polylines.push_back({points, pen_, brush_});
  }
  void Polygon(const std::vector<Point>& points) override {
    polygons.push_back({points, pen_, brush_});
  }

  void TextOut(int x, int y, const std::string& text) override {
    texts.push_back({x, y, text, font_});
  }
  int TextWidth(const std::string& text) override {
    return Utf8Length(text) * static_cast<int>(font_.size);
  }
  int TextHeight(const std::string&) override { return 2 * static_cast<int>(font_.size); }

  FontSpec Font() const override { return font_; }
  void SetFont(const FontSpec& font) override {
    font_ = font;
    ++fontChanges;
  }

  Rect ClientRect() const override { return rect_; }

  void Clear() {
    lines.clear();
    polylines.clear();
    polygons.clear();
    texts.clear();
  }

  std::vector<RecordedLine> lines;
  std::vector<RecordedShape> polylines;
  std::vector<RecordedShape> polygons;
  std::vector<RecordedText> texts;
  int fontChanges = 0;

 private:
  Rect rect_;
  PenState pen_;
  Color brush_ = kBlackColor;
  FontSpec font_;
  Point pos_;
};

}  // namespace vokt::test
