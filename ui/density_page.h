// The pdf page: the tail selector row, the density graph, the draggable
// marker with the x under it, and the grey row of the three probability
// boxes.  The graph takes the room the page has; the marker and the boxes
// follow x in pixels of the graph.
#pragma once

#include <QWidget>

#include "ui/calculator.h"
#include "ui/metrics.h"

class QFrame;
class QLabel;

namespace vokt::ui {

class Marker;
class NumberEdit;
class PaintBox;
class TailControls;

class DensityPage : public QWidget {
  Q_OBJECT
 public:
  DensityPage(Calculator& calc, QWidget* parent = nullptr);

  PaintBox* Graph = nullptr;
  QLabel* LowLabel = nullptr;
  QLabel* HighLabel = nullptr;
  // The row of the markers, under the graph, as wide as the page.
  QWidget* Strip = nullptr;
  Marker* XMarker = nullptr;
  NumberEdit* XEdit = nullptr;
  QFrame* GrayPanel = nullptr;
  NumberEdit* ProbabilityEditLeft = nullptr;
  NumberEdit* ProbabilityEditCentral = nullptr;
  NumberEdit* ProbabilityEditRight = nullptr;
  // The tail selector, the alpha box and the second marker.
  TailControls* Tails = nullptr;

  // Sizes from the font.
  void Arrange(const Metrics& m);
  const Metrics& Sizes() const { return metrics_; }
  Rect BoxRect() const;
  // The marker over px (offset from the graph's left edge); thinCentral: the
  // central box shows as a thin line under it.
  void Place(int px, bool thinCentral);
  // The support's end labels, and a repaint of the graph.
  void Repaint();
  void SetDiscrete(bool discrete);
  // Shows the page's controls (hidden while the parameters are incomplete).
  void ShowContents(bool show);

 signals:
  // The marker was let go: the caption follows the new input mode.
  void ModeChanged();
  void Resized();

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  void BuildGrayRow();
  void Paint(QPainter& p, const QRect& r);
  void PlaceLabels();
  void MarkerToX(int dx);
  void Pressed(Qt::MouseButton button, int x);
  void Moved(bool leftDown, int x);
  void Released(Qt::MouseButton button, int x);

  Calculator& calc_;
  Metrics metrics_;
  int dragStartX_ = 0;
};

}  // namespace vokt::ui
