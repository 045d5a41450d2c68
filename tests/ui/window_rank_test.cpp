// The main window's rank tests driven as a user would: Kruskal-Wallis
// groups from the grid, builds with progress that stay responsive, Cancel,
// and sizes refused at once.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QImage>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <memory>

#include "distrib/distribution.h"
#include "tests/ui/window_fixture.h"
#include "ui/about.h"
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

TEST_F(WindowTest, KruskalWallisGroupsComeFromTheGridRows) {
  if (!form->ChooseType("Kruskal-Wallis")) GTEST_SKIP() << "no Kruskal-Wallis type in this build";
  EXPECT_EQ(form->Grid->RowLabel(0), "n_1^ =");
  EXPECT_EQ(form->Grid->RowHint(1), "n_2^ = 0, 1, 2, ...");
  // Selecting the last row adds a spare row below it.
  const int rows = form->Grid->rowCount();
  form->Grid->setCurrentCell(rows - 1, 1);
  EXPECT_EQ(form->Grid->rowCount(), rows + 1);
  while (form->Grid->rowCount() < 5) {
    form->Grid->setCurrentCell(form->Grid->rowCount() - 1, 1);
  }
  form->Calc().ParameterTexts = {"", "3", "", "0", "4", ""};
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  ASSERT_TRUE(errors.empty()) << errors[0];
  auto* d = form->Current();
  EXPECT_EQ(d->Par()[1].Value, 2);  // two groups
  EXPECT_EQ(form->Grid->rowCount(), 3);
  EXPECT_EQ(GridText(0), "3");
  EXPECT_EQ(GridText(1), "4");
  EXPECT_EQ(GridText(2), "");
  EXPECT_EQ(form->Calc().Mode, InputMode::DensityX);

  // Not an integer: the row is selected and the conversion error shown.
  form->Calc().ParameterTexts = {"", "3", "x", ""};
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "'x' is not a valid integer value.");
  EXPECT_EQ(form->Grid->currentRow(), 1);
  EXPECT_EQ(d->Par()[1].Value, 2);
}

TEST_F(WindowTest, KruskalWallisTenTenTenAppliesWithProgressAndStaysResponsive) {
  if (!form->ChooseType("Kruskal-Wallis")) GTEST_SKIP() << "no Kruskal-Wallis type in this build";
  while (form->Grid->rowCount() < 4) form->Grid->setCurrentCell(form->Grid->rowCount() - 1, 1);
  form->Calc().ParameterTexts = {"", "10", "10", "10", ""};
  // Seen while the worker counts: the bar, a locked window, and an event
  // posted now is handled before the run ends.
  bool sawProgress = false, lockedDuringRun = false, eventHandled = false;
  QTimer::singleShot(0, form.get(), [&] {
    sawProgress = form->ProgressBar->isVisible() && form->CancelButton->isVisible();
    lockedDuringRun = !form->MainButton->isEnabled() && !form->TypeGroup->isEnabled();
    QMetaObject::invokeMethod(
        form.get(), [&] { eventHandled = true; }, Qt::QueuedConnection);
  });
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  ASSERT_TRUE(errors.empty()) << errors[0];
  EXPECT_TRUE(sawProgress);
  EXPECT_TRUE(lockedDuringRun);
  EXPECT_TRUE(eventHandled);
  EXPECT_FALSE(form->ProgressBar->isVisible());
  EXPECT_TRUE(form->MainButton->isEnabled());
  EXPECT_EQ(form->Current()->Par()[1].Value, 3);
  EXPECT_NEAR(form->Current()->Mean(), 2, 1e-15);  // E(H) = k - 1
  EXPECT_EQ(form->Current()->SupportLow(), 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowTest, CancellingARankBuildKeepsThePreviousTable) {
  if (!form->ChooseType("Kruskal-Wallis")) GTEST_SKIP() << "no Kruskal-Wallis type in this build";
  form->Calc().ParameterTexts = {"", "2", "3", ""};
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  ASSERT_TRUE(errors.empty());
  TypeInto(form->Density->XEdit, "2");
  const QString left = Text(form->Density->ProbabilityEditLeft);
  const Real p = form->Current()->Cdf(2);

  // Three groups of fifteen: seconds of work, with progress.
  while (form->Grid->rowCount() < 4) form->Grid->setCurrentCell(form->Grid->rowCount() - 1, 1);
  form->Calc().ParameterTexts = {"", "15", "15", "15", ""};
  const std::vector<std::string> texts = form->Calc().ParameterTexts;
  const QImage pdf = form->Density->Graph->grab().toImage();
  const QString x = Text(form->Density->XEdit),
                central = Text(form->Density->ProbabilityEditCentral),
                right = Text(form->Density->ProbabilityEditRight);
  bool sawProgress = false;
  QElapsedTimer clock;
  qint64 clickedAt = -1;
  QTimer::singleShot(100, form.get(), [&] {
    sawProgress = form->ProgressBar->isVisible() && form->CancelButton->isVisible();
    clickedAt = clock.elapsed();
    QTest::mouseClick(form->CancelButton, Qt::LeftButton);
  });
  clock.start();
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  const qint64 endedAt = clock.elapsed();
  EXPECT_TRUE(sawProgress);
  // Cancel stops the worker promptly (generous for a loaded machine).
  EXPECT_LT(endedAt - clickedAt, 1000);
  EXPECT_FALSE(form->ProgressBar->isVisible());
  EXPECT_TRUE(form->MainButton->isEnabled());
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), left);
  EXPECT_EQ(Text(form->Density->ProbabilityEditCentral), central);
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), right);
  EXPECT_EQ(Text(form->Density->XEdit), x);
  EXPECT_EQ(form->Current()->Cdf(2), p);
  EXPECT_EQ(form->Current()->Par()[1].Value, 2);
  EXPECT_EQ(form->Calc().ParameterTexts, texts);
  EXPECT_EQ(form->Density->Graph->grab().toImage(), pdf);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowTest, RankSizesBeyondTheBoundsAreRefusedAtOnce) {
  if (!form->ChooseType("Friedman")) GTEST_SKIP() << "no Friedman type in this build";
  form->Calc().ParameterTexts = {"", "3", "3", ""};
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  ASSERT_TRUE(errors.empty()) << errors[0];
  const Real mean = form->Current()->Mean();
  // Eight treatments in ten blocks: far beyond the bounds, refused before
  // anything is counted.
  QElapsedTimer clock;
  clock.start();
  form->Calc().ParameterTexts = {"", "8", "10", ""};
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  EXPECT_LT(clock.elapsed(), 1000);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Numbers too large.");
  EXPECT_EQ(form->Current()->Mean(), mean);
  EXPECT_EQ(form->Current()->Par()[2].Value, 3);

  // Fewer than two treatments are refused before anything is counted.
  for (const char* t : {"1", "0", "-3"}) {
    errors.clear();
    form->Calc().ParameterTexts = {"", t, "5", ""};
    form->Calc().Mode = InputMode::Parameters;
    form->MainButtonClicked();
    ASSERT_EQ(errors.size(), 1u) << t;
    EXPECT_EQ(errors[0], "Value should be at least 2.");
    EXPECT_EQ(form->Current()->Mean(), mean);
    EXPECT_EQ(form->Current()->Par()[1].Value, 3);
  }
}

}  // namespace
}  // namespace vokt::ui
