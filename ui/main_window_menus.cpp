// MainWindow's menus (Sample, Options, Help and the context menus) and the
// settings it keeps between runs.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>

#include "distrib/family.h"
#include "ui/about.h"
#include "ui/cdf_page.h"
#include "ui/density_page.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/messages.h"
#include "ui/paint_box.h"
#include "ui/parameter_grid.h"
#include "ui/sample_page.h"
#include "ui/sample_view.h"
#include "ui/settings.h"

namespace vokt::ui {

namespace {}  // namespace

void MainWindow::BuildMenus() {
  ActionDrawSample = new QAction(QStringLiteral("&Draw random sample"), this);
  connect(ActionDrawSample, &QAction::triggered, this,
          [this] { Guarded([&] { Sample->Draw(); }); });
  ActionAssign = new QAction(QStringLiteral("&Randomly assign "), this);
  connect(ActionAssign, &QAction::triggered, this, [this] { Guarded([&] { Sample->Assign(); }); });
  ActionSave = new QAction(QStringLiteral("&Save"), this);
  connect(ActionSave, &QAction::triggered, this, [this] { Guarded([&] { Sample->Save(); }); });
  ActionClear = new QAction(QStringLiteral("&Clear"), this);
  connect(ActionClear, &QAction::triggered, this, [this] { Guarded([&] { Sample->Clear(); }); });
  MenuSample = menuBar()->addMenu(QStringLiteral("&Sample"));
  MenuSample->addActions({ActionDrawSample, ActionAssign, ActionSave, ActionClear});
  connect(MenuSample, &QMenu::aboutToShow, this, [this] { UpdateSaveAction(); });
  SampleMenu = new QMenu(this);
  SampleMenu->addActions({ActionSave, ActionClear});
  connect(SampleMenu, &QMenu::aboutToShow, this, [this] { UpdateSaveAction(); });
  SampleView* list = Sample->List;
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list, &QWidget::customContextMenuRequested, this,
          [this, list](const QPoint& pos) { SampleMenu->popup(list->mapToGlobal(pos)); });

  ActionCopyGraph = new QAction(QStringLiteral("Copy &graph"), this);
  connect(ActionCopyGraph, &QAction::triggered, this, [this] { Guarded([&] { CopyGraph(); }); });
  DensityMenu = new QMenu(this);
  ActionSaveGraph = new QAction(QStringLiteral("Save graph &as..."), this);
  connect(ActionSaveGraph, &QAction::triggered, this, [this] { Guarded([&] { SaveGraph(); }); });
  DensityMenu->addActions({ActionDrawSample, ActionCopyGraph, ActionSaveGraph});
  connect(DensityMenu, &QMenu::aboutToShow, this, [this] { UpdateSaveAction(); });
  for (QWidget* w : {static_cast<QWidget*>(TypeGroup), static_cast<QWidget*>(Density->Graph),
                     static_cast<QWidget*>(Cdf)}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& pos) { DensityMenu->popup(w->mapToGlobal(pos)); });
  }

  BuildOptionsMenu();
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  ActionHelp = help->addAction(QStringLiteral("&Help"));
  ActionHelp->setShortcut(QKeySequence(Qt::Key_F1));
  ActionHelp->setShortcutContext(Qt::ApplicationShortcut);
  connect(ActionHelp, &QAction::triggered, this, [this] { ShowHelp(this, helpWindow_); });
  help->addSeparator();
  ActionAbout = help->addAction(QStringLiteral("&About"));
  connect(ActionAbout, &QAction::triggered, this, [this] {
    AboutBox box(this);
    box.exec();
  });
}

void MainWindow::BuildOptionsMenu() {
  MenuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
  connect(MenuOptions, &QMenu::aboutToShow, this, [this] { OptionsChosen(); });
  MenuProbabilityDecimals =
      MenuOptions->addMenu(QStringLiteral("Number of decimals &probabilities"));
  ProbabilityDecimalsGroup = new QActionGroup(this);
  ProbabilityDecimalsGroup->setExclusive(true);
  for (int n = 1; n <= 12; ++n) {
    QAction* a = MenuProbabilityDecimals->addAction(QString::number(n));
    a->setCheckable(true);
    a->setData(n);
    a->setChecked(n == calc_.ProbabilityDecimals);
    ProbabilityDecimalsGroup->addAction(a);
    connect(a, &QAction::triggered, this, [this, n] { ProbabilityDecimalsChosen(n); });
  }
  MenuXDecimals = MenuOptions->addMenu(QStringLiteral("Number of decimals &x-value"));
  XDecimalsGroup = new QActionGroup(this);
  XDecimalsGroup->setExclusive(true);
  for (int n = 0; n <= 12; ++n) {
    QAction* a = MenuXDecimals->addAction(QString::number(n));
    a->setCheckable(true);
    a->setData(n);
    a->setChecked(n == calc_.XValueDecimals);
    XDecimalsGroup->addAction(a);
    connect(a, &QAction::triggered, this, [this, n] { XDecimalsChosen(n); });
  }
  MenuOptions->addSeparator();
  ActionRestoreDefaults = MenuOptions->addAction(QStringLiteral("&Restore Defaults"));
  connect(ActionRestoreDefaults, &QAction::triggered, this,
          [this] { Guarded([&] { RestoreDefaults(); }); });
}

// The last run's window: its place and size, decimals, type and parameters.
// A stored type or parameters that no longer apply leave the start-up's
// standard normal.
void MainWindow::RestoreSettings() {
  const WindowSettings s = LoadSettings();
  if (!s.Geometry.isEmpty()) restoreGeometry(s.Geometry);
  const int i = s.TypeName.isEmpty() ? -1 : TypeBox->findText(s.TypeName);
  if (i >= 0 && !s.Parameters.isEmpty()) {
    Distribution* before = calc_.Current;
    TypeBox->setCurrentIndex(i);
    Guarded([&] { TypeChosen(); });
    if (GroupSizesInGrid()) SetGridRowCount(static_cast<int>(s.Parameters.size()) + 1);
    auto& texts = calc_.ParameterTexts;
    texts.assign(std::max<size_t>(texts.size(), static_cast<size_t>(s.Parameters.size()) + 1),
                 std::string());
    for (int k = 0; k < s.Parameters.size(); ++k) texts[k + 1] = s.Parameters[k].toStdString();
    calc_.Mode = InputMode::Parameters;
    try {
      calc_.MainButtonClicked();
    } catch (...) {
      SelectTypeInList(before);
      Guarded([&] { TypeChosen(); });
    }
  }
  // The decimals last: applying a type chooses its own x decimals.
  calc_.ProbabilityDecimals = s.ProbabilityDecimals;
  calc_.XValueDecimals = s.XDecimals;
  for (QAction* a : ProbabilityDecimalsGroup->actions())
    if (a->data().toInt() == s.ProbabilityDecimals) a->setChecked(true);
  CheckXDecimalsItem(s.XDecimals);
  Guarded([&] { RefreshActivePage(); });
  calc_.Mode = InputMode::Applied;
  SyncButtonCaption();
  Grid->SetCurrentQuietly(0);
  Grid->RestartEditor();
}

void MainWindow::StoreSettings() {
  WindowSettings s;
  s.Geometry = saveGeometry();
  s.ProbabilityDecimals = calc_.ProbabilityDecimals;
  s.XDecimals = calc_.XValueDecimals;
  if (calc_.Current && calc_.ParametersComplete()) {
    s.TypeName = TypeBox->currentText();
    // The values in use, not a text typed and never applied.
    FillGridTexts();
    const auto& texts = calc_.ParameterTexts;
    const int rows = Grid->rowCount();
    for (int k = 1; k <= rows && k < static_cast<int>(texts.size()); ++k)
      s.Parameters << QString::fromStdString(texts[static_cast<size_t>(k)]);
    while (!s.Parameters.isEmpty() && s.Parameters.back().isEmpty()) s.Parameters.removeLast();
  }
  ui::StoreSettings(s);
}

void MainWindow::RestoreDefaults() {
  if (!Sample->ConfirmDiscard()) return;
  ClearSettings();
  calc_.ProbabilityDecimals = 4;
  calc_.XValueDecimals = 3;
  for (QAction* a : ProbabilityDecimalsGroup->actions())
    if (a->data().toInt() == 4) a->setChecked(true);
  CheckXDecimalsItem(3);
  if (Distribution* normal = FindType(kStartType)) {
    const auto& p = FamilyOf(*normal).Defaults;
    normal->SetParameters(p[0], p[1], p[2]);
    SelectTypeInList(normal);
    TypeChosen();
    calc_.Mode = InputMode::Applied;
    SyncButtonCaption();
  }
  showNormal();
  resize(DefaultSize());
  if (QScreen* s = screen()) {
    const QRect a = s->availableGeometry();
    move(a.x() + (a.width() - width()) / 2, a.y() + (a.height() - height()) / 2);
  }
}

}  // namespace vokt::ui
