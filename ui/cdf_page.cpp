#include "ui/cdf_page.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "distrib/empirical.h"
#include "formula/qt/painter_surface.h"
#include "plot/graph.h"
#include "ui/end_labels.h"
#include "ui/marker.h"
#include "ui/messages.h"
#include "ui/number_edit.h"
#include "ui/paint_box.h"
#include "ui/tail_view.h"

namespace vokt::ui {

CdfPage::CdfPage(Calculator& calc, QWidget* parent) : QWidget(parent), calc_(calc) {
  Graph = new PaintBox(this, [this](QPainter& p, const QRect& r) { Paint(p, r); });
  Graph->setToolTip(QStringLiteral("cumulative distribution function"));
  Strip = new QWidget(this);
  Strip->setAutoFillBackground(true);
  LowLabel = new QLabel(Strip);
  HighLabel = new QLabel(Strip);
  XMarker = new Marker(Strip, 8, QStringLiteral("x  (quantile)"));
  XEdit = XMarker->Edit;
  ProbabilityEdit = new NumberEdit(this, 9);
  // "less than or equal" (the Symbol font's 0xA3).
  ProbabilityEdit->setToolTip(QStringLiteral("Probability  P( X @\u00A3 x )"));
  ProbabilityEdit->setAlignment(Qt::AlignCenter);
  ProbabilityEdit->setTextMargins(0, 0, 0, 0);

  auto* graphRow = new QHBoxLayout;
  graphRow->setObjectName(QStringLiteral("GraphRow"));
  graphRow->addWidget(Graph);
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(0, 0, 0, 0);
  page->setSpacing(0);
  page->addLayout(graphRow, 1);
  page->addWidget(Strip);

  connect(XMarker, &Marker::Pressed, this,
          [this](Qt::MouseButton b, int x) { Guarded([&] { Pressed(b, x); }); });
  connect(XMarker, &Marker::Moved, this,
          [this](bool left, int x) { Guarded([&] { Moved(left, x); }); });
  connect(XMarker, &Marker::Released, this,
          [this](Qt::MouseButton b, int x) { Guarded([&] { Released(b, x); }); });
}

void CdfPage::Arrange(const Metrics& m) {
  metrics_ = m;
  Strip->setFixedHeight(m.StripHeight);
  XMarker->Arrange(m, m.StripHeight);
  for (QLabel* l : {LowLabel, HighLabel}) l->resize(l->width(), m.LineHeight);
  ProbabilityEdit->resize(m.NumberWidth, m.LineHeight);
  // Left of the graph the probability box; right of it room for half a
  // marker and an end label.
  const int side = m.MarkerWidth / 2 + m.NumberWidth / 2;
  if (auto* row = findChild<QHBoxLayout*>(QStringLiteral("GraphRow")))
    row->setContentsMargins(std::max(side, m.NumberWidth + 1), m.HalfLine, side, 0);
  setMinimumSize(2 * side + 80, 6 * m.LineHeight + m.StripHeight);
}

Rect CdfPage::BoxRect() const { return Rect{0, 0, Graph->width(), Graph->height()}; }

void CdfPage::ShowContents(bool show) {
  for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w->isHidden() == show) w->setVisible(show);
}

void CdfPage::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  emit Resized();
}

void CdfPage::Place(int px, Real cdf) {
  cdf_ = cdf;
  XMarker->MoveCentreTo(Graph->x() + px);
  XMarker->raise();
  const Real frac = std::clamp<Real>(1 - cdf, 0, 1);
  const int graphH = std::max(1, Graph->height() - AxisStripHeight(*Graph));
  const int top = Graph->y() + static_cast<int>(std::lround(static_cast<double>(frac * graphH))) -
                  ProbabilityEdit->height() / 2;
  ProbabilityEdit->move(0, top);
  ProbabilityEdit->raise();
  PlaceLabels();
}

void CdfPage::Repaint() {
  SetEndLabelTexts(LowLabel, HighLabel, calc_);
  PlaceLabels();
  Graph->update();
}

// The end labels as on the pdf page, pushed aside by the marker only.
void CdfPage::PlaceLabels() {
  PlaceEndLabels(LowLabel, HighLabel, calc_, BoxRect(), Graph->x(), {XMarker->geometry()},
                 Strip->width(), metrics_.LineHeight);
}

void CdfPage::Paint(QPainter& p, const QRect& r) {
  Distribution* d = calc_.Current;
  if (!d || !calc_.ParametersComplete()) return;
  QPainterSurface surface(p, r.adjusted(0, 0, 0, -AxisStripHeight(*Graph)), palette());
  try {
    PaintAxis(p, r, *Graph, d->Range());
    DrawCdf(*d, surface, calc_.CurrentX, d->SupportHigh());
  } catch (...) {
  }
}

void CdfPage::MarkerToX(int dx) {
  Distribution* d = calc_.Current;
  if (!d) return;
  Real x = PixelToX(XMarker->Centre() + dx - Graph->x(), d->Range(), BoxRect());
  if (d->IsDiscrete() && !dynamic_cast<EmpiricalDistribution*>(d)) x = RoundExt(x);
  calc_.CurrentX = x;
}

void CdfPage::Pressed(Qt::MouseButton button, int x) {
  if (!calc_.ParametersComplete()) return;
  calc_.Mode = InputMode::CdfX;
  emit ModeChanged();
  if (button != Qt::LeftButton) return;
  dragStartX_ = x;
  MarkerToX(0);
  calc_.UpdateCdfPage();
}

void CdfPage::Moved(bool leftDown, int x) {
  if (!leftDown || x == dragStartX_ || !calc_.ParametersComplete()) return;
  MarkerToX(x - dragStartX_);
  calc_.UpdateCdfPage();
}

void CdfPage::Released(Qt::MouseButton button, int) {
  if (button != Qt::LeftButton || !calc_.ParametersComplete()) return;
  XEdit->setFocus(Qt::MouseFocusReason);
  calc_.Mode = InputMode::CdfX;
  emit ModeChanged();
  calc_.UpdateCdfPage();
}

}  // namespace vokt::ui
