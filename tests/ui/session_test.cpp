// A first session with the window, step by step as a new user would go:
// draw a sample, save it and look at the file; enter Kruskal-Wallis groups
// of 6, 6 and 6, cancel the count halfway, run it to the end and read the
// probabilities off the pdf page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include "ui/sample_view.h"

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

TEST(Session, SampleThenKruskalWallisWithCancel) {
  QTemporaryDir dir;
  const QString file = dir.path() + "/Sample.dat";
  std::vector<std::string> errors, presets;
  auto oldError = SetErrorHook([&](const std::string& t) { errors.push_back(t); });
  auto oldAsk = SetAskHook([](const std::string&, bool) { return Answer::Yes; });
  auto oldSave = SetSaveNameHook([&](const std::string& preset) {
    presets.push_back(preset);
    return file.toStdString();
  });
  {
    MainWindow form;
    form.show();
    QApplication::processEvents();

    // Twenty values of the standard normal with the dialog's suggestion of
    // 3 decimals, saved.
    form.Sample->RunDialog = [](QDialog& d) {
      auto& draw = static_cast<DrawDialog&>(d);
      draw.SampleSizeEdit->setText("20");
      draw.OKButton->click();
      return draw.result() == QDialog::Accepted;
    };
    form.ActionDrawSample->trigger();
    form.ActionSave->trigger();
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(presets, std::vector<std::string>{"Sample.dat"});
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 21);  // 20 lines and nothing after the last CR LF
    EXPECT_TRUE(lines.back().isEmpty());
    for (int i = 0; i < 20; ++i) {
      EXPECT_TRUE(lines[i].endsWith('\r'));
      const QByteArray value = lines[i].chopped(1);
      EXPECT_EQ(value.size() - value.indexOf('.'), 4) << value.toStdString();
    }

    // Back to the pdf page (the main button is hidden on the sample page)
    // and Kruskal-Wallis with three groups of twelve typed into the grid.
    form.Pages->setCurrentIndex(0);
    ASSERT_TRUE(form.ChooseType("Kruskal-Wallis"));
    for (int r = 0; r < 3; ++r) {
      form.Grid->setCurrentCell(r, 1);
      QLineEdit* e = form.Grid->Editor();
      ASSERT_NE(e, nullptr);
      e->setFocus();
      e->selectAll();
      QTest::keyClick(e, Qt::Key_Delete);
      QTest::keyClicks(e, "12");
    }
    ASSERT_TRUE(form.MainButton->isVisible());
    const QString caption = form.MainButton->text();
    const QString leftBefore = form.Density->ProbabilityEditLeft->text(),
                  xBefore = form.Density->XEdit->text();

    // Three groups of twelve: about a second of counting, so the progress
    // bar shows; Cancel is clicked once it has passed half way.
    int cancelledAt = -1;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (cancelledAt < 0 && form.ProgressBar->isVisible() && form.ProgressBar->value() >= 50) {
        cancelledAt = form.ProgressBar->value();
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        QTest::mouseClick(form.CancelButton, Qt::LeftButton);
      }
    });
    poll.start();
    QTest::mouseClick(form.MainButton, Qt::LeftButton);
    poll.stop();
    ASSERT_GE(cancelledAt, 50) << "the count ended before Cancel could be clicked";
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(form.ProgressBar->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(form.MainButton->text(), caption);  // nothing applied
    EXPECT_EQ(form.Density->ProbabilityEditLeft->text(), leftBefore);
    EXPECT_EQ(form.Density->XEdit->text(), xBefore);

    // Run to the end: x starts at the mean, H = 2 (one less than the groups).
    QTest::mouseClick(form.MainButton, Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(form.Density->XEdit->text(), "2");
    const double left = form.Density->ProbabilityEditLeft->text().toDouble();
    const double central = form.Density->ProbabilityEditCentral->text().toDouble();
    const double right = form.Density->ProbabilityEditRight->text().toDouble();
    EXPECT_NEAR(left + central + right, 1, 2e-4);
    // Near the chi-square approximation with 2 degrees of freedom,
    // P(H >= 2) = exp(-1) = 0.368.
    EXPECT_NEAR(central + right, 0.368, 0.03);
    form.Sample->List->SetModified(false);
  }
  SetErrorHook(oldError);
  SetAskHook(oldAsk);
  SetSaveNameHook(oldSave);
}

}  // namespace
}  // namespace vokt::ui
