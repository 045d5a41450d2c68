#include "ui/sample.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace vokt {
namespace {

TEST(SampleFormat, Values) {
  struct Row { Extended x; SampleFormat f; int d; const char* text; };
  const Row rows[] = {
      {1234.5L, SampleFormat::Exponent, 0, "1.23450000000000000E+0003"},
      {-0.00012L, SampleFormat::Exponent, 0, "-1.20000000000000000E-0004"},
      {0, SampleFormat::Exponent, 0, "0.00000000000000000E+0000"},
      {7, SampleFormat::Integer, 5, "7"},
      {-3, SampleFormat::Integer, 0, "-3"},
      {1.23456L, SampleFormat::Fixed, 4, "1.2346"},
      {0.1L, SampleFormat::Fixed, 4, "0.1000"},
      {-0.00001L, SampleFormat::Fixed, 2, "0.00"},
      {2.5L, SampleFormat::Fixed, 0, "2"},
      {3e18L, SampleFormat::Fixed, 2, "3.00000000000000000E+0018"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(FormatSampleValue(r.x, r.f, r.d).toStdString(), r.text) << (double)r.x;
  SetDecimalSeparator(',');
  EXPECT_EQ(FormatSampleValue(1.5L, SampleFormat::Fixed, 1), QStringLiteral("1,5"));
  SetDecimalSeparator('.');
}

std::vector<int> Numbers(const QString& line) {
  std::vector<int> r;
  EXPECT_EQ(line.size() % 6, 0) << line.toStdString();
  for (int i = 0; i + 6 <= line.size(); i += 6) r.push_back(line.mid(i, 6).trimmed().toInt());
  return r;
}

TEST(Assignment, SevenSubjectsInThreeGroups) {
  QStringList lines = AssignmentLines(7, 3, RandomBelow);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(Numbers(lines[0]).size(), 3u);
  EXPECT_EQ(Numbers(lines[1]).size(), 3u);
  EXPECT_EQ(Numbers(lines[2]).size(), 1u);
  QSet<int> seen;
  for (const QString& l : lines)
    for (int v : Numbers(l)) seen.insert(v);
  EXPECT_EQ(seen.size(), 7);
  for (int v = 1; v <= 7; ++v) EXPECT_TRUE(seen.contains(v));
}

TEST(Assignment, DeterministicDrawsAndLimits) {
  // Always picking index 0 moves the last subject to the front each time.
  QStringList lines = AssignmentLines(4, 2, [](int) { return 0; });
  EXPECT_EQ(lines, QStringList({"     1     4", "     3     2"}));
  // Far more groups than subjects: one line, and no endless draws.
  lines = AssignmentLines(5, 2147483647, RandomBelow);
  ASSERT_EQ(lines.size(), 1);
  EXPECT_EQ(Numbers(lines[0]).size(), 5u);
  EXPECT_THROW(AssignmentLines(32768, 2, RandomBelow), ERangeError);
  EXPECT_THROW(AssignmentLines(0, 2, RandomBelow), ERangeError);
  EXPECT_EQ(AssignmentLines(32767, 1, RandomBelow).size(), 32767);
}

TEST(SampleFile, WritesExactBytesOrNothing) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Sample.dat");
  QString error;
  ASSERT_TRUE(WriteSampleFile(path, {"1.5", "  2", ""}, error)) << error.toStdString();
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("1.5\r\n  2\r\n\r\n"));
  f.close();
  // A folder that cannot exist (its parent is a file) fails with a reason.
  EXPECT_FALSE(WriteSampleFile(path + "/inside.dat", {"x"}, error));
  EXPECT_FALSE(error.isEmpty());
  // Writing over a folder fails and leaves what was there.
  QDir(dir.path()).mkdir("folder");
  EXPECT_FALSE(WriteSampleFile(dir.filePath("folder"), {"x"}, error));
  EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
}

TEST(SampleDialogs, ReadCount) {
  EXPECT_EQ(ReadCount("10", 1, 2147483647), 10);
  EXPECT_EQ(ReadCount("2147483647", 1, 2147483647), 2147483647);
  EXPECT_THROW(ReadCount("0", 1, 2147483647), ERangeError);
  EXPECT_THROW(ReadCount("2147483648", 1, 2147483647), ERangeError);
  EXPECT_THROW(ReadCount(QString(400, '9'), 1, 2147483647), ERangeError);
  try {
    ReadCount("", 0, 18);
    FAIL();
  } catch (const EArgumentError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
  EXPECT_THROW(ReadCount("1x", 0, 18), EArgumentError);
}

struct RecordedHooks {
  QStringList errors;
  int beeps = 0;
  DialogHooks saved = SampleDialogHooks();
  RecordedHooks() {
    SampleDialogHooks().showError = [this](QWidget*, const QString& t) { errors << t; };
    SampleDialogHooks().beep = [this] { ++beeps; };
  }
  ~RecordedHooks() { SampleDialogHooks() = saved; }
};

TEST(SampleDialogs, DrawFormChecks) {
  RecordedHooks hooks;
  TDrawForm form;
  form.Prepare(true, 4);
  EXPECT_EQ(form.DecimalsEdit->text(), QStringLiteral("4"));
  form.SampleSizeEdit->clear();
  QTest::keyClicks(form.SampleSizeEdit, "2a5-");
  EXPECT_EQ(form.SampleSizeEdit->text(), QStringLiteral("25"));
  form.SampleSizeEdit->setText("0");
  form.ButtonOKClick();
  EXPECT_EQ(form.result(), 0);
  EXPECT_EQ(hooks.beeps, 1);
  EXPECT_EQ(hooks.errors, QStringList{"Range check error"});
  form.SampleSizeEdit->setText("25");
  form.DecimalsEdit->setText("");
  form.ButtonOKClick();
  EXPECT_EQ(hooks.errors.last(), QStringLiteral("'' is not a valid integer value"));
  form.DecimalsEdit->setText("19");
  form.ButtonOKClick();
  EXPECT_EQ(hooks.beeps, 2);
  form.DecimalsEdit->setText("6");
  form.ButtonOKClick();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.SampleSize(), 25);
  EXPECT_EQ(form.Decimals(), 6);
  EXPECT_EQ(form.Format(), SampleFormat::Fixed);
  // Discrete types have no format box: integers, decimals not read.
  form.Prepare(false, 0);
  form.DecimalsEdit->setText("junk");
  form.ButtonOKClick();
  EXPECT_EQ(form.Format(), SampleFormat::Integer);
  form.Prepare(true, 2);
  form.FloatingPointCheckBox->setChecked(true);
  form.ButtonOKClick();
  EXPECT_EQ(form.Format(), SampleFormat::Exponent);
}

TEST(SampleDialogs, AssignFormChecks) {
  RecordedHooks hooks;
  TAssignForm form;
  form.ngroupsedit->setText("3");
  form.OKButtonClick();  // empty subjects: stays open, nothing reported
  EXPECT_EQ(form.result(), 0);
  EXPECT_TRUE(hooks.errors.isEmpty());
  form.nsubjectsEdit->setText("7");
  form.ngroupsedit->setText("0");
  form.OKButtonClick();
  EXPECT_EQ(hooks.errors, QStringList{"Range check error"});
  EXPECT_EQ(hooks.beeps, 1);
  form.ngroupsedit->setText("3");
  form.OKButtonClick();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.Subjects(), 7);
  EXPECT_EQ(form.Groups(), 3);
}

}  // namespace
}  // namespace vokt
