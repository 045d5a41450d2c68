#include "ui/sample_dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/messages.h"
#include "ui/sample.h"

namespace vokt::ui {

namespace {
// The dialogs' OK (default) and Cancel row; Cancel rejects.
void AddOkCancelRow(QDialog* dialog, QBoxLayout* layout, QPushButton*& ok, QPushButton*& cancel) {
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  ok = new QPushButton(QStringLiteral("OK"), dialog);
  ok->setDefault(true);
  cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

// Digits and Backspace only, as the count edits accept.
void DigitsOnly(NumberEdit* e) {
  e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
}

// The dialogs' range error: focus, beep and the message, the dialog stays.
void RefuseValue(QWidget* edit) {
  edit->setFocus();
  Beep();
  ShowErrorMessage(RangeError().what());
}
}  // namespace

DrawDialog::DrawDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Draw Sample"));
  auto* layout = new QVBoxLayout(this);
  auto* sizeBox = new QGroupBox(QStringLiteral(" Sample Size  "), this);
  auto* sizeLayout = new QHBoxLayout(sizeBox);
  sizeLayout->addWidget(new QLabel(QStringLiteral(" n =  "), sizeBox));
  SampleSizeEdit = new NumberEdit(sizeBox);
  SampleSizeEdit->setText(QStringLiteral("10"));
  DigitsOnly(SampleSizeEdit);
  sizeLayout->addWidget(SampleSizeEdit);
  layout->addWidget(sizeBox);

  FormatBox = new QGroupBox(QStringLiteral(" Format  "), this);
  auto* formatLayout = new QHBoxLayout(FormatBox);
  FloatingPointCheckBox = new QCheckBox(QStringLiteral("Floating point  or "), FormatBox);
  formatLayout->addWidget(FloatingPointCheckBox);
  DecimalsEdit = new NumberEdit(FormatBox);
  DecimalsEdit->setMaximumWidth(50);
  formatLayout->addWidget(DecimalsEdit);
  formatLayout->addWidget(new QLabel(QStringLiteral("decimals"), FormatBox));
  layout->addWidget(FormatBox);

  auto* seedBox = new QGroupBox(QStringLiteral(" Seed (optional)  "), this);
  auto* seedLayout = new QHBoxLayout(seedBox);
  SeedEdit = new QLineEdit(seedBox);
  SeedEdit->setPlaceholderText(QStringLiteral("none: a new sample every time"));
  SeedEdit->setToolTip(QStringLiteral("The same seed draws the same sample again"));
  SeedEdit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), SeedEdit));
  seedLayout->addWidget(SeedEdit);
  layout->addWidget(seedBox);

  AddOkCancelRow(this, layout, OKButton, CancelButton);
  connect(OKButton, &QPushButton::clicked, this, [this] { Guarded([&] { CheckAndAccept(); }); });
}

void DrawDialog::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  FormatBox->setVisible(FormatBoxVisible);
}

void DrawDialog::CheckAndAccept() {
  int64_t n;
  try {
    n = IntegerValue(SampleSizeEdit->text(), 1, kMaxSampleSize);
  } catch (const RangeError&) {
    RefuseValue(SampleSizeEdit);
    return;
  }
  const bool floating = FloatingPointCheckBox->isChecked();
  int decimals = Decimals;
  if (!floating && FormatBoxVisible) {
    try {
      decimals = static_cast<int>(IntegerValue(DecimalsEdit->text(), 0, 18));
    } catch (const RangeError&) {
      RefuseValue(DecimalsEdit);
      return;
    }
  }
  const bool hasSeed = !SeedEdit->text().trimmed().isEmpty();
  uint64_t seed = 0;
  if (hasSeed) {
    try {
      seed = static_cast<uint64_t>(IntegerValue(SeedEdit->text(), 0, kMaxSeed));
    } catch (const RangeError&) {
      RefuseValue(SeedEdit);
      return;
    }
  }
  SampleSize = n;
  FloatingPoint = floating;
  Decimals = decimals;
  HasSeed = hasSeed;
  Seed = seed;
  accept();
}

AssignDialog::AssignDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Assign"));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Assign"), this), 0, 0);
  nsubjectsEdit = new NumberEdit(this);
  DigitsOnly(nsubjectsEdit);
  grid->addWidget(nsubjectsEdit, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("subjects"), this), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("to"), this), 1, 0);
  ngroupsedit = new NumberEdit(this);
  DigitsOnly(ngroupsedit);
  grid->addWidget(ngroupsedit, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("groups"), this), 1, 2);
  layout->addLayout(grid);
  AddOkCancelRow(this, layout, OKButton, CancelButton);
  connect(OKButton, &QPushButton::clicked, this, [this] { Guarded([&] { CheckAndAccept(); }); });
}

void AssignDialog::CheckAndAccept() {
  for (NumberEdit* e : {nsubjectsEdit, ngroupsedit}) {
    if (e->text().isEmpty() || e->text() == QLatin1String(kNumEditPlaceholder)) {
      e->setFocus();
      return;
    }
  }
  int64_t n, k;
  try {
    n = IntegerValue(nsubjectsEdit->text(), 1, 2147483647);
  } catch (const RangeError&) {
    RefuseValue(nsubjectsEdit);
    return;
  }
  try {
    k = IntegerValue(ngroupsedit->text(), 1, 2147483647);
  } catch (const RangeError&) {
    RefuseValue(ngroupsedit);
    return;
  }
  Subjects = n;
  Groups = k;
  accept();
}

}  // namespace vokt::ui
