#include "distrib/plotting.h"

#include <cmath>

namespace vokt {

int32_t XToPixel(const tPlotRange& range, const Rect& rect, Extended x) {
  const Extended lo = range.Left, hi = range.Right;
  const int32_t w = rect.Width();
  if (lo >= hi) return w / 2;
  if (x < lo) x = lo;
  if (x > hi) x = hi;
  return RoundInt((x - lo) / (hi - lo) * w);
}

Extended PixelToX(int32_t i, const tPlotRange& range, const Rect& rect) {
  return i * (range.Right - range.Left) / rect.Width() + range.Left;
}

int32_t YToPixel(const Rect& rect, Extended y, Extended ymax) {
  if (!(ymax > 0)) return 0;
  Extended v = y / ymax * (rect.Height() - 2);
  if (!(v < 2147483647.0L)) return 0;
  return (rect.bottom - 1) - RoundInt(v);
}

void FillArea(DrawingSurface&, const tPlotRange&, const tPlotRange&, const Rect&, Extended,
              const RealFunction&) {}
void DrawCurve(DrawingSurface&, const tPlotRange&, const tPlotRange&, const Rect&, Extended,
               const RealFunction&) {}
void DrawBars(DrawingSurface&, const tRealPointList&, const tPlotRange&, const Rect&,
              const tPlotRange&, Extended) {}
void DrawSteps(DrawingSurface&, const tRealPointList&, const tPlotRange&, const Rect&, Extended) {}

void DrawContinuousDensity(tContinuous_distribution&, DrawingSurface&, Color, Color, Extended,
                           Extended) {}
void DrawContinuousCdf(tContinuous_distribution&, DrawingSurface&, Extended, Extended) {}
void DrawDiscreteDensity(tDiscrete_distribution&, DrawingSurface&, Color, Extended, Extended) {}
void DrawDiscreteCdf(tDiscrete_distribution&, DrawingSurface&, Extended, Extended) {}

}  // namespace vokt
