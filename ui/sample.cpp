#include "ui/sample.h"

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
#include <cmath>
#include <cstdio>

#include "ui/messages.h"

namespace vokt::ui {

namespace {
std::string WithSeparator(std::string s) {
  const char sep = DecimalSeparator();
  if (sep != '.')
    for (char& c : s)
      if (c == '.') c = sep;
  return s;
}

std::string Exponent(Real x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17Le", x);
  std::string s(buf);
  const size_t e = s.find('e');
  if (e == std::string::npos) return s;  // inf or nan cannot reach here
  const std::string mantissa = s.substr(0, e);
  const char sign = s[e + 1];
  std::string digits = s.substr(e + 2);
  while (digits.size() < 4) digits.insert(digits.begin(), '0');
  return mantissa + "E" + sign + digits;
}

// Fixed notation with the given decimals.  A sample of a million values
// spends a noticeable share of its time in printf's exact long-double
// conversion, so values whose scaled form is a modest integer are rounded
// and printed as integers; the scaled product is exact to far better than
// 1e-6 there, and anything near a rounding tie takes the exact path.
std::string FixedText(Real x, int decimals) {
  static const Real kPowers[19] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                   1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                   1e14L, 1e15L, 1e16L, 1e17L, 1e18L};
  const Real scaled = x * kPowers[decimals];
  const Real frac = std::fabs(scaled - std::trunc(scaled));
  if (std::fabs(scaled) < 1e12L && std::fabs(frac - 0.5L) > 1e-6L) {
    const long long v = std::llrint(scaled);
    std::string digits = std::to_string(v < 0 ? -v : v);
    if (static_cast<int>(digits.size()) <= decimals)
      digits.insert(0, static_cast<size_t>(decimals + 1) - digits.size(), '0');
    if (decimals > 0) digits.insert(digits.size() - static_cast<size_t>(decimals), 1, '.');
    return v < 0 ? "-" + digits : digits;
  }
  char buf[128];
  std::snprintf(buf, sizeof buf, "%.*Lf", decimals, x);
  return buf;
}

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

std::string FormatSampleValue(Real x, const SampleFormat& format) {
  if (format.floatingPoint && !format.integers) return WithSeparator(Exponent(x));
  const int decimals = format.integers ? 0 : std::max(0, std::min(format.decimals, 18));
  if (std::fabs(x) >= 1e18L) return WithSeparator(Exponent(x));
  std::string s = FixedText(x, decimals);
  if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) {
    if (!s.empty() && s[0] == '-') s.erase(0, 1);  // no "-0.00"
  }
  return WithSeparator(s);
}

std::vector<std::string> AssignSubjects(int n, int64_t k,
                                        const std::function<int(int)>& randomIndex) {
  std::vector<std::string> lines;
  if (n < 1 || k < 1) return lines;
  std::vector<int16_t> subjects;
  subjects.reserve(static_cast<size_t>(n));
  for (int i = 1; i <= n; ++i) subjects.push_back(static_cast<int16_t>(i));
  const int64_t lineCount = (n - 1) / k + 1;
  for (int64_t line = 0; line < lineCount; ++line) {
    std::string text;
    // Draws after the last subject change nothing; stopping there keeps a
    // huge number of groups from spinning.
    for (int64_t draw = 0; draw < k && !subjects.empty(); ++draw) {
      const int m = static_cast<int>(subjects.size());
      const int j = randomIndex(m);
      char buf[16];
      std::snprintf(buf, sizeof buf, "%6d", static_cast<int>(subjects[static_cast<size_t>(j)]));
      text += buf;
      subjects[static_cast<size_t>(j)] = subjects.back();
      subjects.pop_back();
    }
    lines.push_back(text);
  }
  return lines;
}

int64_t IntegerValue(const QString& text, int64_t lo, int64_t hi) {
  const QString t = text.trimmed();
  bool ok = !t.isEmpty();
  for (QChar c : t)
    if (!c.isDigit() && c != u'-' && c != u'+') ok = false;
  if (!ok)
    throw ArgumentError("'" + text.left(40).toStdString() + "' is not a valid integer value");
  bool fits = false;
  const qlonglong v = t.toLongLong(&fits);
  if (!fits || v < lo || v > hi) throw RangeError();
  return v;
}

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
  connect(OKButton, &QPushButton::clicked, this, [this] { Guarded([&] { Accept(); }); });
}

void DrawDialog::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  FormatBox->setVisible(FormatBoxVisible);
}

void DrawDialog::Accept() {
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
  connect(OKButton, &QPushButton::clicked, this, [this] { Guarded([&] { Accept(); }); });
}

void AssignDialog::Accept() {
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
