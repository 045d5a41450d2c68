// Samples and random assignment: the formats, the assignment lines, and the
// sample page of the window with its dialogs filled in by the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelection>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <random>
#include <set>
#include "ui/sample_view.h"

#include "distrib/distribution.h"
#include "formula/qt/formula_view.h"
#include "numeric/uniform.h"
#include "ui/cdf_page.h"
#include "ui/density_page.h"
#include "ui/formulas_page.h"
#include "ui/main_window.h"
#include "ui/marker.h"
#include "ui/messages.h"
#include "ui/number_edit.h"
#include "ui/paint_box.h"
#include "ui/parameter_grid.h"
#include "ui/sample.h"
#include "ui/sample_dialogs.h"
#include "ui/sample_page.h"
#include "ui/sample_view.h"
#include "ui/tail_view.h"

namespace vokt::ui {
namespace {

TEST(SampleFormat, WritesTheThreeNotations) {
  struct Case {
    Real x;
    SampleFormat format;
    std::string text;
  };
  const std::vector<Case> cases = {
      {1234.5L, {false, true, 0}, "1.23450000000000000E+0003"},
      {-0.00012L, {false, true, 0}, "-1.20000000000000000E-0004"},
      {1234.5L, {false, false, 2}, "1234.50"},
      {0.123456L, {false, false, 4}, "0.1235"},
      {-0.0001L, {false, false, 2}, "0.00"},
      {7, {true, false, 5}, "7"},
      {1e20L, {false, false, 2}, "1.00000000000000000E+0020"},
      {2.5L, {true, false, 0}, "2"},  // integers round half to even
  };
  for (const Case& c : cases) EXPECT_EQ(FormatSampleValue(c.x, c.format), c.text);
}

TEST(SampleFormat, FixedNotationAgreesWithExactConversion) {
  // The fast integer path must print what the exact conversion prints,
  // across magnitudes, signs and decimals, and near rounding ties.
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> mant(-10, 10);
  std::uniform_int_distribution<int> expo(-12, 14), dec(0, 18);
  auto exact = [](Real x, int d) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.*Lf", d, x);
    std::string s(buf);
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
  };
  for (int i = 0; i < 200000; ++i) {
    const Real x = mant(rng) * std::pow(10.0L, expo(rng));
    const int d = dec(rng);
    SampleFormat f;
    f.decimals = d;
    ASSERT_EQ(FormatSampleValue(x, f), exact(x, d)) << (double)x << " " << d;
  }
  for (Real x : {0.00005L, 0.00015L, -2.50005L, 1.23455L, 0.5L, -0.5L, 2.5L, 99999.99995L}) {
    for (int d : {0, 4}) {
      SampleFormat f;
      f.decimals = d;
      EXPECT_EQ(FormatSampleValue(x, f), exact(x, d)) << (double)x << " " << d;
    }
  }
}

TEST(Assignment, IsAPermutationPrintedKToALine) {
  int calls = 0;
  auto first = [&](int) {
    ++calls;
    return 0;
  };
  const auto lines = AssignSubjects(7, 3, first);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 18u);
  EXPECT_EQ(lines[1].size(), 18u);
  EXPECT_EQ(lines[2].size(), 6u);
  // Always taking the first subject left: 1, then the last moved into place.
  EXPECT_EQ(lines[0], "     1     7     6");
  std::multiset<int> seen;
  for (const auto& l : lines)
    for (size_t i = 0; i < l.size(); i += 6) seen.insert(std::stoi(l.substr(i, 6)));
  EXPECT_EQ(seen, (std::multiset<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(calls, 7);
  // A huge number of groups stops drawing when the subjects are used up.
  const auto one = AssignSubjects(5, 2147483647, first);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].size(), 30u);
}

TEST(Assignment, DialogNumbersAreCheckedIntegers) {
  EXPECT_EQ(IntegerValue("12", 1, 100), 12);
  EXPECT_THROW(IntegerValue("0", 1, 100), RangeError);
  EXPECT_THROW(IntegerValue("99999999999999999999999", 1, 100), RangeError);
  EXPECT_THROW(IntegerValue("", 1, 100), ArgumentError);
  EXPECT_THROW(IntegerValue("1.5", 1, 100), ArgumentError);
}

class SampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldError_ = SetErrorHook([this](const std::string& t) { errors.push_back(t); });
    oldBeep_ = SetBeepHook([this] { ++beeps; });
    oldAsk_ = SetAskHook([this](const std::string& t, bool) {
      questions.push_back(t);
      return answer;
    });
    oldSave_ = SetSaveNameHook([this](const std::string&) {
      ++saveDialogs;
      return saveName;
    });
    form = std::make_unique<MainWindow>();
    form->show();
  }
  void TearDown() override {
    form->Sample->List->SetModified(false);
    form.reset();
    SetErrorHook(oldError_);
    SetBeepHook(oldBeep_);
    SetAskHook(oldAsk_);
    SetSaveNameHook(oldSave_);
  }

  QStringList Lines() const { return form->Sample->List->Text().split('\n'); }

  // Fills in the Draw Sample dialog and presses OK.
  void Draw(const QString& n, bool floating, const QString& decimals,
            const QString& seed = QString()) {
    form->Sample->RunDialog = [&](QDialog& d) {
      auto& draw = static_cast<DrawDialog&>(d);
      draw.SampleSizeEdit->setText(n);
      draw.SeedEdit->setText(seed);
      draw.setResult(QDialog::Rejected);  // as exec() starts
      draw.FloatingPointCheckBox->setChecked(floating);
      draw.DecimalsEdit->setText(decimals);
      draw.OKButton->click();
      return draw.result() == QDialog::Accepted;
    };
    form->ActionDrawSample->trigger();
  }

  std::unique_ptr<MainWindow> form;
  std::vector<std::string> errors, questions;
  int beeps = 0, saveDialogs = 0;
  Answer answer = Answer::No;
  std::string saveName;

 private:
  ErrorHook oldError_;
  BeepHook oldBeep_;
  AskHook oldAsk_;
  SaveNameHook oldSave_;
};

TEST_F(SampleTest, DrawsValuesWithTheChosenDecimals) {
  form->UpdateSaveAction();
  EXPECT_FALSE(form->ActionSave->isEnabled());
  Draw("10", false, "4");
  ASSERT_TRUE(errors.empty());
  const QStringList lines = Lines();
  ASSERT_EQ(lines.size(), 10);
  for (const QString& l : lines) {
    const int dot = l.indexOf('.');
    ASSERT_GE(dot, 0) << l.toStdString();
    EXPECT_EQ(l.size() - dot - 1, 4) << l.toStdString();
  }
  EXPECT_EQ(form->Pages->currentIndex(), 3);
  EXPECT_TRUE(form->Pages->isTabVisible(3));
  EXPECT_FALSE(form->MainButton->isVisible());
  form->UpdateSaveAction();
  EXPECT_TRUE(form->ActionSave->isEnabled());
}

TEST_F(SampleTest, OutOfRangeSizesKeepTheDialogOpen) {
  // Samples are capped at 10^6 values; 1000001 is out of range like 0.
  const std::vector<std::pair<QString, QString>> cases = {
      {"0", "4"}, {"1000001", "4"}, {"10", "19"}, {"99999999999", "4"}};
  for (const auto& [n, d] : cases) {
    errors.clear();
    beeps = 0;
    Draw(n, false, d);
    ASSERT_EQ(errors.size(), 1u) << n.toStdString();
    EXPECT_EQ(errors[0], "Range check error.");
    EXPECT_EQ(beeps, 1);
  }
  errors.clear();
  Draw("10", false, "");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "'' is not a valid integer value.");
  EXPECT_TRUE(form->Sample->List->Text().isEmpty());
}

TEST_F(SampleTest, AssignsSubjectsAndSavesOnce) {
  form->Sample->RunDialog = [](QDialog& d) {
    auto& a = static_cast<AssignDialog&>(d);
    a.nsubjectsEdit->setText("7");
    a.ngroupsedit->setText("3");
    a.OKButton->click();
    return a.result() == QDialog::Accepted;
  };
  form->ActionAssign->trigger();
  ASSERT_TRUE(errors.empty());
  const QStringList lines = Lines();
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0].size(), 18);
  EXPECT_EQ(lines[1].size(), 18);
  EXPECT_EQ(lines[2].size(), 6);
  // Six-character columns that together hold a permutation of 1..7.
  std::multiset<int> seen;
  for (const QString& l : lines)
    for (int i = 0; i < l.size(); i += 6) {
      EXPECT_EQ(l[i + 5].isDigit(), true);
      seen.insert(l.mid(i, 6).trimmed().toInt());
    }
  EXPECT_EQ(seen, (std::multiset<int>{1, 2, 3, 4, 5, 6, 7}));

  QTemporaryDir dir;
  saveName = (dir.path() + "/Sample.dat").toStdString();
  form->ActionSave->trigger();
  ASSERT_TRUE(errors.empty()) << errors[0];
  QFile f(QString::fromStdString(saveName));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  f.close();
  // Exactly the memo's lines, each ended by CR LF: no header, nothing else.
  EXPECT_EQ(bytes, (lines.join("\r\n") + "\r\n").toLatin1());
  EXPECT_EQ(form->windowTitle(), "Sample.dat");
  // Unmodified now: a second Save neither asks nor writes.
  ASSERT_TRUE(QFile::remove(f.fileName()));
  form->ActionSave->trigger();
  EXPECT_EQ(saveDialogs, 1);
  EXPECT_FALSE(QFile::exists(f.fileName()));

  // Too many subjects for the 16-bit numbering: an error, nothing appended.
  form->Sample->RunDialog = [](QDialog& d) {
    auto& a = static_cast<AssignDialog&>(d);
    a.nsubjectsEdit->setText("40000");
    a.ngroupsedit->setText("2");
    a.OKButton->click();
    return a.result() == QDialog::Accepted;
  };
  form->ActionAssign->trigger();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(Lines().size(), 3);
}

TEST_F(SampleTest, ClearHidesThePageAndUnsavedTextIsProtected) {
  Draw("3", true, "");
  ASSERT_EQ(Lines().size(), 3);
  // Cancel on the question keeps the type.
  answer = Answer::Cancel;
  ASSERT_TRUE(form->ChooseType("normal"));
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], "Save sample to a file?");
  EXPECT_EQ(Lines().size(), 3);

  form->ActionClear->trigger();
  EXPECT_FALSE(form->Pages->isTabVisible(3));
  EXPECT_EQ(form->Pages->currentIndex(), 0);
  EXPECT_TRUE(form->MainButton->isVisible());
}

TEST_F(SampleTest, DiscreteSamplesAreIntegerLines) {
  ASSERT_TRUE(form->ChooseType("binomial"));
  form->Calc().ParameterTexts = {"", "20", "0.4"};
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  ASSERT_TRUE(errors.empty()) << errors[0];
  Draw("10", false, "4");  // the decimals box is hidden and ignored
  ASSERT_TRUE(errors.empty()) << errors[0];
  const QStringList lines = Lines();
  ASSERT_EQ(lines.size(), 10);
  const QRegularExpression integer(QStringLiteral("^[0-9]+$"));
  for (const QString& l : lines) EXPECT_TRUE(integer.match(l).hasMatch()) << l.toStdString();
}

TEST_F(SampleTest, SavedBytesAreTheLinesWithCrLf) {
  Draw("5", true, "");
  Draw("3", false, "2");  // appended below the first five
  const QStringList lines = Lines();
  ASSERT_EQ(lines.size(), 8);
  EXPECT_TRUE(lines[0].contains('E'));
  EXPECT_EQ(lines[7].size() - lines[7].indexOf('.'), 3);
  QTemporaryDir dir;
  saveName = (dir.path() + "/out.txt").toStdString();
  form->ActionSave->trigger();
  QFile f(QString::fromStdString(saveName));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), (lines.join("\r\n") + "\r\n").toLatin1());
  EXPECT_FALSE(form->Sample->List->IsModified());
}

// Failures that happen even for root: the parent folder is a regular file, or
// the target is a folder.  The error is shown, the sample stays unsaved, and
// an existing file is left alone.
TEST_F(SampleTest, AFailedSaveIsReportedAndKeepsTheSampleUnsaved) {
  QTemporaryDir dir;
  QFile plain(dir.path() + "/plain");
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.write("keep me");
  plain.close();
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
  Draw("4", false, "3");
  const QString before = form->Sample->List->Text();
  const QString title = form->windowTitle();
  for (const QString& target : {dir.path() + "/plain/Sample.dat", dir.path() + "/folder"}) {
    errors.clear();
    questions.clear();
    saveName = target.toStdString();
    answer = Answer::Yes;  // overwrite the folder? yes
    form->ActionSave->trigger();
    ASSERT_EQ(errors.size(), 1u) << target.toStdString();
    EXPECT_TRUE(QString::fromStdString(errors[0]).startsWith("Cannot write ")) << errors[0];
    EXPECT_TRUE(form->Sample->List->IsModified());
    EXPECT_EQ(form->Sample->List->Text(), before);
    EXPECT_EQ(form->windowTitle(), title);
  }
  ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
  EXPECT_EQ(plain.readAll(), "keep me");
  EXPECT_TRUE(QFileInfo(dir.path() + "/folder").isDir());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 2);
}

// "Save sample to a file?" answered Yes, and then the save dialog cancelled
// or the write failing: whatever asked must stop and keep the sample.
TEST_F(SampleTest, YesWithoutASuccessfulSaveKeepsTheSample) {
  QTemporaryDir dir;
  QFile plain(dir.path() + "/plain");
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  struct Action {
    const char* name;
    std::function<void()> run;
  };
  const std::vector<Action> actions = {
      {"type change", [&] { form->ChooseType("Cauchy"); }},
      {"draw", [&] { Draw("2", false, "1"); }},
      {"assign",
       [&] {
         form->Sample->RunDialog = [](QDialog& d) {
           auto& a = static_cast<AssignDialog&>(d);
           a.nsubjectsEdit->setText("4");
           a.ngroupsedit->setText("2");
           a.OKButton->click();
           return a.result() == QDialog::Accepted;
         };
         form->ActionAssign->trigger();
       }},
      {"close", [&] { EXPECT_FALSE(form->close()); }},
  };
  Draw("6", false, "3");
  const QString before = form->Sample->List->Text();
  for (const std::string& target : {std::string(), (dir.path() + "/plain/x.dat").toStdString()}) {
    for (const Action& a : actions) {
      SCOPED_TRACE(std::string(a.name) + (target.empty() ? ", save cancelled" : ", save failed"));
      questions.clear();
      errors.clear();
      answer = Answer::Yes;
      saveName = target;
      a.run();
      ASSERT_FALSE(questions.empty());
      EXPECT_EQ(questions[0], "Save sample to a file?");
      EXPECT_EQ(errors.size(), target.empty() ? 0u : 1u);
      EXPECT_EQ(form->Sample->List->Text(), before);
      EXPECT_TRUE(form->Sample->List->IsModified());
      EXPECT_TRUE(form->Pages->isTabVisible(3));
      EXPECT_EQ(form->TypeBox->currentText(), "normal");
      EXPECT_TRUE(form->isVisible());
    }
  }
  // A successful save clears the page and lets the type change go ahead.
  saveName = (dir.path() + "/ok.dat").toStdString();
  questions.clear();
  ASSERT_TRUE(form->ChooseType("Cauchy"));
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(saveName)));
  EXPECT_FALSE(form->Pages->isTabVisible(3));
  EXPECT_EQ(form->TypeBox->currentText(), "Cauchy");
}

TEST_F(SampleTest, CancelTakesBackTheLinesOfALargeDraw) {
  Draw("3", false, "2");
  const QString before = form->Sample->List->Text();
  bool sawProgress = false;
  QTimer::singleShot(50, form.get(), [&] {
    sawProgress = form->ProgressBar->isVisible() && form->CancelButton->isVisible();
    QTest::mouseClick(form->CancelButton, Qt::LeftButton);
  });
  Draw(QString::number(kMaxSampleSize), false, "2");
  EXPECT_TRUE(sawProgress);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(form->Sample->List->Text(), before);
  EXPECT_TRUE(form->Sample->List->IsModified());
  EXPECT_FALSE(form->ProgressBar->isVisible());
  EXPECT_TRUE(form->Pages->isEnabled());
  EXPECT_TRUE(form->menuBar()->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Closing the window in the middle of a large draw stops the draw first and
// then asks about the sample as it was before that draw.
TEST_F(SampleTest, ClosingDuringADrawCancelsItFirst) {
  Draw("3", false, "2");
  const QString before = form->Sample->List->Text();
  QTimer::singleShot(50, form.get(), [&] { EXPECT_FALSE(form->close()); });
  answer = Answer::No;
  Draw(QString::number(kMaxSampleSize), false, "2");
  EXPECT_EQ(form->Sample->List->Text(), before);
  EXPECT_EQ(questions.size(), 1u);  // the draw's own question, answered No
  EXPECT_TRUE(form->isVisible());
  QApplication::processEvents();  // the close put off until the draw ended
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_EQ(questions[1], "Save sample to a file?");
  EXPECT_FALSE(form->isVisible());
}

TEST_F(SampleTest, ASeedDrawsTheSameSampleAgain) {
  Draw("50", false, "6", "20261208");
  ASSERT_TRUE(errors.empty()) << errors[0];
  const QStringList first = Lines();
  // The values are the stream of the seed's engine, the one vokt-cli's
  // --seed gives.
  {
    RandomEngine engine(uint64_t{20261208});
    SampleFormat f;
    f.decimals = 6;
    for (int i = 0; i < 50; ++i)
      EXPECT_EQ(first[i].toStdString(), FormatSampleValue(form->Current()->RandomValue(engine), f))
          << i;
  }
  form->Sample->Clear();
  // An unseeded draw in between does not disturb the seeded one.
  Draw("7", false, "6");
  form->Sample->Clear();
  Draw("50", false, "6", "20261208");
  EXPECT_EQ(Lines(), first);
  // Another seed, or none, draws another sample.
  form->Sample->Clear();
  Draw("50", false, "6", "20261209");
  EXPECT_NE(Lines(), first);
  form->Sample->Clear();
  Draw("50", false, "6");
  EXPECT_NE(Lines(), first);
  EXPECT_TRUE(errors.empty());
  // A seed beyond 63 bits is out of range; the dialog stays open.
  Draw("5", false, "6", "99999999999999999999");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Range check error.");
  EXPECT_EQ(Lines().size(), 50);
}

TEST_F(SampleTest, SelectedLinesAreCopied) {
  Draw("20", false, "3");
  const QStringList lines = Lines();
  SampleView* view = form->Sample->List;
  QItemSelection selection;
  selection.select(view->model()->index(12, 0), view->model()->index(14, 0));
  selection.select(view->model()->index(2, 0), view->model()->index(3, 0));
  view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  QGuiApplication::clipboard()->clear();
  view->setFocus();
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QStringList({lines[2], lines[3], lines[12], lines[13], lines[14]}).join('\n'));
  QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), lines.join('\n'));
}

TEST_F(SampleTest, AMillionValuesAreKeptAsNumbers) {
  // The page holds the numbers; its text is made only for what is asked.
  Draw(QString::number(kMaxSampleSize), false, "4", "1");
  ASSERT_TRUE(errors.empty()) << errors[0];
  ASSERT_EQ(form->Sample->List->LineCount(), kMaxSampleSize);
  EXPECT_EQ(form->Sample->List->model()->rowCount(), kMaxSampleSize);
  const QString last = form->Sample->List->LineText(kMaxSampleSize - 1);
  EXPECT_EQ(last.size() - last.indexOf('.'), 5) << last.toStdString();
  // Scrolled to the end, the view shows the last line.
  form->Sample->List->scrollToBottom();
  QApplication::processEvents();
  const QModelIndex top = form->Sample->List->indexAt(QPoint(5, 5));
  EXPECT_GE(top.row(), kMaxSampleSize - 100);
  EXPECT_EQ(top.data().toString(), form->Sample->List->LineText(top.row()));
  // Saved: a million CR LF lines.
  QTemporaryDir dir;
  saveName = (dir.path() + "/big.dat").toStdString();
  form->ActionSave->trigger();
  QFile f(QString::fromStdString(saveName));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  EXPECT_EQ(bytes.count("\r\n"), kMaxSampleSize);
  EXPECT_TRUE(bytes.endsWith((last + "\r\n").toLatin1()));
  EXPECT_FALSE(form->Sample->List->IsModified());
}

TEST_F(SampleTest, FormulasPageOfTheStandardNormalAtZero) {
  // The window opens on the standard normal with x at its mean, 0.
  form->Pages->setCurrentIndex(2);
  const QStringList lines = form->Formulas->Text->toPlainText().split('\n');
  ASSERT_GE(lines.size(), 8);
  EXPECT_EQ(lines[0], "");
  EXPECT_TRUE(lines[1].startsWith("f(x) = "));
  EXPECT_EQ(lines[2], "f(0) = 0.398942280401");
  EXPECT_EQ(lines[3], "Expectation = μ = 0");
  EXPECT_EQ(lines[4], "Variance = σ2 = 1");
  EXPECT_EQ(lines[5], "Standard deviation = 1");
  EXPECT_TRUE(lines[6].startsWith("Moment generating function M(t) = "));
  EXPECT_EQ(lines[7], "");
}

}  // namespace
}  // namespace vokt::ui
