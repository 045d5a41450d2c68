// MainWindow: the main window.  On the left the distribution type list and
// the parameter grid above the main button; on the right the pages "pdf",
// "cdf", "formulas" and "sample".  The computation is Calculator's and each
// part is a class of its own (ParameterGrid, DensityPage, CdfPage,
// FormulasPage, SamplePage, the dialogs); this class builds them, lays them
// out, wires them to each other and to the menus, and keeps the settings.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <vector>

#include "distrib/distribution.h"
#include "ui/calculator.h"
#include "ui/metrics.h"

class QAction;
class QActionGroup;
class QComboBox;
class QGroupBox;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace vokt::ui {

class CdfPage;
class DensityPage;
class FormulasPage;
class LongRun;
class NumberEdit;
class ParameterGrid;
class RankTests;
class SamplePage;

class MainWindow : public QMainWindow, public DriverView {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  Calculator& Calc() { return calc_; }
  Distribution* Current() const { return calc_.Current; }
  const Metrics& Sizes() const { return metrics_; }

  // Adds a distribution object to the type list (sorted by name); the window
  // owns it.  Start-up adds one of every type of the catalogue.
  void AddDistribution(std::unique_ptr<Distribution> d);
  // Selects the type with the given name as the user would (close-up of
  // the list).  False when the list has no such name.
  bool ChooseType(const QString& name);

  // Commands.
  void MainButtonClicked();
  void OptionsChosen();
  void UpdateSaveAction();
  void CopyGraph();
  // "Save graph as...": the visible graph page as a PNG or SVG file.
  void SaveGraph();
  // Forgets the stored settings and puts the window as it first opens: the
  // standard normal, the usual decimals, the usual size.
  void RestoreDefaults();
  // The size the window opens at: about 900 x 560, never more than the
  // screen has.
  QSize DefaultSize() const;

  // DriverView
  std::string EditText(EditId id) const override;
  void SetEditText(EditId id, const std::string& text) override;
  void FocusEdit(EditId id) override;
  void SetButtonCaption(const std::string& text) override;
  PageId ActivePage() const override;
  void SetGridRowCount(int rows) override;
  void GridTextsChanged() override;
  void RestartGridEditor() override;
  void SelectGridRow(int row) override;
  void CheckXDecimalsItem(int decimals) override;
  Rect DensityBoxRect() const override;
  Rect CdfBoxRect() const override;
  void PlaceDensityMarker(int px, bool thinCentral) override;
  void PlaceCdfMarker(int px, Real cdf) override;
  void RepaintDensity() override;
  void RepaintCdf() override;
  void ShowPageContents(PageId page) override;
  void RefreshActivePage() override;
  void Beep() override;
  void ShowRefusal(const std::string& reason) override;

  // The parts.
  QGroupBox* TypeGroup = nullptr;
  QComboBox* TypeBox = nullptr;
  ParameterGrid* Grid = nullptr;
  QPushButton* MainButton = nullptr;
  QProgressBar* ProgressBar = nullptr;
  QPushButton* CancelButton = nullptr;
  QTabWidget* Pages = nullptr;
  DensityPage* Density = nullptr;
  CdfPage* Cdf = nullptr;
  FormulasPage* Formulas = nullptr;
  SamplePage* Sample = nullptr;

  QMenu* MenuOptions = nullptr;
  QMenu* MenuProbabilityDecimals = nullptr;
  QMenu* MenuXDecimals = nullptr;
  QActionGroup* ProbabilityDecimalsGroup = nullptr;
  QActionGroup* XDecimalsGroup = nullptr;
  QAction* ActionRestoreDefaults = nullptr;
  QAction* ActionCopyGraph = nullptr;
  QAction* ActionSaveGraph = nullptr;
  QAction* ActionDrawSample = nullptr;
  QAction* ActionAssign = nullptr;
  QAction* ActionSave = nullptr;
  QAction* ActionClear = nullptr;
  QMenu* MenuSample = nullptr;
  QMenu* DensityMenu = nullptr;
  QMenu* SampleMenu = nullptr;
  QAction* ActionHelp = nullptr;
  QAction* ActionAbout = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void BuildControls();
  void BuildPages();
  void BuildMenus();
  void BuildOptionsMenu();
  void Arrange();
  void StartUp();
  void RestoreSettings();
  void StoreSettings();
  // Handlers.
  void TypeChosen();
  void GridRowSelected(int row);
  void GridKeyPressed(int key);
  void GridEntered();
  void ProbabilityDecimalsChosen(int decimals);
  void XDecimalsChosen(int decimals);
  void NumberEditEntered(int tag);
  void SampleShown(const QString& hint);
  void SampleCleared();
  // The graph page that Copy graph and Save graph take, or null when they do
  // nothing (another page, or the pdf page without a distribution).
  QWidget* GraphPageToCopy() const;
  NumberEdit* Edit(EditId id) const;
  void SelectTypeInList(Distribution* d);
  Distribution* FindType(uint16_t id) const;
  // The current type has one grid row per group size (Kruskal-Wallis).
  bool GroupSizesInGrid() const;
  // The button's caption for the current input mode: what Enter does.
  void SyncButtonCaption();
  // The grid's texts from the distribution (the Kruskal-Wallis group sizes
  // from its last applied sizes).
  void FillGridTexts();

  std::vector<std::unique_ptr<Distribution>> distributions_;
  Calculator calc_;
  Metrics metrics_;
  LongRun* run_ = nullptr;
  std::unique_ptr<RankTests> rankTests_;
  bool creating_ = true;
  int tabWidth_ = -1;
  QPointer<QWidget> helpWindow_;
};

}  // namespace vokt::ui
