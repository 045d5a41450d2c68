// Random samples and random assignment: the number formats of the sample
// page, the assignment of numbered subjects to groups, saving the page, and
// the two dialogs that ask for their settings.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

#include "numeric/checks.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;

namespace vokt {

enum class SampleFormat {
  Integer,   // fixed notation, no decimals (discrete distributions)
  Fixed,     // fixed notation with a chosen number of decimals
  Exponent,  // 18 significant digits: 1.23450000000000000E+0003
};

// One sample value as the sample page shows it; the decimal separator is
// the current one of numeric/checks.h.
QString FormatSampleValue(Extended x, SampleFormat format, int decimals);

// Random assignment of subjects 1..n to k groups: a random permutation
// printed k numbers to a line, each right-aligned in 6 characters, so that
// column j lists group j.  randomBelow(m) returns an index in 0..m-1.
// Subjects are numbered in 16 bits: n above 32767 raises ERangeError, as do
// n or k below 1.
QStringList AssignmentLines(int64_t n, int64_t k, const std::function<int(int)>& randomBelow);

// The platform's integer random function, seeded once from the clock.
int RandomBelow(int m);

// Writes the lines as 8-bit text, each followed by CR LF, atomically: on
// failure the previous file is untouched and error holds the reason.
bool WriteSampleFile(const QString& path, const QStringList& lines, QString& error);

// Error box and beep used by the dialogs; tests replace them.
struct DialogHooks {
  std::function<void(QWidget*, const QString&)> showError;
  std::function<void()> beep;
};
DialogHooks& SampleDialogHooks();

// Reads a count typed into a digits-only edit: throws EArgumentError with
// "'%s' is not a valid integer value" when it is no integer at all, and
// ERangeError ("Range check error") outside low..high.
int64_t ReadCount(const QString& text, int64_t low, int64_t high);

// "Draw Sample": sample size, and for continuous and empirical types the
// format (floating point, or a number of decimals).  Settings are kept
// between uses.
class TDrawForm : public QDialog {
  Q_OBJECT
 public:
  explicit TDrawForm(QWidget* parent = nullptr);

  // Prepares the dialog for the current distribution: the decimals edit
  // shows its x decimals, the format box is shown only when formatVisible.
  void Prepare(bool formatVisible, int xDecimals);

  int64_t SampleSize() const { return sampleSize_; }
  bool FloatingPoint() const { return floatingPoint_; }
  int Decimals() const { return decimals_; }
  bool FormatBoxVisible() const { return formatVisible_; }
  SampleFormat Format() const;

  QLineEdit* SampleSizeEdit = nullptr;
  QGroupBox* FormatBox = nullptr;
  QCheckBox* FloatingPointCheckBox = nullptr;
  QLineEdit* DecimalsEdit = nullptr;

 public slots:
  void ButtonOKClick();

 private:
  int64_t sampleSize_ = 10;
  bool floatingPoint_ = false;
  int decimals_ = 3;
  bool formatVisible_ = true;
};

// "Assign": number of subjects and number of groups, kept between uses.
class TAssignForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAssignForm(QWidget* parent = nullptr);

  int64_t Subjects() const { return subjects_; }
  int64_t Groups() const { return groups_; }

  QLineEdit* nsubjectsEdit = nullptr;
  QLineEdit* ngroupsedit = nullptr;

 public slots:
  void OKButtonClick();

 private:
  int64_t subjects_ = 0;
  int64_t groups_ = 0;
};

}  // namespace vokt
