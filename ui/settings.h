// The settings kept between runs (QSettings, organisation "VOKT",
// application "vokt"): the window's geometry, the two decimals choices, the
// last type and its parameters.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vokt::ui {

struct WindowSettings {
  QByteArray Geometry;  // QWidget::saveGeometry; empty: the default place
  int ProbabilityDecimals = 4;
  int XDecimals = 3;
  QString TypeName;        // empty: the normal distribution
  QStringList Parameters;  // the grid's texts, row by row
};

WindowSettings LoadSettings();
void StoreSettings(const WindowSettings& s);
// Forgets everything stored: the next start is as the first.
void ClearSettings();

}  // namespace vokt::ui
