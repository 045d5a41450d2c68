// The support's end labels under a graph, shared by the pdf and cdf pages:
// the ends of the plot range within the support, in the distribution's x
// decimals, standing in the marker strip under the ends they name.
#pragma once

#include <QRect>
#include <vector>

#include "formula/surface.h"

class QLabel;

namespace vokt::ui {

class Calculator;

// The two labels' texts; empty while the parameters are incomplete.
void SetEndLabelTexts(QLabel* low, QLabel* high, const Calculator& calc);

// Places the labels under their ends of the graph whose box is `box` and
// whose left edge stands at graphLeft in the strip: a marker over an end
// pushes its label outward beside it, and a label with no room left in the
// strip (stripWidth wide, lineHeight high) hides.
void PlaceEndLabels(QLabel* low, QLabel* high, const Calculator& calc, const Rect& box,
                    int graphLeft, const std::vector<QRect>& markers, int stripWidth,
                    int lineHeight);

}  // namespace vokt::ui
