#include "ui/marker.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/number_edit.h"

namespace vokt::ui {

namespace {
// A small filled triangle pointing left or right, drawn at the screen's
// pixel ratio so it stays sharp on a scaled screen.
QPixmap ArrowPixmap(int width, int height, bool right, const QColor& color, qreal ratio) {
  QPixmap pm(QSize(width, height) * ratio);
  pm.setDevicePixelRatio(ratio);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  QPainterPath path;
  const qreal mid = height / 2.0;
  if (right) {
    path.moveTo(1, mid - width + 1);
    path.lineTo(width - 1, mid);
    path.lineTo(1, mid + width - 1);
  } else {
    path.moveTo(width - 1, mid - width + 1);
    path.lineTo(1, mid);
    path.lineTo(width - 1, mid + width - 1);
  }
  path.closeSubpath();
  p.drawPath(path);
  return pm;
}
}  // namespace

Marker::Marker(QWidget* parent, int tag, const QString& tip) : QFrame(parent) {
  ArrowLeft = new QLabel(this);
  ArrowRight = new QLabel(this);
  Line = new QFrame(this);
  Line->setAutoFillBackground(true);
  Line->setBackgroundRole(QPalette::WindowText);  // follows the theme
  Edit = new NumberEdit(this, tag);
  Edit->setToolTip(tip);
  Edit->setAlignment(Qt::AlignCenter);
  Edit->setTextMargins(0, 0, 0, 0);
  for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(ArrowLeft),
                     static_cast<QWidget*>(ArrowRight)}) {
    w->installEventFilter(this);
    w->setCursor(Qt::PointingHandCursor);
  }
}

void Marker::Arrange(const Metrics& m, int height) {
  metrics_ = m;
  Edit->resize(m.NumberWidth, m.LineHeight);
  resize(m.MarkerWidth, height);
  const int arrowWidth = std::max(3, m.HalfDigits - 4);
  const QColor color = palette().color(QPalette::WindowText);
  const qreal ratio = devicePixelRatioF();
  ArrowLeft->setPixmap(ArrowPixmap(arrowWidth, 2 * arrowWidth, false, color, ratio));
  ArrowRight->setPixmap(ArrowPixmap(arrowWidth, 2 * arrowWidth, true, color, ratio));
  PlaceChildren();
}

void Marker::FitText(const QString& text) {
  const int w = FittedWidth(Edit->font(), text, metrics_.NumberWidth);
  if (w == Edit->width()) return;
  const int centre = Centre();
  Edit->resize(w, Edit->height());
  resize(w + metrics_.DigitsWidth, height());
  MoveCentreTo(centre);
}

void Marker::resizeEvent(QResizeEvent* e) {
  QFrame::resizeEvent(e);
  PlaceChildren();
}

void Marker::PlaceChildren() {
  Edit->move((width() - Edit->width()) / 2, height() - Edit->height());
  const int arrowWidth = std::max(3, metrics_.HalfDigits - 4);
  const int arrowHeight = 2 * arrowWidth;
  const int top = Edit->y() + (Edit->height() - arrowHeight) / 2;
  const int inset = (Edit->x() - arrowWidth) / 2;
  ArrowLeft->setGeometry(inset, top, arrowWidth, arrowHeight);
  ArrowRight->setGeometry(width() - inset - arrowWidth, top, arrowWidth, arrowHeight);
  Line->setGeometry(width() / 2 - 1, 0, 2, std::max(2, Edit->y()));
  Line->lower();
}

bool Marker::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  if (t != QEvent::MouseButtonPress && t != QEvent::MouseMove && t != QEvent::MouseButtonRelease)
    return QFrame::eventFilter(watched, event);
  auto* me = static_cast<QMouseEvent*>(event);
  const int x = static_cast<int>(me->position().x());
  if (t == QEvent::MouseButtonPress)
    emit Pressed(me->button(), x);
  else if (t == QEvent::MouseMove)
    emit Moved((me->buttons() & Qt::LeftButton) != 0, x);
  else
    emit Released(me->button(), x);
  return true;
}

}  // namespace vokt::ui
