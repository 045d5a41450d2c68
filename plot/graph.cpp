// Graph geometry.  Curves are sampled once per pixel column; discrete graphs
// draw one bar or step per support point while the points are wider apart
// than a pixel, and one per pixel column when they are denser, so a paint
// never costs more than the width of the graph in drawing calls.
#include "plot/graph.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "distrib/family.h"
namespace vokt {

namespace {

// Pixel coordinates stay far inside 32 bits however wild a value is.
constexpr Real kPixelLimit = 1.0e9L;

int32_t ClampedRound(Real v) {
  if (!(v > -kPixelLimit)) v = -kPixelLimit;
  if (!(v < kPixelLimit)) v = kPixelLimit;
  return RoundInt(v);
}

int Clamp3(int w) { return w < 1 ? 1 : (w > 3 ? 3 : w); }

// The line width of filled areas and curves: thicker on large graphs.
int CurvePenWidth(const Rect& rect) {
  return Clamp3(std::min(rect.Width() / 100, rect.Height() / 50));
}

// f at one column.  A value that is not a number, or an arithmetic fault at
// one point, is drawn on the base line rather than stopping the whole paint;
// other errors (no convergence, bad arguments) reach the paint handler.
Real Sample(const RealFunction& f, Real x) {
  try {
    Real y = f(x);
    return std::isnan(y) ? 0 : y;
  } catch (const MathError&) {
    return 0;
  }
}

// Columns p1..p2 covering the interval; an interval that lies outside the
// plot range collapses onto the nearest edge column.
void IntervalColumns(const GraphRange& range, const GraphRange& interval, const Rect& rect,
                     int32_t& p1, int32_t& p2) {
  p1 = XToPixel(range, rect, interval.Left);
  p2 = XToPixel(range, rect, interval.Right);
  if (p2 < p1) p2 = p1;
}

std::vector<Point> CurvePoints(const GraphRange& range, const Rect& rect, Real ymax,
                               const RealFunction& f, int32_t p1, int32_t p2) {
  std::vector<Point> pts;
  pts.reserve(static_cast<size_t>(p2 - p1 + 3));
  for (int32_t i = p1; i <= p2; ++i)
    pts.push_back({i, YToPixel(rect, Sample(f, PixelToX(i, range, rect)), ymax)});
  return pts;
}

void Line(DrawingSurface& canvas, int x1, int y1, int x2, int y2) {
  canvas.MoveTo(x1, y1);
  canvas.LineTo(x2, y2);
}

void Bar(DrawingSurface& canvas, const GraphRange& range, const Rect& rect, const PointRecord& p,
         Real ymax) {
  const int32_t x = XToPixel(range, rect, p.X);
  Line(canvas, x, YToPixel(rect, 0, ymax), x, YToPixel(rect, p.Prob, ymax));
}

// The first point whose X is not below x, or the last point when all are.
int PointAtOrAfter(const PointTable& points, Real x) {
  int index = 0;
  FindPoint(points, x, index);
  return std::min(index, points.Count() - 1);
}

bool Finite(Real v) { return std::isfinite(v); }

GraphRange ClipInterval(const GraphRange& r, Real from, Real to) {
  return {std::max(r.Left, from), std::min(r.Right, to)};
}

Real ClampX(const GraphRange& r, Real x) {
  if (std::isnan(x)) return r.Left;
  return std::min(std::max(x, r.Left), r.Right);
}

void Axis(DrawingSurface& box) { Line(box, 0, box.Height() - 1, box.Width(), box.Height() - 1); }

}  // namespace

int32_t XToPixel(const GraphRange& range, const Rect& rect, Real x) {
  const Real lo = range.Left, hi = range.Right;
  const int32_t w = rect.Width();
  if (!(lo < hi) || !Finite(hi - lo) || std::isnan(x)) return w / 2;
  if (x < lo) x = lo;
  if (x > hi) x = hi;
  return ClampedRound((x - lo) / (hi - lo) * w);
}

Real PixelToX(int32_t i, const GraphRange& range, const Rect& rect) {
  if (rect.Width() <= 0) return range.Left;
  return i * (range.Right - range.Left) / rect.Width() + range.Left;
}

int32_t YToPixel(const Rect& rect, Real y, Real ymax) {
  if (!(ymax > 0)) return 0;
  Real v = y / ymax * (rect.Height() - 2);
  if (!(v < 2147483647.0L)) return 0;
  return (rect.bottom - 1) - ClampedRound(v);
}

void FillArea(DrawingSurface& canvas, const GraphRange& range, const GraphRange& interval,
              const Rect& rect, Real ymax, const RealFunction& f) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  int32_t p1, p2;
  IntervalColumns(range, interval, rect, p1, p2);
  const int32_t base = YToPixel(rect, 0, ymax);
  std::vector<Point> pts;
  pts.reserve(static_cast<size_t>(p2 - p1 + 3));
  pts.push_back({p1, base});
  const std::vector<Point> curve = CurvePoints(range, rect, ymax, f, p1, p2);
  pts.insert(pts.end(), curve.begin(), curve.end());
  pts.push_back({p2, base});
  canvas.SetPenWidth(CurvePenWidth(rect));
  canvas.Polygon(pts);
}

void DrawCurve(DrawingSurface& canvas, const GraphRange& range, const GraphRange& interval,
               const Rect& rect, Real ymax, const RealFunction& f) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  int32_t p1, p2;
  IntervalColumns(range, interval, rect, p1, p2);
  canvas.SetPenWidth(CurvePenWidth(rect));
  canvas.Polyline(CurvePoints(range, rect, ymax, f, p1, p2));
}

void DrawBars(DrawingSurface& canvas, const PointTable& points, const GraphRange& range,
              const Rect& rect, const GraphRange& interval, Real ymax) {
  const int n = points.Count();
  const int32_t w = rect.Width();
  if (n == 0 || w <= 0) return;
  const Real lo = range.Left, hi = range.Right;
  if (w >= hi - lo) {
    canvas.SetPenWidth(lo < hi ? Clamp3(w / n - 1) : 3);
    for (const PointRecord& p : points.Items()) {
      if (p.X < interval.Left) continue;
      if (!(p.X <= interval.Right)) break;
      Bar(canvas, range, rect, p, ymax);
    }
  } else {
    // Denser than the pixels: the bar of the first point in each column, over
    // the whole plot range.
    canvas.SetPenWidth(1);
    int last = -1;
    for (int32_t i = 0; i <= w; ++i) {
      int index = 0;
      FindPoint(points, PixelToX(i, range, rect), index);
      if (index >= n) break;
      if (index == last) continue;
      last = index;
      Bar(canvas, range, rect, points[index], ymax);
    }
  }
}

void DrawSteps(DrawingSurface& canvas, const PointTable& points, const GraphRange& range,
               const Rect& rect, Real ymax) {
  const int n = points.Count();
  const int32_t w = rect.Width();
  if (n == 0 || w <= 0) return;
  const Real lo = range.Left, hi = range.Right;
  const auto& items = points.Items();
  auto step = [&](const PointRecord& p, int32_t x1, int32_t x2) {
    const int32_t y = YToPixel(rect, p.CumProb, ymax);
    Line(canvas, x1, y, x2, y);
  };
  if (w >= hi - lo) {
    const PointRecord& first = items.front();
    const PointRecord& last = items.back();
    if (lo < first.X) {
      const int32_t y = YToPixel(rect, 0, ymax);
      Line(canvas, XToPixel(range, rect, lo), y, XToPixel(range, rect, first.X) - 1, y);
    }
    size_t i = 0;
    while (i < items.size() && items[i].X < lo) ++i;
    for (; i + 1 < items.size() && items[i].X <= hi; ++i)
      step(items[i], XToPixel(range, rect, items[i].X), XToPixel(range, rect, items[i + 1].X) - 1);
    if (last.X < hi) step(last, XToPixel(range, rect, last.X), XToPixel(range, rect, hi));
  } else {
    for (int32_t i = 0; i <= w; ++i) {
      const int a = PointAtOrAfter(points, PixelToX(i, range, rect));
      const int b = PointAtOrAfter(points, PixelToX(i + 1, range, rect));
      if (b == a) continue;  // no new point in this column
      step(items[static_cast<size_t>(a)], XToPixel(range, rect, items[static_cast<size_t>(a)].X),
           XToPixel(range, rect, items[static_cast<size_t>(b)].X) - 1);
    }
  }
}

namespace {

void DrawContinuousDensity(ContinuousDistribution& d, DrawingSurface& box, Color pen, Color brush,
                           Real from, Real to) {
  const GraphRange r = d.Range();
  box.SetPenColor(pen);
  box.SetBrushColor(brush);
  FillArea(box, r, ClipInterval(r, from, to), box.ClientRect(), d.MaxDensity(),
           [&d](Real x) { return d.Density(x); });
}

void DrawContinuousCdf(ContinuousDistribution& d, DrawingSurface& box, Real x, Real /*upper*/) {
  const GraphRange r = d.Range();
  const Rect rect = box.ClientRect();
  x = ClampX(r, x);
  box.SetPenColor(kTextColor);
  box.SetPenWidth(2);
  DrawCurve(box, r, r, rect, 1, [&d](Real t) { return d.Cdf(t); });
  box.SetPenWidth(1);
  Axis(box);
  const int32_t yF = YToPixel(rect, Sample([&d](Real t) { return d.Cdf(t); }, x), 1);
  // The guide meets the curve's column: the curve spans W - 2 columns from 1.
  int32_t xF = rect.Width() / 2;
  if (r.Left < r.Right && Finite(r.Right - r.Left))
    xF = ClampedRound((x - r.Left) / (r.Right - r.Left) * (rect.Width() - 2)) + 1;
  box.SetPenColor(kHighlightColor);
  box.Polyline({{0, yF}, {xF, yF}, {xF, box.Height() - 1}});
  box.SetPenColor(kTextColor);
  box.SetPenWidth(2);
}

void DrawDiscreteDensity(DiscreteDistribution& d, DrawingSurface& box, Color pen, Real from,
                         Real to) {
  const GraphRange r = d.Range();
  const PenMode previous = box.GetPenMode();
  box.SetPenColor(pen);
  // The Kruskal-Wallis and Friedman graphs are always black.
  box.SetPenMode(FamilyOf(d).FractionalValues ? PenMode::AlwaysBlack : PenMode::Normal);
  if (d.Points())
    DrawBars(box, *d.Points(), r, box.ClientRect(), ClipInterval(r, from, to), d.MaxDens());
  box.SetPenWidth(2);
  box.SetPenMode(previous);
  box.SetPenColor(kTextColor);
  Axis(box);
}

void DrawDiscreteCdf(DiscreteDistribution& d, DrawingSurface& box, Real x, Real /*upper*/) {
  const GraphRange r = d.Range();
  const Rect rect = box.ClientRect();
  x = ClampX(r, x);
  box.SetPenColor(kTextColor);
  box.SetPenWidth(2);
  if (d.Points()) DrawSteps(box, *d.Points(), r, rect, 1);
  box.SetPenWidth(1);
  Axis(box);
  const int32_t yF = YToPixel(rect, Sample([&d](Real t) { return d.Cdf(t); }, x), 1);
  const int32_t xa = XToPixel(r, rect, r.Left), xF = XToPixel(r, rect, x);
  box.SetPenColor(kHighlightColor);
  box.Polyline({{xa, yF}, {xF, yF}, {xF, box.Height() - 1}});
  box.SetPenColor(kTextColor);
  box.SetPenWidth(2);
}

}  // namespace

void DrawDensity(Distribution& d, DrawingSurface& box, Color pen, Color brush, Real from, Real to) {
  if (auto* discrete = dynamic_cast<DiscreteDistribution*>(&d))
    DrawDiscreteDensity(*discrete, box, pen, from, to);
  else if (auto* continuous = dynamic_cast<ContinuousDistribution*>(&d))
    DrawContinuousDensity(*continuous, box, pen, brush, from, to);
}

void DrawCdf(Distribution& d, DrawingSurface& box, Real x, Real upper) {
  if (auto* discrete = dynamic_cast<DiscreteDistribution*>(&d))
    DrawDiscreteCdf(*discrete, box, x, upper);
  else if (auto* continuous = dynamic_cast<ContinuousDistribution*>(&d))
    DrawContinuousCdf(*continuous, box, x, upper);
}

}  // namespace vokt
