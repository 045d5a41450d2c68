#include "ui/sample.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSaveFile>
#include <QVBoxLayout>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace vokt {

namespace {

QString WithSeparator(std::string s) {
  const char sep = DecimalSeparator();
  if (sep != '.')
    for (char& c : s)
      if (c == '.') c = sep;
  return QString::fromStdString(s);
}

// 18 significant digits, "E", the exponent's sign and at least 4 digits.
std::string ExponentText(Extended x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17LE", x);
  std::string s(buf);
  auto e = s.find('E');
  if (e == std::string::npos) return s;  // inf or nan
  std::string mant = s.substr(0, e);
  char sign = s[e + 1];
  std::string digits = s.substr(e + 2);
  while (digits.size() < 4) digits.insert(digits.begin(), '0');
  return mant + "E" + sign + digits;
}

// Only the digits and Backspace reach a count edit; other typed characters
// are dropped (navigation and dialog keys pass).
class DigitsOnlyFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      auto* ke = static_cast<QKeyEvent*>(event);
      const QString t = ke->text();
      const bool printable = !t.isEmpty() && t[0].isPrint();
      const bool ctrl = ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
      if (printable && !ctrl && !(t.size() == 1 && t[0] >= QChar('0') && t[0] <= QChar('9')))
        return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

void HandleRangeError(QWidget* dialog, QLineEdit* edit, const std::exception& e) {
  edit->setFocus();
  SampleDialogHooks().beep();
  SampleDialogHooks().showError(dialog, QString::fromStdString(e.what()));
}

}  // namespace

QString FormatSampleValue(Extended x, SampleFormat format, int decimals) {
  if (!std::isfinite(x)) return QString::fromStdString(ExponentText(x));
  if (format == SampleFormat::Exponent) return WithSeparator(ExponentText(x));
  if (format == SampleFormat::Integer) decimals = 0;
  if (decimals < 0) decimals = 0;
  if (decimals > 18) decimals = 18;
  // More than 18 digits before the point do not fit the precision.
  if (std::fabs(x) >= 1e18L) return WithSeparator(ExponentText(x));
  char buf[128];
  std::snprintf(buf, sizeof buf, "%.*Lf", decimals, x);
  std::string s(buf);
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return WithSeparator(s);
}

QStringList AssignmentLines(int64_t n, int64_t k, const std::function<int(int)>& randomBelow) {
  if (n < 1 || k < 1 || n > 32767) throw ERangeError();
  std::vector<int16_t> subjects;
  subjects.reserve(static_cast<size_t>(n));
  for (int64_t i = 1; i <= n; ++i) subjects.push_back(static_cast<int16_t>(i));
  QStringList lines;
  const int64_t lineCount = (n - 1) / k + 1;
  for (int64_t line = 0; line < lineCount; ++line) {
    QString text;
    // Draws beyond the last subject do nothing, so a line stops there.
    for (int64_t draw = 0; draw < k && !subjects.empty(); ++draw) {
      const int m = static_cast<int>(subjects.size());
      const int j = randomBelow(m);
      if (j < 0 || j >= m) throw ERangeError();
      text += QString::number(subjects[static_cast<size_t>(j)]).rightJustified(6, ' ');
      subjects[static_cast<size_t>(j)] = subjects.back();
      subjects.pop_back();
    }
    lines << text;
  }
  return lines;
}

int RandomBelow(int m) {
  static std::mt19937 engine(
      static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  std::uniform_int_distribution<int> pick(0, m - 1);
  return pick(engine);
}

bool WriteSampleFile(const QString& path, const QStringList& lines, QString& error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = file.errorString();
    return false;
  }
  QByteArray bytes;
  for (const QString& line : lines) {
    bytes += line.toLatin1();
    bytes += "\r\n";
  }
  if (file.write(bytes) != bytes.size()) {
    error = file.errorString();
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    error = file.errorString();
    return false;
  }
  return true;
}

DialogHooks& SampleDialogHooks() {
  static DialogHooks hooks{[](QWidget* parent, const QString& text) {
                             QMessageBox::critical(parent, QStringLiteral("VOKT"), text);
                           },
                           [] { QApplication::beep(); }};
  return hooks;
}

int64_t ReadCount(const QString& text, int64_t low, int64_t high) {
  const QString t = text.trimmed();
  bool digits = !t.isEmpty();
  for (QChar c : t)
    if (!(c >= QChar('0') && c <= QChar('9'))) digits = false;
  if (!digits) throw EArgumentError("'" + text.toStdString() + "' is not a valid integer value");
  // More than 18 digits cannot be in range, whatever they say.
  if (t.size() > 18) throw ERangeError();
  const int64_t v = t.toLongLong();
  if (v < low || v > high) throw ERangeError();
  return v;
}

TDrawForm::TDrawForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Draw Sample"));
  auto* filter = new DigitsOnlyFilter(this);

  auto* sizeBox = new QGroupBox(QStringLiteral(" Sample Size  "), this);
  SampleSizeEdit = new QLineEdit(QStringLiteral("10"), sizeBox);
  SampleSizeEdit->setObjectName(QStringLiteral("SampleSizeEdit"));
  SampleSizeEdit->installEventFilter(filter);
  auto* sizeLayout = new QHBoxLayout(sizeBox);
  sizeLayout->addWidget(new QLabel(QStringLiteral(" n =  "), sizeBox));
  sizeLayout->addWidget(SampleSizeEdit);

  FormatBox = new QGroupBox(QStringLiteral(" Format  "), this);
  FormatBox->setObjectName(QStringLiteral("FormatBox"));
  FloatingPointCheckBox = new QCheckBox(QStringLiteral("Floating point  or "), FormatBox);
  FloatingPointCheckBox->setObjectName(QStringLiteral("FloatingPointCheckBox"));
  DecimalsEdit = new QLineEdit(FormatBox);
  DecimalsEdit->setObjectName(QStringLiteral("DecimalsEdit"));
  DecimalsEdit->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
  auto* formatLayout = new QHBoxLayout(FormatBox);
  formatLayout->addWidget(FloatingPointCheckBox);
  formatLayout->addWidget(DecimalsEdit);
  formatLayout->addWidget(new QLabel(QStringLiteral("decimals"), FormatBox));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TDrawForm::ButtonOKClick);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(sizeBox);
  layout->addWidget(FormatBox);
  layout->addWidget(buttons);
}

void TDrawForm::Prepare(bool formatVisible, int xDecimals) {
  formatVisible_ = formatVisible;
  DecimalsEdit->setText(QString::number(xDecimals));
  FormatBox->setVisible(formatVisible);
  SampleSizeEdit->setFocus();
}

SampleFormat TDrawForm::Format() const {
  if (!formatVisible_) return SampleFormat::Integer;
  return floatingPoint_ ? SampleFormat::Exponent : SampleFormat::Fixed;
}

void TDrawForm::ButtonOKClick() {
  QLineEdit* current = SampleSizeEdit;
  try {
    const int64_t n = ReadCount(SampleSizeEdit->text(), 1, 2147483647);
    const bool fp = FloatingPointCheckBox->isChecked();
    int d = decimals_;
    if (formatVisible_ && !fp) {
      current = DecimalsEdit;
      d = static_cast<int>(ReadCount(DecimalsEdit->text(), 0, 18));
    }
    sampleSize_ = n;
    floatingPoint_ = fp;
    decimals_ = d;
    accept();
  } catch (const ERangeError& e) {
    HandleRangeError(this, current, e);
  } catch (const std::exception& e) {
    current->setFocus();
    SampleDialogHooks().showError(this, QString::fromStdString(e.what()));
  }
}

TAssignForm::TAssignForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Assign"));
  auto* filter = new DigitsOnlyFilter(this);
  nsubjectsEdit = new QLineEdit(this);
  nsubjectsEdit->setObjectName(QStringLiteral("nsubjectsEdit"));
  nsubjectsEdit->installEventFilter(filter);
  ngroupsedit = new QLineEdit(this);
  ngroupsedit->setObjectName(QStringLiteral("ngroupsedit"));
  ngroupsedit->installEventFilter(filter);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Assign"), this), 0, 0);
  grid->addWidget(nsubjectsEdit, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("subjects"), this), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("to"), this), 1, 0);
  grid->addWidget(ngroupsedit, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("groups"), this), 1, 2);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TAssignForm::OKButtonClick);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
}

void TAssignForm::OKButtonClick() {
  if (nsubjectsEdit->text().trimmed().isEmpty()) {
    nsubjectsEdit->setFocus();
    return;
  }
  if (ngroupsedit->text().trimmed().isEmpty()) {
    ngroupsedit->setFocus();
    return;
  }
  QLineEdit* current = nsubjectsEdit;
  try {
    const int64_t n = ReadCount(nsubjectsEdit->text(), 1, 2147483647);
    current = ngroupsedit;
    const int64_t k = ReadCount(ngroupsedit->text(), 1, 2147483647);
    subjects_ = n;
    groups_ = k;
    accept();
  } catch (const ERangeError& e) {
    HandleRangeError(this, current, e);
  } catch (const std::exception& e) {
    current->setFocus();
    SampleDialogHooks().showError(this, QString::fromStdString(e.what()));
  }
}

}  // namespace vokt
