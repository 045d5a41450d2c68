#include "ui/end_labels.h"

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

#include "distrib/distribution.h"
#include "plot/graph.h"
#include "ui/calculator.h"

namespace vokt::ui {

namespace {

// The ends the labels name: the plot range within the support.
Real LowEnd(const Distribution& d, const GraphRange& range) {
  return std::max(d.SupportLow(), range.Left);
}
Real HighEnd(const Distribution& d, const GraphRange& range) {
  return std::min(d.SupportHigh(), range.Right);
}

}  // namespace

void SetEndLabelTexts(QLabel* low, QLabel* high, const Calculator& calc) {
  const Distribution* d = calc.Current;
  if (!d || !calc.ParametersComplete()) {
    low->clear();
    high->clear();
    return;
  }
  const GraphRange range = d->Range();
  const int decimals = d->XDecimals();
  low->setText(QString::fromStdString(FormatDecimals(decimals, LowEnd(*d, range))));
  high->setText(QString::fromStdString(FormatDecimals(decimals, HighEnd(*d, range))));
}

void PlaceEndLabels(QLabel* low, QLabel* high, const Calculator& calc, const Rect& box,
                    int graphLeft, const std::vector<QRect>& markers, int stripWidth,
                    int lineHeight) {
  const Distribution* d = calc.Current;
  if (!d || !calc.ParametersComplete()) return;
  const GraphRange range = d->Range();
  const QFontMetrics fm(low->font());
  auto place = [&](QLabel* label, Real v, bool isLow) {
    const int w = fm.horizontalAdvance(label->text()) + 4;
    QRect r(graphLeft + XToPixel(range, box, v) - w / 2, 0, w, lineHeight);
    for (const QRect& m : markers)
      if (r.intersects(m)) r.moveLeft(isLow ? m.left() - w - 2 : m.right() + 3);
    label->setGeometry(r);
    label->setVisible(r.left() >= 0 && r.right() < stripWidth && !label->text().isEmpty());
  };
  place(low, LowEnd(*d, range), true);
  place(high, HighEnd(*d, range), false);
}

}  // namespace vokt::ui
