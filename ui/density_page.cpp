#include "ui/density_page.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "distrib/empirical.h"
#include "formula/qt/painter_surface.h"
#include "plot/graph.h"
#include "resources/strings.h"
#include "ui/end_labels.h"
#include "ui/marker.h"
#include "ui/messages.h"
#include "ui/number_edit.h"
#include "ui/paint_box.h"
#include "ui/tail_view.h"

namespace vokt::ui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

DensityPage::DensityPage(Calculator& calc, QWidget* parent) : QWidget(parent), calc_(calc) {
  Graph = new PaintBox(this, [this](QPainter& p, const QRect& r) { Paint(p, r); });
  Graph->setToolTip(Q(LoadString(886)));
  Strip = new QWidget(this);
  Strip->setAutoFillBackground(true);
  LowLabel = new QLabel(Strip);
  HighLabel = new QLabel(Strip);
  XMarker = new Marker(Strip, 4, QStringLiteral(" x  (quantile)"));
  XEdit = XMarker->Edit;
  BuildGrayRow();
  Tails = new TailControls(*this, calc_);

  auto* top = new QHBoxLayout;
  top->setContentsMargins(4, 2, 4, 2);
  top->addWidget(Tails->TailLabel);
  top->addWidget(Tails->Selector);
  top->addSpacing(12);
  top->addWidget(Tails->AlphaLabel);
  top->addWidget(Tails->AlphaEdit);
  top->addSpacing(12);
  top->addWidget(Tails->Summary, 1);
  auto* graphRow = new QHBoxLayout;
  graphRow->setObjectName(QStringLiteral("GraphRow"));
  graphRow->addWidget(Graph);
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(0, 0, 0, 0);
  page->setSpacing(0);
  page->addLayout(top);
  page->addLayout(graphRow, 1);
  page->addWidget(Strip);
  page->addWidget(GrayPanel);

  connect(XMarker, &Marker::Pressed, this,
          [this](Qt::MouseButton b, int x) { Guarded([&] { Pressed(b, x); }); });
  connect(XMarker, &Marker::Moved, this,
          [this](bool left, int x) { Guarded([&] { Moved(left, x); }); });
  connect(XMarker, &Marker::Released, this,
          [this](Qt::MouseButton b, int x) { Guarded([&] { Released(b, x); }); });
}

void DensityPage::BuildGrayRow() {
  GrayPanel = new QFrame(this);
  GrayPanel->setAutoFillBackground(true);
  QPalette grayPal = GrayPanel->palette();
  grayPal.setColor(QPalette::Window, QColor(128, 128, 128));
  GrayPanel->setPalette(grayPal);
  ProbabilityEditLeft = new NumberEdit(GrayPanel, 5);
  ProbabilityEditLeft->setToolTip(QStringLiteral("Probability  P ( X < x )"));
  ProbabilityEditCentral = new NumberEdit(GrayPanel, 6);
  ProbabilityEditCentral->setToolTip(QStringLiteral("Probability  P ( X = x )"));
  ProbabilityEditCentral->setReadOnly(true);
  QPalette light = ProbabilityEditCentral->palette();
  light.setColor(QPalette::Base, light.color(QPalette::Midlight));
  ProbabilityEditCentral->setPalette(light);
  ProbabilityEditRight = new NumberEdit(GrayPanel, 7);
  ProbabilityEditRight->setToolTip(QStringLiteral("Probability  P ( X > x )"));
  for (NumberEdit* e : {ProbabilityEditLeft, ProbabilityEditCentral, ProbabilityEditRight}) {
    e->setAlignment(Qt::AlignCenter);
    e->setTextMargins(0, 0, 0, 0);
  }
}

void DensityPage::Arrange(const Metrics& m) {
  metrics_ = m;
  Strip->setFixedHeight(m.StripHeight);
  GrayPanel->setFixedHeight(m.StripHeight);
  XMarker->Arrange(m, m.StripHeight);
  for (QLabel* l : {LowLabel, HighLabel}) l->resize(l->width(), m.LineHeight);
  for (NumberEdit* e : {ProbabilityEditLeft, ProbabilityEditCentral, ProbabilityEditRight})
    e->setGeometry(e->x(), (m.StripHeight - m.LineHeight) / 2, m.NumberWidth, m.LineHeight);
  Tails->Arrange(m);
  // Room beside the graph for half a marker and an end label, so that a
  // marker at either end stays whole and beside the label.
  const int side = m.MarkerWidth / 2 + m.NumberWidth / 2;
  if (auto* row = findChild<QHBoxLayout*>(QStringLiteral("GraphRow")))
    row->setContentsMargins(side, m.HalfLine / 2, side, 0);
  setMinimumSize(2 * side + 80, 6 * m.LineHeight + 2 * m.StripHeight);
}

Rect DensityPage::BoxRect() const { return Rect{0, 0, Graph->width(), Graph->height()}; }

void DensityPage::SetDiscrete(bool discrete) {
  Graph->setToolTip(Q(LoadString(discrete ? 888 : 886)));
}

// The alpha box shows with its view (Tails->Apply); the rest shows here.
// Only a change of state is made: a layout change repaints the whole page.
void DensityPage::ShowContents(bool show) {
  for (QWidget* w : {static_cast<QWidget*>(Graph), Strip, static_cast<QWidget*>(GrayPanel),
                     static_cast<QWidget*>(Tails->TailLabel),
                     static_cast<QWidget*>(Tails->Selector), static_cast<QWidget*>(Tails->Summary)})
    if (w->isHidden() == show) w->setVisible(show);
  if (!show) {
    Tails->AlphaLabel->hide();
    Tails->AlphaEdit->hide();
  }
}

void DensityPage::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  emit Resized();
}

void DensityPage::Place(int px, bool thinCentral) {
  const int boxLeft = Graph->x();
  XMarker->MoveCentreTo(boxLeft + px);
  XMarker->raise();
  const int w = thinCentral ? 2
                            : FittedWidth(ProbabilityEditCentral->font(),
                                          ProbabilityEditCentral->text(), metrics_.NumberWidth);
  const int left = thinCentral ? boxLeft + px - 1 : boxLeft + px - w / 2;
  ProbabilityEditCentral->setGeometry(left, ProbabilityEditCentral->y(), w,
                                      ProbabilityEditCentral->height());
  const int centralLeft = ProbabilityEditCentral->x();
  const int gray = GrayPanel->width();
  const int wl = ProbabilityEditLeft->width(), wr = ProbabilityEditRight->width();
  ProbabilityEditLeft->move(std::clamp((centralLeft - wl) / 2, 0, std::max(0, gray - wl)),
                            ProbabilityEditLeft->y());
  ProbabilityEditRight->move(
      std::clamp((gray + centralLeft + ProbabilityEditCentral->width() - wr) / 2, 0,
                 std::max(0, gray - wr)),
      ProbabilityEditRight->y());
  Tails->Apply();
  PlaceLabels();
}

void DensityPage::Repaint() {
  SetEndLabelTexts(LowLabel, HighLabel, calc_);
  PlaceLabels();
  Graph->update();
}

// The end labels stand under the ends of the support; a marker over an end
// pushes its label outward beside it, and a label with no room left hides.
void DensityPage::PlaceLabels() {
  std::vector<QRect> markers{XMarker->geometry()};
  if (Tails->SecondPanel->isVisible()) markers.push_back(Tails->SecondPanel->geometry());
  PlaceEndLabels(LowLabel, HighLabel, calc_, BoxRect(), Graph->x(), markers, Strip->width(),
                 metrics_.LineHeight);
}

void DensityPage::Paint(QPainter& p, const QRect& r) {
  Distribution* d = calc_.Current;
  if (!d || !calc_.ParametersComplete()) return;
  const QRect graph = r.adjusted(0, 0, 0, -AxisStripHeight(*Graph));
  QPainterSurface surface(p, graph, palette());
  const Real x = calc_.CurrentX;
  try {
    PaintAxis(p, r, *Graph, d->Range());
    if (Tails->PaintDensity(surface, *d)) return;  // a two-sided or interval view
    if (!d->IsDiscrete()) {
      DrawDensity(*d, surface, kTextColor, kFillColor, d->SupportLow(), x);
      DrawDensity(*d, surface, kTextColor, kFillColor, x, d->SupportHigh());
    } else {
      DrawDensity(*d, surface, kGrayColor, kGrayColor, d->SupportLow(), x);
      DrawDensity(*d, surface, kGrayColor, kGrayColor, x, d->SupportHigh());
      DrawDensity(*d, surface, kTextColor, kTextColor, x, x);
    }
  } catch (...) {
    // A paint cannot show a message box; the numbers report the problem.
  }
}

void DensityPage::MarkerToX(int dx) {
  Distribution* d = calc_.Current;
  if (!d) return;
  Real x = PixelToX(XMarker->Centre() + dx - Graph->x(), d->Range(), BoxRect());
  // Integer-valued distributions snap to the nearest integer.
  if (d->IsDiscrete() && !dynamic_cast<EmpiricalDistribution*>(d)) x = RoundExt(x);
  calc_.CurrentX = x;
}

void DensityPage::Pressed(Qt::MouseButton button, int x) {
  if (button != Qt::LeftButton || !calc_.ParametersComplete()) return;
  dragStartX_ = x;
  MarkerToX(0);
  calc_.UpdateDensityPage(false);
}

void DensityPage::Moved(bool leftDown, int x) {
  if (!leftDown || x == dragStartX_ || !calc_.ParametersComplete()) return;
  MarkerToX(x - dragStartX_);
  calc_.UpdateDensityPage(false);
}

void DensityPage::Released(Qt::MouseButton button, int) {
  if (button != Qt::LeftButton || !calc_.ParametersComplete()) return;
  // Enter now computes at the x dragged to, from the x box.
  XEdit->setFocus(Qt::MouseFocusReason);
  calc_.Mode = InputMode::DensityX;
  emit ModeChanged();
  calc_.UpdateDensityPage(true);
}

}  // namespace vokt::ui
