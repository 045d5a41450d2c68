#include "ui/sample_page.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QSaveFile>
#include <chrono>

#include "distrib/empirical.h"
#include "resources/strings.h"
#include "ui/calculator.h"
#include "ui/long_run.h"
#include "ui/messages.h"
#include "ui/sample.h"
#include "ui/sample_dialogs.h"
#include "ui/sample_view.h"

namespace vokt::ui {

SamplePage::SamplePage(Calculator& calc, LongRun& run, QWidget* parent)
    : QWidget(parent), calc_(calc), run_(run) {
  random_.seed(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
  RunDialog = [](QDialog& d) { return d.exec() == QDialog::Accepted; };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  List = new SampleView(this);
  QFont mono(QStringLiteral("Lucida Console"));
  mono.setPixelSize(12);
  List->setFont(mono);
  layout->addWidget(List);
  DrawDialogWindow = new DrawDialog(this);
  AssignDialogWindow = new AssignDialog(this);
}

bool SamplePage::ConfirmDiscard() {
  if (!List->IsModified()) return true;
  switch (Ask(LoadString(883), true)) {
    case Answer::Cancel:
      return false;
    case Answer::Yes:
      // A cancelled or failed save keeps the sample and stops what asked.
      Guarded([&] { Save(); });
      if (List->IsModified()) return false;
      Clear();
      return true;
    case Answer::No:
      return true;
  }
  return true;
}

void SamplePage::ShowLines(const QString& hint) {
  List->SetModified(true);
  setToolTip(hint);
  emit Shown(hint);
}

void SamplePage::Draw() {
  Distribution* d = calc_.Current;
  if (!d || !calc_.ParametersComplete()) return;
  if (!ConfirmDiscard()) return;
  // Integer-valued types print integers; the rank tests' tables (and any
  // empirical table) hold fractional values and get the format choice.
  DrawDialog& dialog = *DrawDialogWindow;
  dialog.FormatBoxVisible = !d->IsDiscrete() || dynamic_cast<EmpiricalDistribution*>(d);
  dialog.DecimalsEdit->setText(QString::number(d->XDecimals()));
  if (!RunDialog(dialog)) return;
  SampleFormat format;
  format.integers = !dialog.FormatBoxVisible;
  format.floatingPoint = dialog.FloatingPoint;
  format.decimals = dialog.Decimals;
  const int64_t n = dialog.SampleSize;
  // The values are kept as numbers and reach the page once the draw is over;
  // the page formats only the lines it shows.  Cancel drops this draw.
  std::vector<Real> values;
  values.reserve(static_cast<size_t>(n));
  constexpr int64_t kBatch = 8192;
  bool cancelled = false;
  // A seed gives this draw a stream of its own; the stream of unseeded draws
  // goes on afterwards where it was.
  RandomEngine seeded(dialog.Seed);
  RandomEngine& engine = dialog.HasSeed ? seeded : draws_;
  try {
    run_.Run(n > kSampleProgressSize, [&](ProgressSink* sink) {
      BusyScope busy(sink);
      run_.Cancelled = false;
      for (int64_t i = 0; i < n; ++i) {
        values.push_back(d->RandomValue(engine));
        if (sink && (i + 1) % kBatch == 0 && i + 1 < n) {
          sink->SetPosition(static_cast<int>((i + 1) * 100 / n));
          sink->ProcessEvents();
          if (run_.Cancelled) {
            cancelled = true;
            return;
          }
        }
      }
    });
  } catch (...) {
    // The values drawn so far stay; the error is reported.
    List->AppendValues(std::move(values), format);
    ShowLines(QStringLiteral("random sample"));
    throw;
  }
  if (cancelled) return;
  List->AppendValues(std::move(values), format);
  ShowLines(QStringLiteral("random sample"));
}

void SamplePage::Assign() {
  if (!ConfirmDiscard()) return;
  if (!RunDialog(*AssignDialogWindow)) return;
  if (AssignDialogWindow->Subjects > kMaxSubjects) throw RangeError();
  std::mt19937& rng = random_;
  auto lines =
      AssignSubjects(static_cast<int>(AssignDialogWindow->Subjects), AssignDialogWindow->Groups,
                     [&rng](int m) { return std::uniform_int_distribution<int>(0, m - 1)(rng); });
  List->AppendLines(std::move(lines));
  ShowLines(QStringLiteral("assignment of subjects to groups"));
}

void SamplePage::Save() {
  if (!List->IsModified()) return;
  std::string preset = "Sample.dat";
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = AskSaveFileName(preset);
    if (name.empty()) return;
    const QString file = QString::fromStdString(name);
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
    ok = ok && List->WriteTo(f);
    ok = ok && f.commit();
    if (!ok) {
      const QString reason = f.errorString();
      f.cancelWriting();
      throw ArgumentError("Cannot write " + shortName.toStdString() +
                          (reason.isEmpty() ? std::string() : " (" + reason.toStdString() + ")"));
    }
    List->SetModified(false);
    emit Saved(shortName);
    return;
  }
}

void SamplePage::Clear() {
  List->Clear();
  emit Cleared();
}

}  // namespace vokt::ui
