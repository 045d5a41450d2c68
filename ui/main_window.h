// MainWindow: the main window.  On the left the distribution type list and the
// parameter grid above the main button; on the right the pages "pdf", "cdf",
// "formulas" and "sample".  The computation itself is Calculator's; this
// class is the widget side: controls, layout from the font, menus, grid and
// paint handlers.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "distrib/distribution.h"
#include "distrib/kruskal_friedman.h"
#include "numeric/uniform.h"
#include "ui/calculator.h"
#include "ui/number_edit.h"

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace vokt {
class FormulaView;
}

namespace vokt::ui {

class MainWindow;
class DrawDialog;
class AssignDialog;
class TailControls;
class SampleView;

// A widget whose painting is a handler of the form (the graphs).
class PaintBox : public QWidget {
  Q_OBJECT
 public:
  using Handler = std::function<void(QPainter&, const QRect&)>;
  explicit PaintBox(QWidget* parent, Handler onPaint);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Handler onPaint_;
};

// A plain container that reports its resizes (the window's main panel).
class ResizePanel : public QWidget {
  Q_OBJECT
 public:
  explicit ResizePanel(QWidget* parent, std::function<void()> onResize);

 protected:
  void resizeEvent(QResizeEvent*) override;

 private:
  std::function<void()> onResize_;
};

// The parameter grid: two columns, labels (formula markup) in the first,
// values edited in place in the second; the editor stays open on the current
// cell.
class ParameterGrid : public QTableWidget {
  Q_OBJECT
 public:
  explicit ParameterGrid(MainWindow& form, QWidget* parent);
  // Closes the in-place editor and opens it again on the current cell.
  void RestartEditor();
  void CloseEditor();
  // The editor that is open, if any.
  QLineEdit* Editor() const;

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void keyPressEvent(QKeyEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  friend class GridDelegate;
  MainWindow& form_;
  QPointer<QLineEdit> editor_;
};

// Progress of the sample drawing, which runs on the user-interface thread in
// batches and lets pending events through between them.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  // Position of the progress indicator, 0 to 100.
  virtual void SetPosition(int percent) = 0;
  // Lets pending user-interface events through (a click on Cancel).
  virtual void ProcessEvents() = 0;
  // Shows the busy cursor (true) or restores the previous one (false).
  virtual void SetBusy(bool busy) = 0;
};

// Shows the busy cursor for its lifetime.
class BusyScope {
 public:
  explicit BusyScope(ProgressSink* sink) : sink_(sink) {
    if (sink_) sink_->SetBusy(true);
  }
  ~BusyScope() {
    if (sink_) sink_->SetBusy(false);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  ProgressSink* sink_;
};

class MainWindow : public QMainWindow, public DriverView, public ProgressSink {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  Calculator& Calc() { return calc_; }
  Distribution* Current() const { return calc_.Current; }

  // Adds a distribution object to the type list (sorted by name); the form
  // owns it.  Start-up adds one of every type of the catalogue.
  void AddDistribution(std::unique_ptr<Distribution> d);
  // Selects the type with the given name as the user would (close-up of
  // the list).  False when the list has no such name.
  bool ChooseType(const QString& name);

  // Event handlers.
  void MainButtonClicked();
  void TypeChosen();
  void ParameterGridSetEditText(int row, const QString& text);
  void ParameterGridSelectCell(int row);
  void ParameterGridKeyDown(int key);
  // Focus came into the grid's editor: the button applies the grid.
  void ParameterGridEnter();
  void PageChanged();
  void WindowResized();
  void ProbabilityDecimalsChosen(int decimals);
  void XDecimalsChosen(int decimals);
  void OptionsChosen();
  void HelpChosen();
  void AboutChosen();
  void CopyGraph();
  // "Save graph as...": the visible graph page as a PNG or SVG file.
  void SaveGraph();
  // The rank tests: Kruskal-Wallis group sizes and Friedman treatments and
  // blocks rebuild the exact tables.
  void ApplyKruskalWallis();
  void ApplyFriedman();
  // Signed rank, Mann-Whitney and rank sum: a long count runs on the worker
  // thread, then the counts are installed by the usual apply.
  void ApplyRankSums();
  void ShowKruskalWallisRows();
  void CancelClicked();

  // ProgressSink
  void SetPosition(int percent) override;
  void ProcessEvents() override;
  void SetBusy(bool busy) override;
  // Samples and assignments.
  bool ConfirmDiscardSample();
  void DrawSample();
  void AssignSample();
  void SaveSample();
  void ClearSample();
  void UpdateSaveAction();
  // Runs a dialog modally; tests replace this to fill in and accept it.
  std::function<bool(QDialog&)> RunDialog;
  // Marker drags; x is the mouse position in the receiving control.
  void DensityMarkerPressed(Qt::MouseButton button, int x);
  void DensityMarkerMoved(bool leftDown, int x);
  void DensityMarkerReleased(Qt::MouseButton button, int x);
  void CdfMarkerPressed(Qt::MouseButton button, int x);
  void CdfMarkerMoved(bool leftDown, int x);
  void CdfMarkerReleased(Qt::MouseButton button, int x);
  void PaintDensityGraph(QPainter& p, const QRect& r);
  void PaintCdfGraph(QPainter& p, const QRect& r);

  // The hint of parameter row r (0-based): the parameter's range hint.
  std::string RowHint(int row) const;
  // The label of parameter row r (formula markup).
  std::string RowLabel(int row) const;

  // Layout metrics, computed from the font by ArrangeControls.
  int LineHeight = 18, HalfLine = 9, TypeBoxWidth = 200, NumberWidth = 50, DigitsWidth = 21,
      HalfDigits = 11;

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

  // Controls, under the names the rest of the program uses.
  ResizePanel* Panel = nullptr;
  QGroupBox* TypeGroup = nullptr;
  QComboBox* TypeBox = nullptr;
  ParameterGrid* Grid = nullptr;
  QPushButton* MainButton = nullptr;
  QProgressBar* ProgressBar = nullptr;
  QPushButton* CancelButton = nullptr;
  QTabWidget* Pages = nullptr;
  QWidget* DensityPage = nullptr;
  PaintBox* DensityGraph = nullptr;
  QLabel* DensityLowLabel = nullptr;
  QLabel* DensityHighLabel = nullptr;
  QFrame* GrayPanel = nullptr;
  NumberEdit* ProbabilityEditLeft = nullptr;
  NumberEdit* ProbabilityEditCentral = nullptr;
  NumberEdit* ProbabilityEditRight = nullptr;
  QFrame* DensityMarker = nullptr;
  QLabel* ArrowLeft = nullptr;
  QLabel* ArrowRight = nullptr;
  QFrame* MarkerLine = nullptr;
  NumberEdit* XEdit = nullptr;
  // The tail selector, the alpha box and the second marker of the pdf page.
  TailControls* Tails = nullptr;
  QWidget* CdfPage = nullptr;
  PaintBox* CdfGraph = nullptr;
  QLabel* CdfLowLabel = nullptr;
  QLabel* CdfHighLabel = nullptr;
  QFrame* CdfMarker = nullptr;
  QLabel* CdfArrowLeft = nullptr;
  QLabel* CdfArrowRight = nullptr;
  NumberEdit* CdfXEdit = nullptr;
  NumberEdit* CdfEdit = nullptr;
  QWidget* FormulasPage = nullptr;
  vokt::FormulaView* FormulaText = nullptr;
  QWidget* SamplePage = nullptr;
  SampleView* SampleList = nullptr;

  QMenu* MenuOptions = nullptr;
  QMenu* MenuProbabilityDecimals = nullptr;
  QMenu* MenuXDecimals = nullptr;
  QActionGroup* ProbabilityDecimalsGroup = nullptr;
  QActionGroup* XDecimalsGroup = nullptr;
  QAction* ActionCopyGraph = nullptr;
  QAction* ActionSaveGraph = nullptr;
  QAction* ActionDrawSample = nullptr;
  QAction* ActionAssign = nullptr;
  QAction* ActionSave = nullptr;
  QAction* ActionClear = nullptr;
  QMenu* MenuSample = nullptr;
  QMenu* DensityMenu = nullptr;
  QMenu* CdfMenu = nullptr;
  DrawDialog* DrawDialogWindow = nullptr;
  AssignDialog* AssignDialogWindow = nullptr;
  QAction* ActionHelp = nullptr;
  QAction* ActionAbout = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void ArrangeControls();
  void LayoutDensityPage();
  void LayoutCdfPage();
  void UpdateSupportLabels(PaintBox* box, QLabel* left, QLabel* right);
  // The graph page that Copy graph and Save graph take, or null when they do
  // nothing (another page, or the pdf page without a distribution).
  QWidget* GraphPageToCopy() const;
  NumberEdit* Edit(EditId id) const;
  void SelectTypeInList(Distribution* d);
  void SyncGridItems();
  // The button's caption for the current input mode: what Enter does.
  void SyncButtonCaption();
  // The grid's texts from the distribution (the Kruskal-Wallis group sizes
  // from its last applied sizes).
  void FillGridTexts();
  // Reads the integer in grid row k (1-based); a bad text selects the row and
  // raises the conversion error.
  int32_t GridInteger(int k);
  // Runs a rank-test build with the progress bar and Cancel button shown
  // when it is long, and the rest of the window locked meanwhile.
  template <class Build>
  void RunEnumeration(bool showProgress, Build&& build);
  // Runs a rank-test computation on a worker thread while the window stays
  // responsive and locked (only Cancel works); the progress bar shows when
  // showProgress.  The table, or nothing when cancelled; errors are raised.
  template <class Compute>
  auto RunRankBuild(bool showProgress, Compute&& compute)
      -> std::optional<std::invoke_result_t<Compute, const RankControl&>>;
  void AppendSampleLines(std::vector<std::string> lines, const QString& hint);
  // Marks the sample unsaved and shows its page with the given hint.
  void ShowSamplePage(const QString& hint);
  // The x under the marker panel's centre moved by dx pixels.
  void MarkerToX(QWidget* panel, PaintBox* box, int dx);

  std::vector<std::unique_ptr<Distribution>> distributions_;
  Calculator calc_;
  bool creating_ = true;
  bool inSelect_ = false;
  int tabWidth_ = -1;
  int DragStartX = 0;
  std::mt19937 random_;
  QPointer<QWidget> helpWindow_;
  // Stops the running rank-test computation; empty when none runs.
  std::function<void()> cancelRun_;
  // Set by Cancel while a sample is drawn.
  bool sampleCancel_ = false;
  // The stream of unseeded draws, seeded from the clock when the window opens.
  RandomEngine draws_;
};

}  // namespace vokt::ui
