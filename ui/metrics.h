// Sizes of the window's controls, all taken from the font, so that a larger
// font makes larger boxes.  They are minimum sizes: the layouts may give more.
#pragma once

#include <QFont>

namespace vokt::ui {

struct Metrics {
  int LineHeight = 18;  // one line of text with some air: 1.5 x the pixel size
  int HalfLine = 9;
  int TypeBoxWidth = 200;  // the type list and the grid
  int NumberWidth = 50;    // a number box at the usual four decimals
  int DigitsWidth = 21;    // three digits
  int HalfDigits = 11;
  int MarkerWidth = 71;  // the draggable marker: a number box and its arrows
  int StripHeight = 24;  // the row of a marker, and the grey row of the boxes
};

Metrics MetricsFor(const QFont& font);

// The width a number box needs for text, with room for its frame, and at
// least least.
int FittedWidth(const QFont& font, const QString& text, int least);

}  // namespace vokt::ui
