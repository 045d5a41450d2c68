// The draggable marker under a graph: a vertical line from the graph down to
// a number box (the x), with an arrow on either side.  Dragging it anywhere
// reports the mouse positions; the page turns them into an x.
#pragma once

#include <QFrame>

#include "ui/metrics.h"

class QLabel;

namespace vokt::ui {

class NumberEdit;

class Marker : public QFrame {
  Q_OBJECT
 public:
  // tag: the edit's number (the input mode it sets when entered).
  Marker(QWidget* parent, int tag, const QString& tip);

  NumberEdit* Edit = nullptr;
  QLabel* ArrowLeft = nullptr;
  QLabel* ArrowRight = nullptr;
  QFrame* Line = nullptr;

  // Sizes from the font; height is the height of the marker's row.
  void Arrange(const Metrics& m, int height);
  // Widens the marker so that its box shows text whole.
  void FitText(const QString& text);
  // The x in the parent of the marker's centre.
  int Centre() const { return x() + width() / 2; }
  void MoveCentreTo(int px) { move(px - width() / 2, y()); }

 signals:
  // x is the mouse position in the control that received it.
  void Pressed(Qt::MouseButton button, int x);
  void Moved(bool leftDown, int x);
  void Released(Qt::MouseButton button, int x);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void PlaceChildren();
  Metrics metrics_;
};

}  // namespace vokt::ui
