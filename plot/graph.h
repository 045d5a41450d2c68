// Graph geometry: the mapping between values and pixels and the four drawing
// routines (filled area, curve, bars, steps), all on the abstract drawing
// surface, so graphs can be tested and exported without a screen.
#pragma once

#include <cstdint>
#include <functional>

#include "distrib/distribution.h"
#include "formula/surface.h"

namespace vokt {

using RealFunction = std::function<Real(Real)>;

int32_t XToPixel(const GraphRange& range, const Rect& rect, Real x);
Real PixelToX(int32_t i, const GraphRange& range, const Rect& rect);
int32_t YToPixel(const Rect& rect, Real y, Real ymax);

void FillArea(DrawingSurface& canvas, const GraphRange& range, const GraphRange& interval,
              const Rect& rect, Real ymax, const RealFunction& f);
void DrawCurve(DrawingSurface& canvas, const GraphRange& range, const GraphRange& interval,
               const Rect& rect, Real ymax, const RealFunction& f);
void DrawBars(DrawingSurface& canvas, const PointTable& points, const GraphRange& range,
              const Rect& rect, const GraphRange& interval, Real ymax);
void DrawSteps(DrawingSurface& canvas, const PointTable& points, const GraphRange& range,
               const Rect& rect, Real ymax);

// The graphs of a distribution on a surface whose client rectangle is the
// plot area.  The density (a filled area for a continuous type, bars for a
// discrete one) is drawn over [from, to] in the pen and brush given (a
// discrete type uses the pen); the distribution function as a curve or
// steps, the part right of x in the highlight up to upper.  A bare
// distribution draws nothing.
void DrawDensity(Distribution& d, DrawingSurface& box, Color pen, Color brush, Real from, Real to);
void DrawCdf(Distribution& d, DrawingSurface& box, Real x, Real upper);

}  // namespace vokt
