// The x axis of the graphs: tick marks at round numbers (1, 2 or 5 times a
// power of ten apart), labelled in the current decimal separator, with the
// spacing chosen so that no two labels overlap.  Drawn on the drawing
// surface below the graph area.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "distrib/distribution.h"
#include "formula/surface.h"

namespace vokt {

struct AxisTick {
  Real Value = 0;
  int32_t Pixel = 0;  // offset from the graph's left edge
  std::string Label;  // empty when the label would stick out of the graph
};

// The ticks for a plot range shown over `width` pixels.  textWidth measures
// a label; gap is the least room between neighbouring labels.  Empty for an
// empty or infinite range.
std::vector<AxisTick> AxisTicks(const GraphRange& range, int32_t width,
                                const std::function<int(const std::string&)>& textWidth, int gap);

// The height the tick marks and labels need below the graph.
int AxisHeight(DrawingSurface& box);

// Draws the ticks and labels of `range` on the box: marks hang from the base
// line at y = graphBottom - 1, labels below them, in the box's font.
void DrawAxisTicks(DrawingSurface& box, const GraphRange& range, int32_t graphBottom);

}  // namespace vokt
