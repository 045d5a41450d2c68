// Entry point of the window tests: the offscreen platform unless the caller
// chose one, one QApplication for all tests, and the window's settings in a
// temporary folder (never the user's own file), forgotten before each test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "ui/settings.h"

namespace {
class ForgetSettings : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { vokt::ui::ClearSettings(); }
};
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir settingsDir;
  for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
    for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
      QSettings::setPath(format, scope, settingsDir.path());
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetSettings);
  return RUN_ALL_TESTS();
}
