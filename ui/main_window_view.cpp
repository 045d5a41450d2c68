// MainWindow as the calculator's view: the pages laid out and refreshed, the
// number boxes, the grid and the markers reached by their ids.
#include <QAction>
#include <QActionGroup>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include "resources/strings.h"
#include "ui/cdf_page.h"
#include "ui/density_page.h"
#include "ui/formulas_page.h"
#include "ui/main_window.h"
#include "ui/marker.h"
#include "ui/messages.h"
#include "ui/number_edit.h"
#include "ui/parameter_grid.h"

namespace vokt::ui {

namespace {
constexpr int kPdfPage = 0, kCdfPage = 1, kFormulasPage = 2;
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

void MainWindow::RefreshActivePage() {
  // Four tabs share the width equally (the sample tab is hidden until used).
  const int tabWidth = std::max(20, Pages->width() / 4 - 4);
  if (tabWidth != tabWidth_) {
    tabWidth_ = tabWidth;
    Pages->tabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { width: %1px; padding: 2px 0px; margin: 0px; }")
            .arg(tabWidth));
  }
  const PageId page = ActivePage();
  MainButton->setVisible(page != PageId::Sample);
  const bool complete = calc_.ParametersComplete();
  switch (page) {
    case PageId::Pdf:
      Density->ShowContents(complete);
      if (complete) {
        Density->layout()->activate();
        calc_.UpdateDensityPage(true);
      }
      break;
    case PageId::Cdf:
      Cdf->ShowContents(complete);
      if (complete) {
        Cdf->layout()->activate();
        calc_.UpdateCdfPage();
      }
      break;
    case PageId::Formulas:
      Formulas->Fill(calc_.Current, calc_.CurrentX);
      // The button applies the grid again from here, and says so.
      calc_.Mode = InputMode::Parameters;
      SetButtonCaption(LoadString(876));
      break;
    case PageId::Sample:
      break;
  }
}

void MainWindow::ShowPageContents(PageId page) {
  if (page == PageId::Pdf) Density->ShowContents(true);
  if (page == PageId::Cdf) Cdf->ShowContents(true);
}

NumberEdit* MainWindow::Edit(EditId id) const {
  switch (id) {
    case EditId::xValue:
      return Density->XEdit;
    case EditId::ProbLeft:
      return Density->ProbabilityEditLeft;
    case EditId::ProbCentral:
      return Density->ProbabilityEditCentral;
    case EditId::ProbRight:
      return Density->ProbabilityEditRight;
    case EditId::xcdF:
      return Cdf->XEdit;
    case EditId::cdF:
      return Cdf->ProbabilityEdit;
  }
  return Density->XEdit;
}

std::string MainWindow::EditText(EditId id) const { return Edit(id)->text().toStdString(); }

void MainWindow::SetEditText(EditId id, const std::string& text) {
  NumberEdit* e = Edit(id);
  const QString t = Q(text);
  e->setText(t);
  e->setCursorPosition(0);
  // Every box shows its whole text: a tiny probability ("1 - 1.1286e-19"),
  // an x with many decimals.
  if (id == EditId::xValue)
    Density->XMarker->FitText(t);
  else if (id == EditId::xcdF)
    Cdf->XMarker->FitText(t);
  else if (id != EditId::ProbCentral || e->width() > 2)  // not the thin line of P(X = x) = 0
    e->resize(FittedWidth(e->font(), t, metrics_.NumberWidth), e->height());
}

void MainWindow::FocusEdit(EditId id) { Edit(id)->setFocus(Qt::OtherFocusReason); }

void MainWindow::SetButtonCaption(const std::string& text) { MainButton->setText(Q(text)); }

PageId MainWindow::ActivePage() const {
  switch (Pages->currentIndex()) {
    case kPdfPage:
      return PageId::Pdf;
    case kCdfPage:
      return PageId::Cdf;
    case kFormulasPage:
      return PageId::Formulas;
    default:
      return PageId::Sample;
  }
}

void MainWindow::SetGridRowCount(int rows) { Grid->SetRows(rows); }

void MainWindow::GridTextsChanged() { Grid->TextsChanged(); }

void MainWindow::RestartGridEditor() { Grid->RestartQuietly(); }

void MainWindow::SelectGridRow(int row) { Grid->SelectRow(row); }

void MainWindow::CheckXDecimalsItem(int decimals) {
  for (QAction* a : XDecimalsGroup->actions())
    if (a->data().toInt() == decimals) a->setChecked(true);
}

Rect MainWindow::DensityBoxRect() const { return Density->BoxRect(); }

Rect MainWindow::CdfBoxRect() const { return Cdf->BoxRect(); }

void MainWindow::PlaceDensityMarker(int px, bool thinCentral) { Density->Place(px, thinCentral); }

void MainWindow::PlaceCdfMarker(int px, Real cdf) { Cdf->Place(px, cdf); }

void MainWindow::RepaintDensity() { Density->Repaint(); }

void MainWindow::RepaintCdf() { Cdf->Repaint(); }

void MainWindow::Beep() { ui::Beep(); }

}  // namespace vokt::ui
