#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

#include "distrib/catalogue.h"
#include "distrib/family.h"
#include "resources/strings.h"
#include "ui/about.h"
#include "ui/cdf_page.h"
#include "ui/density_page.h"
#include "ui/formulas_page.h"
#include "ui/graph_export.h"
#include "ui/help_window.h"
#include "ui/long_run.h"
#include "ui/marker.h"
#include "ui/messages.h"
#include "ui/number_edit.h"
#include "ui/parameter_grid.h"
#include "ui/rank_tests.h"
#include "ui/sample.h"
#include "ui/sample_page.h"
#include "ui/sample_view.h"
#include "ui/settings.h"

// The help text and the icon are compiled into the window library; a static
// library's resources must be registered by name.
static void InitVoktResources() { Q_INIT_RESOURCE(vokt); }

namespace vokt::ui {

namespace {
constexpr int kPdfPage = 0, kCdfPage = 1, kFormulasPage = 2, kSamplePage = 3;

QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), calc_(*this) {
  InitVoktResources();
  setWindowTitle(QStringLiteral("VOKT"));
  QFont f(QStringLiteral("Lucida Sans Unicode"));
  f.setPixelSize(12);
  setFont(f);
  metrics_ = MetricsFor(font());
  BuildControls();
  BuildPages();
  BuildMenus();
  rankTests_ = std::make_unique<RankTests>(calc_, *Grid, *run_, [this] { RefreshActivePage(); });
  calc_.RankTestApply = [this](Calculator&) { rankTests_->Apply(); };
  calc_.RankTestRows = [this](Calculator&) { rankTests_->ShowGroupRows(); };
  for (uint16_t t : AvailableTypes()) AddDistribution(CreateDistribution(t));
  Arrange();
  StartUp();
  RestoreSettings();
}

MainWindow::~MainWindow() {
  // The controls go first, while the calculator and the distributions they
  // call back into still exist; the guard keeps resize and page-change
  // notifications of the teardown from refreshing anything.
  creating_ = true;
  calc_.Current = nullptr;
  delete takeCentralWidget();
}

// Start-up: the normal distribution selected with mean 0 and variance 1, on
// the pdf page, the grid's editor open on its first row.
void MainWindow::StartUp() {
  calc_.Current = FindType(kStartType);
  if (!calc_.Current && !distributions_.empty()) calc_.Current = distributions_.front().get();
  if (calc_.Current) {
    SelectTypeInList(calc_.Current);
    if (calc_.Current->NameId() == kStartType) {
      const auto& p = FamilyOf(*calc_.Current).Defaults;
      calc_.Current->SetParameters(p[0], p[1], p[2]);
    }
  }
  SetButtonCaption(LoadString(876));
  Pages->setCurrentIndex(kFormulasPage);
  calc_.ParameterTexts.assign(4, std::string());
  Guarded([&] { calc_.ShowDistribution(); });
  calc_.Mode = InputMode::Applied;
  calc_.ParameterRow = 1;
  creating_ = false;
  Sample->List->SetModified(false);
  Pages->setCurrentIndex(kPdfPage);
  Guarded([&] { RefreshActivePage(); });
  // The first press applies the grid (the formulas page above set 0).
  calc_.Mode = InputMode::Applied;
  Grid->SetCurrentQuietly(0);
  Grid->RestartEditor();
  Grid->setFocus();
  if (Grid->Editor()) Grid->Editor()->setFocus();
}

bool MainWindow::GroupSizesInGrid() const {
  return calc_.Current && FamilyOf(*calc_.Current).Apply == ApplyStyle::GroupSizes;
}

Distribution* MainWindow::FindType(uint16_t id) const {
  for (const auto& d : distributions_)
    if (d->NameId() == id) return d.get();
  return nullptr;
}

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  // The pages have their final sizes only now.
  Guarded([&] { RefreshActivePage(); });
}

void MainWindow::BuildControls() {
  auto* panel = new QWidget(this);
  setCentralWidget(panel);
  // The status line says why a typed x or probability was refused.
  statusBar()->setSizeGripEnabled(false);

  TypeGroup = new QGroupBox(QStringLiteral("Distribution"), panel);
  TypeBox = new QComboBox(TypeGroup);
  TypeBox->setToolTip(QStringLiteral("distribution type"));
  TypeBox->setMaxVisibleItems(32);
  TypeBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  connect(TypeBox, &QComboBox::activated, this, [this](int) { Guarded([&] { TypeChosen(); }); });
  Grid = new ParameterGrid(calc_, TypeGroup);
  connect(Grid, &ParameterGrid::TextEdited, this, [this](int row, const QString& t) {
    Guarded([&] { calc_.SetEditText(row, t.toStdString()); });
  });
  connect(Grid, &ParameterGrid::RowSelected, this, [this](int row) { GridRowSelected(row); });
  connect(Grid, &ParameterGrid::KeyPressed, this, [this](int key) { GridKeyPressed(key); });
  connect(Grid, &ParameterGrid::EditorEntered, this, [this] { GridEntered(); });
  auto* group = new QVBoxLayout(TypeGroup);
  group->addWidget(TypeBox);
  group->addWidget(Grid);
  group->addStretch(1);

  // The progress bar and Cancel lie over the main button while a long count
  // or draw runs.
  auto* buttonArea = new QWidget(panel);
  buttonArea->setObjectName(QStringLiteral("ButtonArea"));
  MainButton = new QPushButton(buttonArea);
  connect(MainButton, &QPushButton::clicked, this, [this] { MainButtonClicked(); });
  ProgressBar = new QProgressBar(buttonArea);
  ProgressBar->setRange(0, 100);
  ProgressBar->setTextVisible(false);
  ProgressBar->hide();
  CancelButton = new QPushButton(QStringLiteral("Cancel"), buttonArea);
  CancelButton->hide();
  auto* stack = new QGridLayout(buttonArea);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->addWidget(MainButton, 0, 0);
  stack->addWidget(ProgressBar, 0, 0);
  stack->addWidget(CancelButton, 0, 0, Qt::AlignCenter);

  Pages = new QTabWidget(panel);
  Pages->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  connect(Pages, &QTabWidget::currentChanged, this, [this](int) {
    if (!creating_) Guarded([&] { RefreshActivePage(); });
  });

  auto* left = new QVBoxLayout;
  left->addWidget(TypeGroup);
  left->addWidget(buttonArea);
  left->addStretch(1);
  auto* main = new QHBoxLayout(panel);
  main->addLayout(left);
  main->addWidget(Pages, 1);
  run_ = new LongRun(this, ProgressBar, CancelButton,
                     {TypeGroup, Pages, MainButton, static_cast<QWidget*>(menuBar())});
  connect(CancelButton, &QPushButton::clicked, this, [this] { run_->Cancel(); });
}

void MainWindow::BuildPages() {
  Density = new DensityPage(calc_);
  Pages->addTab(Density, Q(LoadString(885)));
  Cdf = new CdfPage(calc_);
  Pages->addTab(Cdf, QStringLiteral("cdf"));
  Formulas = new FormulasPage;
  Pages->addTab(Formulas, QStringLiteral("formulas"));
  Sample = new SamplePage(calc_, *run_);
  Pages->addTab(Sample, QStringLiteral("sample"));
  Pages->setTabVisible(kSamplePage, false);

  for (auto* page : {static_cast<QWidget*>(Density), static_cast<QWidget*>(Cdf)}) {
    auto refresh = [this, page] {
      if (!creating_ && Pages->currentWidget() == page) Guarded([&] { RefreshActivePage(); });
    };
    if (page == Density)
      connect(Density, &DensityPage::Resized, this, refresh);
    else
      connect(Cdf, &CdfPage::Resized, this, refresh);
  }
  connect(Density, &DensityPage::ModeChanged, this, [this] { SyncButtonCaption(); });
  connect(Cdf, &CdfPage::ModeChanged, this, [this] { SyncButtonCaption(); });
  connect(Sample, &SamplePage::Shown, this, [this](const QString& h) { SampleShown(h); });
  connect(Sample, &SamplePage::Cleared, this, [this] { SampleCleared(); });
  connect(Sample, &SamplePage::Saved, this, [this](const QString& name) { setWindowTitle(name); });

  for (NumberEdit* e : {Density->XEdit, Density->ProbabilityEditLeft, Density->ProbabilityEditRight,
                        Cdf->XEdit, Cdf->ProbabilityEdit}) {
    connect(e, &NumberEdit::Entered, this, [this](NumberEdit* s) { NumberEditEntered(s->Tag()); });
    connect(e, &QLineEdit::returnPressed, this, [this] { MainButtonClicked(); });
  }
}

// Every size comes from the font, so the window grows with a larger font;
// the layouts take them as minimum sizes.
void MainWindow::Arrange() {
  const Metrics& m = metrics_;
  Grid->Arrange(m);
  const int groupWidth = std::max(m.TypeBoxWidth, Grid->minimumWidth()) + m.DigitsWidth;
  TypeGroup->setFixedWidth(groupWidth);
  // As high as the list and three grid rows: the button stays in its place
  // whatever the number of rows.
  const QMargins margins = TypeGroup->layout()->contentsMargins();
  const int groupHeight = margins.top() + margins.bottom() + TypeBox->sizeHint().height() +
                          TypeGroup->layout()->spacing() + 3 * Grid->RowHeight() +
                          2 * Grid->frameWidth() + m.HalfLine;
  TypeGroup->setFixedHeight(std::max(groupHeight, 7 * m.LineHeight + m.HalfLine));
  MainButton->setFixedHeight(2 * m.LineHeight);
  if (auto* area = findChild<QWidget*>(QStringLiteral("ButtonArea")))
    area->setFixedSize(groupWidth, 2 * m.LineHeight);
  if (auto* main = centralWidget()->layout())
    main->setContentsMargins(m.HalfDigits, m.HalfLine, m.HalfDigits / 2, m.HalfLine);
  Density->Arrange(m);
  Cdf->Arrange(m);
  resize(DefaultSize());
  QRect screen(0, 0, 1024, 768);
  if (QScreen* s = QGuiApplication::primaryScreen()) screen = s->availableGeometry();
  move(screen.x() + (screen.width() - width()) / 2, screen.y() + (screen.height() - height()) / 2);
}

QSize MainWindow::DefaultSize() const {
  QSize size = QSize(900, 560).expandedTo(minimumSizeHint());
  if (QScreen* s = QGuiApplication::primaryScreen())
    size = size.boundedTo(s->availableGeometry().size());
  return size;
}

void MainWindow::AddDistribution(std::unique_ptr<Distribution> d) {
  const QString name = Q(d->NameText());
  int pos = 0;
  while (pos < TypeBox->count() &&
         QString::compare(TypeBox->itemText(pos), name, Qt::CaseInsensitive) <= 0)
    ++pos;
  TypeBox->insertItem(pos, name, QVariant::fromValue(static_cast<void*>(d.get())));
  distributions_.push_back(std::move(d));
}

void MainWindow::SelectTypeInList(Distribution* d) {
  for (int i = 0; i < TypeBox->count(); ++i)
    if (TypeBox->itemData(i).value<void*>() == d) TypeBox->setCurrentIndex(i);
}

bool MainWindow::ChooseType(const QString& name) {
  // The names as the list shows them, blanks at the end not counted.
  int i = TypeBox->findText(name);
  for (int k = 0; i < 0 && k < TypeBox->count(); ++k)
    if (TypeBox->itemText(k).trimmed() == name.trimmed()) i = k;
  if (i < 0) return false;
  TypeBox->setCurrentIndex(i);
  Guarded([&] { TypeChosen(); });
  return true;
}

// ---------------------------------------------------------------------------
// Handlers

void MainWindow::MainButtonClicked() {
  statusBar()->clearMessage();
  const bool applying = AppliesParameters(calc_.Mode);
  try {
    calc_.MainButtonClicked();
  } catch (...) {
    // A refused parameter: the grid goes back to the values in use.
    if (applying && calc_.ParametersComplete()) {
      Guarded([&] {
        FillGridTexts();
        RestartGridEditor();
      });
    }
    ShowException(std::current_exception());
  }
  // The formulas page applies the grid again (see RefreshActivePage).
  if (ActivePage() == PageId::Formulas) calc_.Mode = InputMode::Parameters;
  SyncButtonCaption();
}

void MainWindow::SyncButtonCaption() { SetButtonCaption(Calculator::CaptionFor(calc_.Mode)); }

void MainWindow::FillGridTexts() {
  if (GroupSizesInGrid())
    rankTests_->ShowGroupRows();
  else
    calc_.FillParameterTexts();
  GridTextsChanged();
}

void MainWindow::GridEntered() {
  if (creating_) return;
  // Enter in the grid applies it; the caption says so.
  if (!AppliesParameters(calc_.Mode)) calc_.Mode = InputMode::Parameters;
  SyncButtonCaption();
}

void MainWindow::NumberEditEntered(int tag) {
  if (creating_) return;
  calc_.NumberEditClicked(static_cast<EditId>(tag));
  MainButton->show();
}

void MainWindow::ShowRefusal(const std::string& reason) { statusBar()->showMessage(Q(reason)); }

void MainWindow::TypeChosen() {
  auto* d = static_cast<Distribution*>(TypeBox->currentData().value<void*>());
  if (!d) return;
  if (!Sample->ConfirmDiscard()) {
    SelectTypeInList(calc_.Current);
    FillGridTexts();
    Grid->setCurrentCell(0, 1);
    GridRowSelected(0);
    Grid->setFocus();
    return;
  }
  calc_.Current = d;
  calc_.Mode = InputMode::Parameters;
  calc_.ParameterRow = 1;
  try {
    calc_.ShowDistribution();
    RefreshActivePage();
  } catch (...) {
    ShowException(std::current_exception());
  }
  SetButtonCaption(LoadString(876));
  const bool discrete = d->IsDiscrete();
  Pages->setTabText(kPdfPage, Q(LoadString(discrete ? 887 : 885)));
  Density->SetDiscrete(discrete);
  FillGridTexts();
  Grid->setCurrentCell(0, 1);
  GridRowSelected(0);
  Grid->setFocus();
  if (Grid->Editor()) Grid->Editor()->setFocus();
}

void MainWindow::GridRowSelected(int row) {
  calc_.Mode = InputMode::Parameters;
  calc_.ParameterRow = row + 1;
  SetButtonCaption(LoadString(876));
  Grid->setToolTip(Q(Grid->RowHint(row)));
  // Kruskal-Wallis: the last row is the spare one; entering it adds another.
  if (GroupSizesInGrid() && row == Grid->rowCount() - 1) {
    SetGridRowCount(Grid->rowCount() + 1);
    calc_.ParameterTexts.resize(Grid->rowCount() + 1);
    calc_.ParameterTexts.back().clear();
    GridTextsChanged();
  }
  Grid->RestartQuietly();
}

void MainWindow::GridKeyPressed(int key) {
  calc_.Mode = InputMode::Parameters;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    // Run the press after the key event has finished: applying restarts the
    // grid's editor, which is the object receiving this key.
    QTimer::singleShot(0, this, [this] { MainButtonClicked(); });
  }
}

void MainWindow::ProbabilityDecimalsChosen(int decimals) {
  calc_.ProbabilityDecimals = decimals;
  for (QAction* a : ProbabilityDecimalsGroup->actions())
    if (a->data().toInt() == decimals) a->setChecked(true);
  // Recompute at the x shown; on the cdf page that is the x of that page.
  calc_.Mode = ActivePage() == PageId::Cdf ? InputMode::CdfX : InputMode::DensityX;
  MainButtonClicked();
}

void MainWindow::XDecimalsChosen(int decimals) {
  calc_.XValueDecimals = decimals;
  CheckXDecimalsItem(decimals);
  if (ActivePage() == PageId::Cdf) {
    // The cdf page shows its own x again with the new decimals.
    if (!calc_.ParametersComplete()) return;
    calc_.Mode = InputMode::CdfProbability;
    Guarded([&] { calc_.UpdateCdfPage(); });
    SyncButtonCaption();
    return;
  }
  calc_.Mode = InputMode::LowerProbability;
  MainButtonClicked();
}

void MainWindow::OptionsChosen() {
  // Integer-valued distributions need no x decimals; empirical tables may
  // hold any values.
  const Distribution* d = calc_.Current;
  MenuXDecimals->menuAction()->setEnabled(
      d && (!d->IsDiscrete() || dynamic_cast<const EmpiricalDistribution*>(d)));
}

void MainWindow::SampleShown(const QString&) {
  Pages->setTabVisible(kSamplePage, true);
  Pages->setCurrentIndex(kSamplePage);
  MainButton->hide();
}

void MainWindow::SampleCleared() {
  const bool wasActive = ActivePage() == PageId::Sample;
  Pages->setTabVisible(kSamplePage, false);
  if (wasActive) Pages->setCurrentIndex(kPdfPage);
}

void MainWindow::UpdateSaveAction() {
  const bool complete = calc_.ParametersComplete();
  ActionDrawSample->setEnabled(complete);
  ActionCopyGraph->setEnabled(complete);
  ActionSaveGraph->setEnabled(complete);
  const bool sample = Pages->isTabVisible(kSamplePage);
  ActionSave->setEnabled(sample);
  ActionClear->setEnabled(sample);
  ActionAssign->setEnabled(true);
}

QWidget* MainWindow::GraphPageToCopy() const {
  const PageId page = ActivePage();
  if (page == PageId::Pdf && calc_.ParametersComplete()) return Density;
  if (page == PageId::Cdf) return Cdf;
  return nullptr;
}

void MainWindow::CopyGraph() { ui::CopyGraph(GraphPageToCopy()); }

void MainWindow::SaveGraph() {
  QWidget* page = GraphPageToCopy();
  const bool pdf = page == Density;
  const std::string description =
      calc_.Current ? calc_.Current->NameText() + (pdf ? " density" : " distribution function")
                    : std::string();
  ui::SaveGraph(page, pdf ? "pdf.png" : "cdf.png", description);
}

// The main button is the window's default button: Enter anywhere presses it.
// The number edits and the grid press it themselves.
void MainWindow::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && MainButton->isVisible() &&
      MainButton->isEnabled() && !qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
    e->accept();
    MainButtonClicked();
    return;
  }
  QMainWindow::keyPressEvent(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
  // Closing while a table is counted or a sample drawn stops that first; the
  // window closes once it has wound up (a cancelled draw takes its lines
  // back, so the question below is about the sample as it was before).
  if (ProgressBar->isVisible() || !MainButton->isEnabled()) {
    run_->Cancel();
    e->ignore();
    QTimer::singleShot(0, this, [this] { close(); });
    return;
  }
  if (Sample->List->IsModified()) {
    switch (Ask(LoadString(883), true)) {
      case Answer::Cancel:
        e->ignore();
        return;
      case Answer::Yes:
        Guarded([&] { Sample->Save(); });
        if (Sample->List->IsModified()) {
          // Not saved (cancelled or failed): the window stays open.
          e->ignore();
          return;
        }
        break;
      case Answer::No:
        Sample->List->SetModified(false);
        break;
    }
  }
  StoreSettings();
  QMainWindow::closeEvent(e);
}

}  // namespace vokt::ui
