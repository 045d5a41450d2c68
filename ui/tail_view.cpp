#include "ui/tail_view.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "distrib/empirical.h"
#include "formula/qt/painter_surface.h"
#include "plot/axis.h"
#include "plot/graph.h"
#include "ui/density_page.h"
#include "ui/marker.h"
#include "ui/messages.h"
#include "ui/metrics.h"
#include "ui/number_edit.h"
#include "ui/paint_box.h"

namespace vokt::ui {

namespace {

// The selected area: a warm orange against the cool fill of the rest, still
// distinct when printed in grey.
constexpr Color kSelected = Color::Rgb(224, 96, 16);
constexpr Color kRestBars = Color::Rgb(150, 150, 150);

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

int32_t ClampPixel(int32_t v, int32_t lo, int32_t hi) { return std::max(lo, std::min(v, hi)); }

// One bar per support point of the table between from and to (inclusive,
// within Eps); points that fall on a column already drawn are drawn only
// when taller, so a dense table costs one pass and no more lines than
// columns matter.
void ShadeBars(DrawingSurface& s, DiscreteDistribution& d, Real from, Real to, Color c) {
  if (!d.Points() || d.Points()->Count() == 0) return;
  const GraphRange r = d.Range();
  const Rect rect = s.ClientRect();
  const auto& items = d.Points()->Items();
  int first = 0;
  FindPoint(*d.Points(), std::max(from, r.Left), first);
  int inRange = 0;
  for (const auto& p : items)
    if (p.X >= r.Left && p.X <= r.Right) ++inRange;
  const int w = rect.Width();
  s.SetPenColor(c);
  s.SetPenWidth(inRange > 0 && w >= r.Right - r.Left ? std::max(1, std::min(3, w / inRange - 1))
                                                     : 1);
  const int32_t base = YToPixel(rect, 0, d.MaxDens());
  int32_t lastX = INT32_MIN, lastTop = INT32_MAX;
  for (size_t i = static_cast<size_t>(first); i < items.size(); ++i) {
    const PointRecord& p = items[i];
    if (p.X > to + Eps || p.X > r.Right) break;
    if (p.X < from - Eps) continue;
    const int32_t x = XToPixel(r, rect, p.X), top = YToPixel(rect, p.Prob, d.MaxDens());
    if (x == lastX && top >= lastTop) continue;
    s.MoveTo(x, base);
    s.LineTo(x, top);
    if (x != lastX) lastTop = INT32_MAX;
    lastX = x;
    lastTop = std::min(lastTop, top);
  }
}

}  // namespace

std::array<int, 3> SpreadBoxes(const std::array<int, 3>& centres, int boxWidth, int total,
                               int gap) {
  std::array<int, 3> left{};
  for (int i = 0; i < 3; ++i)
    left[static_cast<size_t>(i)] = centres[static_cast<size_t>(i)] - boxWidth / 2;
  // Push right from the left edge, then back left from the right edge.
  left[0] = std::max(left[0], 0);
  for (size_t i = 1; i < 3; ++i) left[i] = std::max(left[i], left[i - 1] + boxWidth + gap);
  left[2] = std::min(left[2], total - boxWidth);
  for (size_t i = 2; i-- > 0;) left[i] = std::min(left[i], left[i + 1] - boxWidth - gap);
  return left;
}

int AxisStripHeight(const QWidget& w) { return QFontMetrics(w.font()).height() + 6; }

void PaintAxis(QPainter& p, const QRect& rect, const QWidget& w, const GraphRange& range) {
  QPainterSurface surface(p, rect, w.palette());
  FontSpec f = ToFontSpec(w.font());
  surface.SetFont(f);
  DrawAxisTicks(surface, range, rect.height() - AxisStripHeight(w));
}

CleanCapture::CleanCapture(QWidget* page) {
  QWidget* f = QApplication::focusWidget();
  if (!f || !page || !page->isAncestorOf(f)) return;
  focus_ = f;
  blocked_ = f->blockSignals(true);
  f->clearFocus();
}

CleanCapture::~CleanCapture() {
  if (!focus_) return;
  focus_->setFocus(Qt::OtherFocusReason);
  focus_->blockSignals(blocked_);
}

TailControls::TailControls(DensityPage& pageWidget, Calculator& calc)
    : QObject(&pageWidget), page_(pageWidget), calc_(calc) {
  QWidget* page = &pageWidget;
  Selector = new QComboBox(page);
  Selector->addItems({QStringLiteral("three probabilities"), QStringLiteral("two-sided"),
                      QStringLiteral("between a and b")});
  Selector->setToolTip(QStringLiteral("which probabilities the page shows (Alt+T)"));
  Selector->setFocusPolicy(Qt::StrongFocus);
  TailLabel = new QLabel(U("&tail:"), page);
  TailLabel->setBuddy(Selector);
  TailLabel->setObjectName(QStringLiteral("TailLabel"));
  connect(Selector, &QComboBox::currentIndexChanged, this,
          [this](int) { Guarded([&] { Changed(); }); });

  AlphaLabel = new QLabel(U("\u03B1 ="), page);
  AlphaEdit = new NumberEdit(page, 0);
  AlphaEdit->setAlignment(Qt::AlignCenter);
  AlphaEdit->setText(Q(FormatNumber(0.05L)));
  AlphaEdit->setToolTip(U("significance level \u03B1: Enter gives the critical values"));
  connect(AlphaEdit, &QLineEdit::returnPressed, this, [this] { Guarded([&] { AlphaEntered(); }); });
  Summary = new QLabel(page);
  Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

  SecondPanel = new QFrame(pageWidget.Strip);
  SecondPanel->setObjectName(QStringLiteral("SecondMarker"));
  secondLine_ = new QFrame(SecondPanel);
  secondLine_->setAutoFillBackground(true);
  QPalette black = secondLine_->palette();
  black.setColor(QPalette::Window, Qt::black);
  secondLine_->setPalette(black);
  SecondEdit = new NumberEdit(SecondPanel, 0);
  SecondEdit->setAlignment(Qt::AlignCenter);
  SecondEdit->setTextMargins(0, 0, 0, 0);
  connect(SecondEdit, &QLineEdit::returnPressed, this,
          [this] { Guarded([&] { SecondEntered(); }); });
  SecondPanel->installEventFilter(this);
  secondLine_->installEventFilter(this);
  for (QWidget* w : {static_cast<QWidget*>(AlphaLabel), static_cast<QWidget*>(AlphaEdit),
                     static_cast<QWidget*>(SecondPanel)})
    w->hide();
}

TailView TailControls::View() const {
  return static_cast<TailView>(std::clamp(Selector->currentIndex(), 0, 2));
}

void TailControls::SetView(TailView v) { Selector->setCurrentIndex(static_cast<int>(v)); }

bool TailControls::Complete() const { return calc_.ParametersComplete(); }

void TailControls::Arrange(const Metrics& m) {
  AlphaEdit->setFixedSize(m.NumberWidth, m.LineHeight);
  const int markerWidth = m.MarkerWidth, markerHeight = m.StripHeight;
  SecondPanel->resize(markerWidth, markerHeight);
  SecondEdit->resize(m.NumberWidth, m.LineHeight);
  SecondEdit->move((markerWidth - m.NumberWidth) / 2, markerHeight - m.LineHeight);
  secondLine_->setGeometry(markerWidth / 2 - 1, 0, 2, std::max(2, markerHeight - m.LineHeight));
}

void TailControls::Changed() {
  alphaMode_ = false;
  if (calc_.ActivePage() == PageId::Pdf && Complete())
    calc_.UpdateDensityPage(true);
  else
    Apply();
}

void TailControls::EnsureSecond(Distribution& d) {
  const GraphRange r = d.Range();
  if (secondFor_ == &d && std::isfinite(SecondX) && SecondX >= r.Left && SecondX <= r.Right) return;
  secondFor_ = &d;
  const Real x = calc_.CurrentX;
  const CriticalValue m = MirrorPoint(d, x);
  if (m.Exists && m.X != x) {
    SecondX = m.X;
    return;
  }
  SecondX = d.Quantile(ProbAtMost(d, x) < 0.5L ? 0.8413L : 0.1587L).X;
  if (!std::isfinite(SecondX)) SecondX = (r.Left + r.Right) / 2;
}

void TailControls::Apply() {
  Distribution* d = calc_.Current;
  const TailView view = View();
  const bool upperOnly = d && RejectsOnlyLarge(*d);
  const QString twoSided =
      upperOnly ? QStringLiteral("upper p-value") : QStringLiteral("two-sided");
  if (Selector->itemText(1) != twoSided) Selector->setItemText(1, twoSided);
  AlphaLabel->setVisible(view == TailView::TwoSided);
  AlphaEdit->setVisible(view == TailView::TwoSided);
  auto* left = page_.ProbabilityEditLeft;
  auto* central = page_.ProbabilityEditCentral;
  auto* right = page_.ProbabilityEditRight;
  if (view == TailView::Three || !d || !Complete()) {
    SecondPanel->hide();
    if (!Summary->text().isEmpty()) Summary->clear();
    left->setToolTip(QStringLiteral("Probability  P ( X < x )"));
    central->setToolTip(QStringLiteral("Probability  P ( X = x )"));
    right->setToolTip(QStringLiteral("Probability  P ( X > x )"));
    central->show();
    right->show();
    return;
  }
  const Real x = calc_.CurrentX;
  if (alphaMode_ && x != alphaX_) alphaMode_ = false;
  haveLo_ = haveHi_ = false;
  const ViewTexts t = view == TailView::TwoSided
                          ? (upperOnly ? UpperPValueTexts(*d, x) : TwoSidedTexts(*d, x))
                          : BetweenTexts(*d, x);
  PlaceBoxes(*d, t);
  if (Summary->text() != t.summary) Summary->setText(t.summary);
  PlaceSecond(*d, t, view == TailView::Between);
}

QString TailControls::Prob(Real p) const { return Q(FormatDecimals(calc_.ProbabilityDecimals, p)); }

// A rank test that rejects only large values: the upper p-value.
TailControls::ViewTexts TailControls::UpperPValueTexts(Distribution& d, Real x) {
  ViewTexts t;
  lo_ = hi_ = x;
  haveHi_ = true;
  const Real p = ProbAtLeast(d, x);
  t.left = Prob(ProbBelow(d, x));
  t.right = Prob(p);
  t.showCentral = false;
  page_.ProbabilityEditLeft->setToolTip(QStringLiteral("Probability  P ( X < x )"));
  page_.ProbabilityEditRight->setToolTip(U("upper p-value  P ( X \u2265 x )"));
  if (alphaMode_) {
    t.summary = critical_.Upper.Exists
                    ? U("\u03B1 = %1: critical value %2, attained level %3")
                          .arg(AlphaEdit->text(), Q(FormatNumber(critical_.Upper.X)),
                               Prob(critical_.Upper.Level))
                    : U("\u03B1 = %1: no critical value").arg(AlphaEdit->text());
    haveHi_ = critical_.Upper.Exists;
  } else {
    t.summary = U("upper p-value  P(X \u2265 x) = %1").arg(Prob(p));
  }
  return t;
}

// Both tails: the critical values of a level alpha, or the p-value of x
// with its mirrored point.
TailControls::ViewTexts TailControls::TwoSidedTexts(Distribution& d, Real x) {
  ViewTexts t;
  t.second = SecondX;
  page_.ProbabilityEditLeft->setToolTip(U("lower tail  P ( X \u2264 a )"));
  page_.ProbabilityEditRight->setToolTip(U("upper tail  P ( X \u2265 b )"));
  auto* central = page_.ProbabilityEditCentral;
  if (alphaMode_) {
    const CriticalValue& a = critical_.Lower;
    const CriticalValue& b = critical_.Upper;
    t.second = b.Exists ? b.X : d.Range().Right;
    lo_ = x;
    hi_ = t.second;
    haveLo_ = a.Exists;
    haveHi_ = b.Exists;
    t.left = Prob(a.Exists ? a.Level : 0);
    t.right = Prob(b.Exists ? b.Level : 0);
    t.central = Prob((a.Exists ? a.Level : 0) + (b.Exists ? b.Level : 0));
    central->setToolTip(U("attained level  P ( X \u2264 a ) + P ( X \u2265 b )"));
    auto crit = [&](const CriticalValue& c) {
      return c.Exists ? Q(FormatNumber(c.X)) : QStringLiteral("none");
    };
    t.summary = U("\u03B1 = %1: critical values %2 and %3, attained level %4")
                    .arg(AlphaEdit->text(), crit(a), crit(b), t.central);
    t.showSecond = true;
    return t;
  }
  const Real p = TwoSidedPValue(d, x);
  const CriticalValue m = MirrorPoint(d, x);
  const bool lowerSide = ProbAtMost(d, x) <= ProbAtLeast(d, x);
  lo_ = hi_ = x;
  (lowerSide ? haveLo_ : haveHi_) = true;
  if (m.Exists) {
    t.second = m.X;
    lo_ = std::min(x, m.X);
    hi_ = std::max(x, m.X);
    haveLo_ = haveHi_ = true;
    t.showSecond = true;
  }
  t.left = Prob(haveLo_ ? ProbAtMost(d, lo_) : 0);
  t.right = Prob(haveHi_ ? ProbAtLeast(d, hi_) : 0);
  t.central = Prob(p);
  central->setToolTip(U("two-sided p-value  2 min( P ( X \u2264 x ), P ( X \u2265 x ) )"));
  t.summary = U("two-sided p = %1").arg(t.central);
  if (m.Exists) t.summary += U(";  mirrored point %1").arg(Q(FormatNumber(m.X)));
  return t;
}

// Between a and b: the interval's probability and the two outside it.
TailControls::ViewTexts TailControls::BetweenTexts(Distribution& d, Real x) {
  ViewTexts t;
  EnsureSecond(d);
  t.second = SecondX;
  lo_ = std::min(x, t.second);
  hi_ = std::max(x, t.second);
  haveLo_ = haveHi_ = true;
  const Real inside = IntervalProbability(d, lo_, hi_);
  const Real below = ProbBelow(d, lo_), above = ProbAbove(d, hi_);
  t.left = Prob(below);
  t.right = Prob(above);
  t.central = Prob(inside);
  page_.ProbabilityEditLeft->setToolTip(QStringLiteral("Probability  P ( X < a )"));
  page_.ProbabilityEditCentral->setToolTip(U("Probability  P ( a \u2264 X \u2264 b )"));
  page_.ProbabilityEditRight->setToolTip(QStringLiteral("Probability  P ( X > b )"));
  t.summary = U("P(a \u2264 X \u2264 b) = %1;  outside %2").arg(t.central, Prob(below + above));
  t.showSecond = true;
  return t;
}

// The boxes: the tails under their areas, the middle one between the
// markers, never on top of each other.
void TailControls::PlaceBoxes(Distribution& d, const ViewTexts& t) {
  auto* left = page_.ProbabilityEditLeft;
  auto* central = page_.ProbabilityEditCentral;
  auto* right = page_.ProbabilityEditRight;
  QWidget* box = page_.Graph;
  const Rect rect{0, 0, box->width(), box->height()};
  const GraphRange range = d.Range();
  // One width for the three, wide enough for the longest text.
  int w = page_.Sizes().NumberWidth;
  for (const QString* text : {&t.left, &t.central, &t.right})
    w = FittedWidth(left->font(), *text, w);
  const int gray = page_.GrayPanel->width();
  const int pLo = box->x() + XToPixel(range, rect, lo_),
            pHi = box->x() + XToPixel(range, rect, hi_);
  std::array<int, 3> centres{pLo / 2, (pLo + pHi) / 2, (pHi + gray) / 2};
  if (!t.showCentral) centres = {pLo / 2, -10 * w, (pLo + gray) / 2};
  const std::array<int, 3> lefts =
      t.showCentral ? SpreadBoxes(centres, w, gray, 4)
                    : std::array<int, 3>{
                          std::max(0, centres[0] - w / 2), 0,
                          std::min(gray - w, std::max(centres[0] + w / 2 + 4, centres[2] - w / 2))};
  left->setText(t.left);
  left->resize(w, left->height());
  right->resize(w, right->height());
  left->move(lefts[0], left->y());
  central->setVisible(t.showCentral);
  if (t.showCentral) {
    central->setGeometry(lefts[1], central->y(), w, central->height());
    central->setText(t.central);
  }
  right->setVisible(true);
  right->setText(t.right);
  right->move(lefts[2], right->y());
  for (QLineEdit* e : {static_cast<QLineEdit*>(left), static_cast<QLineEdit*>(central),
                       static_cast<QLineEdit*>(right)})
    e->setCursorPosition(0);
}

// The second marker: b of "between a and b" (editable), or the mirrored
// point or upper critical value of the two-sided view.
void TailControls::PlaceSecond(Distribution& d, const ViewTexts& t, bool editable) {
  SecondPanel->setVisible(t.showSecond);
  if (!t.showSecond) return;
  QWidget* box = page_.Graph;
  const Rect rect{0, 0, box->width(), box->height()};
  const int px = box->x() + ClampPixel(XToPixel(d.Range(), rect, t.second), 0, rect.Width());
  SecondPanel->move(px - SecondPanel->width() / 2, 0);
  SecondPanel->raise();
  SecondEdit->setReadOnly(!editable);
  SecondPanel->setCursor(editable ? Qt::PointingHandCursor : Qt::ArrowCursor);
  SecondEdit->setToolTip(editable ? QStringLiteral("b  (drag the marker or type)")
                                  : QStringLiteral("the mirrored point"));
  if (!SecondEdit->hasFocus() || !editable) {
    SecondEdit->setText(Q(FormatNumber(t.second)));
    SecondEdit->setCursorPosition(0);
  }
}

bool TailControls::PaintDensity(DrawingSurface& s, Distribution& d) {
  const TailView view = View();
  if (view == TailView::Three) return false;
  const Real L = d.SupportLow(), H = d.SupportHigh();
  // The parts to shade: both tails (two-sided), the upper tail (rank tests
  // that reject large values) or the middle (between a and b).
  struct Part {
    Real from, to;
  };
  std::vector<Part> selected;
  if (view == TailView::Between) {
    selected.push_back({lo_, hi_});
  } else {
    if (haveLo_) selected.push_back({L, lo_});
    if (haveHi_) selected.push_back({hi_, H});
  }
  if (auto* disc = dynamic_cast<DiscreteDistribution*>(&d)) {
    ShadeBars(s, *disc, L, H, kRestBars);
    for (const Part& p : selected) ShadeBars(s, *disc, p.from, p.to, kSelected);
    s.SetPenColor(kTextColor);
    s.SetPenWidth(1);
    s.MoveTo(0, s.Height() - 1);
    s.LineTo(s.Width(), s.Height() - 1);
  } else {
    DrawDensity(d, s, kTextColor, kFillColor, L, H);
    for (const Part& p : selected) DrawDensity(d, s, kTextColor, kSelected, p.from, p.to);
  }
  return true;
}

void TailControls::AlphaEntered() {
  Distribution* d = calc_.Current;
  if (!d || !Complete()) return;
  Real alpha;
  try {
    if (!ParseNumber(AlphaEdit->text().toStdString(), alpha)) throw ArgumentError("not a number");
    critical_ = TwoSidedCritical(*d, alpha);
  } catch (const std::exception&) {
    AlphaEdit->setFocus();
    Beep();
    return;
  }
  Calculator& drv = calc_;
  const GraphRange r = d->Range();
  if (RejectsOnlyLarge(*d))
    drv.CurrentX = critical_.Upper.Exists ? critical_.Upper.X : r.Right;
  else
    drv.CurrentX = critical_.Lower.Exists ? critical_.Lower.X : r.Left;
  alphaX_ = drv.CurrentX;
  alphaMode_ = true;
  drv.Mode = InputMode::DensityX;
  drv.UpdateDensityPage(true);
}

void TailControls::SecondEntered() {
  Distribution* d = calc_.Current;
  if (!d || !Complete() || View() != TailView::Between) return;
  const std::string text = SecondEdit->text().toStdString();
  Real v;
  if (!ParseNumber(text, v)) {
    Beep();
    return;
  }
  SecondX = SnapToTable(*d, text, v);
  secondFor_ = d;
  SecondEdit->clearFocus();
  calc_.UpdateDensityPage(true);
}

Real TailControls::DraggedX(Distribution& d, int dx) const {
  QWidget* box = page_.Graph;
  const Rect rect{0, 0, box->width(), box->height()};
  Real x = PixelToX(dragPixel_ + dx, d.Range(), rect);
  if (d.IsDiscrete() && !dynamic_cast<EmpiricalDistribution*>(&d)) x = RoundExt(x);
  return x;
}

bool TailControls::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  if (t != QEvent::MouseButtonPress && t != QEvent::MouseMove && t != QEvent::MouseButtonRelease)
    return QObject::eventFilter(watched, event);
  Distribution* d = calc_.Current;
  if (!d || !Complete() || View() != TailView::Between) return true;
  auto* me = static_cast<QMouseEvent*>(event);
  const int x = static_cast<int>(me->position().x());
  Guarded([&] {
    if (t == QEvent::MouseButtonPress) {
      if (me->button() != Qt::LeftButton) return;
      dragStart_ = x;
      dragPixel_ = SecondPanel->x() + SecondPanel->width() / 2 - page_.Graph->x();
      SecondX = DraggedX(*d, 0);
      secondFor_ = d;
      calc_.UpdateDensityPage(false);
    } else if (t == QEvent::MouseMove) {
      if (!(me->buttons() & Qt::LeftButton) || x == dragStart_) return;
      SecondX = DraggedX(*d, x - dragStart_);
      calc_.UpdateDensityPage(false);
    } else if (me->button() == Qt::LeftButton) {
      calc_.UpdateDensityPage(true);
    }
  });
  return true;
}

}  // namespace vokt::ui
