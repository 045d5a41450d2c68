// The dialogs of the Sample menu: Draw random sample (size, optional seed,
// number format) and Randomly assign (subjects to groups).
#pragma once

#include <QDialog>
#include <cstdint>

#include "ui/number_edit.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace vokt::ui {

class DrawDialog : public QDialog {
  Q_OBJECT
 public:
  explicit DrawDialog(QWidget* parent = nullptr);

  bool FormatBoxVisible = true;
  int64_t SampleSize = 10;
  bool FloatingPoint = false;
  int Decimals = 3;
  // The optional seed: an empty box draws as ever, a whole number 0 ..
  // kMaxSeed makes the draw repeatable.
  bool HasSeed = false;
  uint64_t Seed = 0;

  NumberEdit* SampleSizeEdit = nullptr;
  QLineEdit* SeedEdit = nullptr;
  QGroupBox* FormatBox = nullptr;
  QCheckBox* FloatingPointCheckBox = nullptr;
  NumberEdit* DecimalsEdit = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;

  // Checks the boxes and closes with them, or refuses a value.
  void CheckAndAccept();

 protected:
  void showEvent(QShowEvent* e) override;
};

class AssignDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AssignDialog(QWidget* parent = nullptr);

  int64_t Subjects = 0;
  int64_t Groups = 0;

  NumberEdit* nsubjectsEdit = nullptr;
  NumberEdit* ngroupsedit = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;

  // Checks the boxes and closes with them, or refuses a value.
  void CheckAndAccept();
};

}  // namespace vokt::ui
