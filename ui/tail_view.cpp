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
#include "ui/main_window.h"
#include "ui/messages.h"
#include "ui/number_edit.h"

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
  if (!d.Points || d.Points->Count() == 0) return;
  const GraphRange r = d.Range();
  const Rect rect = s.ClientRect();
  const auto& items = d.Points->Items();
  int first = 0;
  FindPoint(*d.Points, std::max(from, r.Left), first);
  int inRange = 0;
  for (const auto& p : items)
    if (p.X >= r.Left && p.X <= r.Right) ++inRange;
  const int w = rect.Width();
  s.SetPenColor(c);
  s.SetPenWidth(inRange > 0 && w >= r.Right - r.Left ? std::max(1, std::min(3, w / inRange - 1))
                                                     : 1);
  const int32_t base = YToPixel(rect, 0, d.MaxDens);
  int32_t lastX = INT32_MIN, lastTop = INT32_MAX;
  for (size_t i = static_cast<size_t>(first); i < items.size(); ++i) {
    const PointRecord& p = items[i];
    if (p.X > to + Eps || p.X > r.Right) break;
    if (p.X < from - Eps) continue;
    const int32_t x = XToPixel(r, rect, p.X), top = YToPixel(rect, p.Prob, d.MaxDens);
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

TailControls::TailControls(MainWindow& form, QWidget* page) : QObject(page), form_(form) {
  Selector = new QComboBox(page);
  Selector->addItems({QStringLiteral("three probabilities"), QStringLiteral("two-sided"),
                      QStringLiteral("between a and b")});
  Selector->setToolTip(QStringLiteral("which probabilities the page shows (Alt+T)"));
  Selector->setFocusPolicy(Qt::StrongFocus);
  auto* label = new QLabel(U("&tail:"), page);
  label->setBuddy(Selector);
  label->setObjectName(QStringLiteral("TailLabel"));
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

  SecondPanel = new QFrame(page);
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

bool TailControls::Complete() const { return form_.Calc().ParametersComplete(); }

int TailControls::Layout(int pageWidth, int lineHeight, int numberWidth, int markerWidth,
                         int markerHeight) {
  auto* label = Selector->parentWidget()->findChild<QLabel*>(QStringLiteral("TailLabel"));
  const int h = std::max(lineHeight, Selector->sizeHint().height());
  const int top = 2;
  int x = 4;
  if (label) {
    const int lw = label->sizeHint().width();
    label->setGeometry(x, top, lw, h);
    x += lw + 4;
  }
  const int sw = Selector->sizeHint().width();
  Selector->setGeometry(x, top, sw, h);
  x += sw + 12;
  const int aw = AlphaLabel->sizeHint().width();
  AlphaLabel->setGeometry(x, top, aw, h);
  AlphaEdit->setGeometry(x + aw + 4, top + (h - lineHeight) / 2, numberWidth, lineHeight);
  x += aw + 4 + numberWidth + 12;
  Summary->setGeometry(x, top, std::max(10, pageWidth - x - 4), h);
  SecondPanel->resize(markerWidth, markerHeight);
  SecondEdit->resize(numberWidth, lineHeight);
  SecondEdit->move((markerWidth - numberWidth) / 2, markerHeight - lineHeight);
  secondLine_->setGeometry(markerWidth / 2 - 1, 0, 2, std::max(2, markerHeight - lineHeight));
  return top + h + 2;
}

void TailControls::Changed() {
  alphaMode_ = false;
  if (form_.ActivePage() == PageId::Pdf && Complete())
    form_.Calc().UpdateDensityPage(true);
  else
    Apply();
}

void TailControls::EnsureSecond(Distribution& d) {
  const GraphRange r = d.Range();
  if (secondFor_ == &d && std::isfinite(SecondX) && SecondX >= r.Left && SecondX <= r.Right) return;
  secondFor_ = &d;
  const Real x = form_.Calc().CurrentX;
  const CriticalValue m = MirrorPoint(d, x);
  if (m.Exists && m.X != x) {
    SecondX = m.X;
    return;
  }
  SecondX = d.Quantile(ProbAtMost(d, x) < 0.5L ? 0.8413L : 0.1587L).X;
  if (!std::isfinite(SecondX)) SecondX = (r.Left + r.Right) / 2;
}

void TailControls::Apply() {
  Distribution* d = form_.Current();
  const TailView view = View();
  const bool upperOnly = d && RejectsOnlyLarge(*d);
  Selector->setItemText(1,
                        upperOnly ? QStringLiteral("upper p-value") : QStringLiteral("two-sided"));
  AlphaLabel->setVisible(view == TailView::TwoSided);
  AlphaEdit->setVisible(view == TailView::TwoSided);
  auto* left = form_.ProbabilityEditLeft;
  auto* central = form_.ProbabilityEditCentral;
  auto* right = form_.ProbabilityEditRight;
  if (view == TailView::Three || !d || !Complete()) {
    SecondPanel->hide();
    Summary->clear();
    left->setToolTip(QStringLiteral("Probability  P ( X < x )"));
    central->setToolTip(QStringLiteral("Probability  P ( X = x )"));
    right->setToolTip(QStringLiteral("Probability  P ( X > x )"));
    central->show();
    right->show();
    return;
  }
  Calculator& drv = form_.Calc();
  const int decimals = drv.ProbabilityDecimals;
  auto prob = [decimals](Real p) { return Q(FormatDecimals(decimals, p)); };
  const Real x = drv.CurrentX;
  if (alphaMode_ && x != alphaX_) alphaMode_ = false;

  QString leftText, centralText, rightText, summary;
  // Where the second marker stands: b of "between a and b", or the
  // mirrored point or upper critical value of the two-sided view (which
  // leave b alone).
  Real second = SecondX;
  bool showSecond = false, showCentral = true, showRight = true;
  haveLo_ = haveHi_ = false;
  if (view == TailView::TwoSided && upperOnly) {
    lo_ = hi_ = x;
    haveHi_ = true;
    const Real p = ProbAtLeast(*d, x);
    leftText = prob(ProbBelow(*d, x));
    rightText = prob(p);
    showCentral = false;
    left->setToolTip(QStringLiteral("Probability  P ( X < x )"));
    right->setToolTip(U("upper p-value  P ( X \u2265 x )"));
    if (alphaMode_) {
      summary = critical_.Upper.Exists
                    ? U("\u03B1 = %1: critical value %2, attained level %3")
                          .arg(AlphaEdit->text(), Q(FormatNumber(critical_.Upper.X)),
                               prob(critical_.Upper.Level))
                    : U("\u03B1 = %1: no critical value").arg(AlphaEdit->text());
      haveHi_ = critical_.Upper.Exists;
    } else {
      summary = U("upper p-value  P(X \u2265 x) = %1").arg(prob(p));
    }
  } else if (view == TailView::TwoSided) {
    left->setToolTip(U("lower tail  P ( X \u2264 a )"));
    right->setToolTip(U("upper tail  P ( X \u2265 b )"));
    if (alphaMode_) {
      const CriticalValue& a = critical_.Lower;
      const CriticalValue& b = critical_.Upper;
      second = b.Exists ? b.X : d->Range().Right;
      lo_ = x;
      hi_ = second;
      haveLo_ = a.Exists;
      haveHi_ = b.Exists;
      leftText = prob(a.Exists ? a.Level : 0);
      rightText = prob(b.Exists ? b.Level : 0);
      centralText = prob((a.Exists ? a.Level : 0) + (b.Exists ? b.Level : 0));
      central->setToolTip(U("attained level  P ( X \u2264 a ) + P ( X \u2265 b )"));
      auto crit = [&](const CriticalValue& c) {
        return c.Exists ? Q(FormatNumber(c.X)) : QStringLiteral("none");
      };
      summary = U("\u03B1 = %1: critical values %2 and %3, attained level %4")
                    .arg(AlphaEdit->text(), crit(a), crit(b), centralText);
      showSecond = true;
    } else {
      const Real p = TwoSidedPValue(*d, x);
      const CriticalValue m = MirrorPoint(*d, x);
      const bool lowerSide = ProbAtMost(*d, x) <= ProbAtLeast(*d, x);
      lo_ = hi_ = x;
      if (lowerSide)
        haveLo_ = true;
      else
        haveHi_ = true;
      if (m.Exists) {
        second = m.X;
        lo_ = std::min(x, m.X);
        hi_ = std::max(x, m.X);
        haveLo_ = haveHi_ = true;
        showSecond = true;
      }
      leftText = prob(haveLo_ ? ProbAtMost(*d, lo_) : 0);
      rightText = prob(haveHi_ ? ProbAtLeast(*d, hi_) : 0);
      centralText = prob(p);
      central->setToolTip(U("two-sided p-value  2 min( P ( X \u2264 x ), P ( X \u2265 x ) )"));
      summary = U("two-sided p = %1").arg(centralText);
      if (m.Exists) summary += U(";  mirrored point %1").arg(Q(FormatNumber(m.X)));
    }
  } else {  // between a and b
    EnsureSecond(*d);
    second = SecondX;
    lo_ = std::min(x, second);
    hi_ = std::max(x, second);
    haveLo_ = haveHi_ = true;
    const Real inside = IntervalProbability(*d, lo_, hi_);
    const Real below = ProbBelow(*d, lo_), above = ProbAbove(*d, hi_);
    leftText = prob(below);
    rightText = prob(above);
    centralText = prob(inside);
    left->setToolTip(QStringLiteral("Probability  P ( X < a )"));
    central->setToolTip(U("Probability  P ( a \u2264 X \u2264 b )"));
    right->setToolTip(QStringLiteral("Probability  P ( X > b )"));
    summary = U("P(a \u2264 X \u2264 b) = %1;  outside %2").arg(centralText, prob(below + above));
    showSecond = true;
  }

  // The boxes: the tails under their areas, the middle one between the
  // markers, never on top of each other.
  QWidget* box = form_.DensityGraph;
  const Rect rect{0, 0, box->width(), box->height()};
  const GraphRange range = d->Range();
  const int w = form_.NumberWidth;
  const int gray = form_.GrayPanel->width();
  const int pLo = box->x() + XToPixel(range, rect, lo_),
            pHi = box->x() + XToPixel(range, rect, hi_);
  std::array<int, 3> centres{pLo / 2, (pLo + pHi) / 2, (pHi + gray) / 2};
  if (!showCentral) centres = {pLo / 2, -10 * w, (pLo + gray) / 2};
  const std::array<int, 3> lefts =
      showCentral ? SpreadBoxes(centres, w, gray, 4)
                  : std::array<int, 3>{
                        std::max(0, centres[0] - w / 2), 0,
                        std::min(gray - w, std::max(centres[0] + w / 2 + 4, centres[2] - w / 2))};
  left->setText(leftText);
  left->resize(w, left->height());
  right->resize(w, right->height());
  left->move(lefts[0], left->y());
  central->setVisible(showCentral);
  if (showCentral) {
    central->setGeometry(lefts[1], central->y(), w, central->height());
    central->setText(centralText);
  }
  right->setVisible(showRight);
  right->setText(rightText);
  right->move(lefts[2], right->y());
  for (QLineEdit* e : {static_cast<QLineEdit*>(left), static_cast<QLineEdit*>(central),
                       static_cast<QLineEdit*>(right)})
    e->setCursorPosition(0);
  Summary->setText(summary);

  SecondPanel->setVisible(showSecond);
  if (showSecond) {
    const int px = box->x() + ClampPixel(XToPixel(range, rect, second), 0, rect.Width());
    SecondPanel->move(px - SecondPanel->width() / 2, form_.DensityMarker->y());
    SecondPanel->raise();
    const bool editable = view == TailView::Between;
    SecondEdit->setReadOnly(!editable);
    SecondPanel->setCursor(editable ? Qt::PointingHandCursor : Qt::ArrowCursor);
    SecondEdit->setToolTip(editable ? QStringLiteral("b  (drag the marker or type)")
                                    : QStringLiteral("the mirrored point"));
    if (!SecondEdit->hasFocus() || !editable) {
      SecondEdit->setText(Q(FormatNumber(second)));
      SecondEdit->setCursorPosition(0);
    }
  }
}

bool TailControls::PaintDensity(DrawingSurface& s, Distribution& d) {
  const TailView view = View();
  if (view == TailView::Three) return false;
  const Real L = d.SupportLow, H = d.SupportHigh;
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
  Distribution* d = form_.Current();
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
  Calculator& drv = form_.Calc();
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
  Distribution* d = form_.Current();
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
  form_.Calc().UpdateDensityPage(true);
}

Real TailControls::DraggedX(Distribution& d, int dx) const {
  QWidget* box = form_.DensityGraph;
  const Rect rect{0, 0, box->width(), box->height()};
  Real x = PixelToX(dragPixel_ + dx, d.Range(), rect);
  if (d.IsDiscrete() && !dynamic_cast<EmpiricalDistribution*>(&d)) x = RoundExt(x);
  return x;
}

bool TailControls::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  if (t != QEvent::MouseButtonPress && t != QEvent::MouseMove && t != QEvent::MouseButtonRelease)
    return QObject::eventFilter(watched, event);
  Distribution* d = form_.Current();
  if (!d || !Complete() || View() != TailView::Between) return true;
  auto* me = static_cast<QMouseEvent*>(event);
  const int x = static_cast<int>(me->position().x());
  Guarded([&] {
    if (t == QEvent::MouseButtonPress) {
      if (me->button() != Qt::LeftButton) return;
      dragStart_ = x;
      dragPixel_ = SecondPanel->x() + SecondPanel->width() / 2 - form_.DensityGraph->x();
      SecondX = DraggedX(*d, 0);
      secondFor_ = d;
      form_.Calc().UpdateDensityPage(false);
    } else if (t == QEvent::MouseMove) {
      if (!(me->buttons() & Qt::LeftButton) || x == dragStart_) return;
      SecondX = DraggedX(*d, x - dragStart_);
      form_.Calc().UpdateDensityPage(false);
    } else if (me->button() == Qt::LeftButton) {
      form_.Calc().UpdateDensityPage(true);
    }
  });
  return true;
}

}  // namespace vokt::ui
