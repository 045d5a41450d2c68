// The cdf page: the distribution function's graph, the draggable marker with
// the x under it, and the probability box beside the graph at the height of
// the curve.  The graph takes the room the page has.
#pragma once

#include <QWidget>

#include "ui/calculator.h"
#include "ui/metrics.h"

class QLabel;

namespace vokt::ui {

class Marker;
class NumberEdit;
class PaintBox;

class CdfPage : public QWidget {
  Q_OBJECT
 public:
  CdfPage(Calculator& calc, QWidget* parent = nullptr);

  PaintBox* Graph = nullptr;
  QLabel* LowLabel = nullptr;
  QLabel* HighLabel = nullptr;
  QWidget* Strip = nullptr;
  Marker* XMarker = nullptr;
  NumberEdit* XEdit = nullptr;
  // P(X <= x), beside the graph at the height of the curve.
  NumberEdit* ProbabilityEdit = nullptr;

  void Arrange(const Metrics& m);
  Rect BoxRect() const;
  void Place(int px, Real cdf);
  void Repaint();
  void ShowContents(bool show);

 signals:
  void ModeChanged();
  void Resized();

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  void Paint(QPainter& p, const QRect& r);
  void PlaceLabels();
  void MarkerToX(int dx);
  void Pressed(Qt::MouseButton button, int x);
  void Moved(bool leftDown, int x);
  void Released(Qt::MouseButton button, int x);

  Calculator& calc_;
  Metrics metrics_;
  int dragStartX_ = 0;
  Real cdf_ = 0;
};

}  // namespace vokt::ui
