#include "ui/metrics.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace vokt::ui {

Metrics MetricsFor(const QFont& font) {
  const QFontMetrics fm(font);
  Metrics m;
  const int charHeight = QFontInfo(font).pixelSize();
  m.LineHeight = static_cast<int>(std::lround(charHeight * 1.5));
  m.HalfLine = m.LineHeight / 2;
  // The longest type name is shown whole ("Wilcoxon signed rank").
  m.TypeBoxWidth = std::max(fm.horizontalAdvance(QStringLiteral(" double exponential xxx")),
                            fm.horizontalAdvance(QStringLiteral("Wilcoxon signed rank")) +
                                3 * fm.horizontalAdvance(QLatin1Char('0')) + 24);
  // "0.95001": five decimals, with the frame's margins.
  m.NumberWidth = fm.horizontalAdvance(QStringLiteral("0.000000")) + 8;
  m.DigitsWidth = fm.horizontalAdvance(QStringLiteral("000"));
  m.HalfDigits = (m.DigitsWidth + 1) / 2;
  m.MarkerWidth = m.NumberWidth + m.DigitsWidth;
  m.StripHeight = m.HalfLine / 2 + m.LineHeight + 3;
  return m;
}

int FittedWidth(const QFont& font, const QString& text, int least) {
  return std::max(least, QFontMetrics(font).horizontalAdvance(text) + 12);
}

}  // namespace vokt::ui
