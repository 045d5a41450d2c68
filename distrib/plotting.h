// Graph geometry: the mapping between values and pixels and the four drawing
// routines (filled area, curve, bars, steps), all on the abstract drawing
// surface, so graphs can be tested and exported without a screen.
#pragma once

#include <cstdint>
#include <functional>

#include "distrib/distribution.h"
#include "formula/surface.h"

namespace vokt {

using RealFunction = std::function<Extended(Extended)>;

int32_t XToPixel(const tPlotRange& range, const Rect& rect, Extended x);
Extended PixelToX(int32_t i, const tPlotRange& range, const Rect& rect);
int32_t YToPixel(const Rect& rect, Extended y, Extended ymax);

void FillArea(DrawingSurface& canvas, const tPlotRange& range, const tPlotRange& interval,
              const Rect& rect, Extended ymax, const RealFunction& f);
void DrawCurve(DrawingSurface& canvas, const tPlotRange& range, const tPlotRange& interval,
               const Rect& rect, Extended ymax, const RealFunction& f);
void DrawBars(DrawingSurface& canvas, const tRealPointList& points, const tPlotRange& range,
              const Rect& rect, const tPlotRange& interval, Extended ymax);
void DrawSteps(DrawingSurface& canvas, const tRealPointList& points, const tPlotRange& range,
               const Rect& rect, Extended ymax);

// The bodies of DrawDensity and DrawCdf of the continuous and discrete bases.
void DrawContinuousDensity(tContinuous_distribution& d, DrawingSurface& box, Color pen, Color brush,
                           Extended from, Extended to);
void DrawContinuousCdf(tContinuous_distribution& d, DrawingSurface& box, Extended x,
                       Extended upper);
void DrawDiscreteDensity(tDiscrete_distribution& d, DrawingSurface& box, Color pen, Extended from,
                         Extended to);
void DrawDiscreteCdf(tDiscrete_distribution& d, DrawingSurface& box, Extended x, Extended upper);

}  // namespace vokt
