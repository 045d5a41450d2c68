#include "ui/settings.h"

#include <QSettings>

namespace vokt::ui {

WindowSettings LoadSettings() {
  QSettings s(QStringLiteral("VOKT"), QStringLiteral("vokt"));
  WindowSettings w;
  w.Geometry = s.value(QStringLiteral("window/geometry")).toByteArray();
  // Out-of-range numbers from an edited file fall back to the defaults.
  const int p = s.value(QStringLiteral("decimals/probabilities"), 4).toInt();
  const int x = s.value(QStringLiteral("decimals/x"), 3).toInt();
  w.ProbabilityDecimals = p >= 1 && p <= 12 ? p : 4;
  w.XDecimals = x >= 0 && x <= 12 ? x : 3;
  w.TypeName = s.value(QStringLiteral("distribution/type")).toString();
  w.Parameters = s.value(QStringLiteral("distribution/parameters")).toStringList();
  // A grid has a few rows; more is not a grid this program wrote.
  if (w.Parameters.size() > 64) w.Parameters.clear();
  return w;
}

void StoreSettings(const WindowSettings& w) {
  QSettings s(QStringLiteral("VOKT"), QStringLiteral("vokt"));
  s.setValue(QStringLiteral("window/geometry"), w.Geometry);
  s.setValue(QStringLiteral("decimals/probabilities"), w.ProbabilityDecimals);
  s.setValue(QStringLiteral("decimals/x"), w.XDecimals);
  s.setValue(QStringLiteral("distribution/type"), w.TypeName);
  s.setValue(QStringLiteral("distribution/parameters"), w.Parameters);
}

void ClearSettings() {
  QSettings s(QStringLiteral("VOKT"), QStringLiteral("vokt"));
  s.clear();
}

}  // namespace vokt::ui
