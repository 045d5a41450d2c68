#include "ui/formulas_page.h"

#include <QBoxLayout>

#include "formula/qt/formula_view.h"

namespace vokt::ui {

FormulasPage::FormulasPage(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Text = new FormulaView(this);
  Text->setReadOnly(true);
  Text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  layout->addWidget(Text);
}

void FormulasPage::Fill(Distribution* d, Real x) { FillFormulasPage(*Text, d, x); }

}  // namespace vokt::ui
