#include "formula/qt/painter_surface.h"

#include <gtest/gtest.h>

#include <QFontInfo>

#include "distrib/normal.h"
#include "formula/markup.h"
#include "plot/graph.h"

namespace vokt {
namespace {

QPalette TestPalette() {
  QPalette p;
  p.setColor(QPalette::Window, Qt::white);
  p.setColor(QPalette::WindowText, QColor(10, 20, 30));
  p.setColor(QPalette::Highlight, QColor(0, 0, 200));
  return p;
}

TEST(PainterSurface, FontSubstitutes) {
  InstallFontSubstitutes();
  InstallFontSubstitutes();
  EXPECT_EQ(QFontInfo(QFont("Lucida Sans Unicode")).family(), "DejaVu Sans");
  EXPECT_TRUE(QFontInfo(QFont("Lucida Console")).fixedPitch());
}

TEST(PainterSurface, ResolvesSystemColours) {
  const QPalette p = TestPalette();
  EXPECT_EQ(ResolveColor(kTextColor, p), QColor(10, 20, 30));
  EXPECT_EQ(ResolveColor(kHighlightColor, p), QColor(0, 0, 200));
  EXPECT_EQ(ResolveColor(kFillColor, p), QColor(0, 0, 200));
  EXPECT_EQ(ResolveColor(kGrayColor, p), QColor(128, 128, 128));
}

TEST(PainterSurface, AlwaysBlackOverridesThePenColour) {
  ImageSurface img(20, 20, TestPalette());
  DrawingSurface& s = img.Surface();
  s.SetPenColor(kGrayColor);
  s.SetPenMode(PenMode::AlwaysBlack);
  s.MoveTo(5, 0);
  s.LineTo(5, 19);
  s.SetPenMode(PenMode::Normal);
  s.MoveTo(10, 0);
  s.LineTo(10, 19);
  const QImage im = img.TakeImage();
  EXPECT_EQ(im.pixelColor(5, 10), QColor(Qt::black));
  EXPECT_EQ(im.pixelColor(10, 10), QColor(128, 128, 128));
}

TEST(PainterSurface, PaintsANormalDensity) {
  NormalDistribution d(0, 1);
  ImageSurface img(300, 150, TestPalette());
  DrawingSurface& s = img.Surface();
  EXPECT_EQ(s.Width(), 300);
  EXPECT_EQ(s.Height(), 150);
  DrawDensity(d, s, kTextColor, kFillColor, d.SupportLow(), 0);
  DrawDensity(d, s, kTextColor, kFillColor, 0, d.SupportHigh());
  const QImage im = img.TakeImage();
  EXPECT_EQ(im.pixelColor(120, 100), QColor(0, 0, 200)) << "filled under the curve";
  EXPECT_EQ(im.pixelColor(150, 148), QColor(10, 20, 30)) << "outline on the base line";
  EXPECT_EQ(im.pixelColor(20, 20), QColor(Qt::white)) << "nothing above the tails";
}

TEST(PainterSurface, TextMeasuresWhatItDraws) {
  ImageSurface img(200, 40, TestPalette());
  DrawingSurface& s = img.Surface();
  FontSpec f;
  f.size = 12;
  s.SetFont(f);
  EXPECT_GT(s.TextWidth("σ"), 0);
  EXPECT_GT(s.TextWidth("WW"), s.TextWidth("W"));
  EXPECT_GT(s.TextHeight("X"), 10);
  TextExtent e;
  MixedTextOut(s, 0, 0, e, true, "@s^2_ > 0");
  EXPECT_EQ(
      e.Right, s.TextWidth("σ") + [&] {
        FontSpec small = f;
        small.size = 9;
        s.SetFont(small);
        int w = s.TextWidth("2");
        s.SetFont(f);
        return w;
      }() + s.TextWidth(" > 0"));
  EXPECT_EQ(s.Font(), f);
  const QImage im = img.TakeImage();
  bool inked = false;
  for (int x = 0; x < 20 && !inked; ++x)
    for (int y = 0; y < 30 && !inked; ++y) inked = im.pixelColor(x, y) != QColor(Qt::white);
  EXPECT_TRUE(inked);
}

}  // namespace
}  // namespace vokt

namespace vokt {
namespace {

TEST(PainterSurface, AxisParallelLinesCoverBothEnds) {
  ImageSurface img(30, 30, TestPalette());
  DrawingSurface& s = img.Surface();
  s.SetPenColor(kBlackColor);
  s.SetPenWidth(3);
  s.MoveTo(10, 20);
  s.LineTo(10, 5);  // upwards, like a bar
  s.SetPenWidth(1);
  s.MoveTo(20, 25);
  s.LineTo(25, 25);
  const QImage im = img.TakeImage();
  const QColor black(Qt::black), white(Qt::white);
  for (int x : {9, 10, 11}) {
    EXPECT_EQ(im.pixelColor(x, 5), black) << x;
    EXPECT_EQ(im.pixelColor(x, 20), black) << x;
    EXPECT_EQ(im.pixelColor(x, 4), white) << x;
    EXPECT_EQ(im.pixelColor(x, 21), white) << x;
  }
  EXPECT_EQ(im.pixelColor(8, 10), white);
  EXPECT_EQ(im.pixelColor(12, 10), white);
  EXPECT_EQ(im.pixelColor(20, 25), black);
  EXPECT_EQ(im.pixelColor(25, 25), black);
  EXPECT_EQ(im.pixelColor(25, 24), white);
  EXPECT_EQ(im.pixelColor(26, 25), white);
}

TEST(PainterSurface, FontSpecOfAWidgetFont) {
  QFont f("DejaVu Sans", 11);
  f.setBold(true);
  const FontSpec fs = ToFontSpec(f);
  EXPECT_EQ(fs.face, "DejaVu Sans");
  EXPECT_EQ(fs.size, 11);
  EXPECT_TRUE(fs.bold);
  QFont px("DejaVu Sans");
  px.setPixelSize(12);
  EXPECT_EQ(ToFontSpec(px).size, 9);
}

}  // namespace
}  // namespace vokt

namespace vokt {
namespace {

TEST(PainterSurface, ClientAreaIsTheOriginAndThePainterIsRestored) {
  QImage im(40, 40, QImage::Format_RGB32);
  im.fill(Qt::white);
  QPainter p(&im);
  const QPen before(Qt::green);
  p.setPen(before);
  {
    QPainterSurface s(p, QRect(10, 20, 15, 10), TestPalette());
    EXPECT_EQ(s.Width(), 15);
    EXPECT_EQ(s.Height(), 10);
    s.SetPenColor(kBlackColor);
    s.MoveTo(0, 0);
    s.LineTo(0, 3);
  }
  EXPECT_EQ(p.pen().color(), QColor(Qt::green));
  p.end();
  EXPECT_EQ(im.pixelColor(10, 21), QColor(Qt::black));
  EXPECT_EQ(im.pixelColor(0, 1), QColor(Qt::white));
}

}  // namespace
}  // namespace vokt
