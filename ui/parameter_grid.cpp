#include "ui/parameter_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

#include "distrib/family.h"
#include "formula/markup.h"
#include "formula/qt/painter_surface.h"
#include "ui/calculator.h"
#include "ui/messages.h"
#include "ui/metrics.h"

namespace vokt::ui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

// The colour of the grid's values: navy on a light base as ever, the
// palette's own text colour on a dark one.
QColor ValueColor(const QPalette& pal) {
  return pal.color(QPalette::Base).lightness() >= 128 ? QColor(0, 0, 128)
                                                      : pal.color(QPalette::Text);
}

// A label as plain text, for measuring: the markup's control characters go.
QString PlainLabel(const std::string& markup) {
  QString s = Q(markup);
  s.remove(QLatin1Char('_')).remove(QLatin1Char('^')).remove(QLatin1Char('@'));
  return s;
}
}  // namespace

class GridDelegate : public QStyledItemDelegate {
 public:
  explicit GridDelegate(ParameterGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

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
      MixedTextOut(surface, r.left() + 6, r.top() + 2, extent, true, grid_.RowLabel(row));
    } else {
      painter->fillRect(r, pal.color(QPalette::Base));
      if (option.state & QStyle::State_HasFocus)
        painter->fillRect(r, pal.color(QPalette::AlternateBase));
      painter->setPen(ValueColor(pal));
      painter->setFont(grid_.font());
      const auto& texts = grid_.calc_.ParameterTexts;
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
    ParameterGrid* grid = &grid_;
    QObject::connect(e, &QLineEdit::textEdited, &grid_,
                     [grid, row](const QString& t) { emit grid->TextEdited(row, t); });
    grid_.editor_ = e;
    return e;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* e = static_cast<QLineEdit*>(editor);
    const auto& texts = grid_.calc_.ParameterTexts;
    const int i = index.row() + 1;
    const QString t = i < static_cast<int>(texts.size()) ? Q(texts[i]) : QString();
    if (e->text() != t) e->setText(t);
  }

  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {
    // The texts live in the calculator's ParameterTexts, updated on every edit.
  }

  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex&) const override {
    editor->setGeometry(option.rect.adjusted(0, 0, -1, -1));
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      emit grid_.KeyPressed(key);
      if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) return true;
    }
    if (event->type() == QEvent::FocusOut) return false;  // the editor stays open
    if (event->type() == QEvent::FocusIn && !grid_.quiet_) emit grid_.EditorEntered();
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  ParameterGrid& grid_;
};

ParameterGrid::ParameterGrid(Calculator& calc, QWidget* parent)
    : QTableWidget(parent), calc_(calc) {
  setColumnCount(2);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  verticalHeader()->setMinimumSectionSize(8);
  verticalHeader()->setDefaultSectionSize(RowHeight());
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // The columns always fill the width: the grid never scrolls sideways.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
  horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  setShowGrid(false);
  setTabKeyNavigation(true);
  setItemDelegate(new GridDelegate(*this));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int ParameterGrid::RowHeight() const { return std::max(24, fontMetrics().height() + 8); }

void ParameterGrid::Arrange(const Metrics& m) {
  verticalHeader()->setDefaultSectionSize(RowHeight());
  const QFontMetrics fm(font());
  // The widest value: a full-format number such as 1.41421356237310.
  const int valueWidth = fm.horizontalAdvance(QStringLiteral("-1.414213562373095")) + 8;
  const int scroll = verticalScrollBar()->sizeHint().width();
  setMinimumWidth(std::max(m.TypeBoxWidth, labelWidth_ + valueWidth + scroll + 2 * frameWidth()));
  FitColumns();
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

void ParameterGrid::RestartQuietly() {
  quiet_ = true;
  RestartEditor();
  quiet_ = false;
}

void ParameterGrid::SetCurrentQuietly(int row) {
  quiet_ = true;
  setCurrentCell(row, 1);
  quiet_ = false;
}

void ParameterGrid::SelectRow(int row) {
  setCurrentCell(row, 1);
  setFocus();
  if (Editor()) Editor()->setFocus();
}

std::string ParameterGrid::RowLabel(int row) const {
  const Distribution* d = calc_.Current;
  if (!d) return {};
  if (FamilyOf(*d).Apply == ApplyStyle::GroupSizes) return "n_" + std::to_string(row + 1) + "^ =";
  if (row < 0 || row >= d->ParCount()) return {};
  Parameter r;
  d->GetParameter(row + 1, r);
  return r.Symbol + " =";
}

std::string ParameterGrid::RowHint(int row) const {
  const Distribution* d = calc_.Current;
  if (!d) return {};
  if (FamilyOf(*d).Apply == ApplyStyle::GroupSizes)
    return "n_" + std::to_string(row + 1) + "^ = 0, 1, 2, ...";
  if (row < 0 || row >= d->ParCount()) return {};
  Parameter r;
  d->GetParameter(row + 1, r);
  return r.RangeHint;
}

void ParameterGrid::SetRows(int rows) {
  quiet_ = true;
  CloseEditor();
  setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < 2; ++c) {
      if (!item(r, c)) setItem(r, c, new QTableWidgetItem);
      item(r, c)->setFlags(c == 0 ? Qt::NoItemFlags
                                  : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    }
  }
  quiet_ = false;
  setFixedHeight(std::max(1, std::min(rows, 3)) * RowHeight() + 2 * frameWidth());
  SyncItems();
  FitColumns();
}

void ParameterGrid::SyncItems() {
  const auto& texts = calc_.ParameterTexts;
  for (int r = 0; r < rowCount(); ++r) {
    const QString hint = Q(RowHint(r));
    const QString text = r + 1 < static_cast<int>(texts.size()) ? Q(texts[r + 1]) : QString();
    for (int c = 0; c < 2; ++c) {
      QTableWidgetItem* it = item(r, c);
      if (!it) continue;
      if (it->toolTip() != hint) it->setToolTip(hint);
      if (c == 1 && it->text() != text) it->setText(text);
    }
  }
}

void ParameterGrid::TextsChanged() {
  SyncItems();
  // An open editor on another row shows its new text (the coupled rows of
  // the normal distribution); the row being typed in keeps its cursor.
  if (QLineEdit* e = Editor()) {
    const int r = currentRow() + 1;
    const auto& texts = calc_.ParameterTexts;
    if (r >= 1 && r < static_cast<int>(texts.size()) && !e->hasFocus() && e->text() != Q(texts[r]))
      e->setText(Q(texts[r]));
  }
  viewport()->update();
}

// The label column is as wide as its widest label (every n keeps its index);
// the value column takes the rest.
void ParameterGrid::FitColumns() {
  const QFontMetrics fm(font());
  int widest = fm.horizontalAdvance(QStringLiteral("\u03C3\u00B2 =")) + 16;
  for (int r = 0; r < rowCount(); ++r)
    widest = std::max(widest, fm.horizontalAdvance(PlainLabel(RowLabel(r))) + 16);
  labelWidth_ = widest;
  setColumnWidth(0, std::min(labelWidth_, std::max(20, viewport()->width() / 2)));
  horizontalScrollBar()->setValue(0);
}

void ParameterGrid::resizeEvent(QResizeEvent* e) {
  QTableWidget::resizeEvent(e);
  FitColumns();
}

void ParameterGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableWidget::currentChanged(current, previous);
  if (current.isValid() && !quiet_) emit RowSelected(current.row());
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
  emit KeyPressed(e->key());
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    e->accept();
    return;
  }
  QTableWidget::keyPressEvent(e);
}

}  // namespace vokt::ui
