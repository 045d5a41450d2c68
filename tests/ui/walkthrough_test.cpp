// Defects found by walking through the window as a new user: each test
// drives the real widgets the way that user did.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "distrib/kruskal_friedman.h"
#include "tests/ui/window_fixture.h"
#include "ui/calculator.h"
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

class WalkThroughTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldError_ = SetErrorHook([this](const std::string& t) { errors.push_back(t); });
    oldBeep_ = SetBeepHook([this] { ++beeps; });
    oldAsk_ = SetAskHook([](const std::string&, bool) { return Answer::No; });
    form = std::make_unique<MainWindow>();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  void TearDown() override {
    form->Sample->List->SetModified(false);
    form.reset();
    SetErrorHook(oldError_);
    SetBeepHook(oldBeep_);
    SetAskHook(oldAsk_);
  }

  void TypeInto(QLineEdit* e, const QString& text) { ui::TypeInto(e, text); }
  void TypeIntoGrid(int row, const QString& text, bool enter = false) {
    ui::TypeIntoGrid(*form, row, text, enter);
  }

  // Applies the grid texts (rows 1..) as the button would.
  void Apply(std::vector<std::string> texts) {
    texts.insert(texts.begin(), std::string());
    form->Calc().ParameterTexts = texts;
    form->Calc().Mode = InputMode::Parameters;
    form->MainButtonClicked();
  }

  std::string GridText(int row) const { return form->Calc().ParameterTexts[row + 1]; }
  QString Caption() const { return form->MainButton->text(); }
  QString CaptionOfMode() const {
    return QString::fromStdString(Calculator::CaptionFor(form->Calc().Mode));
  }

  std::unique_ptr<MainWindow> form;
  std::vector<std::string> errors;
  int beeps = 0;

 private:
  ErrorHook oldError_;
  BeepHook oldBeep_;
  AskHook oldAsk_;
};

TEST_F(WalkThroughTest, KruskalWallisSizesComeBackAfterAnotherType) {
  ASSERT_TRUE(form->ChooseType("Kruskal-Wallis"));
  while (form->Grid->rowCount() < 4) form->Grid->setCurrentCell(form->Grid->rowCount() - 1, 1);
  Apply({"2", "3", "4", ""});
  ASSERT_TRUE(errors.empty()) << errors[0];
  ASSERT_TRUE(form->ChooseType("normal"));
  ASSERT_TRUE(form->ChooseType("Kruskal-Wallis"));
  // The sizes, not the group count in the first row.
  EXPECT_EQ(GridText(0), "2");
  EXPECT_EQ(GridText(1), "3");
  EXPECT_EQ(GridText(2), "4");
  ASSERT_NE(form->Grid->Editor(), nullptr);
  EXPECT_EQ(form->Grid->Editor()->text(), "2");
  // Apply again computes the same table.
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  ASSERT_TRUE(errors.empty()) << errors[0];
  auto* kw = dynamic_cast<KruskalWallisDistribution*>(form->Current());
  ASSERT_NE(kw, nullptr);
  EXPECT_EQ(kw->GroupSizes, (std::vector<int32_t>{0, 2, 3, 4}));
}

TEST_F(WalkThroughTest, RankTestSamplesOfferTheFormat) {
  struct Case {
    const char* type;
    std::vector<std::string> texts;
  };
  for (const Case& c : {Case{"Friedman", {"3", "4"}}, Case{"Kruskal-Wallis", {"2", "3", ""}}}) {
    SCOPED_TRACE(c.type);
    form->Sample->Clear();
    ASSERT_TRUE(form->ChooseType(c.type));
    Apply(c.texts);
    ASSERT_TRUE(errors.empty()) << errors[0];
    bool offered = false;
    form->Sample->RunDialog = [&](QDialog& d) {
      auto& draw = static_cast<DrawDialog&>(d);
      offered = draw.FormatBoxVisible;
      draw.SampleSizeEdit->setText("300");
      draw.FloatingPointCheckBox->setChecked(false);
      draw.DecimalsEdit->setText("2");
      draw.SeedEdit->setText("5");
      draw.OKButton->click();
      return draw.result() == QDialog::Accepted;
    };
    form->ActionDrawSample->trigger();
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_TRUE(offered);
    ASSERT_EQ(form->Sample->List->LineCount(), 300);
    int fractional = 0;
    for (int64_t i = 0; i < form->Sample->List->LineCount(); ++i) {
      const QString line = form->Sample->List->LineText(i);
      ASSERT_EQ(line.size() - line.indexOf('.'), 3) << line.toStdString();
      if (!line.endsWith(".00")) ++fractional;
    }
    EXPECT_GT(fractional, 0);
  }
}

TEST_F(WalkThroughTest, XDecimalsOnTheCdfPageKeepItsX) {
  form->Pages->setCurrentIndex(1);
  QApplication::processEvents();
  TypeInto(form->Cdf->XEdit, "-0.524");
  // The hidden pdf page holds something else; it must not be read.
  form->Density->ProbabilityEditLeft->setText("0.5");
  form->XDecimalsGroup->actions()[2]->trigger();
  EXPECT_EQ(form->Calc().CurrentX, -0.524L);
  EXPECT_EQ(form->Cdf->XEdit->text(), "-0.52");
  EXPECT_EQ(Caption(), CaptionOfMode());
  form->XDecimalsGroup->actions()[4]->trigger();
  EXPECT_EQ(form->Cdf->XEdit->text(), "-0.524");
  form->XDecimalsGroup->actions()[1]->trigger();
  EXPECT_EQ(form->Cdf->XEdit->text(), "-0.5");
  EXPECT_EQ(form->Calc().CurrentX, -0.524L);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(beeps, 0);
}

TEST_F(WalkThroughTest, TheCaptionSaysWhatEnterDoes) {
  const QString apply = "Apply New Distribution", probabilities = "Compute Probabilities";
  // Back into the grid's current cell after the x box.
  TypeInto(form->Density->XEdit, "1");
  EXPECT_EQ(Caption(), probabilities);
  QLineEdit* cell = form->Grid->Editor();
  ASSERT_NE(cell, nullptr);
  QTest::mouseClick(cell, Qt::LeftButton);
  cell->setFocus(Qt::MouseFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(Caption(), apply);
  EXPECT_EQ(Caption(), CaptionOfMode());

  // A drag on the cdf page leaves the button computing probabilities.
  form->Pages->setCurrentIndex(1);
  QApplication::processEvents();
  form->Grid->Editor()->setFocus(Qt::MouseFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(Caption(), apply);
  QWidget* panel = form->Cdf->XMarker;
  QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(panel->width() / 2, 5));
  QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(panel->width() / 2, 5));
  EXPECT_EQ(form->Calc().Mode, InputMode::CdfX);
  EXPECT_EQ(Caption(), probabilities);

  // The same for the pdf page's marker.
  form->Pages->setCurrentIndex(0);
  form->Grid->Editor()->setFocus(Qt::MouseFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(Caption(), apply);
  panel = form->Density->XMarker;
  QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(panel->width() / 2, 5));
  QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(panel->width() / 2, 5));
  EXPECT_EQ(Caption(), probabilities);
  EXPECT_EQ(Caption(), CaptionOfMode());

  // An apply on the formulas page keeps the button applying.
  form->Pages->setCurrentIndex(2);
  QApplication::processEvents();
  TypeIntoGrid(0, "1", true);
  EXPECT_EQ(Caption(), apply);
  EXPECT_EQ(Caption(), CaptionOfMode());
  EXPECT_TRUE(errors.empty());
}

TEST_F(WalkThroughTest, RefusedInputIsExplainedAndTheGridShowsTheValuesInUse) {
  TypeIntoGrid(1, "-1", true);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(GridText(1), "1");
  EXPECT_EQ(GridText(2), "1");
  ASSERT_NE(form->Grid->Editor(), nullptr);
  EXPECT_EQ(form->Grid->Editor()->text(), "1");

  struct Case {
    QLineEdit* edit;
    QString text;
    QString why;
  };
  const std::vector<Case> cases = {
      {form->Density->ProbabilityEditLeft, "2", "Value should not be greater than 1"},
      {form->Density->ProbabilityEditRight, "-0.5", "Value should be at least 0"},
      {form->Density->XEdit, "abc", "'abc' is not a valid floating point value"},
  };
  for (const Case& c : cases) {
    beeps = 0;
    TypeInto(c.edit, c.text);
    EXPECT_EQ(beeps, 1) << c.text.toStdString();
    EXPECT_TRUE(form->statusBar()->currentMessage().startsWith(c.why))
        << form->statusBar()->currentMessage().toStdString();
  }
  // The next accepted entry clears the line.
  TypeInto(form->Density->XEdit, "1");
  EXPECT_TRUE(form->statusBar()->currentMessage().isEmpty());
  // The status line does not cover the button.
  EXPECT_LE(form->MainButton->mapTo(form.get(), QPoint(0, form->MainButton->height())).y(),
            form->statusBar()->y());
}

TEST_F(WalkThroughTest, EscClosesTheHelpWindow) {
  form->ActionHelp->trigger();
  QApplication::processEvents();
  QWidget* help = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowTitle() == "VOKT Help" && w->isVisible()) help = w;
  ASSERT_NE(help, nullptr);
  QTest::keyClick(help, Qt::Key_Escape);
  EXPECT_FALSE(help->isVisible());
}

// Fraction of the pixels of rect that are clearly lighter than the dark
// background: text drawn in the palette's light text colour (navy or black
// text on the dark base never gets there, not even where it is smoothed).
double LightPixels(const QImage& image, const QRect& rect) {
  int light = 0, all = 0;
  for (int y = rect.top(); y <= rect.bottom() && y < image.height(); ++y)
    for (int x = rect.left(); x <= rect.right() && x < image.width(); ++x) {
      ++all;
      if (image.pixelColor(x, y).lightness() > 160) ++light;
    }
  return all ? static_cast<double>(light) / all : 0;
}

TEST_F(WalkThroughTest, TheGridFollowsADarkPalette) {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(40, 40, 40));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Base, QColor(25, 25, 25));
  dark.setColor(QPalette::AlternateBase, QColor(45, 45, 45));
  dark.setColor(QPalette::Text, QColor(235, 235, 235));
  dark.setColor(QPalette::Button, QColor(50, 50, 50));
  dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  // A dark desktop theme: the application's palette, before the window opens.
  const QPalette old = QApplication::palette();
  struct Restore {
    QPalette p;
    ~Restore() { QApplication::setPalette(p); }
  } restore{old};
  QApplication::setPalette(dark);
  form = std::make_unique<MainWindow>();
  form->show();
  QApplication::processEvents();
  const QImage image = form->Grid->viewport()->grab().toImage();
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 2; ++col) {
      const QRect r = form->Grid->visualItemRect(form->Grid->item(row, col));
      const QRect scaled(r.topLeft() * image.devicePixelRatio(),
                         r.size() * image.devicePixelRatio());
      EXPECT_GT(LightPixels(image, scaled.adjusted(2, 2, -2, -2)), 0.0)
          << "row " << row << " column " << col;
    }
  }
  // The marker's line follows the text colour too.
  EXPECT_EQ(
      form->Density->XMarker->Line->palette().color(form->Density->XMarker->Line->backgroundRole()),
      dark.color(QPalette::WindowText));
}

}  // namespace
}  // namespace vokt::ui
