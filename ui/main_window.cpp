#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStatusBar>
#include <QSvgGenerator>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <stop_token>
#include <thread>

#include "distrib/catalogue.h"
#include "distrib/empirical.h"
#include "distrib/family.h"
#include "distrib/kruskal_friedman.h"
#include "distrib/rank_sums.h"
#include "formula/markup.h"
#include "formula/qt/formula_view.h"
#include "formula/qt/painter_surface.h"
#include "plot/graph.h"
#include "resources/strings.h"
#include "ui/about.h"
#include "ui/messages.h"
#include "ui/sample.h"
#include "ui/sample_view.h"
#include "ui/tail_view.h"

// The help text and the icon are compiled into the window library; a static
// library's resources must be registered by name.
static void InitVoktResources() { Q_INIT_RESOURCE(vokt); }

namespace vokt::ui {

namespace {
// The width a probability box needs for its text, at least the usual one:
// a tiny probability ("1.1286e-19", "1 − 1.1286e-19") is never cut.
int FittedWidth(const QLineEdit* e, int least) {
  return std::max(least, e->fontMetrics().horizontalAdvance(e->text()) + 12);
}
constexpr int kRowHeight = 24;
// A rank-sum count expected to take longer than this runs on the worker
// thread (the window stays responsive and Cancel stops it).
constexpr double kWorkerSeconds = 0.05;
constexpr int kPdfPage = 0, kCdfPage = 1, kFormulasPage = 2, kSamplePage = 3;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The colour of the grid's values: navy on a light base as ever, the
// palette's own text colour on a dark one.
QColor ValueColor(const QPalette& pal) {
  return pal.color(QPalette::Base).lightness() >= 128 ? QColor(0, 0, 128)
                                                      : pal.color(QPalette::Text);
}

// The help window closes with Esc.
class HelpBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
      close();
      return;
    }
    QTextBrowser::keyPressEvent(e);
  }
};

// A small filled triangle pointing left or right: the arrows of the markers.
QPixmap ArrowPixmap(int width, int height, bool right, const QColor& color) {
  QPixmap pm(width, height);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  QPainterPath path;
  const qreal mid = height / 2.0;
  if (right) {
    path.moveTo(1, mid - width + 1);
    path.lineTo(width - 1, mid);
    path.lineTo(1, mid + width - 1);
  } else {
    path.moveTo(width - 1, mid - width + 1);
    path.lineTo(1, mid);
    path.lineTo(width - 1, mid + width - 1);
  }
  path.closeSubpath();
  p.drawPath(path);
  return pm;
}
}  // namespace

// ---------------------------------------------------------------------------
// Small widgets

PaintBox::PaintBox(QWidget* parent, Handler onPaint)
    : QWidget(parent), onPaint_(std::move(onPaint)) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PaintBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (onPaint_) onPaint_(p, rect());
}

ResizePanel::ResizePanel(QWidget* parent, std::function<void()> onResize)
    : QWidget(parent), onResize_(std::move(onResize)) {}

void ResizePanel::resizeEvent(QResizeEvent*) {
  if (onResize_) onResize_();
}

// ---------------------------------------------------------------------------
// The parameter grid

class GridDelegate : public QStyledItemDelegate {
 public:
  GridDelegate(MainWindow& form, ParameterGrid& grid)
      : QStyledItemDelegate(&grid), form_(form), grid_(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QRect r = option.rect;
    const int row = index.row();
    painter->save();
    const QPalette& pal = grid_.palette();
    if (index.column() == 0) {
      painter->fillRect(r, pal.color(QPalette::Button));
      QPainterSurface surface(*painter, grid_.viewport()->rect(), pal);
      FontSpec f = ToFontSpec(grid_.font());
      const QColor labelColor = pal.color(QPalette::ButtonText);
      f.color = Color::Rgb(static_cast<uint8_t>(labelColor.red()),
                           static_cast<uint8_t>(labelColor.green()),
                           static_cast<uint8_t>(labelColor.blue()));
      surface.SetFont(f);
      TextExtent extent;
      MixedTextOut(surface, r.left() + 6, r.top() + 2, extent, true, form_.RowLabel(row));
    } else {
      painter->fillRect(r, pal.color(QPalette::Base));
      if (option.state & QStyle::State_HasFocus)
        painter->fillRect(r, pal.color(QPalette::AlternateBase));
      painter->setPen(ValueColor(pal));
      painter->setFont(grid_.font());
      const auto& texts = form_.Calc().ParameterTexts;
      const std::string text =
          row + 1 < static_cast<int>(texts.size()) ? texts[row + 1] : std::string();
      painter->drawText(r.adjusted(2, 2, -2, 0), Qt::AlignLeft | Qt::AlignTop, Q(text));
    }
    painter->setPen(pal.color(QPalette::Button));
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->restore();
  }

  void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
    if (grid_.editor_ == editor) grid_.editor_ = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    auto* e = new QLineEdit(parent);
    e->setFrame(false);
    QPalette pal = e->palette();
    pal.setColor(QPalette::Text, ValueColor(grid_.palette()));
    e->setPalette(pal);
    const int row = index.row();
    QObject::connect(e, &QLineEdit::textEdited, &grid_, [this, row](const QString& t) {
      Guarded([&] { form_.ParameterGridSetEditText(row, t); });
    });
    grid_.editor_ = e;
    return e;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* e = static_cast<QLineEdit*>(editor);
    const auto& texts = form_.Calc().ParameterTexts;
    const int i = index.row() + 1;
    const QString t = i < static_cast<int>(texts.size()) ? Q(texts[i]) : QString();
    if (e->text() != t) e->setText(t);
  }

  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {
    // The texts live in the driver's ParameterTexts, updated on every edit.
  }

  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex&) const override {
    editor->setGeometry(option.rect.adjusted(0, 0, -1, -1));
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      form_.ParameterGridKeyDown(key);
      if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) return true;
    }
    if (event->type() == QEvent::FocusOut) return false;  // the editor stays open
    if (event->type() == QEvent::FocusIn) form_.ParameterGridEnter();
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  MainWindow& form_;
  ParameterGrid& grid_;
};

ParameterGrid::ParameterGrid(MainWindow& form, QWidget* parent)
    : QTableWidget(parent), form_(form) {
  setColumnCount(2);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setMinimumSectionSize(8);
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setShowGrid(false);
  setTabKeyNavigation(true);
  setItemDelegate(new GridDelegate(form, *this));
}

QLineEdit* ParameterGrid::Editor() const { return editor_.data(); }

void ParameterGrid::CloseEditor() {
  if (QLineEdit* e = editor_.data()) {
    closeEditor(e, QAbstractItemDelegate::NoHint);
    editor_ = nullptr;
  }
}

void ParameterGrid::RestartEditor() {
  CloseEditor();
  const QModelIndex current = currentIndex();
  if (current.isValid() && current.column() == 1) edit(current);
}

void ParameterGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableWidget::currentChanged(current, previous);
  if (current.isValid()) form_.ParameterGridSelectCell(current.row());
}

void ParameterGrid::changeEvent(QEvent* e) {
  QTableWidget::changeEvent(e);
  // A new desktop theme: the open editor takes the new value colour.
  if (e->type() == QEvent::PaletteChange && editor_) {
    QPalette pal = editor_->palette();
    pal.setColor(QPalette::Text, ValueColor(palette()));
    editor_->setPalette(pal);
  }
}

void ParameterGrid::keyPressEvent(QKeyEvent* e) {
  form_.ParameterGridKeyDown(e->key());
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    e->accept();
    return;
  }
  QTableWidget::keyPressEvent(e);
}

// ---------------------------------------------------------------------------
// The form

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), calc_(*this) {
  InitVoktResources();
  setWindowTitle(QStringLiteral("VOKT"));
  QFont f(QStringLiteral("Lucida Sans Unicode"));
  f.setPixelSize(12);
  setFont(f);
  random_.seed(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
  RunDialog = [](QDialog& d) { return d.exec() == QDialog::Accepted; };
  calc_.RankTestApply = [this](Calculator& d) {
    switch (FamilyOf(*d.Current).Apply) {
      case ApplyStyle::GroupSizes:
        ApplyKruskalWallis();
        break;
      case ApplyStyle::Blocks:
        ApplyFriedman();
        break;
      case ApplyStyle::Parameters:
        ApplyRankSums();
        break;
    }
  };
  calc_.RankTestRows = [this](Calculator&) { ShowKruskalWallisRows(); };
  BuildControls();
  BuildMenus();
  DrawDialogWindow = new DrawDialog(this);
  AssignDialogWindow = new AssignDialog(this);

  // Start-up: one object of every type of the catalogue, the normal
  // distribution selected with mean 0 and variance 1.
  for (uint16_t t : AvailableTypes()) AddDistribution(CreateDistribution(t));
  for (auto& d : distributions_)
    if (d->NameId == kStartType) calc_.Current = d.get();
  if (!calc_.Current && !distributions_.empty()) calc_.Current = distributions_.front().get();
  if (calc_.Current) {
    SelectTypeInList(calc_.Current);
    if (calc_.Current->NameId == kStartType) {
      const auto& p = FamilyOf(*calc_.Current).Defaults;
      calc_.Current->SetParameters(p[0], p[1], p[2]);
    }
  }
  SetButtonCaption(LoadString(876));

  Pages->setCurrentIndex(kFormulasPage);
  ArrangeControls();
  calc_.ParameterTexts.assign(4, std::string());
  Guarded([&] { calc_.ShowDistribution(); });
  calc_.Mode = InputMode::Applied;
  calc_.ParameterRow = 1;
  creating_ = false;
  Guarded([&] { WindowResized(); });
  SampleList->SetModified(false);
  Pages->setCurrentIndex(kPdfPage);
  Guarded([&] { PageChanged(); });
  // The first press applies the grid (the formulas page above set 0).
  calc_.Mode = InputMode::Applied;
  inSelect_ = true;
  Grid->setCurrentCell(0, 1);
  inSelect_ = false;
  Grid->RestartEditor();
  Grid->setFocus();
  if (Grid->Editor()) Grid->Editor()->setFocus();
}

MainWindow::~MainWindow() {
  // The controls go first, while the driver and the distributions they call
  // back into still exist; the guard keeps resize and page-change
  // notifications of the teardown from refreshing anything.
  creating_ = true;
  calc_.Current = nullptr;
  delete Panel;
  Panel = nullptr;
}

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  // The pages have their final sizes only now.
  Guarded([&] { WindowResized(); });
}

void MainWindow::BuildControls() {
  Panel = new ResizePanel(this, [this] {
    if (!creating_) Guarded([&] { WindowResized(); });
  });
  setCentralWidget(Panel);
  // The status line says why a typed x or probability was refused.
  statusBar()->setSizeGripEnabled(false);

  TypeGroup = new QGroupBox(QStringLiteral("Distribution"), Panel);
  TypeBox = new QComboBox(TypeGroup);
  TypeBox->setToolTip(QStringLiteral("distribution type"));
  TypeBox->setMaxVisibleItems(32);
  connect(TypeBox, &QComboBox::activated, this, [this](int) { Guarded([&] { TypeChosen(); }); });

  Grid = new ParameterGrid(*this, TypeGroup);

  MainButton = new QPushButton(Panel);
  connect(MainButton, &QPushButton::clicked, this, [this] { MainButtonClicked(); });
  ProgressBar = new QProgressBar(Panel);
  ProgressBar->setRange(0, 100);
  ProgressBar->setTextVisible(false);
  ProgressBar->hide();
  CancelButton = new QPushButton(QStringLiteral("Cancel"), Panel);
  CancelButton->hide();
  connect(CancelButton, &QPushButton::clicked, this, [this] { CancelClicked(); });

  Pages = new QTabWidget(Panel);
  connect(Pages, &QTabWidget::currentChanged, this, [this](int) {
    if (!creating_) Guarded([&] { PageChanged(); });
  });

  // pdf page
  DensityPage = new QWidget;
  DensityGraph =
      new PaintBox(DensityPage, [this](QPainter& p, const QRect& r) { PaintDensityGraph(p, r); });
  DensityGraph->setToolTip(Q(LoadString(886)));
  DensityLowLabel = new QLabel(DensityPage);
  DensityHighLabel = new QLabel(DensityPage);
  GrayPanel = new QFrame(DensityPage);
  GrayPanel->setAutoFillBackground(true);
  QPalette grayPal = GrayPanel->palette();
  grayPal.setColor(QPalette::Window, QColor(128, 128, 128));
  GrayPanel->setPalette(grayPal);
  ProbabilityEditLeft = new NumberEdit(GrayPanel, 5);
  ProbabilityEditLeft->setToolTip(QStringLiteral("Probability  P ( X < x )"));
  ProbabilityEditCentral = new NumberEdit(GrayPanel, 6);
  ProbabilityEditCentral->setToolTip(QStringLiteral("Probability  P ( X = x )"));
  ProbabilityEditCentral->setReadOnly(true);
  QPalette light = ProbabilityEditCentral->palette();
  light.setColor(QPalette::Base, light.color(QPalette::Midlight));
  ProbabilityEditCentral->setPalette(light);
  ProbabilityEditRight = new NumberEdit(GrayPanel, 7);
  ProbabilityEditRight->setToolTip(QStringLiteral("Probability  P ( X > x )"));
  DensityMarker = new QFrame(DensityPage);
  DensityMarker->setCursor(Qt::PointingHandCursor);
  ArrowLeft = new QLabel(DensityMarker);
  ArrowRight = new QLabel(DensityMarker);
  MarkerLine = new QFrame(DensityMarker);
  MarkerLine->setAutoFillBackground(true);
  MarkerLine->setBackgroundRole(QPalette::WindowText);  // follows the theme
  XEdit = new NumberEdit(DensityMarker, 4);
  XEdit->setToolTip(QStringLiteral(" x  (quantile)"));
  Tails = new TailControls(*this, DensityPage);
  Pages->addTab(DensityPage, Q(LoadString(885)));

  // cdf page
  CdfPage = new QWidget;
  CdfGraph = new PaintBox(CdfPage, [this](QPainter& p, const QRect& r) { PaintCdfGraph(p, r); });
  CdfGraph->setToolTip(QStringLiteral("cumulative distribution function"));
  CdfLowLabel = new QLabel(CdfPage);
  CdfHighLabel = new QLabel(CdfPage);
  CdfMarker = new QFrame(CdfPage);
  CdfMarker->setCursor(Qt::PointingHandCursor);
  CdfArrowLeft = new QLabel(CdfMarker);
  CdfArrowRight = new QLabel(CdfMarker);
  CdfXEdit = new NumberEdit(CdfMarker, 8);
  CdfXEdit->setToolTip(QStringLiteral("x  (quantile)"));
  CdfEdit = new NumberEdit(CdfPage, 9);
  // "less than or equal" (the Symbol font's 0xA3).
  CdfEdit->setToolTip(QStringLiteral("Probability  P( X @\u00A3 x )"));
  Pages->addTab(CdfPage, QStringLiteral("cdf"));

  // formulas page
  FormulasPage = new QWidget;
  auto* fl = new QVBoxLayout(FormulasPage);
  fl->setContentsMargins(0, 0, 0, 0);
  FormulaText = new FormulaView(FormulasPage);
  FormulaText->setReadOnly(true);
  FormulaText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  fl->addWidget(FormulaText);
  Pages->addTab(FormulasPage, QStringLiteral("formulas"));

  // sample page
  SamplePage = new QWidget;
  auto* sl = new QVBoxLayout(SamplePage);
  sl->setContentsMargins(0, 0, 0, 0);
  SampleList = new SampleView(SamplePage);
  QFont mono(QStringLiteral("Lucida Console"));
  mono.setPixelSize(12);
  SampleList->setFont(mono);
  sl->addWidget(SampleList);
  Pages->addTab(SamplePage, QStringLiteral("sample"));
  Pages->setTabVisible(kSamplePage, false);

  for (QWidget* w : {static_cast<QWidget*>(DensityMarker), static_cast<QWidget*>(ArrowLeft),
                     static_cast<QWidget*>(ArrowRight), static_cast<QWidget*>(CdfMarker),
                     static_cast<QWidget*>(CdfArrowLeft), static_cast<QWidget*>(CdfArrowRight)}) {
    w->installEventFilter(this);
    w->setCursor(Qt::PointingHandCursor);
  }

  for (NumberEdit* e : {XEdit, ProbabilityEditLeft, ProbabilityEditCentral, ProbabilityEditRight,
                        CdfXEdit, CdfEdit}) {
    e->setAlignment(Qt::AlignCenter);
    e->setTextMargins(0, 0, 0, 0);
    if (e == ProbabilityEditCentral) continue;
    connect(e, &NumberEdit::Entered, this, [this](NumberEdit* s) {
      if (creating_) return;
      calc_.NumberEditClicked(static_cast<EditId>(s->Tag()));
      MainButton->show();
    });
    connect(e, &QLineEdit::returnPressed, this, [this] { MainButtonClicked(); });
  }
}

void MainWindow::BuildMenus() {
  ActionDrawSample = new QAction(QStringLiteral("&Draw random sample"), this);
  connect(ActionDrawSample, &QAction::triggered, this, [this] { Guarded([&] { DrawSample(); }); });
  ActionAssign = new QAction(QStringLiteral("&Randomly assign "), this);
  connect(ActionAssign, &QAction::triggered, this, [this] { Guarded([&] { AssignSample(); }); });
  ActionSave = new QAction(QStringLiteral("&Save"), this);
  connect(ActionSave, &QAction::triggered, this, [this] { Guarded([&] { SaveSample(); }); });
  ActionClear = new QAction(QStringLiteral("&Clear"), this);
  connect(ActionClear, &QAction::triggered, this, [this] { Guarded([&] { ClearSample(); }); });
  MenuSample = menuBar()->addMenu(QStringLiteral("&Sample"));
  MenuSample->addActions({ActionDrawSample, ActionAssign, ActionSave, ActionClear});
  connect(MenuSample, &QMenu::aboutToShow, this, [this] { UpdateSaveAction(); });
  CdfMenu = new QMenu(this);
  CdfMenu->addActions({ActionSave, ActionClear});
  connect(CdfMenu, &QMenu::aboutToShow, this, [this] { UpdateSaveAction(); });
  SampleList->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(SampleList, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { CdfMenu->popup(SampleList->mapToGlobal(pos)); });

  ActionCopyGraph = new QAction(QStringLiteral("Copy &graph"), this);
  connect(ActionCopyGraph, &QAction::triggered, this, [this] { Guarded([&] { CopyGraph(); }); });
  DensityMenu = new QMenu(this);
  ActionSaveGraph = new QAction(QStringLiteral("Save graph &as..."), this);
  connect(ActionSaveGraph, &QAction::triggered, this, [this] { Guarded([&] { SaveGraph(); }); });
  DensityMenu->addActions({ActionDrawSample, ActionCopyGraph, ActionSaveGraph});
  connect(DensityMenu, &QMenu::aboutToShow, this, [this] { UpdateSaveAction(); });
  for (QWidget* w :
       {static_cast<QWidget*>(TypeGroup), static_cast<QWidget*>(DensityGraph), CdfPage}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& pos) { DensityMenu->popup(w->mapToGlobal(pos)); });
  }

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

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  ActionHelp = help->addAction(QStringLiteral("&Help"));
  ActionHelp->setShortcut(QKeySequence(Qt::Key_F1));
  ActionHelp->setShortcutContext(Qt::ApplicationShortcut);
  connect(ActionHelp, &QAction::triggered, this, [this] { HelpChosen(); });
  help->addSeparator();
  ActionAbout = help->addAction(QStringLiteral("&About"));
  connect(ActionAbout, &QAction::triggered, this, [this] { AboutChosen(); });
}

// Every size comes from the font, so the window grows with a larger font.
void MainWindow::ArrangeControls() {
  const QFontMetrics fm(font());
  const int charHeight = QFontInfo(font()).pixelSize();
  LineHeight = static_cast<int>(std::lround(charHeight * 1.5));
  HalfLine = LineHeight / 2;
  TypeBoxWidth = fm.horizontalAdvance(QStringLiteral(" double exponential xxx"));
  NumberWidth = fm.horizontalAdvance(QStringLiteral("0.00000"));
  DigitsWidth = fm.horizontalAdvance(QStringLiteral("000"));
  HalfDigits = (DigitsWidth + 1) / 2;

  TypeGroup->setGeometry(HalfDigits, HalfLine, TypeBoxWidth + DigitsWidth,
                         7 * LineHeight + HalfLine);
  // Qt's combo box needs a little more than a line for its frame.
  const int comboHeight = std::max(LineHeight, TypeBox->sizeHint().height());
  TypeBox->setGeometry(HalfDigits, LineHeight, TypeBoxWidth, comboHeight);
  const int gridTop = std::max(2 * LineHeight + HalfLine, LineHeight + comboHeight + HalfLine / 2);
  const int border = 2 * Grid->frameWidth();
  Grid->setGeometry(HalfDigits, gridTop, TypeBoxWidth, 3 * kRowHeight + border);
  const int colWidth = (TypeBoxWidth - border) / 2;
  Grid->setColumnWidth(0, colWidth);
  Grid->setColumnWidth(1, TypeBoxWidth - border - colWidth);

  const int buttonTop = TypeGroup->y() + TypeGroup->height() + HalfLine;
  MainButton->setGeometry(HalfDigits, buttonTop, TypeGroup->width(), 2 * LineHeight);
  ProgressBar->setGeometry(MainButton->geometry());
  const QSize cs = CancelButton->sizeHint();
  CancelButton->setGeometry(MainButton->x() + (MainButton->width() - cs.width()) / 2,
                            MainButton->y() + (MainButton->height() - cs.height()) / 2, cs.width(),
                            cs.height());

  int clientHeight = buttonTop + MainButton->height() + HalfLine;
  int width = 2 * clientHeight + clientHeight / 2;
  QRect screen(0, 0, 1024, 768);
  if (QScreen* s = QGuiApplication::primaryScreen()) screen = s->availableGeometry();
  if (screen.width() < width) width = screen.width();
  const int menuHeight = menuBar()->sizeHint().height();
  const int statusHeight = statusBar()->sizeHint().height();
  resize(width, clientHeight + menuHeight + statusHeight);
  move(screen.x() + (screen.width() - width) / 2,
       screen.y() + (screen.height() - clientHeight - menuHeight) / 2);

  const int grayHeight = HalfLine / 2 + LineHeight + 3;
  const int editHeight = LineHeight;
  for (QLabel* l : {DensityLowLabel, DensityHighLabel, CdfLowLabel, CdfHighLabel})
    l->resize(l->width(), LineHeight);
  GrayPanel->resize(GrayPanel->width(), grayHeight);
  for (QFrame* p : {DensityMarker, CdfMarker}) p->resize(NumberWidth + DigitsWidth, grayHeight);
  for (NumberEdit* e : {XEdit, ProbabilityEditLeft, ProbabilityEditCentral, ProbabilityEditRight,
                        CdfXEdit, CdfEdit})
    e->resize(NumberWidth, editHeight);

  const int arrowWidth = std::max(3, HalfDigits - 4);
  const int arrowHeight = 2 * arrowWidth;
  const QColor arrowColor = palette().color(QPalette::WindowText);
  for (QFrame* p : {DensityMarker, CdfMarker}) {
    QLabel* l = p == DensityMarker ? ArrowLeft : CdfArrowLeft;
    QLabel* r = p == DensityMarker ? ArrowRight : CdfArrowRight;
    l->setPixmap(ArrowPixmap(arrowWidth, arrowHeight, false, arrowColor));
    r->setPixmap(ArrowPixmap(arrowWidth, arrowHeight, true, arrowColor));
    const int top = (p->height() - arrowHeight) / 2 + (grayHeight - editHeight) / 2;
    const int left = (HalfDigits - arrowWidth) / 2;
    l->setGeometry(left, top, arrowWidth, arrowHeight);
    r->setGeometry(p->width() - left - arrowWidth, top, arrowWidth, arrowHeight);
  }
  MarkerLine->setGeometry(DigitsWidth + HalfDigits + 1, 0, 2, 20);
  MarkerLine->lower();
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
  const int i = TypeBox->findText(name);
  if (i < 0) return false;
  TypeBox->setCurrentIndex(i);
  Guarded([&] { TypeChosen(); });
  return true;
}

std::string MainWindow::RowLabel(int row) const {
  const Distribution* d = calc_.Current;
  if (!d) return {};
  if (FamilyOf(*d).Apply == ApplyStyle::GroupSizes) return "n_" + std::to_string(row + 1) + "^ =";
  if (row < 0 || row >= d->ParCount) return {};
  Parameter r;
  d->GetParameter(row + 1, r);
  return r.Symbol + " =";
}

std::string MainWindow::RowHint(int row) const {
  const Distribution* d = calc_.Current;
  if (!d) return {};
  if (FamilyOf(*d).Apply == ApplyStyle::GroupSizes)
    return "n_" + std::to_string(row + 1) + "^ = 0, 1, 2, ...";
  if (row < 0 || row >= d->ParCount) return {};
  Parameter r;
  d->GetParameter(row + 1, r);
  return r.RangeHint;
}

// ---------------------------------------------------------------------------
// Event handlers

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
  if (calc_.Current && FamilyOf(*calc_.Current).Apply == ApplyStyle::GroupSizes)
    ShowKruskalWallisRows();
  else
    calc_.FillParameterTexts();
  GridTextsChanged();
}

void MainWindow::ParameterGridEnter() {
  if (inSelect_ || creating_) return;
  // Enter in the grid applies it; the caption says so.
  if (!AppliesParameters(calc_.Mode)) calc_.Mode = InputMode::Parameters;
  SyncButtonCaption();
}

void MainWindow::ShowRefusal(const std::string& reason) { statusBar()->showMessage(Q(reason)); }

void MainWindow::TypeChosen() {
  auto* d = static_cast<Distribution*>(TypeBox->currentData().value<void*>());
  if (!d) return;
  if (!ConfirmDiscardSample()) {
    SelectTypeInList(calc_.Current);
    FillGridTexts();
    Grid->setCurrentCell(0, 1);
    ParameterGridSelectCell(0);
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
  DensityGraph->setToolTip(Q(LoadString(discrete ? 888 : 886)));

  FillGridTexts();
  Grid->setCurrentCell(0, 1);
  ParameterGridSelectCell(0);
  Grid->setFocus();
  if (Grid->Editor()) Grid->Editor()->setFocus();
}

void MainWindow::ParameterGridSetEditText(int row, const QString& text) {
  calc_.SetEditText(row, text.toStdString());
}

void MainWindow::ParameterGridSelectCell(int row) {
  if (inSelect_) return;
  calc_.Mode = InputMode::Parameters;
  calc_.ParameterRow = row + 1;
  SetButtonCaption(LoadString(876));
  Grid->setToolTip(Q(RowHint(row)));
  if (calc_.Current && FamilyOf(*calc_.Current).Apply == ApplyStyle::GroupSizes &&
      row == Grid->rowCount() - 1) {
    SetGridRowCount(Grid->rowCount() + 1);
    calc_.ParameterTexts.resize(Grid->rowCount() + 1);
    calc_.ParameterTexts.back().clear();
    GridTextsChanged();
  }
  inSelect_ = true;
  Grid->RestartEditor();
  inSelect_ = false;
}

void MainWindow::ParameterGridKeyDown(int key) {
  calc_.Mode = InputMode::Parameters;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    // Run the press after the key event has finished: applying restarts the
    // grid's editor, which is the object receiving this key.
    QTimer::singleShot(0, this, [this] { MainButtonClicked(); });
  }
}

void MainWindow::PageChanged() { RefreshActivePage(); }

void MainWindow::WindowResized() { RefreshActivePage(); }

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

void MainWindow::HelpChosen() {
  if (!helpWindow_) {
    auto* browser = new HelpBrowser(this);
    browser->setWindowFlag(Qt::Window);
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browser->setWindowTitle(QStringLiteral("VOKT Help"));
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl(QStringLiteral("qrc:/help/vokt.html")));
    browser->resize(640, 560);
    helpWindow_ = browser;
  } else {
    static_cast<QTextBrowser*>(helpWindow_.data())
        ->setSource(QUrl(QStringLiteral("qrc:/help/vokt.html")));
  }
  helpWindow_->show();
  helpWindow_->raise();
  helpWindow_->activateWindow();
}

void MainWindow::AboutChosen() {
  AboutBox box(this);
  box.exec();
}

// ---------------------------------------------------------------------------
// Graph interaction: dragging the markers, copying a graph

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  if (t != QEvent::MouseButtonPress && t != QEvent::MouseMove && t != QEvent::MouseButtonRelease)
    return QMainWindow::eventFilter(watched, event);
  auto* me = static_cast<QMouseEvent*>(event);
  const int x = static_cast<int>(me->position().x());
  const bool pdf = watched == DensityMarker || watched == ArrowLeft || watched == ArrowRight;
  Guarded([&] {
    if (t == QEvent::MouseButtonPress) {
      pdf ? DensityMarkerPressed(me->button(), x) : CdfMarkerPressed(me->button(), x);
    } else if (t == QEvent::MouseMove) {
      const bool left = me->buttons() & Qt::LeftButton;
      pdf ? DensityMarkerMoved(left, x) : CdfMarkerMoved(left, x);
    } else {
      pdf ? DensityMarkerReleased(me->button(), x) : CdfMarkerReleased(me->button(), x);
    }
  });
  return true;
}

void MainWindow::MarkerToX(QWidget* panel, PaintBox* box, int dx) {
  Distribution* d = calc_.Current;
  if (!d) return;
  const int c = panel->x() + panel->width() / 2 + dx;
  const Rect rect{0, 0, box->width(), box->height()};
  Real x = PixelToX(c - box->x(), d->Range(), rect);
  // Integer-valued distributions snap to the nearest integer.
  if (d->IsDiscrete() && !dynamic_cast<EmpiricalDistribution*>(d)) x = RoundExt(x);
  calc_.CurrentX = x;
}

void MainWindow::DensityMarkerPressed(Qt::MouseButton button, int x) {
  if (button != Qt::LeftButton || !calc_.ParametersComplete()) return;
  DragStartX = x;
  MarkerToX(DensityMarker, DensityGraph, 0);
  calc_.UpdateDensityPage(false);
}

void MainWindow::DensityMarkerMoved(bool leftDown, int x) {
  if (!leftDown || x == DragStartX || !calc_.ParametersComplete()) return;
  MarkerToX(DensityMarker, DensityGraph, x - DragStartX);
  calc_.UpdateDensityPage(false);
}

void MainWindow::DensityMarkerReleased(Qt::MouseButton button, int) {
  if (button != Qt::LeftButton || !calc_.ParametersComplete()) return;
  // Enter now computes at the x dragged to, from the x box.
  XEdit->setFocus(Qt::MouseFocusReason);
  calc_.Mode = InputMode::DensityX;
  SyncButtonCaption();
  calc_.UpdateDensityPage(true);
}

void MainWindow::CdfMarkerPressed(Qt::MouseButton button, int x) {
  if (!calc_.ParametersComplete()) return;
  calc_.Mode = InputMode::CdfX;
  SyncButtonCaption();
  if (button != Qt::LeftButton) return;
  DragStartX = x;
  MarkerToX(CdfMarker, CdfGraph, 0);
  calc_.UpdateCdfPage();
}

void MainWindow::CdfMarkerMoved(bool leftDown, int x) {
  if (!leftDown || x == DragStartX || !calc_.ParametersComplete()) return;
  MarkerToX(CdfMarker, CdfGraph, x - DragStartX);
  calc_.UpdateCdfPage();
}

void MainWindow::CdfMarkerReleased(Qt::MouseButton button, int) {
  if (button != Qt::LeftButton || !calc_.ParametersComplete()) return;
  CdfXEdit->setFocus(Qt::MouseFocusReason);
  calc_.Mode = InputMode::CdfX;
  SyncButtonCaption();
  calc_.UpdateCdfPage();
}

QWidget* MainWindow::GraphPageToCopy() const {
  const PageId page = ActivePage();
  if (page == PageId::Pdf && calc_.ParametersComplete()) return DensityPage;
  if (page == PageId::Cdf) return CdfPage;
  return nullptr;
}

void MainWindow::CopyGraph() {
  if (QWidget* sheet = GraphPageToCopy()) {
    const CleanCapture clean(sheet);
    QGuiApplication::clipboard()->setPixmap(sheet->grab());
  }
}

void MainWindow::SaveGraph() {
  QWidget* sheet = GraphPageToCopy();
  if (!sheet) return;
  const bool pdf = sheet == DensityPage;
  std::string preset = pdf ? "pdf.png" : "cdf.png";
  for (;;) {
    const std::string name = AskSaveFileName(preset, "PNG image (*.png);;SVG image (*.svg)");
    if (name.empty()) return;
    QString file = Q(name);
    QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix.isEmpty()) {
      file += QStringLiteral(".png");
      suffix = QStringLiteral("png");
    }
    const QString shortName = QFileInfo(file).fileName();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg"))
      throw ArgumentError("A graph is saved as a .png or .svg file, not " +
                          shortName.toStdString());
    if (QFileInfo::exists(file) &&
        Ask(LoadString(1166) + shortName.toStdString() + "?", false) != Answer::Yes) {
      preset = file.toStdString();
      continue;
    }
    // Written beside the target and renamed at the end, so a failed write
    // leaves an existing file as it was.
    QSaveFile out(file);
    bool ok = out.open(QIODevice::WriteOnly);
    const CleanCapture clean(sheet);
    if (ok && suffix == QLatin1String("svg")) {
      // The page's widgets paint themselves into the generator: the curves,
      // areas and texts stay vectors.
      QSvgGenerator svg;
      svg.setOutputDevice(&out);
      svg.setSize(sheet->size());
      svg.setViewBox(QRect(QPoint(0, 0), sheet->size()));
      svg.setResolution(96);  // CSS pixels: shown at the page's own size
      svg.setTitle(QStringLiteral("VOKT"));
      if (calc_.Current)
        svg.setDescription(
            Q(calc_.Current->NameText() + (pdf ? " density" : " distribution function")));
      QPainter painter;
      ok = painter.begin(&svg);
      if (ok) {
        sheet->render(&painter, QPoint(), QRegion(),
                      QWidget::DrawWindowBackground | QWidget::DrawChildren);
        ok = painter.end();
      }
    } else if (ok) {
      ok = sheet->grab().toImage().save(&out, "PNG");
    }
    if (!ok || !out.commit()) throw ArgumentError("Cannot write " + shortName.toStdString());
    return;
  }
}

// ---------------------------------------------------------------------------
// Rank tests: the exact tables are rebuilt by enumeration

void MainWindow::SetPosition(int percent) { ProgressBar->setValue(std::clamp(percent, 0, 100)); }

void MainWindow::ProcessEvents() { QApplication::processEvents(); }

void MainWindow::SetBusy(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void MainWindow::CancelClicked() {
  sampleCancel_ = true;
  if (cancelRun_) cancelRun_();
}

int32_t MainWindow::GridInteger(int k) {
  const auto& texts = calc_.ParameterTexts;
  const QString text = k < static_cast<int>(texts.size()) ? Q(texts[k]) : QString();
  try {
    return static_cast<int32_t>(IntegerValue(text, INT32_MIN, INT32_MAX));
  } catch (...) {
    RestartGridEditor();
    SelectGridRow(k - 1);
    throw;
  }
}

template <class Build>
void MainWindow::RunEnumeration(bool showProgress, Build&& build) {
  // Pending events are let through while the tables are counted: everything
  // but Cancel is locked, so no second press or type change can start.
  struct Lock {
    MainWindow& f;
    bool progress;
    Lock(MainWindow& form, bool p) : f(form), progress(p) {
      for (QWidget* w : {static_cast<QWidget*>(f.TypeGroup), static_cast<QWidget*>(f.Pages),
                         static_cast<QWidget*>(f.MainButton), static_cast<QWidget*>(f.menuBar())})
        w->setEnabled(false);
      if (progress) {
        f.ProgressBar->setValue(0);
        f.ProgressBar->show();
        f.ProgressBar->raise();
        f.CancelButton->show();
        f.CancelButton->raise();
      }
    }
    ~Lock() {
      f.ProgressBar->hide();
      f.CancelButton->hide();
      for (QWidget* w : {static_cast<QWidget*>(f.TypeGroup), static_cast<QWidget*>(f.Pages),
                         static_cast<QWidget*>(f.MainButton), static_cast<QWidget*>(f.menuBar())})
        w->setEnabled(true);
    }
  } lock(*this, showProgress);
  build(showProgress ? static_cast<ProgressSink*>(this) : nullptr);
}

template <class Compute>
auto MainWindow::RunRankBuild(bool showProgress, Compute&& compute)
    -> std::optional<std::invoke_result_t<Compute, const RankControl&>> {
  // The window is locked as for the sample drawing; a local event loop keeps
  // it painting and movable while the worker counts.  The worker reports
  // through queued calls and ends the loop with one.
  std::optional<std::invoke_result_t<Compute, const RankControl&>> result;
  RunEnumeration(showProgress, [&](ProgressSink* sink) {
    BusyScope busy(this);
    std::stop_source stop;
    RankControl control;
    control.Stop = stop.get_token();
    QPointer<MainWindow> self(this);
    if (sink)
      control.Progress = [self](int percent) {
        QMetaObject::invokeMethod(
            self,
            [self, percent] {
              if (self) self->SetPosition(percent);
            },
            Qt::QueuedConnection);
      };
    cancelRun_ = [&stop] { stop.request_stop(); };
    QEventLoop loop;
    std::exception_ptr error;
    {
      std::jthread worker([&] {
        try {
          result = compute(control);
        } catch (const CancelledError&) {
          result.reset();
        } catch (...) {
          error = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
      });
      loop.exec();
    }  // joins the worker, which has finished
    cancelRun_ = nullptr;
    if (error) std::rethrow_exception(error);
  });
  return result;
}

void MainWindow::ApplyKruskalWallis() {
  auto* kw = dynamic_cast<KruskalWallisDistribution*>(calc_.Current);
  if (!kw) return;
  std::vector<int32_t> rows(1, 0);
  for (int k = 1; k <= Grid->rowCount() - 1; ++k) {
    const auto& texts = calc_.ParameterTexts;
    const bool empty = k >= static_cast<int>(texts.size()) || texts[k].empty();
    rows.push_back(empty ? 0 : GridInteger(k));
  }
  const std::array<Parameter, 4> oldPar = kw->Par;
  std::vector<int32_t> packed(1, 0);
  for (size_t i = 1; i < rows.size(); ++i)
    if (rows[i] > 0) packed.push_back(rows[i]);
  std::optional<RankTable> table;
  try {
    // Sizes and cost are checked first: a refused size answers at once.
    const RankCost cost = kw->PrepareKruskalWallis(packed);
    table = RunRankBuild(cost.Seconds() > kProgressSeconds, [packed](const RankControl& c) {
      return KruskalWallisDistribution::ComputeKruskalWallis(packed, &c);
    });
  } catch (...) {
    kw->Par = oldPar;
    throw;
  }
  // Cancelled: nothing was changed, the previous distribution stays.
  if (!table) {
    kw->Par = oldPar;
    return;
  }
  kw->SetGroupSizes(std::vector<int32_t>(rows.begin() + 1, rows.end()));
  kw->InstallKruskalWallis(packed, std::move(*table));
  calc_.ShowDistribution();
  RefreshActivePage();
  calc_.Mode = ActivePage() == PageId::Cdf ? InputMode::CdfX : InputMode::DensityX;
}

void MainWindow::ApplyRankSums() {
  auto* rank = dynamic_cast<RankSumBase*>(calc_.Current);
  // Sizes that are not whole numbers within bounds are reported by the
  // usual apply; so are the short counts, which need no worker.
  Real first = 0, second = 0;
  auto size = [&](int row, Real& v) {
    return ParseNumber(calc_.ParameterTexts[row], v) && v >= 1 && v <= 100000 && v == std::floor(v);
  };
  const bool two = rank && rank->ParCount == 2;
  if (!rank || calc_.ParameterTexts.size() < 3 || !size(1, first) || (two && !size(2, second))) {
    calc_.ApplyParameters();
    return;
  }
  const auto m = static_cast<int32_t>(first), n = static_cast<int32_t>(second);
  const RankCost cost = two ? MannWhitneyCost(m, n) : SignedRankCost(m);
  if (cost.Seconds() < kWorkerSeconds) {
    calc_.ApplyParameters();
    return;
  }
  auto counts = RunRankBuild(cost.Seconds() > kProgressSeconds, [two, m, n](const RankControl& c) {
    return two ? MannWhitneyCounts(m, n, &c) : SignedRankCounts(m, &c);
  });
  if (!counts) return;  // cancelled: the distribution is as it was
  rank->Prepared = RankSumBase::PreparedCounts{first, second, std::move(*counts)};
  try {
    calc_.ApplyParameters();
  } catch (...) {
    rank->Prepared.reset();
    throw;
  }
  rank->Prepared.reset();
}

void MainWindow::ApplyFriedman() {
  auto* fr = dynamic_cast<FriedmanDistribution*>(calc_.Current);
  if (!fr) return;
  const int32_t t = GridInteger(1);
  const int32_t b = GridInteger(2);
  const std::array<Parameter, 4> oldPar = fr->Par;
  std::optional<RankTable> table;
  try {
    const RankCost cost = fr->PrepareFriedman(t, b);
    table = RunRankBuild(cost.Seconds() > kProgressSeconds, [t, b](const RankControl& c) {
      return FriedmanDistribution::ComputeFriedman(t, b, &c);
    });
  } catch (...) {
    fr->Par = oldPar;
    throw;
  }
  if (!table) {
    fr->Par = oldPar;
    return;
  }
  fr->InstallFriedman(t, b, std::move(*table));
  calc_.ShowDistribution();
  RefreshActivePage();
  calc_.Mode = ActivePage() == PageId::Cdf ? InputMode::CdfX : InputMode::DensityX;
}

void MainWindow::ShowKruskalWallisRows() {
  auto* kw = dynamic_cast<KruskalWallisDistribution*>(calc_.Current);
  if (!kw) return;
  const int rows = kw->GroupCount + 1;
  SetGridRowCount(rows);
  auto& texts = calc_.ParameterTexts;
  texts.assign(rows + 1, std::string());
  if (!kw->Par[1].Unset)
    for (int k = 1; k < rows && k < static_cast<int>(kw->GroupSizes.size()); ++k)
      texts[k] = std::to_string(kw->GroupSizes[static_cast<size_t>(k)]);
  RestartGridEditor();
  GridTextsChanged();
}

// ---------------------------------------------------------------------------
// Samples and random assignment

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

bool MainWindow::ConfirmDiscardSample() {
  if (!SampleList->IsModified()) return true;
  switch (Ask(LoadString(883), true)) {
    case Answer::Cancel:
      return false;
    case Answer::Yes:
      // A cancelled or failed save keeps the sample and stops what asked.
      Guarded([&] { SaveSample(); });
      if (SampleList->IsModified()) return false;
      ClearSample();
      return true;
    case Answer::No:
      return true;
  }
  return true;
}

void MainWindow::AppendSampleLines(std::vector<std::string> lines, const QString& hint) {
  SampleList->AppendLines(std::move(lines));
  ShowSamplePage(hint);
}

void MainWindow::ShowSamplePage(const QString& hint) {
  SampleList->SetModified(true);
  Pages->setTabVisible(kSamplePage, true);
  SamplePage->setToolTip(hint);
  Pages->setCurrentIndex(kSamplePage);
  MainButton->hide();
}

void MainWindow::DrawSample() {
  Distribution* d = calc_.Current;
  if (!d || !calc_.ParametersComplete()) return;
  if (!ConfirmDiscardSample()) return;
  // Integer-valued types print integers; the rank tests' tables (and any
  // empirical table) hold fractional values and get the format choice.
  DrawDialogWindow->FormatBoxVisible = !d->IsDiscrete() || dynamic_cast<EmpiricalDistribution*>(d);
  DrawDialogWindow->DecimalsEdit->setText(QString::number(d->XDecimals()));
  if (!RunDialog(*DrawDialogWindow)) return;
  SampleFormat format;
  format.integers = !DrawDialogWindow->FormatBoxVisible;
  format.floatingPoint = DrawDialogWindow->FloatingPoint;
  format.decimals = DrawDialogWindow->Decimals;
  const int64_t n = DrawDialogWindow->SampleSize;
  // The values are kept as numbers and reach the page once the draw is over;
  // the page formats only the lines it shows.  Cancel drops this draw.
  std::vector<Real> values;
  values.reserve(static_cast<size_t>(n));
  constexpr int64_t kBatch = 8192;
  bool cancelled = false;
  // A seed gives this draw a stream of its own; the stream of unseeded draws
  // goes on afterwards where it was.
  RandomEngine seeded(DrawDialogWindow->Seed);
  RandomEngine& engine = DrawDialogWindow->HasSeed ? seeded : draws_;
  try {
    RunEnumeration(n > kSampleProgressSize, [&](ProgressSink* sink) {
      BusyScope busy(sink);
      sampleCancel_ = false;
      for (int64_t i = 0; i < n; ++i) {
        values.push_back(d->RandomValue(engine));
        if (sink && (i + 1) % kBatch == 0 && i + 1 < n) {
          sink->SetPosition(static_cast<int>((i + 1) * 100 / n));
          sink->ProcessEvents();
          if (sampleCancel_) {
            cancelled = true;
            return;
          }
        }
      }
    });
  } catch (...) {
    // The values drawn so far stay; the error is reported.
    SampleList->AppendValues(std::move(values), format);
    ShowSamplePage(QStringLiteral("random sample"));
    throw;
  }
  if (cancelled) return;
  SampleList->AppendValues(std::move(values), format);
  ShowSamplePage(QStringLiteral("random sample"));
}

void MainWindow::AssignSample() {
  if (!ConfirmDiscardSample()) return;
  if (!RunDialog(*AssignDialogWindow)) return;
  if (AssignDialogWindow->Subjects > kMaxSubjects) throw RangeError();
  std::mt19937& rng = random_;
  const auto lines =
      AssignSubjects(static_cast<int>(AssignDialogWindow->Subjects), AssignDialogWindow->Groups,
                     [&rng](int m) { return std::uniform_int_distribution<int>(0, m - 1)(rng); });
  AppendSampleLines(lines, QStringLiteral("assignment of subjects to groups"));
}

void MainWindow::SaveSample() {
  if (!SampleList->IsModified()) return;
  std::string preset = "Sample.dat";
  for (;;) {
    const std::string name = AskSaveFileName(preset);
    if (name.empty()) return;
    const QString file = Q(name);
    const QString shortName = QFileInfo(file).fileName();
    if (QFileInfo::exists(file) &&
        Ask(LoadString(1166) + shortName.toStdString() + "?", false) != Answer::Yes) {
      preset = name;
      continue;
    }
    // The whole file or nothing: QSaveFile writes a temporary file and
    // renames it over the old one only when everything was written.
    QSaveFile f(file);
    bool ok = f.open(QIODevice::WriteOnly);
    ok = ok && SampleList->WriteTo(f);
    ok = ok && f.commit();
    if (!ok) {
      const QString reason = f.errorString();
      f.cancelWriting();
      throw ArgumentError("Cannot write " + shortName.toStdString() +
                          (reason.isEmpty() ? std::string() : " (" + reason.toStdString() + ")"));
    }
    setWindowTitle(shortName);
    SampleList->SetModified(false);
    return;
  }
}

void MainWindow::ClearSample() {
  const bool wasActive = ActivePage() == PageId::Sample;
  SampleList->Clear();
  Pages->setTabVisible(kSamplePage, false);
  if (wasActive) Pages->setCurrentIndex(kPdfPage);
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
    CancelClicked();
    e->ignore();
    QTimer::singleShot(0, this, [this] { close(); });
    return;
  }
  if (SampleList->IsModified()) {
    switch (Ask(LoadString(883), true)) {
      case Answer::Cancel:
        e->ignore();
        return;
      case Answer::Yes:
        Guarded([&] { SaveSample(); });
        if (SampleList->IsModified()) {
          // Not saved (cancelled or failed): the window stays open.
          e->ignore();
          return;
        }
        break;
      case Answer::No:
        SampleList->SetModified(false);
        break;
    }
  }
  QMainWindow::closeEvent(e);
}

void MainWindow::PaintDensityGraph(QPainter& p, const QRect& r) {
  Distribution* d = calc_.Current;
  if (!d || !calc_.ParametersComplete()) return;
  const QRect graph = r.adjusted(0, 0, 0, -AxisStripHeight(*DensityGraph));
  QPainterSurface surface(p, graph, palette());
  const Real x = calc_.CurrentX;
  try {
    PaintAxis(p, r, *DensityGraph, d->Range());
    if (Tails->PaintDensity(surface, *d)) return;  // a two-sided or interval view
    if (!d->IsDiscrete()) {
      DrawDensity(*d, surface, kTextColor, kFillColor, d->SupportLow, x);
      DrawDensity(*d, surface, kTextColor, kFillColor, x, d->SupportHigh);
    } else {
      DrawDensity(*d, surface, kGrayColor, kGrayColor, d->SupportLow, x);
      DrawDensity(*d, surface, kGrayColor, kGrayColor, x, d->SupportHigh);
      DrawDensity(*d, surface, kTextColor, kTextColor, x, x);
    }
  } catch (...) {
    // A paint cannot show a message box; the numbers report the problem.
  }
}

void MainWindow::PaintCdfGraph(QPainter& p, const QRect& r) {
  Distribution* d = calc_.Current;
  if (!d || !calc_.ParametersComplete()) return;
  QPainterSurface surface(p, r.adjusted(0, 0, 0, -AxisStripHeight(*CdfGraph)), palette());
  try {
    PaintAxis(p, r, *CdfGraph, d->Range());
    DrawCdf(*d, surface, calc_.CurrentX, d->SupportHigh);
  } catch (...) {
  }
}

void MainWindow::UpdateSupportLabels(PaintBox* box, QLabel* left, QLabel* right) {
  Distribution* d = calc_.Current;
  if (!d || !calc_.ParametersComplete()) {
    left->clear();
    right->clear();
    return;
  }
  const GraphRange range = d->Range();
  const Rect rect{0, 0, box->width(), box->height()};
  const int decimals = d->XDecimals();
  const QFontMetrics fm(left->font());
  auto place = [&](QLabel* label, Real v) {
    const QString text = Q(FormatDecimals(decimals, v));
    label->setText(text);
    const int w = fm.horizontalAdvance(text) + 4;
    label->setGeometry(box->x() + XToPixel(range, rect, v) - w / 2, label->y(), w, LineHeight);
  };
  place(left, std::max(d->SupportLow, range.Left));
  place(right, std::min(d->SupportHigh, range.Right));
}

// ---------------------------------------------------------------------------
// Pages and layout

void MainWindow::LayoutDensityPage() {
  const int pageW = DensityPage->width(), pageH = DensityPage->height();
  const int grayH = GrayPanel->height();
  GrayPanel->setGeometry(0, pageH - grayH, pageW, grayH);
  const int editTop = (grayH - LineHeight) / 2;
  for (NumberEdit* e : {ProbabilityEditLeft, ProbabilityEditCentral, ProbabilityEditRight})
    e->move(e->x(), editTop);
  const int panelTop = pageH - grayH - DensityMarker->height();
  DensityMarker->move(DensityMarker->x(), panelTop);
  XEdit->move((DensityMarker->width() - XEdit->width()) / 2,
              DensityMarker->height() - XEdit->height());
  for (QLabel* a : {ArrowLeft, ArrowRight})
    a->move(a->x(), XEdit->y() + (XEdit->height() - a->height()) / 2);
  const int top = Tails->Layout(pageW, LineHeight, NumberWidth, DensityMarker->width(),
                                DensityMarker->height());
  DensityGraph->setGeometry(DigitsWidth + NumberWidth, top, std::max(1, pageW - 3 * NumberWidth),
                            std::max(1, panelTop - top));
  for (QLabel* l : {DensityLowLabel, DensityHighLabel}) l->move(l->x(), panelTop);
}

void MainWindow::LayoutCdfPage() {
  const int pageW = CdfPage->width(), pageH = CdfPage->height();
  const int graphH = std::max(1, pageH - CdfXEdit->height() - HalfLine - 2);
  CdfGraph->setGeometry(NumberWidth + 1, HalfLine,
                        std::max(1, pageW - 2 - NumberWidth - DigitsWidth), graphH);
  const int bottom = CdfGraph->y() + graphH;
  // The marker panel keeps to the page so its edit stays whole.
  CdfMarker->setGeometry(CdfMarker->x(), bottom + 1, CdfMarker->width(),
                         std::max(CdfXEdit->height(), pageH - bottom - 1));
  CdfXEdit->move((CdfMarker->width() - CdfXEdit->width()) / 2,
                 CdfMarker->height() - CdfXEdit->height());
  for (QLabel* a : {CdfArrowLeft, CdfArrowRight})
    a->move(a->x(), CdfXEdit->y() + (CdfXEdit->height() - a->height()) / 2);
  for (QLabel* l : {CdfLowLabel, CdfHighLabel}) l->move(l->x(), bottom + 2);
  CdfEdit->move(0, CdfEdit->y());
}

void MainWindow::RefreshActivePage() {
  const int width = std::max(1, Panel->width() - TypeGroup->x() - TypeGroup->width() - 10);
  Pages->setGeometry(Panel->width() - width, 0, width, Panel->height());
  if (!Pages->isVisible()) {
    // A hidden tab widget lays out its pages only when shown; do it now so
    // the pages have their sizes for the layout below.
    QResizeEvent e(Pages->size(), Pages->size());
    QCoreApplication::sendEvent(Pages, &e);
  }
  // Four tabs share the width equally (the sample tab is hidden until used).
  const int tabWidth = std::max(20, width / 4 - 4);
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
      if (complete) {
        LayoutDensityPage();
        ShowPageContents(PageId::Pdf);
        calc_.UpdateDensityPage(true);
      } else {
        for (QWidget* w : DensityPage->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
          w->hide();
      }
      break;
    case PageId::Cdf:
      if (complete) {
        LayoutCdfPage();
        ShowPageContents(PageId::Cdf);
        calc_.UpdateCdfPage();
      } else {
        for (QWidget* w : CdfPage->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->hide();
      }
      break;
    case PageId::Formulas:
      FillFormulasPage(*FormulaText, calc_.Current, calc_.CurrentX);
      // The button applies the grid again from here, and says so.
      calc_.Mode = InputMode::Parameters;
      SetButtonCaption(LoadString(876));
      break;
    case PageId::Sample:
      break;
  }
}

void MainWindow::ShowPageContents(PageId page) {
  QWidget* sheet = page == PageId::Pdf ? DensityPage : page == PageId::Cdf ? CdfPage : nullptr;
  if (!sheet) return;
  for (QWidget* w : sheet->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->show();
}

// ---------------------------------------------------------------------------
// DriverView

NumberEdit* MainWindow::Edit(EditId id) const {
  switch (id) {
    case EditId::xValue:
      return XEdit;
    case EditId::ProbLeft:
      return ProbabilityEditLeft;
    case EditId::ProbCentral:
      return ProbabilityEditCentral;
    case EditId::ProbRight:
      return ProbabilityEditRight;
    case EditId::xcdF:
      return CdfXEdit;
    case EditId::cdF:
      return CdfEdit;
  }
  return XEdit;
}

std::string MainWindow::EditText(EditId id) const { return Edit(id)->text().toStdString(); }

void MainWindow::SetEditText(EditId id, const std::string& text) {
  NumberEdit* e = Edit(id);
  e->setText(Q(text));
  e->setCursorPosition(0);
  if (id == EditId::ProbLeft || id == EditId::ProbRight || id == EditId::cdF)
    e->resize(FittedWidth(e, NumberWidth), e->height());
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

void MainWindow::SetGridRowCount(int rows) {
  inSelect_ = true;
  Grid->CloseEditor();
  Grid->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < 2; ++c) {
      if (!Grid->item(r, c)) Grid->setItem(r, c, new QTableWidgetItem);
      Grid->item(r, c)->setFlags(
          c == 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    }
  }
  inSelect_ = false;
  const int border = 2 * Grid->frameWidth();
  Grid->resize(Grid->width(), std::max(1, std::min(rows, 3)) * kRowHeight + border);
  SyncGridItems();
}

void MainWindow::SyncGridItems() {
  const auto& texts = calc_.ParameterTexts;
  for (int r = 0; r < Grid->rowCount(); ++r) {
    const QString hint = Q(RowHint(r));
    const QString text = r + 1 < static_cast<int>(texts.size()) ? Q(texts[r + 1]) : QString();
    for (int c = 0; c < 2; ++c) {
      QTableWidgetItem* item = Grid->item(r, c);
      if (!item) continue;
      if (item->toolTip() != hint) item->setToolTip(hint);
      if (c == 1 && item->text() != text) item->setText(text);
    }
  }
}

void MainWindow::GridTextsChanged() {
  SyncGridItems();
  // An open editor on another row shows its new text (the coupled rows of
  // the normal distribution); the row being typed in keeps its cursor.
  if (QLineEdit* e = Grid->Editor()) {
    const int r = Grid->currentRow() + 1;
    const auto& texts = calc_.ParameterTexts;
    if (r >= 1 && r < static_cast<int>(texts.size()) && !e->hasFocus() && e->text() != Q(texts[r]))
      e->setText(Q(texts[r]));
  }
  Grid->viewport()->update();
}

void MainWindow::RestartGridEditor() {
  inSelect_ = true;
  Grid->RestartEditor();
  inSelect_ = false;
}

void MainWindow::SelectGridRow(int row) {
  Grid->setCurrentCell(row, 1);
  Grid->setFocus();
  if (Grid->Editor()) Grid->Editor()->setFocus();
}

void MainWindow::CheckXDecimalsItem(int decimals) {
  for (QAction* a : XDecimalsGroup->actions())
    if (a->data().toInt() == decimals) a->setChecked(true);
}

Rect MainWindow::DensityBoxRect() const {
  return Rect{0, 0, DensityGraph->width(), DensityGraph->height()};
}

Rect MainWindow::CdfBoxRect() const { return Rect{0, 0, CdfGraph->width(), CdfGraph->height()}; }

void MainWindow::PlaceDensityMarker(int px, bool thinCentral) {
  const int boxLeft = DensityGraph->x();
  DensityMarker->move(boxLeft + px - DensityMarker->width() / 2, DensityMarker->y());
  if (thinCentral) {
    ProbabilityEditCentral->setGeometry(boxLeft + px - 1, ProbabilityEditCentral->y(), 2,
                                        ProbabilityEditCentral->height());
  } else {
    const int w = NumberWidth;
    ProbabilityEditCentral->setGeometry(boxLeft + px - w / 2, ProbabilityEditCentral->y(), w,
                                        ProbabilityEditCentral->height());
  }
  const int centralLeft = ProbabilityEditCentral->x();
  const int gray = GrayPanel->width();
  const int wl = ProbabilityEditLeft->width(), wr = ProbabilityEditRight->width();
  ProbabilityEditLeft->move(std::clamp((centralLeft - wl) / 2, 0, std::max(0, gray - wl)),
                            ProbabilityEditLeft->y());
  ProbabilityEditRight->move(
      std::clamp((gray + centralLeft + ProbabilityEditCentral->width() - wr) / 2, 0,
                 std::max(0, gray - wr)),
      ProbabilityEditRight->y());
  Tails->Apply();
}

void MainWindow::PlaceCdfMarker(int px, Real cdf) {
  CdfMarker->move(CdfGraph->x() + px - CdfMarker->width() / 2, CdfMarker->y());
  const Real frac = std::clamp<Real>(1 - cdf, 0, 1);
  const int graphH = std::max(1, CdfGraph->height() - AxisStripHeight(*CdfGraph));
  const int top = CdfGraph->y() +
                  static_cast<int>(std::lround(static_cast<double>(frac * graphH))) -
                  CdfEdit->height() / 2;
  CdfEdit->move(CdfEdit->x(), top);
}

void MainWindow::RepaintDensity() {
  UpdateSupportLabels(DensityGraph, DensityLowLabel, DensityHighLabel);
  DensityGraph->update();
}

void MainWindow::RepaintCdf() {
  UpdateSupportLabels(CdfGraph, CdfLowLabel, CdfHighLabel);
  CdfGraph->update();
}

void MainWindow::Beep() { ui::Beep(); }

}  // namespace vokt::ui
