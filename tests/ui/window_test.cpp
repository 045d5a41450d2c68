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

TEST_F(WindowTest, StartsWithTheStandardNormalOnThePdfPage) {
  EXPECT_EQ(form->windowTitle(), "VOKT");
  EXPECT_EQ(form->TypeBox->currentText(), "normal");
  ASSERT_NE(form->Current(), nullptr);
  EXPECT_EQ(form->Current()->NameId(), 901);
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
    EXPECT_EQ(form->Current()->Mean(), 0);
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
  EXPECT_EQ(form->Current()->Mean(), 10);
  EXPECT_EQ(form->Current()->Variance(), 4);
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
  EXPECT_EQ(form->Current()->Mean(), 1);
  EXPECT_EQ(form->Current()->Variance(), 4);
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
