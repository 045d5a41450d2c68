#include "plot/graph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

#include "distrib/normal.h"
#include "tests/formula/recording_surface.h"

namespace vokt {
namespace {

using test::RecordedLine;
using test::RecordingSurface;

// Uniform on 0..n-1, enough of a discrete family to exercise the drawing.
class TestUniform : public DiscreteDistribution {
 public:
  explicit TestUniform(int n, uint16_t id = 990) : n_(n) {
    nameId_ = id;
    supportLow_ = 0;
    supportHigh_ = n - 1;
    mean_ = (n - 1) / 2.0L;
    variance_ = (static_cast<Real>(n) * n - 1) / 12;
    BuildPointTable();
  }
  // No table at all (null), or an empty one.
  void DropTable() { points_.reset(); }
  void EmptyTable() { points_ = std::make_unique<PointTable>(); }
  Real PointProb(Real x) const override { return InSupport(x) ? 1.0L / n_ : 0; }
  Real Cdf(Real x) const override {
    if (x < 0) return 0;
    return std::min<Real>(std::floor(x) + 1, n_) / n_;
  }

 private:
  int n_;
};

constexpr int kW = 400, kH = 200;
const Rect kRect{0, 0, kW, kH};

TEST(PlotGeometry, XToPixel) {
  struct Case {
    Real lo, hi, x;
    int32_t pixel;
  } cases[] = {
      {0, 1, 0.25L, 100},
      {0, 1, 0, 0},
      {0, 1, 1, 400},
      {0, 1, -5, 0},
      {0, 1, 7, 400},  // clamped to the edges
      {3, 3, 3, 200},
      {3, 3, -1e9L, 200},
      {5, 2, 4, 200},  // lo >= hi: the middle
      {0, 1, std::numeric_limits<Real>::quiet_NaN(), 200},
      {-std::numeric_limits<Real>::infinity(), 1, 0, 200},
  };
  for (const Case& c : cases)
    EXPECT_EQ(XToPixel({c.lo, c.hi}, kRect, c.x), c.pixel) << c.lo << " " << c.hi << " " << c.x;
}

TEST(PlotGeometry, YToPixel) {
  const Real nan = std::numeric_limits<Real>::quiet_NaN();
  struct Case {
    Real y, ymax;
    int32_t pixel;
  } cases[] = {
      {0, 1, 199},
      {1, 1, 1},
      {0.5L, 1, 100},
      {1e30L, 1, 0},  // far above the maximum: top row
      {0.5L, 0, 0},
      {0.5L, -1, 0},
      {0.5L, nan, 0},
      {nan, 1, 0},
      {-1e30L, 1, 199 + 1000000000},  // no overflow below the axis
  };
  for (const Case& c : cases) EXPECT_EQ(YToPixel(kRect, c.y, c.ymax), c.pixel) << c.y;
}

TEST(PlotGeometry, PixelToXOnAnEmptyRectangle) {
  EXPECT_EQ(PixelToX(5, {2, 4}, Rect{0, 0, 0, 10}), 2);
  EXPECT_EQ(PixelToX(100, {2, 4}, kRect), 2.5L);
}

TEST(FillArea, PolygonCoversTheIntervalOnTheBaseLine) {
  RecordingSurface s(kW, kH);
  int calls = 0;
  FillArea(s, {0, 4}, {1, 2}, kRect, 1, [&](Real) {
    ++calls;
    return 0.5L;
  });
  ASSERT_EQ(s.polygons.size(), 1u);
  const auto& p = s.polygons[0].points;
  ASSERT_EQ(p.size(), 100u - 100u + (200 - 100) + 3);
  EXPECT_EQ(p.front(), (Point{100, 199}));
  EXPECT_EQ(p[1], (Point{100, 100}));
  EXPECT_EQ(p[p.size() - 2], (Point{200, 100}));
  EXPECT_EQ(p.back(), (Point{200, 199}));
  EXPECT_EQ(calls, 101) << "one evaluation per column of the interval";
  EXPECT_EQ(s.polygons[0].pen.width, 3) << "min(400 div 100, 200 div 50) clamped to 3";
}

TEST(FillArea, DegenerateInputDrawsSafely) {
  RecordingSurface s(kW, kH);
  const Real nan = std::numeric_limits<Real>::quiet_NaN();
  FillArea(s, {0, 1}, {0, 1}, kRect, 1, [&](Real) { return nan; });
  ASSERT_EQ(s.polygons.size(), 1u);
  for (const Point& q : s.polygons[0].points) EXPECT_EQ(q.y, 199) << "NaN drawn on the base line";

  s.Clear();
  FillArea(s, {0, 1}, {0, 1}, Rect{0, 0, 0, kH}, 1, [](Real) { return 1.0L; });
  DrawCurve(s, {0, 1}, {0, 1}, Rect{0, 0, 0, kH}, 1, [](Real) { return 1.0L; });
  EXPECT_TRUE(s.polygons.empty());
  EXPECT_TRUE(s.polylines.empty());

  // A reversed interval collapses onto one column instead of a negative count.
  s.Clear();
  FillArea(s, {0, 1}, {0.75L, 0.25L}, kRect, 1, [](Real) { return 1.0L; });
  ASSERT_EQ(s.polygons.size(), 1u);
  EXPECT_EQ(s.polygons[0].points.size(), 3u);
}

TEST(DrawDensity, ContinuousAreaSplitsAtX) {
  NormalDistribution d(0, 1);  // plot range -4..4
  RecordingSurface s(kW, kH);
  const Real x = 1;
  DrawDensity(d, s, kTextColor, kFillColor, d.SupportLow(), x);
  DrawDensity(d, s, kTextColor, kFillColor, x, d.SupportHigh());
  ASSERT_EQ(s.polygons.size(), 2u);
  const auto& left = s.polygons[0];
  const auto& right = s.polygons[1];
  EXPECT_EQ(left.points.front().x, 0);
  EXPECT_EQ(left.points.back().x, 250);
  EXPECT_EQ(right.points.front().x, 250);
  EXPECT_EQ(right.points.back().x, 400);
  EXPECT_EQ(left.brush, kFillColor);
  EXPECT_EQ(left.pen.color, kTextColor);
  // The top of the curve (density at 0 = MaxDensity) is two rows below the top.
  EXPECT_EQ(left.points[1 + 200].y, 1);
}

TEST(DrawDensity, XOutsideTheRangeLeavesTheFarSideEmpty) {
  NormalDistribution d(0, 1);
  RecordingSurface s(kW, kH);
  DrawDensity(d, s, kTextColor, kFillColor, d.SupportLow(), 10);
  DrawDensity(d, s, kTextColor, kFillColor, 10, d.SupportHigh());
  ASSERT_EQ(s.polygons.size(), 2u);
  EXPECT_EQ(s.polygons[0].points.size(), 403u);
  ASSERT_EQ(s.polygons[1].points.size(), 3u);
  for (const Point& q : s.polygons[1].points) EXPECT_EQ(q.x, 400);
}

TEST(DrawCdf, ContinuousGuideMeetsTheCurve) {
  NormalDistribution d(0, 1);
  RecordingSurface s(kW, kH);
  DrawCdf(d, s, 0, d.SupportHigh());
  ASSERT_EQ(s.polylines.size(), 2u);
  EXPECT_EQ(s.polylines[0].points.size(), 401u);
  const auto& guide = s.polylines[1];
  EXPECT_EQ(guide.pen.color, kHighlightColor);
  EXPECT_EQ(guide.pen.width, 1);
  EXPECT_EQ(guide.points, (std::vector<Point>{{0, 100}, {200, 100}, {200, 199}}));
  ASSERT_EQ(s.lines.size(), 1u);  // the axis
  EXPECT_EQ(s.lines[0].from, (Point{0, 199}));
  EXPECT_EQ(s.lines[0].to, (Point{400, 199}));
  EXPECT_EQ(s.PenColor(), kTextColor);
  EXPECT_EQ(s.PenWidth(), 2);

  // x beyond the range: the guide stands at the right edge.
  s.Clear();
  DrawCdf(d, s, 50, d.SupportHigh());
  EXPECT_EQ(s.polylines[1].points[1].x, 399);
}

// Final colour of the bar in each column, as a paint leaves it.
std::map<int, RecordedLine> LastBarPerColumn(const RecordingSurface& s) {
  std::map<int, RecordedLine> bars;
  for (const RecordedLine& l : s.lines)
    if (l.from.x == l.to.x) bars[l.from.x] = l;
  return bars;
}

// The paint of the pdf page for a discrete distribution.
void PaintBars(DiscreteDistribution& d, RecordingSurface& s, Real x) {
  DrawDensity(d, s, kGrayColor, kFillColor, d.SupportLow(), x);
  DrawDensity(d, s, kGrayColor, kFillColor, x, d.SupportHigh());
  DrawDensity(d, s, kBlackColor, kFillColor, x, x);
}

TEST(DrawDensity, DiscreteBarsGrayBesideXAndBlackAtX) {
  TestUniform d(10);  // plot range -1..10, 36.4 pixels per point
  RecordingSurface s(kW, kH);
  PaintBars(d, s, 4);
  const auto bars = LastBarPerColumn(s);
  ASSERT_EQ(bars.size(), 10u);
  const int32_t atX = XToPixel(d.Range(), kRect, 4);
  for (const auto& [col, line] : bars) {
    EXPECT_EQ(line.pen.color, col == atX ? kBlackColor : kGrayColor) << col;
    EXPECT_EQ(line.pen.width, 3);
    EXPECT_EQ(line.from.y, 199);
    EXPECT_EQ(line.to.y, 1);
  }
  // Each call ends with the axis in the window-text colour, width 2.
  const RecordedLine& axis = s.lines.back();
  EXPECT_EQ(axis.from, (Point{0, 199}));
  EXPECT_EQ(axis.to, (Point{400, 199}));
  EXPECT_EQ(axis.pen.color, kTextColor);
  EXPECT_EQ(axis.pen.width, 2);
}

TEST(DrawDensity, DenseSupportDrawsOneBarPerColumn) {
  TestUniform d(5000);
  ASSERT_GT(d.Range().Right - d.Range().Left, kW);
  RecordingSurface s(kW, kH);
  PaintBars(d, s, 2500);
  size_t bars = 0;
  for (const RecordedLine& l : s.lines) bars += l.from.x == l.to.x;
  EXPECT_LE(bars, 3u * (kW + 1));
  const auto last = LastBarPerColumn(s);
  EXPECT_GE(last.size(), static_cast<size_t>(kW - 1));
  // The black call ignores its interval and repaints every column.
  for (const auto& [col, line] : last) EXPECT_EQ(line.pen.color, kBlackColor) << col;
}

TEST(DrawDensity, RankTestTypesDrawAlwaysBlack) {
  for (uint16_t id : {929, 931, 930}) {
    TestUniform d(6, id);
    RecordingSurface s(kW, kH);
    DrawDensity(d, s, kGrayColor, kFillColor, 0, 5);
    ASSERT_FALSE(s.lines.empty());
    EXPECT_EQ(s.lines.front().pen.mode, id == 930 ? PenMode::Normal : PenMode::AlwaysBlack);
    EXPECT_EQ(s.GetPenMode(), PenMode::Normal) << "previous mode restored";
  }
}

TEST(DrawDensity, EmptyPointTableDrawsOnlyTheAxis) {
  TestUniform d(6);
  d.DropTable();
  RecordingSurface s(kW, kH);
  DrawDensity(d, s, kGrayColor, kFillColor, 0, 5);
  DrawCdf(d, s, 2, 5);
  d.EmptyTable();
  DrawDensity(d, s, kGrayColor, kFillColor, 0, 5);
  DrawCdf(d, s, 2, 5);
  for (const RecordedLine& l : s.lines) EXPECT_EQ(l.from.y, l.to.y);
}

TEST(DrawCdf, DiscreteStepsAreHorizontal) {
  TestUniform d(10);  // range -1..10
  RecordingSurface s(kW, kH);
  DrawCdf(d, s, 4, d.SupportHigh());
  // Lead-in at 0, one step per point but the last, the last to the edge, axis.
  ASSERT_EQ(s.lines.size(), 1u + 9u + 1u + 1u);
  for (const RecordedLine& l : s.lines) EXPECT_EQ(l.from.y, l.to.y);
  const GraphRange r = d.Range();
  EXPECT_EQ(s.lines[0].from, (Point{0, 199}));
  EXPECT_EQ(s.lines[0].to, (Point{XToPixel(r, kRect, 0) - 1, 199}));
  EXPECT_EQ(s.lines[1].from, (Point{XToPixel(r, kRect, 0), YToPixel(kRect, 0.1L, 1)}));
  EXPECT_EQ(s.lines[10].to, (Point{400, 1}));
  EXPECT_EQ(s.lines[0].pen.width, 2);
  const auto& guide = s.polylines.at(0).points;
  const int32_t xF = XToPixel(r, kRect, 4), yF = YToPixel(kRect, 0.5L, 1);
  EXPECT_EQ(guide, (std::vector<Point>{{0, yF}, {xF, yF}, {xF, 199}}));
}

TEST(DrawCdf, DenseStepsStayWithinTheColumns) {
  TestUniform d(5000);
  RecordingSurface s(kW, kH);
  DrawCdf(d, s, 100, d.SupportHigh());
  EXPECT_LE(s.lines.size(), static_cast<size_t>(kW + 2));
  EXPECT_GE(s.lines.size(), static_cast<size_t>(kW - 2));
  for (const RecordedLine& l : s.lines) {
    EXPECT_EQ(l.from.y, l.to.y);
    EXPECT_LE(l.from.x, l.to.x + 1);
  }
}

}  // namespace
}  // namespace vokt
