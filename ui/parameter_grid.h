// The parameter grid: two columns, labels (formula markup) in the first,
// values edited in place in the second; the editor stays open on the current
// cell.  The texts are the calculator's ParameterTexts (row r shows text
// r + 1); the grid reports edits, keys and row changes as signals.
#pragma once

#include <QPointer>
#include <QTableWidget>
#include <string>

class QLineEdit;

namespace vokt::ui {

class Calculator;
struct Metrics;

class ParameterGrid : public QTableWidget {
  Q_OBJECT
 public:
  ParameterGrid(Calculator& calc, QWidget* parent);

  // Closes the in-place editor and opens it again on the current cell.
  void RestartEditor();
  void CloseEditor();
  // The editor that is open, if any.
  QLineEdit* Editor() const;

  // The label (formula markup) and the range hint of row r (0-based).
  std::string RowLabel(int row) const;
  std::string RowHint(int row) const;

  // The grid shows rows 1..rows of the texts; at most three at a time.
  void SetRows(int rows);
  // The items' texts and tips follow the calculator's texts.
  void TextsChanged();
  // Restarts the editor without reporting a row change.
  void RestartQuietly();
  // Makes row current without reporting it.
  void SetCurrentQuietly(int row);
  // Makes row the current row (value column) and focuses its editor.
  void SelectRow(int row);
  // The height of one row, from the font.
  int RowHeight() const;
  // Minimum width: the widest label and the widest value the grid can show.
  void Arrange(const Metrics& m);

 signals:
  void TextEdited(int row, const QString& text);
  void KeyPressed(int key);
  void EditorEntered();
  void RowSelected(int row);

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void keyPressEvent(QKeyEvent* e) override;
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  friend class GridDelegate;
  void SyncItems();
  void FitColumns();
  Calculator& calc_;
  QPointer<QLineEdit> editor_;
  bool quiet_ = false;
  int labelWidth_ = 60;
};

}  // namespace vokt::ui
