#include "ui/paint_box.h"

#include <QPainter>

namespace vokt::ui {

PaintBox::PaintBox(QWidget* parent, Handler onPaint)
    : QWidget(parent), onPaint_(std::move(onPaint)) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setMinimumSize(40, 40);
}

void PaintBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  if (onPaint_) onPaint_(p, rect());
}

}  // namespace vokt::ui
