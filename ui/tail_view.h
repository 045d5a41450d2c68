// The pdf page's choice of tail: the selector (three probabilities,
// two-sided, between a and b), the alpha box, the line that sums up the
// view, the second marker (the mirrored point of the two-sided view, the b of
// "between a and b"), the shading of the graph for each view, the x axis
// under the graphs and the clean capture of a page for copies and saved
// pictures.  The pdf page wires it in: it puts its row in its layout, calls
// Apply after every placement of the main marker and PaintDensity from the
// paint handler.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>

#include "distrib/tails.h"

class QComboBox;
class QFrame;
class QLabel;
class QPainter;
class QRect;
class QWidget;

namespace vokt {
class DrawingSurface;
}

namespace vokt::ui {

class Calculator;
class DensityPage;
class NumberEdit;
struct Metrics;

enum class TailView : uint8_t { Three = 0, TwoSided = 1, Between = 2 };

// Left edges for three boxes of boxWidth whose centres should be at
// `centres`, kept in order, at least `gap` apart and within [0, total].
std::array<int, 3> SpreadBoxes(const std::array<int, 3>& centres, int boxWidth, int total, int gap);

// The strip under a graph that holds the axis labels, for the widget's font.
int AxisStripHeight(const QWidget& w);
// Draws the tick marks and labels of range under a graph that fills rect
// but for the strip.
void PaintAxis(QPainter& p, const QRect& rect, const QWidget& w, const GraphRange& range);

// While alive, the keyboard focus is away from the page (restored after), so
// that a grab or render of it shows no text cursor or focus frame.
class CleanCapture {
 public:
  explicit CleanCapture(QWidget* page);
  ~CleanCapture();
  CleanCapture(const CleanCapture&) = delete;
  CleanCapture& operator=(const CleanCapture&) = delete;

 private:
  QPointer<QWidget> focus_;
  bool blocked_ = false;
};

class TailControls : public QObject {
  Q_OBJECT
 public:
  TailControls(DensityPage& page, Calculator& calc);

  QLabel* TailLabel = nullptr;

  QComboBox* Selector = nullptr;
  QLabel* AlphaLabel = nullptr;
  NumberEdit* AlphaEdit = nullptr;
  QLabel* Summary = nullptr;
  QFrame* SecondPanel = nullptr;
  NumberEdit* SecondEdit = nullptr;

  TailView View() const;
  void SetView(TailView v);
  // b of "between a and b" (the second marker in that view).
  Real SecondX = 0;

  // Sizes from the font: the alpha box and the second marker.
  void Arrange(const Metrics& m);
  // After the main marker was placed: the boxes' texts and places, the
  // second marker and the summary for the chosen view.
  void Apply();
  // The density with the view's areas shaded; false in the view of three
  // probabilities (the form draws as ever).
  bool PaintDensity(DrawingSurface& s, Distribution& d);

  // Enter in the alpha box: both critical values.
  void AlphaEntered();
  // Enter in the second marker's box.
  void SecondEntered();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What the boxes and the summary show in a view, and where the second
  // marker stands.
  struct ViewTexts {
    QString left, central, right, summary;
    Real second = 0;
    bool showSecond = false, showCentral = true;
  };
  ViewTexts UpperPValueTexts(Distribution& d, Real x);
  ViewTexts TwoSidedTexts(Distribution& d, Real x);
  ViewTexts BetweenTexts(Distribution& d, Real x);
  void PlaceBoxes(Distribution& d, const ViewTexts& t);
  void PlaceSecond(Distribution& d, const ViewTexts& t, bool editable);
  QString Prob(Real p) const;
  void Changed();
  void EnsureSecond(Distribution& d);
  Real DraggedX(Distribution& d, int dx) const;
  bool Complete() const;

  DensityPage& page_;
  Calculator& calc_;
  QFrame* secondLine_ = nullptr;
  // The alpha view: the critical values found for the level typed; left as
  // soon as the main marker moves elsewhere.
  bool alphaMode_ = false;
  CriticalPair critical_;
  Real alphaX_ = 0;
  // The shaded bounds, kept from Apply for the paint.
  Real lo_ = 0, hi_ = 0;
  bool haveLo_ = false, haveHi_ = false;
  const Distribution* secondFor_ = nullptr;
  int dragStart_ = 0, dragPixel_ = 0;
};

}  // namespace vokt::ui
