#include "plot/axis.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "plot/graph.h"

namespace vokt {

namespace {
constexpr int kTickLength = 4;
// Steps tried from the finest up; 60 of them span 20 decades.
constexpr int kMaxStepTries = 60;
// More ticks than this are never drawn, whatever the label widths.
constexpr Real kMaxTicks = 200;

// The decimals a label needs at this step: 0.25 is never a step, so the
// step's leading digit decides.
int StepDecimals(int exponent) { return exponent < 0 ? -exponent : 0; }

std::string Label(Real v, int decimals) {
  std::string s = FormatDecimals(decimals, v);
  // A value that rounds to zero is shown as 0, never as -0.
  bool zero = true;
  for (char c : s)
    if (c >= '1' && c <= '9') zero = false;
  if (zero && !s.empty() && s[0] == '-') s.erase(0, 1);
  return s;
}
}  // namespace

std::vector<AxisTick> AxisTicks(const GraphRange& range, int32_t width,
                                const std::function<int(const std::string&)>& textWidth, int gap) {
  std::vector<AxisTick> ticks;
  const Real lo = range.Left, hi = range.Right, span = hi - lo;
  if (width <= 0 || !std::isfinite(lo) || !std::isfinite(hi) || !(span > 0) || !std::isfinite(span))
    return ticks;
  const Rect rect{0, 0, width, 1};
  // Start one step below the spacing that gives a tick per pixel column.
  int exponent = static_cast<int>(std::floor(std::log10(span / width)));
  int mantissa = 0;  // index into 1, 2, 5
  static constexpr int kLead[3] = {1, 2, 5};
  for (int tries = 0; tries < kMaxStepTries; ++tries) {
    const int stepExponent = exponent;
    const Real step = kLead[mantissa] * std::pow(10.0L, stepExponent);
    if (++mantissa == 3) {
      mantissa = 0;
      ++exponent;
    }
    if (!(step > 0) || span / step > kMaxTicks) continue;
    const int decimals = StepDecimals(stepExponent);
    const Real first = std::ceil(lo / step - 1e-9L), last = std::floor(hi / step + 1e-9L);
    std::vector<AxisTick> candidate;
    bool fits = true;
    int32_t previousRight = INT32_MIN;
    for (Real k = first; k <= last; k += 1) {
      AxisTick t;
      t.Value = k * step;
      if (std::fabs(t.Value) < step * 1e-9L) t.Value = 0;
      t.Pixel = XToPixel(range, rect, t.Value);
      t.Label = Label(t.Value, decimals);
      const int w = textWidth(t.Label);
      const int32_t left = t.Pixel - w / 2, right = left + w;
      if (previousRight != INT32_MIN && left < previousRight + gap) {
        fits = false;
        break;
      }
      previousRight = right;
      if (left < 0 || right > width) t.Label.clear();
      candidate.push_back(std::move(t));
    }
    if (fits) return candidate;
  }
  return ticks;
}

int AxisHeight(DrawingSurface& box) { return kTickLength + box.TextHeight("0") + 2; }

void DrawAxisTicks(DrawingSurface& box, const GraphRange& range, int32_t graphBottom) {
  const int32_t width = box.Width();
  const int gap = std::max(6, box.TextWidth("00"));
  const auto ticks = AxisTicks(
      range, width, [&box](const std::string& s) { return box.TextWidth(s); }, gap);
  box.SetPenColor(kTextColor);
  box.SetPenWidth(1);
  const int32_t base = graphBottom - 1;
  for (const AxisTick& t : ticks) {
    const int32_t x = std::min(t.Pixel, width - 1);
    box.MoveTo(x, base);
    box.LineTo(x, base + kTickLength + 1);
    if (!t.Label.empty())
      box.TextOut(t.Pixel - box.TextWidth(t.Label) / 2, base + kTickLength + 1, t.Label);
  }
}

}  // namespace vokt
