// The signed rank, Mann-Whitney and rank-sum tables of real sample sizes are
// counted on a worker thread: the window keeps handling events, Cancel keeps
// the previous distribution, and a finished count gives the exact table.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "distrib/rank_sums.h"
#include "ui/main_window.h"
#include "ui/messages.h"
#include "ui/parameter_grid.h"

namespace vokt::ui {
namespace {

// Chooses the type whose name in the list starts with the given text.
bool Choose(MainWindow& form, const QString& start) {
  const int i = form.TypeBox->findText(start, Qt::MatchStartsWith);
  return i >= 0 && form.ChooseType(form.TypeBox->itemText(i));
}

void TypeSizes(MainWindow& form, const std::vector<QString>& sizes) {
  for (int r = 0; r < static_cast<int>(sizes.size()); ++r) {
    form.Grid->setCurrentCell(r, 1);
    QLineEdit* e = form.Grid->Editor();
    ASSERT_NE(e, nullptr);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, sizes[r]);
  }
}

TEST(RankWorker, CancelKeepsTheOldTableAndAFinishedCountIsExact) {
  std::vector<std::string> errors;
  auto oldError = SetErrorHook([&](const std::string& t) { errors.push_back(t); });
  {
    MainWindow form;
    form.show();
    QApplication::processEvents();

    // Mann-Whitney 900 x 900: seconds of counting, cancelled once the
    // progress bar shows; the 3 x 3 table stays.
    ASSERT_TRUE(form.ChooseType("Mann-Whitney"));
    auto* mw = dynamic_cast<MannWhitneyDistribution*>(form.Current());
    ASSERT_NE(mw, nullptr);
    const int32_t m0 = mw->m, n0 = mw->n;
    TypeSizes(form, {"900", "900"});
    bool cancelled = false, eventHandled = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      eventHandled = true;  // a timer event handled while the count runs
      if (!cancelled && form.ProgressBar->isVisible()) {
        cancelled = true;
        QTest::mouseClick(form.CancelButton, Qt::LeftButton);
      }
    });
    poll.start();
    QTest::mouseClick(form.MainButton, Qt::LeftButton);
    poll.stop();
    EXPECT_TRUE(cancelled) << "the progress bar never showed";
    EXPECT_TRUE(eventHandled);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(mw->m, m0);
    EXPECT_EQ(mw->n, n0);
    EXPECT_FALSE(mw->Prepared.has_value());
    EXPECT_FALSE(form.ProgressBar->isVisible());

    // Signed rank 1000 runs on the worker to the end: P(T <= 0) = 2^-1000.
    ASSERT_TRUE(Choose(form, "Wilcoxon signed"));
    TypeSizes(form, {"1000"});
    QTest::mouseClick(form.MainButton, Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    auto* sr = dynamic_cast<SignedRankDistribution*>(form.Current());
    ASSERT_NE(sr, nullptr);
    EXPECT_EQ(sr->n, 1000);
    EXPECT_FALSE(sr->Prepared.has_value());
    EXPECT_NEAR(static_cast<double>(sr->Cdf(0) / std::ldexp(1.0L, -1000)), 1, 1e-16);
    EXPECT_EQ(sr->Mean(), 250250);
  }
  SetErrorHook(oldError);
}

}  // namespace
}  // namespace vokt::ui
