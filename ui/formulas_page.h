// The formulas page: the current distribution's formulas, moments and the
// probabilities at x, as formula markup.
#pragma once

#include <QWidget>

#include "distrib/distribution.h"

namespace vokt {
class FormulaView;
}

namespace vokt::ui {

class FormulasPage : public QWidget {
  Q_OBJECT
 public:
  explicit FormulasPage(QWidget* parent = nullptr);

  vokt::FormulaView* Text = nullptr;

  // Fills the page for d at x (an empty page without a distribution).
  void Fill(Distribution* d, Real x);
};

}  // namespace vokt::ui
