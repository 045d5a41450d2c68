#include "ui/hoofd.h"

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
#include "distrib/kruskal_friedman.h"
#include "distrib/plotting.h"
#include "formula/markup.h"
#include "formula/qt/painter_surface.h"
#include "formula/qt/richedit_sk.h"
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
constexpr uint16_t kKruskalWallis = 929;
constexpr int kPdfPage = 0, kCdfPage = 1, kFormulasPage = 2, kSamplePage = 3;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The colour of the grid's values: navy on a light base as ever, the
// palette's own text colour on a dark one.
QColor ValueColor(const QPalette& pal) {
  return pal.color(QPalette::Base).lightness() >= 128 ? QColor(0, 0, 128)
                                                      : pal.color(QPalette::Text);
}

// The help window closes with Esc.
class THelpBrowser : public QTextBrowser {
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

TPaintBox::TPaintBox(QWidget* parent, Handler onPaint)
    : QWidget(parent), onPaint_(std::move(onPaint)) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TPaintBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (onPaint_) onPaint_(p, rect());
}

TResizePanel::TResizePanel(QWidget* parent, std::function<void()> onResize)
    : QWidget(parent), onResize_(std::move(onResize)) {}

void TResizePanel::resizeEvent(QResizeEvent*) {
  if (onResize_) onResize_();
}

// ---------------------------------------------------------------------------
// The parameter grid

class TGridDelegate : public QStyledItemDelegate {
 public:
  TGridDelegate(TVoktForm& form, TParameterGrid& grid)
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
      const auto& texts = form_.Driver().ParameterTexts;
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
    const auto& texts = form_.Driver().ParameterTexts;
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
  TVoktForm& form_;
  TParameterGrid& grid_;
};

TParameterGrid::TParameterGrid(TVoktForm& form, QWidget* parent)
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
  setItemDelegate(new TGridDelegate(form, *this));
}

QLineEdit* TParameterGrid::Editor() const { return editor_.data(); }

void TParameterGrid::CloseEditor() {
  if (QLineEdit* e = editor_.data()) {
    closeEditor(e, QAbstractItemDelegate::NoHint);
    editor_ = nullptr;
  }
}

void TParameterGrid::RestartEditor() {
  CloseEditor();
  const QModelIndex current = currentIndex();
  if (current.isValid() && current.column() == 1) edit(current);
}

void TParameterGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableWidget::currentChanged(current, previous);
  if (current.isValid()) form_.ParameterGridSelectCell(current.row());
}

void TParameterGrid::changeEvent(QEvent* e) {
  QTableWidget::changeEvent(e);
  // A new desktop theme: the open editor takes the new value colour.
  if (e->type() == QEvent::PaletteChange && editor_) {
    QPalette pal = editor_->palette();
    pal.setColor(QPalette::Text, ValueColor(palette()));
    editor_->setPalette(pal);
  }
}

void TParameterGrid::keyPressEvent(QKeyEvent* e) {
  form_.ParameterGridKeyDown(e->key());
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    e->accept();
    return;
  }
  QTableWidget::keyPressEvent(e);
}

// ---------------------------------------------------------------------------
// The form

TVoktForm::TVoktForm(QWidget* parent) : QMainWindow(parent), driver_(*this) {
  InitVoktResources();
  setWindowTitle(QStringLiteral("VOKT"));
  QFont f(QStringLiteral("Lucida Sans Unicode"));
  f.setPixelSize(12);
  setFont(f);
  random_.seed(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
  RunDialog = [](QDialog& d) { return d.exec() == QDialog::Accepted; };
  driver_.RankTestApply = [this](tVoktDriver& d) {
    if (d.Current->NameId == kKruskalWallis)
      ApplyKruskalWallis();
    else
      ApplyFriedman();
  };
  driver_.RankTestRows = [this](tVoktDriver&) { ShowKruskalWallisRows(); };
  BuildControls();
  BuildMenus();
  DrawForm = new TDrawForm(this);
  AssignForm = new TAssignForm(this);

  // Start-up: one object of every type of the catalogue, the normal
  // distribution selected with mean 0 and variance 1.
  for (uint16_t t : AvailableTypes()) AddDistribution(CreateDistribution(t));
  for (auto& d : distributions_)
    if (d->NameId == 901) driver_.Current = d.get();
  if (!driver_.Current && !distributions_.empty()) driver_.Current = distributions_.front().get();
  if (driver_.Current) {
    SelectTypeInList(driver_.Current);
    if (driver_.Current->NameId == 901) driver_.Current->SetParameters(0, 1, 1);
  }
  SetButtonCaption(LoadString(876));

  PageControl->setCurrentIndex(kFormulasPage);
  ArrangeControls();
  driver_.ParameterTexts.assign(4, std::string());
  Guarded([&] { driver_.ShowDistribution(); });
  driver_.InputMode = 3;
  driver_.ParameterRow = 1;
  creating_ = false;
  Guarded([&] { FormResize(); });
  SampleMemo->SetModified(false);
  PageControl->setCurrentIndex(kPdfPage);
  Guarded([&] { PageControlChange(); });
  // The first press applies the grid (the formulas page above set 0).
  driver_.InputMode = 3;
  inSelect_ = true;
  ParameterGrid->setCurrentCell(0, 1);
  inSelect_ = false;
  ParameterGrid->RestartEditor();
  ParameterGrid->setFocus();
  if (ParameterGrid->Editor()) ParameterGrid->Editor()->setFocus();
}

TVoktForm::~TVoktForm() {
  // The controls go first, while the driver and the distributions they call
  // back into still exist; the guard keeps resize and page-change
  // notifications of the teardown from refreshing anything.
  creating_ = true;
  driver_.Current = nullptr;
  delete Panel;
  Panel = nullptr;
}

void TVoktForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  // The pages have their final sizes only now.
  Guarded([&] { FormResize(); });
}

void TVoktForm::BuildControls() {
  Panel = new TResizePanel(this, [this] {
    if (!creating_) Guarded([&] { FormResize(); });
  });
  setCentralWidget(Panel);
  // The status line says why a typed x or probability was refused.
  statusBar()->setSizeGripEnabled(false);

  DistribBox = new QGroupBox(QStringLiteral("Distribution"), Panel);
  DistribTypeBox = new QComboBox(DistribBox);
  DistribTypeBox->setToolTip(QStringLiteral("distribution type"));
  DistribTypeBox->setMaxVisibleItems(32);
  connect(DistribTypeBox, &QComboBox::activated, this,
          [this](int) { Guarded([&] { DistribTypeBoxCloseUp(); }); });

  ParameterGrid = new TParameterGrid(*this, DistribBox);

  PressButton = new QPushButton(Panel);
  connect(PressButton, &QPushButton::clicked, this, [this] { PressButtonClick(); });
  ProgressBar1 = new QProgressBar(Panel);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->hide();
  CancelButton = new QPushButton(QStringLiteral("Cancel"), Panel);
  CancelButton->hide();
  connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });

  PageControl = new QTabWidget(Panel);
  connect(PageControl, &QTabWidget::currentChanged, this, [this](int) {
    if (!creating_) Guarded([&] { PageControlChange(); });
  });

  // pdf page
  TabSheetPQ = new QWidget;
  kansgrafiek =
      new TPaintBox(TabSheetPQ, [this](QPainter& p, const QRect& r) { kansgrafiekPaint(p, r); });
  kansgrafiek->setToolTip(Q(LoadString(886)));
  LinkerwaardeLabel = new QLabel(TabSheetPQ);
  RechterwaardeLabel = new QLabel(TabSheetPQ);
  GrayPanel = new QFrame(TabSheetPQ);
  GrayPanel->setAutoFillBackground(true);
  QPalette grayPal = GrayPanel->palette();
  grayPal.setColor(QPalette::Window, QColor(128, 128, 128));
  GrayPanel->setPalette(grayPal);
  ProbabilityEditLeft = new tNumEdit(GrayPanel, 5);
  ProbabilityEditLeft->setToolTip(QStringLiteral("Probability  P ( X < x )"));
  ProbabilityEditCentral = new tNumEdit(GrayPanel, 6);
  ProbabilityEditCentral->setToolTip(QStringLiteral("Probability  P ( X = x )"));
  ProbabilityEditCentral->setReadOnly(true);
  QPalette light = ProbabilityEditCentral->palette();
  light.setColor(QPalette::Base, light.color(QPalette::Midlight));
  ProbabilityEditCentral->setPalette(light);
  ProbabilityEditRight = new tNumEdit(GrayPanel, 7);
  ProbabilityEditRight->setToolTip(QStringLiteral("Probability  P ( X > x )"));
  PanelDraw = new QFrame(TabSheetPQ);
  PanelDraw->setCursor(Qt::PointingHandCursor);
  ArrowLeft = new QLabel(PanelDraw);
  ArrowRight = new QLabel(PanelDraw);
  ZwarteLijn = new QFrame(PanelDraw);
  ZwarteLijn->setAutoFillBackground(true);
  ZwarteLijn->setBackgroundRole(QPalette::WindowText);  // follows the theme
  xValueEdit = new tNumEdit(PanelDraw, 4);
  xValueEdit->setToolTip(QStringLiteral(" x  (quantile)"));
  Tails = new TTailControls(*this, TabSheetPQ);
  PageControl->addTab(TabSheetPQ, Q(LoadString(885)));

  // cdf page
  TabSheetcdF = new QWidget;
  cdFgrafiek =
      new TPaintBox(TabSheetcdF, [this](QPainter& p, const QRect& r) { cdFgrafiekPaint(p, r); });
  cdFgrafiek->setToolTip(QStringLiteral("cumulative distribution function"));
  LinkercdFLabel = new QLabel(TabSheetcdF);
  RechtercdFLabel = new QLabel(TabSheetcdF);
  PanelcdfDraw = new QFrame(TabSheetcdF);
  PanelcdfDraw->setCursor(Qt::PointingHandCursor);
  ArrowcdFLeft = new QLabel(PanelcdfDraw);
  ArrowcdFRight = new QLabel(PanelcdfDraw);
  xcdFEdit = new tNumEdit(PanelcdfDraw, 8);
  xcdFEdit->setToolTip(QStringLiteral("x  (quantile)"));
  cdFEdit = new tNumEdit(TabSheetcdF, 9);
  // "less than or equal" (the Symbol font's 0xA3).
  cdFEdit->setToolTip(QStringLiteral("Probability  P( X @\u00A3 x )"));
  PageControl->addTab(TabSheetcdF, QStringLiteral("cdf"));

  // formulas page
  TabSheetFormulas = new QWidget;
  auto* fl = new QVBoxLayout(TabSheetFormulas);
  fl->setContentsMargins(0, 0, 0, 0);
  FormulaEdit = new TRichEditSK(TabSheetFormulas);
  FormulaEdit->setReadOnly(true);
  FormulaEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  fl->addWidget(FormulaEdit);
  PageControl->addTab(TabSheetFormulas, QStringLiteral("formulas"));

  // sample page
  TabSheetRS = new QWidget;
  auto* sl = new QVBoxLayout(TabSheetRS);
  sl->setContentsMargins(0, 0, 0, 0);
  SampleMemo = new TSampleView(TabSheetRS);
  QFont mono(QStringLiteral("Lucida Console"));
  mono.setPixelSize(12);
  SampleMemo->setFont(mono);
  sl->addWidget(SampleMemo);
  PageControl->addTab(TabSheetRS, QStringLiteral("sample"));
  PageControl->setTabVisible(kSamplePage, false);

  for (QWidget* w : {static_cast<QWidget*>(PanelDraw), static_cast<QWidget*>(ArrowLeft),
                     static_cast<QWidget*>(ArrowRight), static_cast<QWidget*>(PanelcdfDraw),
                     static_cast<QWidget*>(ArrowcdFLeft), static_cast<QWidget*>(ArrowcdFRight)}) {
    w->installEventFilter(this);
    w->setCursor(Qt::PointingHandCursor);
  }

  for (tNumEdit* e : {xValueEdit, ProbabilityEditLeft, ProbabilityEditCentral, ProbabilityEditRight,
                      xcdFEdit, cdFEdit}) {
    e->setAlignment(Qt::AlignCenter);
    e->setTextMargins(0, 0, 0, 0);
    if (e == ProbabilityEditCentral) continue;
    connect(e, &tNumEdit::Entered, this, [this](tNumEdit* s) {
      if (creating_) return;
      driver_.NumEditClick(static_cast<EditId>(s->Tag()));
      PressButton->show();
    });
    connect(e, &QLineEdit::returnPressed, this, [this] { PressButtonClick(); });
  }
}

void TVoktForm::BuildMenus() {
  ActionDrawSample = new QAction(QStringLiteral("&Draw random sample"), this);
  connect(ActionDrawSample, &QAction::triggered, this, [this] { Guarded([&] { DrawClick(); }); });
  ActionAssign = new QAction(QStringLiteral("&Randomly assign "), this);
  connect(ActionAssign, &QAction::triggered, this, [this] { Guarded([&] { AssignClick(); }); });
  ActionSave = new QAction(QStringLiteral("&Save"), this);
  connect(ActionSave, &QAction::triggered, this, [this] { Guarded([&] { MenuItemSaveClick(); }); });
  ActionClear = new QAction(QStringLiteral("&Clear"), this);
  connect(ActionClear, &QAction::triggered, this,
          [this] { Guarded([&] { MenuItemClearClick(); }); });
  MenuSample = menuBar()->addMenu(QStringLiteral("&Sample"));
  MenuSample->addActions({ActionDrawSample, ActionAssign, ActionSave, ActionClear});
  connect(MenuSample, &QMenu::aboutToShow, this, [this] { ActionSaveUpdate(); });
  PopupMenu2 = new QMenu(this);
  PopupMenu2->addActions({ActionSave, ActionClear});
  connect(PopupMenu2, &QMenu::aboutToShow, this, [this] { ActionSaveUpdate(); });
  SampleMemo->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(SampleMemo, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu2->popup(SampleMemo->mapToGlobal(pos)); });

  ActionCopyGraph = new QAction(QStringLiteral("Copy &graph"), this);
  connect(ActionCopyGraph, &QAction::triggered, this,
          [this] { Guarded([&] { ActionCopyGraphExecute(); }); });
  PopupMenu1 = new QMenu(this);
  ActionSaveGraph = new QAction(QStringLiteral("Save graph &as..."), this);
  connect(ActionSaveGraph, &QAction::triggered, this,
          [this] { Guarded([&] { ActionSaveGraphExecute(); }); });
  PopupMenu1->addActions({ActionDrawSample, ActionCopyGraph, ActionSaveGraph});
  connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { ActionSaveUpdate(); });
  for (QWidget* w :
       {static_cast<QWidget*>(DistribBox), static_cast<QWidget*>(kansgrafiek), TabSheetcdF}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& pos) { PopupMenu1->popup(w->mapToGlobal(pos)); });
  }

  MenuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
  connect(MenuOptions, &QMenu::aboutToShow, this, [this] { MenuItemOptionsClick(); });
  MenuProbabilityDecimals =
      MenuOptions->addMenu(QStringLiteral("Number of decimals &probabilities"));
  ProbabilityDecimalsGroup = new QActionGroup(this);
  ProbabilityDecimalsGroup->setExclusive(true);
  for (int n = 1; n <= 12; ++n) {
    QAction* a = MenuProbabilityDecimals->addAction(QString::number(n));
    a->setCheckable(true);
    a->setData(n);
    a->setChecked(n == driver_.ProbabilityDecimals);
    ProbabilityDecimalsGroup->addAction(a);
    connect(a, &QAction::triggered, this, [this, n] { N11Click(n); });
  }
  MenuXDecimals = MenuOptions->addMenu(QStringLiteral("Number of decimals &x-value"));
  XDecimalsGroup = new QActionGroup(this);
  XDecimalsGroup->setExclusive(true);
  for (int n = 0; n <= 12; ++n) {
    QAction* a = MenuXDecimals->addAction(QString::number(n));
    a->setCheckable(true);
    a->setData(n);
    a->setChecked(n == driver_.XValueDecimals);
    XDecimalsGroup->addAction(a);
    connect(a, &QAction::triggered, this, [this, n] { N02Click(n); });
  }

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  ActionHelp = help->addAction(QStringLiteral("&Help"));
  ActionHelp->setShortcut(QKeySequence(Qt::Key_F1));
  ActionHelp->setShortcutContext(Qt::ApplicationShortcut);
  connect(ActionHelp, &QAction::triggered, this, [this] { MenuItemHelpClick(); });
  help->addSeparator();
  ActionAbout = help->addAction(QStringLiteral("&About"));
  connect(ActionAbout, &QAction::triggered, this, [this] { MenuItemAboutClick(); });
}

// Every size comes from the font, so the window grows with a larger font.
void TVoktForm::ArrangeControls() {
  const QFontMetrics fm(font());
  const int charHeight = QFontInfo(font()).pixelSize();
  LineHeight = static_cast<int>(std::lround(charHeight * 1.5));
  HalfLine = LineHeight / 2;
  TypeBoxWidth = fm.horizontalAdvance(QStringLiteral(" double exponential xxx"));
  NumberWidth = fm.horizontalAdvance(QStringLiteral("0.00000"));
  DigitsWidth = fm.horizontalAdvance(QStringLiteral("000"));
  HalfDigits = (DigitsWidth + 1) / 2;

  DistribBox->setGeometry(HalfDigits, HalfLine, TypeBoxWidth + DigitsWidth,
                          7 * LineHeight + HalfLine);
  // Qt's combo box needs a little more than a line for its frame.
  const int comboHeight = std::max(LineHeight, DistribTypeBox->sizeHint().height());
  DistribTypeBox->setGeometry(HalfDigits, LineHeight, TypeBoxWidth, comboHeight);
  const int gridTop = std::max(2 * LineHeight + HalfLine, LineHeight + comboHeight + HalfLine / 2);
  const int border = 2 * ParameterGrid->frameWidth();
  ParameterGrid->setGeometry(HalfDigits, gridTop, TypeBoxWidth, 3 * kRowHeight + border);
  const int colWidth = (TypeBoxWidth - border) / 2;
  ParameterGrid->setColumnWidth(0, colWidth);
  ParameterGrid->setColumnWidth(1, TypeBoxWidth - border - colWidth);

  const int buttonTop = DistribBox->y() + DistribBox->height() + HalfLine;
  PressButton->setGeometry(HalfDigits, buttonTop, DistribBox->width(), 2 * LineHeight);
  ProgressBar1->setGeometry(PressButton->geometry());
  const QSize cs = CancelButton->sizeHint();
  CancelButton->setGeometry(PressButton->x() + (PressButton->width() - cs.width()) / 2,
                            PressButton->y() + (PressButton->height() - cs.height()) / 2,
                            cs.width(), cs.height());

  int clientHeight = buttonTop + PressButton->height() + HalfLine;
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
  for (QLabel* l : {LinkerwaardeLabel, RechterwaardeLabel, LinkercdFLabel, RechtercdFLabel})
    l->resize(l->width(), LineHeight);
  GrayPanel->resize(GrayPanel->width(), grayHeight);
  for (QFrame* p : {PanelDraw, PanelcdfDraw}) p->resize(NumberWidth + DigitsWidth, grayHeight);
  for (tNumEdit* e : {xValueEdit, ProbabilityEditLeft, ProbabilityEditCentral, ProbabilityEditRight,
                      xcdFEdit, cdFEdit})
    e->resize(NumberWidth, editHeight);

  const int arrowWidth = std::max(3, HalfDigits - 4);
  const int arrowHeight = 2 * arrowWidth;
  const QColor arrowColor = palette().color(QPalette::WindowText);
  for (QFrame* p : {PanelDraw, PanelcdfDraw}) {
    QLabel* l = p == PanelDraw ? ArrowLeft : ArrowcdFLeft;
    QLabel* r = p == PanelDraw ? ArrowRight : ArrowcdFRight;
    l->setPixmap(ArrowPixmap(arrowWidth, arrowHeight, false, arrowColor));
    r->setPixmap(ArrowPixmap(arrowWidth, arrowHeight, true, arrowColor));
    const int top = (p->height() - arrowHeight) / 2 + (grayHeight - editHeight) / 2;
    const int left = (HalfDigits - arrowWidth) / 2;
    l->setGeometry(left, top, arrowWidth, arrowHeight);
    r->setGeometry(p->width() - left - arrowWidth, top, arrowWidth, arrowHeight);
  }
  ZwarteLijn->setGeometry(DigitsWidth + HalfDigits + 1, 0, 2, 20);
  ZwarteLijn->lower();
}

void TVoktForm::AddDistribution(std::unique_ptr<tDistribution> d) {
  const QString name = Q(d->NameText());
  int pos = 0;
  while (pos < DistribTypeBox->count() &&
         QString::compare(DistribTypeBox->itemText(pos), name, Qt::CaseInsensitive) <= 0)
    ++pos;
  DistribTypeBox->insertItem(pos, name, QVariant::fromValue(static_cast<void*>(d.get())));
  distributions_.push_back(std::move(d));
}

void TVoktForm::SelectTypeInList(tDistribution* d) {
  for (int i = 0; i < DistribTypeBox->count(); ++i)
    if (DistribTypeBox->itemData(i).value<void*>() == d) DistribTypeBox->setCurrentIndex(i);
}

bool TVoktForm::ChooseType(const QString& name) {
  const int i = DistribTypeBox->findText(name);
  if (i < 0) return false;
  DistribTypeBox->setCurrentIndex(i);
  Guarded([&] { DistribTypeBoxCloseUp(); });
  return true;
}

std::string TVoktForm::RowLabel(int row) const {
  const tDistribution* d = driver_.Current;
  if (!d) return {};
  if (d->NameId == kKruskalWallis) return "n_" + std::to_string(row + 1) + "^ =";
  if (row < 0 || row >= d->ParCount) return {};
  tVar r;
  d->GetParameter(row + 1, r);
  return r.Symbol + " =";
}

std::string TVoktForm::RowHint(int row) const {
  const tDistribution* d = driver_.Current;
  if (!d) return {};
  if (d->NameId == kKruskalWallis) return "n_" + std::to_string(row + 1) + "^ = 0, 1, 2, ...";
  if (row < 0 || row >= d->ParCount) return {};
  tVar r;
  d->GetParameter(row + 1, r);
  return r.RangeHint;
}

// ---------------------------------------------------------------------------
// Event handlers

void TVoktForm::PressButtonClick() {
  statusBar()->clearMessage();
  const bool applying = driver_.InputMode <= 3;
  try {
    driver_.PressButtonClick();
  } catch (...) {
    // A refused parameter: the grid goes back to the values in use.
    if (applying && driver_.ParametersComplete()) {
      Guarded([&] {
        FillGridTexts();
        RestartGridEditor();
      });
    }
    ShowException(std::current_exception());
  }
  // The formulas page applies the grid again (see RefreshActivePage).
  if (ActivePage() == PageId::Formulas) driver_.InputMode = 0;
  SyncButtonCaption();
}

void TVoktForm::SyncButtonCaption() {
  SetButtonCaption(tVoktDriver::CaptionFor(driver_.InputMode));
}

void TVoktForm::FillGridTexts() {
  if (driver_.Current && driver_.Current->NameId == kKruskalWallis)
    ShowKruskalWallisRows();
  else
    driver_.FillParameterTexts();
  GridTextsChanged();
}

void TVoktForm::ParameterGridEnter() {
  if (inSelect_ || creating_) return;
  // Enter in the grid applies it; the caption says so.
  if (driver_.InputMode > 3) driver_.InputMode = 0;
  SyncButtonCaption();
}

void TVoktForm::ShowRefusal(const std::string& reason) { statusBar()->showMessage(Q(reason)); }

void TVoktForm::DistribTypeBoxCloseUp() {
  auto* d = static_cast<tDistribution*>(DistribTypeBox->currentData().value<void*>());
  if (!d) return;
  if (!ConfirmDiscardSample()) {
    SelectTypeInList(driver_.Current);
    FillGridTexts();
    ParameterGrid->setCurrentCell(0, 1);
    ParameterGridSelectCell(0);
    ParameterGrid->setFocus();
    return;
  }
  driver_.Current = d;
  driver_.InputMode = 0;
  driver_.ParameterRow = 1;
  try {
    driver_.ShowDistribution();
    RefreshActivePage();
  } catch (...) {
    ShowException(std::current_exception());
  }
  SetButtonCaption(LoadString(876));
  const bool discrete = d->IsDiscrete();
  PageControl->setTabText(kPdfPage, Q(LoadString(discrete ? 887 : 885)));
  kansgrafiek->setToolTip(Q(LoadString(discrete ? 888 : 886)));

  FillGridTexts();
  ParameterGrid->setCurrentCell(0, 1);
  ParameterGridSelectCell(0);
  ParameterGrid->setFocus();
  if (ParameterGrid->Editor()) ParameterGrid->Editor()->setFocus();
}

void TVoktForm::ParameterGridSetEditText(int row, const QString& text) {
  driver_.SetEditText(row, text.toStdString());
}

void TVoktForm::ParameterGridSelectCell(int row) {
  if (inSelect_) return;
  driver_.InputMode = 0;
  driver_.ParameterRow = row + 1;
  SetButtonCaption(LoadString(876));
  ParameterGrid->setToolTip(Q(RowHint(row)));
  if (driver_.Current && driver_.Current->NameId == kKruskalWallis &&
      row == ParameterGrid->rowCount() - 1) {
    SetGridRowCount(ParameterGrid->rowCount() + 1);
    driver_.ParameterTexts.resize(ParameterGrid->rowCount() + 1);
    driver_.ParameterTexts.back().clear();
    GridTextsChanged();
  }
  inSelect_ = true;
  ParameterGrid->RestartEditor();
  inSelect_ = false;
}

void TVoktForm::ParameterGridKeyDown(int key) {
  driver_.InputMode = 0;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    // Run the press after the key event has finished: applying restarts the
    // grid's editor, which is the object receiving this key.
    QTimer::singleShot(0, this, [this] { PressButtonClick(); });
  }
}

void TVoktForm::PageControlChange() { RefreshActivePage(); }

void TVoktForm::FormResize() { RefreshActivePage(); }

void TVoktForm::N11Click(int decimals) {
  driver_.ProbabilityDecimals = decimals;
  for (QAction* a : ProbabilityDecimalsGroup->actions())
    if (a->data().toInt() == decimals) a->setChecked(true);
  // Recompute at the x shown; on the cdf page that is the x of that page.
  driver_.InputMode = ActivePage() == PageId::Cdf ? 8 : 4;
  PressButtonClick();
}

void TVoktForm::N02Click(int decimals) {
  driver_.XValueDecimals = decimals;
  CheckXDecimalsItem(decimals);
  if (ActivePage() == PageId::Cdf) {
    // The cdf page shows its own x again with the new decimals.
    if (!driver_.ParametersComplete()) return;
    driver_.InputMode = 9;
    Guarded([&] { driver_.UpdateCdfPage(); });
    SyncButtonCaption();
    return;
  }
  driver_.InputMode = 5;
  PressButtonClick();
}

void TVoktForm::MenuItemOptionsClick() {
  // Integer-valued distributions need no x decimals; empirical tables may
  // hold any values.
  const tDistribution* d = driver_.Current;
  MenuXDecimals->menuAction()->setEnabled(
      d && (!d->IsDiscrete() || dynamic_cast<const tEmpirical_distribution*>(d)));
}

void TVoktForm::MenuItemHelpClick() {
  if (!helpWindow_) {
    auto* browser = new THelpBrowser(this);
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

void TVoktForm::MenuItemAboutClick() {
  TAboutBox box(this);
  box.exec();
}

// ---------------------------------------------------------------------------
// Graph interaction: dragging the markers, copying a graph

bool TVoktForm::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  if (t != QEvent::MouseButtonPress && t != QEvent::MouseMove && t != QEvent::MouseButtonRelease)
    return QMainWindow::eventFilter(watched, event);
  auto* me = static_cast<QMouseEvent*>(event);
  const int x = static_cast<int>(me->position().x());
  const bool pdf = watched == PanelDraw || watched == ArrowLeft || watched == ArrowRight;
  Guarded([&] {
    if (t == QEvent::MouseButtonPress) {
      pdf ? PanelDrawMouseDown(me->button(), x) : PanelcdfDrawMouseDown(me->button(), x);
    } else if (t == QEvent::MouseMove) {
      const bool left = me->buttons() & Qt::LeftButton;
      pdf ? PanelDrawMouseMove(left, x) : PanelcdfDrawMouseMove(left, x);
    } else {
      pdf ? PanelDrawMouseUp(me->button(), x) : PanelcdfDrawMouseUp(me->button(), x);
    }
  });
  return true;
}

void TVoktForm::MarkerToX(QWidget* panel, TPaintBox* box, int dx) {
  tDistribution* d = driver_.Current;
  if (!d) return;
  const int c = panel->x() + panel->width() / 2 + dx;
  const Rect rect{0, 0, box->width(), box->height()};
  Extended x = PixelToX(c - box->x(), d->Range(), rect);
  // Integer-valued distributions snap to the nearest integer.
  if (d->IsDiscrete() && !dynamic_cast<tEmpirical_distribution*>(d)) x = RoundExt(x);
  driver_.CurrentX = x;
}

void TVoktForm::PanelDrawMouseDown(Qt::MouseButton button, int x) {
  if (button != Qt::LeftButton || !driver_.ParametersComplete()) return;
  DragStartX = x;
  MarkerToX(PanelDraw, kansgrafiek, 0);
  driver_.UpdateDensityPage(false);
}

void TVoktForm::PanelDrawMouseMove(bool leftDown, int x) {
  if (!leftDown || x == DragStartX || !driver_.ParametersComplete()) return;
  MarkerToX(PanelDraw, kansgrafiek, x - DragStartX);
  driver_.UpdateDensityPage(false);
}

void TVoktForm::PanelDrawMouseUp(Qt::MouseButton button, int) {
  if (button != Qt::LeftButton || !driver_.ParametersComplete()) return;
  // Enter now computes at the x dragged to, from the x box.
  xValueEdit->setFocus(Qt::MouseFocusReason);
  driver_.InputMode = 4;
  SyncButtonCaption();
  driver_.UpdateDensityPage(true);
}

void TVoktForm::PanelcdfDrawMouseDown(Qt::MouseButton button, int x) {
  if (!driver_.ParametersComplete()) return;
  driver_.InputMode = 8;
  SyncButtonCaption();
  if (button != Qt::LeftButton) return;
  DragStartX = x;
  MarkerToX(PanelcdfDraw, cdFgrafiek, 0);
  driver_.UpdateCdfPage();
}

void TVoktForm::PanelcdfDrawMouseMove(bool leftDown, int x) {
  if (!leftDown || x == DragStartX || !driver_.ParametersComplete()) return;
  MarkerToX(PanelcdfDraw, cdFgrafiek, x - DragStartX);
  driver_.UpdateCdfPage();
}

void TVoktForm::PanelcdfDrawMouseUp(Qt::MouseButton button, int) {
  if (button != Qt::LeftButton || !driver_.ParametersComplete()) return;
  xcdFEdit->setFocus(Qt::MouseFocusReason);
  driver_.InputMode = 8;
  SyncButtonCaption();
  driver_.UpdateCdfPage();
}

QWidget* TVoktForm::GraphPageToCopy() const {
  const PageId page = ActivePage();
  if (page == PageId::Pdf && driver_.ParametersComplete()) return TabSheetPQ;
  if (page == PageId::Cdf) return TabSheetcdF;
  return nullptr;
}

void TVoktForm::ActionCopyGraphExecute() {
  if (QWidget* sheet = GraphPageToCopy()) {
    const TCleanCapture clean(sheet);
    QGuiApplication::clipboard()->setPixmap(sheet->grab());
  }
}

void TVoktForm::ActionSaveGraphExecute() {
  QWidget* sheet = GraphPageToCopy();
  if (!sheet) return;
  const bool pdf = sheet == TabSheetPQ;
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
      throw EArgumentError("A graph is saved as a .png or .svg file, not " +
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
    const TCleanCapture clean(sheet);
    if (ok && suffix == QLatin1String("svg")) {
      // The page's widgets paint themselves into the generator: the curves,
      // areas and texts stay vectors.
      QSvgGenerator svg;
      svg.setOutputDevice(&out);
      svg.setSize(sheet->size());
      svg.setViewBox(QRect(QPoint(0, 0), sheet->size()));
      svg.setResolution(96);  // CSS pixels: shown at the page's own size
      svg.setTitle(QStringLiteral("VOKT"));
      if (driver_.Current)
        svg.setDescription(
            Q(driver_.Current->NameText() + (pdf ? " density" : " distribution function")));
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
    if (!ok || !out.commit()) throw EArgumentError("Cannot write " + shortName.toStdString());
    return;
  }
}

// ---------------------------------------------------------------------------
// Rank tests: the exact tables are rebuilt by enumeration

void TVoktForm::SetPosition(int percent) { ProgressBar1->setValue(std::clamp(percent, 0, 100)); }

void TVoktForm::ProcessEvents() { QApplication::processEvents(); }

void TVoktForm::SetBusy(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TVoktForm::CancelButtonClick() {
  sampleCancel_ = true;
  if (cancelRun_) cancelRun_();
}

int32_t TVoktForm::GridInteger(int k) {
  const auto& texts = driver_.ParameterTexts;
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
void TVoktForm::RunEnumeration(bool showProgress, Build&& build) {
  // Pending events are let through while the tables are counted: everything
  // but Cancel is locked, so no second press or type change can start.
  struct Lock {
    TVoktForm& f;
    bool progress;
    Lock(TVoktForm& form, bool p) : f(form), progress(p) {
      for (QWidget* w : {static_cast<QWidget*>(f.DistribBox), static_cast<QWidget*>(f.PageControl),
                         static_cast<QWidget*>(f.PressButton), static_cast<QWidget*>(f.menuBar())})
        w->setEnabled(false);
      if (progress) {
        f.ProgressBar1->setValue(0);
        f.ProgressBar1->show();
        f.ProgressBar1->raise();
        f.CancelButton->show();
        f.CancelButton->raise();
      }
    }
    ~Lock() {
      f.ProgressBar1->hide();
      f.CancelButton->hide();
      for (QWidget* w : {static_cast<QWidget*>(f.DistribBox), static_cast<QWidget*>(f.PageControl),
                         static_cast<QWidget*>(f.PressButton), static_cast<QWidget*>(f.menuBar())})
        w->setEnabled(true);
    }
  } lock(*this, showProgress);
  build(showProgress ? static_cast<ProgressSink*>(this) : nullptr);
}

template <class Compute>
std::optional<tRankTable> TVoktForm::RunRankBuild(bool showProgress, Compute&& compute) {
  // The window is locked as for the sample drawing; a local event loop keeps
  // it painting and movable while the worker counts.  The worker reports
  // through queued calls and ends the loop with one.
  std::optional<tRankTable> result;
  RunEnumeration(showProgress, [&](ProgressSink* sink) {
    BusyScope busy(this);
    std::stop_source stop;
    tRankControl control;
    control.Stop = stop.get_token();
    QPointer<TVoktForm> self(this);
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
        } catch (const ECancelled&) {
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

void TVoktForm::ApplyKruskalWallis() {
  auto* kw = dynamic_cast<tKruskalWallis_Distribution*>(driver_.Current);
  if (!kw) return;
  std::vector<int32_t> rows(1, 0);
  for (int k = 1; k <= ParameterGrid->rowCount() - 1; ++k) {
    const auto& texts = driver_.ParameterTexts;
    const bool empty = k >= static_cast<int>(texts.size()) || texts[k].empty();
    rows.push_back(empty ? 0 : GridInteger(k));
  }
  const std::array<tVar, 4> oldPar = kw->Par;
  std::vector<int32_t> packed(1, 0);
  for (size_t i = 1; i < rows.size(); ++i)
    if (rows[i] > 0) packed.push_back(rows[i]);
  std::optional<tRankTable> table;
  try {
    // Sizes and cost are checked first: a refused size answers at once.
    const tRankCost cost = kw->PrepareKruskalWallis(packed);
    table = RunRankBuild(cost.Seconds() > kProgressSeconds, [packed](const tRankControl& c) {
      return tKruskalWallis_Distribution::ComputeKruskalWallis(packed, &c);
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
  driver_.ShowDistribution();
  RefreshActivePage();
  driver_.InputMode = ActivePage() == PageId::Cdf ? 8 : 4;
}

void TVoktForm::ApplyFriedman() {
  auto* fr = dynamic_cast<tFriedman_Distribution*>(driver_.Current);
  if (!fr) return;
  const int32_t t = GridInteger(1);
  const int32_t b = GridInteger(2);
  const std::array<tVar, 4> oldPar = fr->Par;
  std::optional<tRankTable> table;
  try {
    const tRankCost cost = fr->PrepareFriedman(t, b);
    table = RunRankBuild(cost.Seconds() > kProgressSeconds, [t, b](const tRankControl& c) {
      return tFriedman_Distribution::ComputeFriedman(t, b, &c);
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
  driver_.ShowDistribution();
  RefreshActivePage();
  driver_.InputMode = ActivePage() == PageId::Cdf ? 8 : 4;
}

void TVoktForm::ShowKruskalWallisRows() {
  auto* kw = dynamic_cast<tKruskalWallis_Distribution*>(driver_.Current);
  if (!kw) return;
  const int rows = kw->GroupCount + 1;
  SetGridRowCount(rows);
  auto& texts = driver_.ParameterTexts;
  texts.assign(rows + 1, std::string());
  if (!kw->Par[1].Unset)
    for (int k = 1; k < rows && k < static_cast<int>(kw->GroupSizes.size()); ++k)
      texts[k] = std::to_string(kw->GroupSizes[static_cast<size_t>(k)]);
  RestartGridEditor();
  GridTextsChanged();
}

// ---------------------------------------------------------------------------
// Samples and random assignment

void TVoktForm::ActionSaveUpdate() {
  const bool complete = driver_.ParametersComplete();
  ActionDrawSample->setEnabled(complete);
  ActionCopyGraph->setEnabled(complete);
  ActionSaveGraph->setEnabled(complete);
  const bool sample = PageControl->isTabVisible(kSamplePage);
  ActionSave->setEnabled(sample);
  ActionClear->setEnabled(sample);
  ActionAssign->setEnabled(true);
}

bool TVoktForm::ConfirmDiscardSample() {
  if (!SampleMemo->IsModified()) return true;
  switch (Ask(LoadString(883), true)) {
    case Answer::Cancel:
      return false;
    case Answer::Yes:
      // A cancelled or failed save keeps the sample and stops what asked.
      Guarded([&] { MenuItemSaveClick(); });
      if (SampleMemo->IsModified()) return false;
      MenuItemClearClick();
      return true;
    case Answer::No:
      return true;
  }
  return true;
}

void TVoktForm::AppendSampleLines(std::vector<std::string> lines, const QString& hint) {
  SampleMemo->AppendLines(std::move(lines));
  ShowSamplePage(hint);
}

void TVoktForm::ShowSamplePage(const QString& hint) {
  SampleMemo->SetModified(true);
  PageControl->setTabVisible(kSamplePage, true);
  TabSheetRS->setToolTip(hint);
  PageControl->setCurrentIndex(kSamplePage);
  PressButton->hide();
}

void TVoktForm::DrawClick() {
  tDistribution* d = driver_.Current;
  if (!d || !driver_.ParametersComplete()) return;
  if (!ConfirmDiscardSample()) return;
  // Integer-valued types print integers; the rank tests' tables (and any
  // empirical table) hold fractional values and get the format choice.
  DrawForm->FormatBoxVisible = !d->IsDiscrete() || dynamic_cast<tEmpirical_distribution*>(d);
  DrawForm->DecimalsEdit->setText(QString::number(d->XDecimals()));
  if (!RunDialog(*DrawForm)) return;
  tSampleFormat format;
  format.integers = !DrawForm->FormatBoxVisible;
  format.floatingPoint = DrawForm->FloatingPoint;
  format.decimals = DrawForm->Decimals;
  const int64_t n = DrawForm->SampleSize;
  // The values are kept as numbers and reach the page once the draw is over;
  // the page formats only the lines it shows.  Cancel drops this draw.
  std::vector<Extended> values;
  values.reserve(static_cast<size_t>(n));
  constexpr int64_t kBatch = 8192;
  bool cancelled = false;
  // A seed restarts the generator for this draw only; the stream of unseeded
  // draws goes on afterwards where it was.
  TSeededDraw seeded(DrawForm->HasSeed, DrawForm->Seed);
  try {
    RunEnumeration(n > kSampleProgressSize, [&](ProgressSink* sink) {
      BusyScope busy(sink);
      sampleCancel_ = false;
      for (int64_t i = 0; i < n; ++i) {
        values.push_back(d->RandomValue());
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
    SampleMemo->AppendValues(std::move(values), format);
    ShowSamplePage(QStringLiteral("random sample"));
    throw;
  }
  if (cancelled) return;
  SampleMemo->AppendValues(std::move(values), format);
  ShowSamplePage(QStringLiteral("random sample"));
}

void TVoktForm::AssignClick() {
  if (!ConfirmDiscardSample()) return;
  if (!RunDialog(*AssignForm)) return;
  if (AssignForm->Subjects > kMaxSubjects) throw ERangeError();
  std::mt19937& rng = random_;
  const auto lines =
      AssignSubjects(static_cast<int>(AssignForm->Subjects), AssignForm->Groups,
                     [&rng](int m) { return std::uniform_int_distribution<int>(0, m - 1)(rng); });
  AppendSampleLines(lines, QStringLiteral("assignment of subjects to groups"));
}

void TVoktForm::MenuItemSaveClick() {
  if (!SampleMemo->IsModified()) return;
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
    ok = ok && SampleMemo->WriteTo(f);
    ok = ok && f.commit();
    if (!ok) {
      const QString reason = f.errorString();
      f.cancelWriting();
      throw EArgumentError("Cannot write " + shortName.toStdString() +
                           (reason.isEmpty() ? std::string() : " (" + reason.toStdString() + ")"));
    }
    setWindowTitle(shortName);
    SampleMemo->SetModified(false);
    return;
  }
}

void TVoktForm::MenuItemClearClick() {
  const bool wasActive = ActivePage() == PageId::Sample;
  SampleMemo->Clear();
  PageControl->setTabVisible(kSamplePage, false);
  if (wasActive) PageControl->setCurrentIndex(kPdfPage);
}

// The main button is the window's default button: Enter anywhere presses it.
// The number edits and the grid press it themselves.
void TVoktForm::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && PressButton->isVisible() &&
      PressButton->isEnabled() && !qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
    e->accept();
    PressButtonClick();
    return;
  }
  QMainWindow::keyPressEvent(e);
}

void TVoktForm::closeEvent(QCloseEvent* e) {
  // Closing while a table is counted or a sample drawn stops that first; the
  // window closes once it has wound up (a cancelled draw takes its lines
  // back, so the question below is about the sample as it was before).
  if (ProgressBar1->isVisible() || !PressButton->isEnabled()) {
    CancelButtonClick();
    e->ignore();
    QTimer::singleShot(0, this, [this] { close(); });
    return;
  }
  if (SampleMemo->IsModified()) {
    switch (Ask(LoadString(883), true)) {
      case Answer::Cancel:
        e->ignore();
        return;
      case Answer::Yes:
        Guarded([&] { MenuItemSaveClick(); });
        if (SampleMemo->IsModified()) {
          // Not saved (cancelled or failed): the window stays open.
          e->ignore();
          return;
        }
        break;
      case Answer::No:
        SampleMemo->SetModified(false);
        break;
    }
  }
  QMainWindow::closeEvent(e);
}

void TVoktForm::kansgrafiekPaint(QPainter& p, const QRect& r) {
  tDistribution* d = driver_.Current;
  if (!d || !driver_.ParametersComplete()) return;
  const QRect graph = r.adjusted(0, 0, 0, -AxisStripHeight(*kansgrafiek));
  QPainterSurface surface(p, graph, palette());
  const Extended x = driver_.CurrentX;
  try {
    PaintAxis(p, r, *kansgrafiek, d->Range());
    if (Tails->PaintDensity(surface, *d)) return;  // a two-sided or interval view
    if (!d->IsDiscrete()) {
      d->DrawDensity(surface, clWindowText, clActiveCaption, d->SupportLow, x);
      d->DrawDensity(surface, clWindowText, clActiveCaption, x, d->SupportHigh);
    } else {
      d->DrawDensity(surface, clGray, clGray, d->SupportLow, x);
      d->DrawDensity(surface, clGray, clGray, x, d->SupportHigh);
      d->DrawDensity(surface, clWindowText, clWindowText, x, x);
    }
  } catch (...) {
    // A paint cannot show a message box; the numbers report the problem.
  }
}

void TVoktForm::cdFgrafiekPaint(QPainter& p, const QRect& r) {
  tDistribution* d = driver_.Current;
  if (!d || !driver_.ParametersComplete()) return;
  QPainterSurface surface(p, r.adjusted(0, 0, 0, -AxisStripHeight(*cdFgrafiek)), palette());
  try {
    PaintAxis(p, r, *cdFgrafiek, d->Range());
    d->DrawCdf(surface, driver_.CurrentX, d->SupportHigh);
  } catch (...) {
  }
}

void TVoktForm::UpdateSupportLabels(TPaintBox* box, QLabel* left, QLabel* right) {
  tDistribution* d = driver_.Current;
  if (!d || !driver_.ParametersComplete()) {
    left->clear();
    right->clear();
    return;
  }
  const tPlotRange range = d->Range();
  const Rect rect{0, 0, box->width(), box->height()};
  const int decimals = d->XDecimals();
  const QFontMetrics fm(left->font());
  auto place = [&](QLabel* label, Extended v) {
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

void TVoktForm::LayoutDensityPage() {
  const int pageW = TabSheetPQ->width(), pageH = TabSheetPQ->height();
  const int grayH = GrayPanel->height();
  GrayPanel->setGeometry(0, pageH - grayH, pageW, grayH);
  const int editTop = (grayH - LineHeight) / 2;
  for (tNumEdit* e : {ProbabilityEditLeft, ProbabilityEditCentral, ProbabilityEditRight})
    e->move(e->x(), editTop);
  const int panelTop = pageH - grayH - PanelDraw->height();
  PanelDraw->move(PanelDraw->x(), panelTop);
  xValueEdit->move((PanelDraw->width() - xValueEdit->width()) / 2,
                   PanelDraw->height() - xValueEdit->height());
  for (QLabel* a : {ArrowLeft, ArrowRight})
    a->move(a->x(), xValueEdit->y() + (xValueEdit->height() - a->height()) / 2);
  const int top =
      Tails->Layout(pageW, LineHeight, NumberWidth, PanelDraw->width(), PanelDraw->height());
  kansgrafiek->setGeometry(DigitsWidth + NumberWidth, top, std::max(1, pageW - 3 * NumberWidth),
                           std::max(1, panelTop - top));
  for (QLabel* l : {LinkerwaardeLabel, RechterwaardeLabel}) l->move(l->x(), panelTop);
}

void TVoktForm::LayoutCdfPage() {
  const int pageW = TabSheetcdF->width(), pageH = TabSheetcdF->height();
  const int graphH = std::max(1, pageH - xcdFEdit->height() - HalfLine - 2);
  cdFgrafiek->setGeometry(NumberWidth + 1, HalfLine,
                          std::max(1, pageW - 2 - NumberWidth - DigitsWidth), graphH);
  const int bottom = cdFgrafiek->y() + graphH;
  // The marker panel keeps to the page so its edit stays whole.
  PanelcdfDraw->setGeometry(PanelcdfDraw->x(), bottom + 1, PanelcdfDraw->width(),
                            std::max(xcdFEdit->height(), pageH - bottom - 1));
  xcdFEdit->move((PanelcdfDraw->width() - xcdFEdit->width()) / 2,
                 PanelcdfDraw->height() - xcdFEdit->height());
  for (QLabel* a : {ArrowcdFLeft, ArrowcdFRight})
    a->move(a->x(), xcdFEdit->y() + (xcdFEdit->height() - a->height()) / 2);
  for (QLabel* l : {LinkercdFLabel, RechtercdFLabel}) l->move(l->x(), bottom + 2);
  cdFEdit->move(0, cdFEdit->y());
}

void TVoktForm::RefreshActivePage() {
  const int width = std::max(1, Panel->width() - DistribBox->x() - DistribBox->width() - 10);
  PageControl->setGeometry(Panel->width() - width, 0, width, Panel->height());
  if (!PageControl->isVisible()) {
    // A hidden tab widget lays out its pages only when shown; do it now so
    // the pages have their sizes for the layout below.
    QResizeEvent e(PageControl->size(), PageControl->size());
    QCoreApplication::sendEvent(PageControl, &e);
  }
  // Four tabs share the width equally (the sample tab is hidden until used).
  const int tabWidth = std::max(20, width / 4 - 4);
  if (tabWidth != tabWidth_) {
    tabWidth_ = tabWidth;
    PageControl->tabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { width: %1px; padding: 2px 0px; margin: 0px; }")
            .arg(tabWidth));
  }
  const PageId page = ActivePage();
  PressButton->setVisible(page != PageId::Sample);
  const bool complete = driver_.ParametersComplete();
  switch (page) {
    case PageId::Pdf:
      if (complete) {
        LayoutDensityPage();
        ShowPageContents(PageId::Pdf);
        driver_.UpdateDensityPage(true);
      } else {
        for (QWidget* w : TabSheetPQ->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->hide();
      }
      break;
    case PageId::Cdf:
      if (complete) {
        LayoutCdfPage();
        ShowPageContents(PageId::Cdf);
        driver_.UpdateCdfPage();
      } else {
        for (QWidget* w : TabSheetcdF->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
          w->hide();
      }
      break;
    case PageId::Formulas:
      FillFormulasPage(*FormulaEdit, driver_.Current, driver_.CurrentX);
      // The button applies the grid again from here, and says so.
      driver_.InputMode = 0;
      SetButtonCaption(LoadString(876));
      break;
    case PageId::Sample:
      break;
  }
}

void TVoktForm::ShowPageContents(PageId page) {
  QWidget* sheet = page == PageId::Pdf ? TabSheetPQ : page == PageId::Cdf ? TabSheetcdF : nullptr;
  if (!sheet) return;
  for (QWidget* w : sheet->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->show();
}

// ---------------------------------------------------------------------------
// tDriverView

tNumEdit* TVoktForm::Edit(EditId id) const {
  switch (id) {
    case EditId::xValue:
      return xValueEdit;
    case EditId::ProbLeft:
      return ProbabilityEditLeft;
    case EditId::ProbCentral:
      return ProbabilityEditCentral;
    case EditId::ProbRight:
      return ProbabilityEditRight;
    case EditId::xcdF:
      return xcdFEdit;
    case EditId::cdF:
      return cdFEdit;
  }
  return xValueEdit;
}

std::string TVoktForm::EditText(EditId id) const { return Edit(id)->text().toStdString(); }

void TVoktForm::SetEditText(EditId id, const std::string& text) {
  tNumEdit* e = Edit(id);
  e->setText(Q(text));
  e->setCursorPosition(0);
  if (id == EditId::ProbLeft || id == EditId::ProbRight || id == EditId::cdF)
    e->resize(FittedWidth(e, NumberWidth), e->height());
}

void TVoktForm::FocusEdit(EditId id) { Edit(id)->setFocus(Qt::OtherFocusReason); }

void TVoktForm::SetButtonCaption(const std::string& text) { PressButton->setText(Q(text)); }

PageId TVoktForm::ActivePage() const {
  switch (PageControl->currentIndex()) {
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

void TVoktForm::SetGridRowCount(int rows) {
  inSelect_ = true;
  ParameterGrid->CloseEditor();
  ParameterGrid->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < 2; ++c) {
      if (!ParameterGrid->item(r, c)) ParameterGrid->setItem(r, c, new QTableWidgetItem);
      ParameterGrid->item(r, c)->setFlags(
          c == 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    }
  }
  inSelect_ = false;
  const int border = 2 * ParameterGrid->frameWidth();
  ParameterGrid->resize(ParameterGrid->width(),
                        std::max(1, std::min(rows, 3)) * kRowHeight + border);
  SyncGridItems();
}

void TVoktForm::SyncGridItems() {
  const auto& texts = driver_.ParameterTexts;
  for (int r = 0; r < ParameterGrid->rowCount(); ++r) {
    const QString hint = Q(RowHint(r));
    const QString text = r + 1 < static_cast<int>(texts.size()) ? Q(texts[r + 1]) : QString();
    for (int c = 0; c < 2; ++c) {
      QTableWidgetItem* item = ParameterGrid->item(r, c);
      if (!item) continue;
      if (item->toolTip() != hint) item->setToolTip(hint);
      if (c == 1 && item->text() != text) item->setText(text);
    }
  }
}

void TVoktForm::GridTextsChanged() {
  SyncGridItems();
  // An open editor on another row shows its new text (the coupled rows of
  // the normal distribution); the row being typed in keeps its cursor.
  if (QLineEdit* e = ParameterGrid->Editor()) {
    const int r = ParameterGrid->currentRow() + 1;
    const auto& texts = driver_.ParameterTexts;
    if (r >= 1 && r < static_cast<int>(texts.size()) && !e->hasFocus() && e->text() != Q(texts[r]))
      e->setText(Q(texts[r]));
  }
  ParameterGrid->viewport()->update();
}

void TVoktForm::RestartGridEditor() {
  inSelect_ = true;
  ParameterGrid->RestartEditor();
  inSelect_ = false;
}

void TVoktForm::SelectGridRow(int row) {
  ParameterGrid->setCurrentCell(row, 1);
  ParameterGrid->setFocus();
  if (ParameterGrid->Editor()) ParameterGrid->Editor()->setFocus();
}

void TVoktForm::CheckXDecimalsItem(int decimals) {
  for (QAction* a : XDecimalsGroup->actions())
    if (a->data().toInt() == decimals) a->setChecked(true);
}

Rect TVoktForm::DensityBoxRect() const {
  return Rect{0, 0, kansgrafiek->width(), kansgrafiek->height()};
}

Rect TVoktForm::CdfBoxRect() const { return Rect{0, 0, cdFgrafiek->width(), cdFgrafiek->height()}; }

void TVoktForm::PlaceDensityMarker(int px, bool thinCentral) {
  const int boxLeft = kansgrafiek->x();
  PanelDraw->move(boxLeft + px - PanelDraw->width() / 2, PanelDraw->y());
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

void TVoktForm::PlaceCdfMarker(int px, Extended cdf) {
  PanelcdfDraw->move(cdFgrafiek->x() + px - PanelcdfDraw->width() / 2, PanelcdfDraw->y());
  const Extended frac = std::clamp<Extended>(1 - cdf, 0, 1);
  const int graphH = std::max(1, cdFgrafiek->height() - AxisStripHeight(*cdFgrafiek));
  const int top = cdFgrafiek->y() +
                  static_cast<int>(std::lround(static_cast<double>(frac * graphH))) -
                  cdFEdit->height() / 2;
  cdFEdit->move(cdFEdit->x(), top);
}

void TVoktForm::RepaintDensity() {
  UpdateSupportLabels(kansgrafiek, LinkerwaardeLabel, RechterwaardeLabel);
  kansgrafiek->update();
}

void TVoktForm::RepaintCdf() {
  UpdateSupportLabels(cdFgrafiek, LinkercdFLabel, RechtercdFLabel);
  cdFgrafiek->update();
}

void TVoktForm::Beep() { ui::Beep(); }

}  // namespace vokt::ui
