// The main window driven as a user would: keys into the real widgets, with
// the error box and the beep recorded instead of shown.
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

// A fair die with n faces: a discrete type for the rules that depend on
// discreteness, independent of which discrete families are built.
class TestDie : public DiscreteDistribution {
 public:
  TestDie() {
    SetParameters(6, 1, 1);
    Par[1].Unset = true;
    Par[1].RangeHint = "n = 1, 2, ...";
  }
  void Name(std::string& s) const override { s = "test die"; }
  void SetParameters(Real p1, Real p2, Real p3) override {
    ParCount = 1;
    DefineParameter(1, 1, 1000, true, "n");
    DiscreteDistribution::SetParameters(p1, p2, p3);
    N = p1;
    SupportLow = 1;
    SupportHigh = N;
    Mean = (N + 1) / 2;
    Variance = (N * N - 1) / 12;
    BuildPointTable();
  }
  Real PointProb(Real x) const override { return (InSupport(x) && IsIntegerValue(x)) ? 1 / N : 0; }
  Real Cdf(Real x) const override {
    if (x < 1) return 0;
    if (x >= N) return 1;
    return std::floor(x) / N;
  }
  Real N = 6;
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldError_ = SetErrorHook([this](const std::string& t) { errors.push_back(t); });
    oldBeep_ = SetBeepHook([this] { ++beeps; });
    form = std::make_unique<MainWindow>();
    form->AddDistribution(std::make_unique<TestDie>());
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  void TearDown() override {
    form.reset();
    SetErrorHook(oldError_);
    SetBeepHook(oldBeep_);
  }

  // Enters an edit with the mouse, replaces its text and presses Enter.
  void TypeInto(QLineEdit* e, const QString& text) {
    QTest::mouseClick(e, Qt::LeftButton);
    e->setFocus();
    QApplication::processEvents();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    if (!text.isEmpty()) QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();
  }

  // Types text into the value cell of grid row r (0-based).
  void TypeIntoGrid(int row, const QString& text, bool enter = false) {
    form->Grid->setCurrentCell(row, 1);
    QLineEdit* e = form->Grid->Editor();
    ASSERT_NE(e, nullptr);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, text);
    if (enter) QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();
  }

  QString Text(QLineEdit* e) const { return e->text(); }
  std::string GridText(int row) const { return form->Calc().ParameterTexts[row + 1]; }

  std::unique_ptr<MainWindow> form;
  std::vector<std::string> errors;
  int beeps = 0;

 private:
  ErrorHook oldError_;
  BeepHook oldBeep_;
};

TEST_F(WindowTest, StartsWithTheStandardNormalOnThePdfPage) {
  EXPECT_EQ(form->windowTitle(), "VOKT");
  EXPECT_EQ(form->TypeBox->currentText(), "normal");
  ASSERT_NE(form->Current(), nullptr);
  EXPECT_EQ(form->Current()->NameId, 901);
  EXPECT_EQ(GridText(0), "0");
  EXPECT_EQ(GridText(1), "1");
  EXPECT_EQ(GridText(2), "1");
  EXPECT_EQ(form->Grid->rowCount(), 3);
  EXPECT_EQ(form->Pages->currentIndex(), 0);
  EXPECT_EQ(form->Pages->tabText(0), "pdf");
  EXPECT_FALSE(form->Pages->isTabVisible(3));
  EXPECT_EQ(Text(form->Density->XEdit), "0");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.5");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.5");
  EXPECT_EQ(form->Density->ProbabilityEditCentral->width(),
            2);  // the thin line of a continuous type
  EXPECT_EQ(form->MainButton->text(), "Apply New Distribution");
  EXPECT_EQ(form->Calc().Mode, InputMode::Applied);
  EXPECT_TRUE(form->ProbabilityDecimalsGroup->checkedAction()->text() == "4");
  EXPECT_TRUE(form->XDecimalsGroup->checkedAction()->text() == "3");
  EXPECT_TRUE(errors.empty());
  // The list is sorted by name, ignoring case.
  for (int i = 1; i < form->TypeBox->count(); ++i)
    EXPECT_LE(QString::compare(form->TypeBox->itemText(i - 1), form->TypeBox->itemText(i),
                               Qt::CaseInsensitive),
              0);
}

TEST_F(WindowTest, LayoutFollowsTheFontAndTheGraphsTakeTheRoom) {
  const int lh = form->Sizes().LineHeight;
  EXPECT_EQ(lh, 18);  // 12-pixel font
  EXPECT_EQ(form->MainButton->height(), 2 * lh);
  EXPECT_EQ(form->MainButton->width(), form->TypeGroup->width());
  EXPECT_GE(form->Density->XEdit->width(), form->Sizes().NumberWidth);
  // The window opens at its default size, never larger than the screen.
  const QRect screen = form->screen()->availableGeometry();
  EXPECT_EQ(form->size(), form->DefaultSize());
  EXPECT_LE(form->width(), screen.width());
  EXPECT_LE(form->height(), screen.height());
  EXPECT_GE(form->DefaultSize().width(), std::min(900, screen.width()));
  // The page control fills the width right of the group box, and the graph
  // takes the extra room of a larger window.
  const QSize graph = form->Density->Graph->size();
  form->resize(form->width() + 200, form->height() + 150);
  QApplication::processEvents();
  EXPECT_EQ(form->Pages->geometry().right(),
            form->centralWidget()->width() - 1 -
                form->centralWidget()->layout()->contentsMargins().right());
  EXPECT_EQ(form->Density->Graph->width(), graph.width() + 200);
  EXPECT_EQ(form->Density->Graph->height(), graph.height() + 150);
  form->Pages->setCurrentIndex(1);
  QApplication::processEvents();
  const QSize cdf = form->Cdf->Graph->size();
  form->resize(form->width() - 100, form->height() - 50);
  QApplication::processEvents();
  EXPECT_EQ(form->Cdf->Graph->width(), cdf.width() - 100);
  EXPECT_EQ(form->Cdf->Graph->height(), cdf.height() - 50);
}

TEST_F(WindowTest, EnterInTheXEditComputesTheProbabilities) {
  TypeInto(form->Density->XEdit, "1.96");
  EXPECT_EQ(form->Calc().Mode, InputMode::DensityX);
  EXPECT_EQ(form->MainButton->text(), "Compute Probabilities");
  EXPECT_EQ(Text(form->Density->XEdit), "1.96");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.975");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.025");
  EXPECT_EQ(Text(form->Density->ProbabilityEditCentral), " ");
  EXPECT_EQ(form->Density->ProbabilityEditCentral->width(), 2);
  // The marker sits over x on the graph.
  const int centre = form->Density->XMarker->x() + form->Density->XMarker->width() / 2;
  EXPECT_GT(centre, form->Density->Graph->x() + form->Density->Graph->width() / 2);
  EXPECT_EQ(beeps, 0);
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, NumbersUseTheUsersDecimalSeparator) {
  SetDecimalSeparator(',');
  TypeInto(form->Density->XEdit, "1,96");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0,975");
  TypeInto(form->Density->XEdit, "1.96");  // the other separator is not a number here
  EXPECT_EQ(beeps, 1);
  TypeIntoGrid(1, "2,25");
  EXPECT_EQ(GridText(2), "1,5");
  SetDecimalSeparator('.');
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, AProbabilityGivesTheQuantile) {
  TypeInto(form->Density->ProbabilityEditLeft, "0.975");
  EXPECT_EQ(form->MainButton->text(), "Compute Quantile");
  EXPECT_EQ(Text(form->Density->XEdit), "1.96");  // 3 decimals for the standard normal
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.975");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.025");

  TypeInto(form->Density->ProbabilityEditRight, "0.5");
  EXPECT_EQ(Text(form->Density->XEdit), "0");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.5");
  EXPECT_EQ(beeps, 0);
}

TEST_F(WindowTest, BadNumbersInTheEditsOnlyBeep) {
  TypeInto(form->Density->XEdit, "1");
  const QString x = Text(form->Density->XEdit);
  const QString left = Text(form->Density->ProbabilityEditLeft);
  const QString digits(400, QChar('9'));
  struct Case {
    QLineEdit* edit;
    QString text;
  };
  const std::vector<Case> cases = {
      {form->Density->ProbabilityEditLeft, "1.5"},
      {form->Density->ProbabilityEditLeft, "-0.1"},
      {form->Density->ProbabilityEditRight, "1.5"},
      {form->Density->ProbabilityEditRight, "abc"},
      {form->Density->ProbabilityEditLeft, "nan"},
      {form->Density->ProbabilityEditLeft, "-"},
      {form->Density->ProbabilityEditLeft, "."},
      {form->Density->ProbabilityEditLeft, ""},
      {form->Density->ProbabilityEditLeft, digits},
      {form->Density->XEdit, "1e5000"},
      {form->Density->XEdit, "inf"},
      {form->Density->XEdit, "1,5"},
      {form->Density->XEdit, "0x10"},
      {form->Density->XEdit, "2e"},
  };
  const Real currentX = form->Calc().CurrentX;
  int expected = 0;
  for (const Case& c : cases) {
    const std::string what = c.text.left(20).toStdString();
    TypeInto(c.edit, c.text);
    ++expected;
    EXPECT_EQ(beeps, expected) << what;
    EXPECT_TRUE(c.edit->hasFocus()) << what;
    // The typed text stays for correcting; nothing was recomputed.
    EXPECT_EQ(Text(c.edit), c.text.isEmpty() ? QString() : c.text) << what;
    EXPECT_EQ(form->Calc().CurrentX, currentX) << what;
    if (c.edit != form->Density->XEdit) {
      EXPECT_EQ(Text(form->Density->XEdit), x) << what;
    }
  }
  (void)left;
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, TinyTailsShowTheirDigitsAndFitTheirBoxes) {
  // 1 - P(Z > 9) is one unit of the last place below 1: the distance to 1
  // is the directly computed upper tail (mpmath: 1.128588405953840e-19).
  TypeInto(form->Density->XEdit, "9");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "1.1286e-19");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), QString::fromUtf8("1 \u2212 1.1286e-19"));
  for (QLineEdit* e : {form->Density->ProbabilityEditLeft, form->Density->ProbabilityEditRight}) {
    EXPECT_GE(e->width(), e->fontMetrics().horizontalAdvance(e->text()));
    EXPECT_GE(e->x(), 0);
    EXPECT_LE(e->x() + e->width(), form->Density->GrayPanel->width());
  }
  form->Pages->setCurrentIndex(1);
  TypeInto(form->Cdf->XEdit, "9");
  EXPECT_EQ(Text(form->Cdf->ProbabilityEdit), QString::fromUtf8("1 \u2212 1.1286e-19"));
  EXPECT_GE(form->Cdf->ProbabilityEdit->width(),
            form->Cdf->ProbabilityEdit->fontMetrics().horizontalAdvance(
                form->Cdf->ProbabilityEdit->text()));
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, ProbabilitiesZeroAndOneReachTheQuantile) {
  TypeInto(form->Density->ProbabilityEditLeft, "0");
  TypeInto(form->Density->ProbabilityEditLeft, "1");
  // A huge x is still a number: all probability lies left of it.
  TypeInto(form->Density->XEdit, "1e999");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "1");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0");
  EXPECT_EQ(beeps, 0);
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, BadParametersShowTheMessageAndChangeNothing) {
  TypeInto(form->Density->XEdit, "1.5");
  const QString x = Text(form->Density->XEdit), left = Text(form->Density->ProbabilityEditLeft);
  struct Case {
    int row;
    QString text;
    std::string message;
  };
  const std::vector<Case> cases = {
      {1, "-1", "Second parameter should be greater than 0."},
      {1, "0", "Second parameter should be greater than 0."},
      {0, "abc", "'abc' is not a valid floating point value."},
      {0, "nan", "'nan' is not a valid floating point value."},
      {0, "-", "'-' is not a valid floating point value."},
      {0, ".", "'.' is not a valid floating point value."},
      {0, "1e5000", "'1e5000' is not a valid floating point value."},
      {0, "-1e5000", "'-1e5000' is not a valid floating point value."},
      {0, "inf", "'inf' is not a valid floating point value."},
      {1, "-1e999", "Second parameter should be greater than 0."},
  };
  for (const Case& c : cases) {
    errors.clear();
    form->Calc().ParameterTexts = {"", "0", "1", "1"};
    TypeIntoGrid(c.row, c.text, true);
    ASSERT_EQ(errors.size(), 1u) << c.text.toStdString();
    EXPECT_EQ(errors[0], c.message);
    Parameter mu, var;
    form->Current()->GetParameter(1, mu);
    form->Current()->GetParameter(2, var);
    EXPECT_EQ(mu.Value, 0) << c.text.toStdString();
    EXPECT_EQ(var.Value, 1) << c.text.toStdString();
    EXPECT_EQ(form->Current()->Mean, 0);
    EXPECT_EQ(Text(form->Density->XEdit), x);
    EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), left);
  }
  // A good first parameter with a bad second one is not half applied.
  errors.clear();
  form->Calc().ParameterTexts = {"", "5", "-2", "1"};
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  ASSERT_EQ(errors.size(), 1u);
  Parameter mu;
  form->Current()->GetParameter(1, mu);
  EXPECT_EQ(mu.Value, 0);
  EXPECT_EQ(beeps, 0);
  // Any finite mean is a valid one, however far beyond 2^31.
  errors.clear();
  form->Calc().ParameterTexts = {"", "0", "1", "1"};
  TypeIntoGrid(0, "1e999", true);
  EXPECT_TRUE(errors.empty());
  Parameter far;
  form->Current()->GetParameter(1, far);
  EXPECT_EQ(far.Value, 1e999L);
}

TEST_F(WindowTest, VarianceAndStandardDeviationFollowEachOther) {
  TypeIntoGrid(1, "4");
  EXPECT_EQ(GridText(2), "2");
  TypeIntoGrid(2, "3");
  EXPECT_EQ(GridText(1), "9");
  // Half-typed numbers leave the companion alone ("1" was typed on the way).
  TypeIntoGrid(1, "1e");
  EXPECT_EQ(GridText(2), "1");
  TypeIntoGrid(1, "1e-2");
  EXPECT_EQ(GridText(2), "0.1");
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, EnterInTheGridAppliesTheParameters) {
  TypeIntoGrid(0, "10");
  TypeIntoGrid(1, "4", true);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(form->Current()->Mean, 10);
  EXPECT_EQ(form->Current()->Variance, 4);
  EXPECT_EQ(Text(form->Density->XEdit), "10");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.5");
  EXPECT_EQ(form->Calc().Mode, InputMode::DensityX);
  EXPECT_EQ(form->MainButton->text(), "Compute Probabilities");
}

TEST_F(WindowTest, EnterAnywhereIsThePressOnce) {
  form->Calc().ParameterTexts = {"", "1", "4", "2"};
  form->Calc().Mode = InputMode::Parameters;
  form->TypeBox->setFocus();
  QTest::keyClick(form->TypeBox, Qt::Key_Return);
  EXPECT_EQ(form->Current()->Mean, 1);
  EXPECT_EQ(form->Current()->Variance, 4);
  // In a number edit Enter computes once (a second press would beep here).
  form->Density->XEdit->setText("abc");
  form->Density->XEdit->setFocus();
  form->Calc().NumberEditClicked(EditId::xValue);
  QTest::keyClick(form->Density->XEdit, Qt::Key_Return);
  EXPECT_EQ(beeps, 1);
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, EachTypeKeepsItsParameters) {
  TypeIntoGrid(0, "2");
  TypeIntoGrid(1, "4", true);
  ASSERT_TRUE(errors.empty());
  ASSERT_TRUE(form->ChooseType("test die"));
  EXPECT_EQ(form->Pages->tabText(0), "pmf");
  EXPECT_EQ(form->Grid->rowCount(), 1);
  EXPECT_EQ(GridText(0), "");  // unset
  EXPECT_EQ(form->Calc().Mode, InputMode::Parameters);
  EXPECT_EQ(form->MainButton->text(), "Apply New Distribution");
  EXPECT_EQ(form->Grid->currentRow(), 0);
  ASSERT_TRUE(form->ChooseType("normal"));
  EXPECT_EQ(form->Pages->tabText(0), "pdf");
  EXPECT_EQ(GridText(0), "2");
  EXPECT_EQ(GridText(1), "4");
  EXPECT_EQ(GridText(2), "2");
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, AnEmptyParameterRowIsSelectedByThePress) {
  ASSERT_TRUE(form->ChooseType("test die"));
  form->Grid->setCurrentCell(0, 1);
  form->MainButton->click();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(form->Grid->currentRow(), 0);
  EXPECT_EQ(form->Calc().Mode, InputMode::Parameters);

  ASSERT_TRUE(form->ChooseType("normal"));
  TypeIntoGrid(2, "");
  form->Grid->setCurrentCell(0, 1);
  form->MainButton->click();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(form->Grid->currentRow(), 2);
}

TEST_F(WindowTest, DiscreteTypeComputesAndSnapsTheCentralEdit) {
  ASSERT_TRUE(form->ChooseType("test die"));
  TypeIntoGrid(0, "6", true);
  ASSERT_TRUE(errors.empty());
  EXPECT_EQ(Text(form->Density->XEdit), "3.5");
  TypeInto(form->Density->XEdit, "2");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.1667");
  EXPECT_EQ(Text(form->Density->ProbabilityEditCentral), "0.1667");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.6667");
  EXPECT_EQ(form->Density->ProbabilityEditCentral->width(), form->Sizes().NumberWidth);
}

TEST_F(WindowTest, DecimalsMenusRecompute) {
  TypeInto(form->Density->XEdit, "1.96");
  form->ProbabilityDecimalsGroup->actions()[7]->trigger();  // "8"
  EXPECT_EQ(form->Calc().ProbabilityDecimals, 8);
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.9750021");
  EXPECT_EQ(Text(form->Density->XEdit), "1.96");

  TypeInto(form->Density->ProbabilityEditLeft, "0.975");
  form->XDecimalsGroup->actions()[0]->trigger();  // "0"
  EXPECT_EQ(form->Calc().XValueDecimals, 0);
  EXPECT_EQ(Text(form->Density->XEdit), "2");
  EXPECT_TRUE(form->XDecimalsGroup->actions()[0]->isChecked());
  EXPECT_EQ(beeps, 0);
}

TEST_F(WindowTest, XDecimalsMenuOnlyForContinuousTypes) {
  form->OptionsChosen();
  EXPECT_TRUE(form->MenuXDecimals->menuAction()->isEnabled());
  ASSERT_TRUE(form->ChooseType("test die"));
  form->OptionsChosen();
  EXPECT_FALSE(form->MenuXDecimals->menuAction()->isEnabled());
  ASSERT_TRUE(form->ChooseType("normal"));
  form->OptionsChosen();
  EXPECT_TRUE(form->MenuXDecimals->menuAction()->isEnabled());
  // With the families of the catalogue: the binomial takes integer values,
  // an empirical table (Kruskal-Wallis) any values.
  if (form->ChooseType("binomial")) {
    form->OptionsChosen();
    EXPECT_FALSE(form->MenuXDecimals->menuAction()->isEnabled());
  }
  if (form->ChooseType("Kruskal-Wallis")) {
    form->OptionsChosen();
    EXPECT_TRUE(form->MenuXDecimals->menuAction()->isEnabled());
  }
}

TEST_F(WindowTest, CdfPageComputesBothWays) {
  form->Pages->setCurrentIndex(1);
  QApplication::processEvents();
  EXPECT_EQ(Text(form->Cdf->XEdit), "0");
  EXPECT_EQ(Text(form->Cdf->ProbabilityEdit), "0.5");
  TypeInto(form->Cdf->XEdit, "1.96");
  EXPECT_EQ(Text(form->Cdf->ProbabilityEdit), "0.975");
  form->ProbabilityDecimalsGroup->actions()[7]->trigger();  // "8" recomputes this page
  EXPECT_EQ(Text(form->Cdf->ProbabilityEdit), "0.9750021");
  form->ProbabilityDecimalsGroup->actions()[3]->trigger();
  // The probability edit rides at the height of F(x).
  const int mid = form->Cdf->ProbabilityEdit->y() + form->Cdf->ProbabilityEdit->height() / 2;
  EXPECT_NEAR(mid, form->Cdf->Graph->y() + 0.025 * form->Cdf->Graph->height(), 2);
  TypeInto(form->Cdf->ProbabilityEdit, "0.5");
  EXPECT_EQ(Text(form->Cdf->XEdit), "0");
  EXPECT_TRUE(form->Cdf->ProbabilityEdit->hasFocus());
  TypeInto(form->Cdf->ProbabilityEdit, "2");
  EXPECT_EQ(beeps, 1);
  EXPECT_TRUE(form->Cdf->ProbabilityEdit->hasFocus());
  // An apply on the cdf page leaves the x edit of that page entered.
  TypeIntoGrid(0, "1", true);
  EXPECT_EQ(form->Calc().Mode, InputMode::CdfX);
  EXPECT_EQ(Text(form->Cdf->XEdit), "1");
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, DraggingTheMarkerMovesX) {
  TypeInto(form->Density->ProbabilityEditLeft, "0.975");
  QWidget* panel = form->Density->XMarker;
  const int start = panel->width() / 2;
  QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(start, 5));
  // Pressing keeps x where the marker is (to within a pixel's worth).
  EXPECT_NEAR(static_cast<double>(form->Calc().CurrentX), 1.96, 0.05);
  const QString before = Text(form->Density->ProbabilityEditLeft);
  QMouseEvent move(QEvent::MouseMove, QPointF(start - 40, 5),
                   panel->mapToGlobal(QPointF(start - 40, 5)), Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(panel, &move);
  EXPECT_LT(form->Calc().CurrentX, 1.9);
  EXPECT_NE(Text(form->Density->ProbabilityEditLeft), before);  // the numbers follow live
  // Far beyond the right end: x keeps growing, the marker stays at the edge.
  const int far = start + 3 * form->Density->Graph->width();
  QMouseEvent beyond(QEvent::MouseMove, QPointF(far, 5), panel->mapToGlobal(QPointF(far, 5)),
                     Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(panel, &beyond);
  EXPECT_GT(form->Calc().CurrentX, 4);
  EXPECT_EQ(panel->x() + panel->width() / 2,
            form->Density->Graph->x() + form->Density->Graph->width());
  QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(panel->width() / 2, 5));
  EXPECT_EQ(form->Calc().Mode, InputMode::DensityX);
  // Far out the upper tail is tiny but not 0: shown in exponent notation.
  Real below, at, above;
  form->Current()->Probabilities(form->Calc().CurrentX, below, at, above);
  EXPECT_GT(above, 0);
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight).toStdString(),
            FormatProbability(form->Calc().ProbabilityDecimals, above));
  EXPECT_TRUE(Text(form->Density->ProbabilityEditRight).contains("e-"));

  // A discrete distribution snaps to the nearest integer.
  ASSERT_TRUE(form->ChooseType("test die"));
  TypeIntoGrid(0, "6", true);
  QTest::mouseClick(form->Density->XMarker, Qt::LeftButton, {},
                    QPoint(form->Density->XMarker->width() / 2, 5));
  const Real x = form->Calc().CurrentX;
  EXPECT_EQ(x, std::round(x));
  EXPECT_EQ(Text(form->Density->XEdit).toStdString(), FormatNumber(x));
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, CopyGraphOnlyFromAGraphPage) {
  QGuiApplication::clipboard()->clear();
  form->Pages->setCurrentIndex(2);
  form->CopyGraph();
  EXPECT_TRUE(QGuiApplication::clipboard()->pixmap().isNull());
  form->Pages->setCurrentIndex(0);
  form->CopyGraph();
  EXPECT_EQ(QGuiApplication::clipboard()->pixmap().size(), form->Density->size());
}

TEST_F(WindowTest, FormulasPageTurnsTheButtonBackToApply) {
  TypeInto(form->Density->XEdit, "1");
  form->Pages->setCurrentIndex(2);
  QApplication::processEvents();
  EXPECT_EQ(form->MainButton->text(), "Apply New Distribution");
  EXPECT_EQ(form->Calc().Mode, InputMode::Parameters);
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, GridCellsCarryTheRangeHints) {
  EXPECT_EQ(form->Grid->item(1, 1)->toolTip().toStdString(), "@s^2_ > 0");
  EXPECT_EQ(form->Grid->item(1, 0)->toolTip().toStdString(), "@s^2_ > 0");
  EXPECT_EQ(form->Grid->RowLabel(1), "@s^2_ =");
  EXPECT_EQ(form->Cdf->ProbabilityEdit->toolTip(),
            QString::fromUtf8("Probability  P( X @\u00A3 x )"));
}

TEST_F(WindowTest, HelpOpensAtTheContents) {
  form->ActionHelp->trigger();
  QApplication::processEvents();
  QWidget* help = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowTitle() == "VOKT Help" && w->isVisible()) help = w;
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(form->ActionHelp->shortcut(), QKeySequence(Qt::Key_F1));
  help->close();
}

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
  EXPECT_EQ(d->Par[1].Value, 2);  // two groups
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
  EXPECT_EQ(d->Par[1].Value, 2);
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
  EXPECT_EQ(form->Current()->Par[1].Value, 3);
  EXPECT_NEAR(form->Current()->Mean, 2, 1e-15);  // E(H) = k - 1
  EXPECT_EQ(form->Current()->SupportLow, 0);
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
  EXPECT_EQ(form->Current()->Par[1].Value, 2);
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
  const Real mean = form->Current()->Mean;
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
  EXPECT_EQ(form->Current()->Mean, mean);
  EXPECT_EQ(form->Current()->Par[2].Value, 3);

  // Fewer than two treatments are refused before anything is counted.
  for (const char* t : {"1", "0", "-3"}) {
    errors.clear();
    form->Calc().ParameterTexts = {"", t, "5", ""};
    form->Calc().Mode = InputMode::Parameters;
    form->MainButtonClicked();
    ASSERT_EQ(errors.size(), 1u) << t;
    EXPECT_EQ(errors[0], "Value should be at least 2.");
    EXPECT_EQ(form->Current()->Mean, mean);
    EXPECT_EQ(form->Current()->Par[1].Value, 3);
  }
}

TEST(AboutBox, IsTheFixedDialog) {
  AboutBox box;
  EXPECT_EQ(box.windowTitle(), "About VOKT");
  EXPECT_EQ(box.size(), QSize(392, 250));
  EXPECT_TRUE(box.OKButton->isDefault());
  EXPECT_FALSE(VoktIcon().isNull());
}

TEST(ErrorDisplay, AppendsAFullStopAfterLettersAndDigits) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Value should be at least 0", "Value should be at least 0."},
      {"Number expected.", "Number expected."},
      {"Is it?", "Is it?"},  // '?' is above '.', so it gets one too
      {"done!", "done!"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) {
    const std::string expected =
        (!in.empty() && static_cast<unsigned char>(in.back()) > '.') ? in + "." : in;
    EXPECT_EQ(ErrorDisplayText(in), expected) << in;
    (void)out;
  }
  EXPECT_EQ(ErrorDisplayText("at least 0"), "at least 0.");
  EXPECT_EQ(ErrorDisplayText("Range check error"), "Range check error.");
  EXPECT_EQ(ErrorDisplayText("ends in a blank "), "ends in a blank ");
}

}  // namespace
}  // namespace vokt::ui
