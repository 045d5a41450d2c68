// The tail views of the pdf page driven with Qt Test: the selector, the alpha
// box, both markers (typed and dragged), the boxes' texts, the rank tests'
// upper p-value with a statistic typed to four decimals, and saved pictures
// with axis labels and without the text cursor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "plot/graph.h"
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

class TailsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldError_ = SetErrorHook([this](const std::string& t) { errors.push_back(t); });
    oldBeep_ = SetBeepHook([this] { ++beeps; });
    oldSave_ = SetSaveNameHook([this](const std::string&) {
      if (names.empty()) return std::string();
      std::string n = names.front();
      names.erase(names.begin());
      return n;
    });
    form = std::make_unique<MainWindow>();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    ASSERT_TRUE(dir.isValid());
  }
  void TearDown() override {
    form.reset();
    SetErrorHook(oldError_);
    SetBeepHook(oldBeep_);
    SetSaveNameHook(oldSave_);
  }

  void TypeInto(QLineEdit* e, const QString& text) {
    e->setFocus();
    QApplication::processEvents();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();
  }
  // Applies a type with its grid texts, as a press of the main button.
  void Apply(const QString& type, const std::vector<std::string>& params) {
    ASSERT_TRUE(form->ChooseType(type));
    auto& texts = form->Calc().ParameterTexts;
    texts.assign(std::max<size_t>(texts.size(), params.size() + 2), std::string());
    for (size_t k = 0; k < params.size(); ++k) texts[k + 1] = params[k];
    form->Calc().Mode = InputMode::Parameters;
    form->MainButtonClicked();
    QApplication::processEvents();
    ASSERT_TRUE(form->Calc().ParametersComplete());
  }
  // Chooses a view with the keyboard, as a user reaching the selector would.
  void ChooseView(TailView v) {
    QComboBox* s = form->Density->Tails->Selector;
    s->setFocus();
    while (s->currentIndex() < static_cast<int>(v)) QTest::keyClick(s, Qt::Key_Down);
    while (s->currentIndex() > static_cast<int>(v)) QTest::keyClick(s, Qt::Key_Up);
    QApplication::processEvents();
    ASSERT_EQ(form->Density->Tails->View(), v);
  }
  static void DragBy(QWidget* panel, int dx) {
    const int start = panel->width() / 2;
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(start, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(start + dx, 5),
                     panel->mapToGlobal(QPointF(start + dx, 5)), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(panel, &move);
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(start + dx, 5));
    QApplication::processEvents();
  }
  std::string Text(QLineEdit* e) const { return e->text().toStdString(); }
  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

  std::unique_ptr<MainWindow> form;
  std::vector<std::string> errors, names;
  int beeps = 0;
  QTemporaryDir dir;

 private:
  ErrorHook oldError_;
  BeepHook oldBeep_;
  SaveNameHook oldSave_;
};

TEST_F(TailsTest, ThreeProbabilitiesStayTheDefault) {
  EXPECT_EQ(form->Density->Tails->View(), TailView::Three);
  EXPECT_FALSE(form->Density->Tails->SecondPanel->isVisible());
  EXPECT_FALSE(form->Density->Tails->AlphaEdit->isVisible());
  TypeInto(form->Density->XEdit, "1.96");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.975");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.025");
}

TEST_F(TailsTest, SelectorIsReachedWithAltT) {
  form->Density->XEdit->setFocus();
  QApplication::processEvents();
  QTest::keyClick(form.get(), Qt::Key_T, Qt::AltModifier);
  QApplication::processEvents();
  EXPECT_TRUE(form->Density->Tails->Selector->hasFocus());
  QTest::keyClick(form->Density->Tails->Selector, Qt::Key_Down);
  EXPECT_EQ(form->Density->Tails->View(), TailView::TwoSided);
}

TEST_F(TailsTest, TwoSidedPValueOfT14) {
  Apply("t", {"14"});
  ChooseView(TailView::TwoSided);
  TypeInto(form->Density->XEdit, "2.3");
  // 0.0373502744975128 (R: 2 * pt(-2.3, 14)) to four decimals.
  EXPECT_EQ(Text(form->Density->ProbabilityEditCentral), "0.0374");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.0187");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.0187");
  ASSERT_TRUE(form->Density->Tails->SecondPanel->isVisible());
  EXPECT_NEAR(form->Density->Tails->SecondEdit->text().toDouble(), -2.3, 1e-12);
  EXPECT_TRUE(form->Density->Tails->Summary->text().contains("0.0374"));
  // The boxes keep apart and in order.
  EXPECT_LT(form->Density->ProbabilityEditLeft->x() + form->Density->ProbabilityEditLeft->width(),
            form->Density->ProbabilityEditCentral->x());
  EXPECT_LT(
      form->Density->ProbabilityEditCentral->x() + form->Density->ProbabilityEditCentral->width(),
      form->Density->ProbabilityEditRight->x());
  // Dragging the main marker changes the p-value and moves the mirror.
  const QString before = form->Density->Tails->SecondEdit->text();
  DragBy(form->Density->XMarker, 30);
  EXPECT_NE(form->Density->Tails->SecondEdit->text(), before);
  EXPECT_NE(Text(form->Density->ProbabilityEditCentral), "0.0374");
  EXPECT_TRUE(errors.empty());
}

TEST_F(TailsTest, AlphaGivesBothCriticalValues) {
  ChooseView(TailView::TwoSided);
  ASSERT_TRUE(form->Density->Tails->AlphaEdit->isVisible());
  TypeInto(form->Density->Tails->AlphaEdit, "0.05");
  // qnorm(0.025) = -1.959963984540054, to the 12 decimals shown.
  EXPECT_EQ(Text(form->Density->XEdit), "-1.95996398454");
  EXPECT_NEAR(form->Density->Tails->SecondEdit->text().toDouble(), 1.959963984540054, 5e-13);
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.025");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.025");
  EXPECT_EQ(Text(form->Density->ProbabilityEditCentral), "0.05");
  EXPECT_TRUE(form->Density->Tails->Summary->text().contains("critical values"));
  // A level outside (0, 1) is refused with the beep.
  TypeInto(form->Density->Tails->AlphaEdit, "1.5");
  EXPECT_EQ(beeps, 1);

  // Binomial (20, 0.4): the outermost points with tails not above 0.025,
  // and the levels they attain (exact sums, scripts/pvalue_reference.py).
  Apply("binomial", {"20", "0.4"});
  ChooseView(TailView::TwoSided);
  TypeInto(form->Density->Tails->AlphaEdit, "0.05");
  EXPECT_EQ(Text(form->Density->XEdit), "3");
  EXPECT_EQ(Text(form->Density->Tails->SecondEdit), "13");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.016");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.021");
  // Moving the marker leaves the alpha view for the p-value of the x.
  TypeInto(form->Density->XEdit, "12");
  EXPECT_EQ(Text(form->Density->ProbabilityEditCentral), "0.1131");
  EXPECT_EQ(Text(form->Density->Tails->SecondEdit), "4");
  EXPECT_TRUE(errors.empty());
}

TEST_F(TailsTest, BetweenTwoMarkers) {
  ChooseView(TailView::Between);
  ASSERT_TRUE(form->Density->Tails->SecondPanel->isVisible());
  EXPECT_FALSE(form->Density->Tails->SecondEdit->isReadOnly());
  TypeInto(form->Density->XEdit, "-1");
  TypeInto(form->Density->Tails->SecondEdit, "1");
  EXPECT_EQ(Text(form->Density->ProbabilityEditCentral), "0.6827");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.1587");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.1587");
  EXPECT_TRUE(form->Density->Tails->Summary->text().contains("outside 0.3173"));
  // b stays while the two-sided view shows its mirrored point there.
  ChooseView(TailView::TwoSided);
  EXPECT_TRUE(form->Density->Tails->SecondEdit->isReadOnly());
  ChooseView(TailView::Between);
  EXPECT_EQ(Text(form->Density->Tails->SecondEdit), "1");
  // The second marker drags as the first one does.
  DragBy(form->Density->Tails->SecondPanel, 40);
  EXPECT_GT(form->Density->Tails->SecondX, 1);
  EXPECT_GT(form->Density->ProbabilityEditCentral->text().toDouble(), 0.6827);
  const int centre =
      form->Density->Tails->SecondPanel->x() + form->Density->Tails->SecondPanel->width() / 2;
  const Rect box{0, 0, form->Density->Graph->width(), form->Density->Graph->height()};
  EXPECT_NEAR(centre,
              form->Density->Graph->x() +
                  XToPixel(form->Current()->Range(), box, form->Density->Tails->SecondX),
              2);
  // Markers in either order give the same probability.
  TypeInto(form->Density->XEdit, "3");
  TypeInto(form->Density->Tails->SecondEdit, "-1");
  EXPECT_EQ(Text(form->Density->ProbabilityEditLeft), "0.1587");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.0013");
  EXPECT_TRUE(errors.empty());
}

TEST_F(TailsTest, RankTestsGetTheUpperPValueOfTheTableValue) {
  if (!form->ChooseType("Kruskal-Wallis")) GTEST_SKIP() << "no Kruskal-Wallis type in this build";
  while (form->Grid->rowCount() < 4) form->Grid->setCurrentCell(form->Grid->rowCount() - 1, 1);
  form->Calc().ParameterTexts = {"", "3", "3", "3", ""};
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  // The table may be built in the background.
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->Calc().ParametersComplete(); }, 20000));
  QApplication::processEvents();
  ChooseView(TailView::TwoSided);
  EXPECT_EQ(form->Density->Tails->Selector->currentText(), "upper p-value");
  // H = 256/45 typed to four decimals is that value of the table: the
  // upper p-value is P(H >= 256/45) = 0.0286 (exact enumeration), not the
  // next value's 0.025; the box shows the value used.
  TypeInto(form->Density->XEdit, "5.6889");
  EXPECT_NEAR(static_cast<double>(form->Calc().CurrentX), 256.0 / 45, 1e-15);
  EXPECT_EQ(form->Density->XEdit->text().left(8), "5.688888");
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.0286");
  EXPECT_FALSE(form->Density->Tails->SecondPanel->isVisible());
  EXPECT_FALSE(form->Density->ProbabilityEditCentral->isVisible());
  // Alpha: one critical value, on the right.
  TypeInto(form->Density->Tails->AlphaEdit, "0.05");
  EXPECT_NEAR(form->Density->XEdit->text().toDouble(), 5.6, 1e-12);
  EXPECT_EQ(Text(form->Density->ProbabilityEditRight), "0.05");
  // Back to three probabilities: every box as before.
  ChooseView(TailView::Three);
  EXPECT_TRUE(form->Density->ProbabilityEditCentral->isVisible());
  EXPECT_EQ(form->Density->Tails->Selector->itemText(1), "upper p-value");
  EXPECT_TRUE(errors.empty());
}

TEST_F(TailsTest, SavedPicturesHaveTickLabelsAndNoCursor) {
  ChooseView(TailView::TwoSided);
  TypeInto(form->Density->XEdit, "1.5");
  // Focus in the page, the cursor blinking in the x box.
  form->Density->XEdit->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(form->Density->XEdit->hasFocus());
  names = {Path("focused.svg").toStdString()};
  form->ActionSaveGraph->trigger();
  EXPECT_TRUE(form->Density->XEdit->hasFocus()) << "the focus comes back after saving";
  // The same page with the focus outside it.
  form->Grid->setFocus();
  QApplication::processEvents();
  names = {Path("unfocused.svg").toStdString()};
  form->ActionSaveGraph->trigger();
  QFile a(Path("focused.svg")), b(Path("unfocused.svg"));
  ASSERT_TRUE(a.open(QIODevice::ReadOnly));
  ASSERT_TRUE(b.open(QIODevice::ReadOnly));
  const QByteArray svg = a.readAll();
  EXPECT_EQ(svg, b.readAll()) << "no cursor or focus frame in the picture";
  // The axis labels of the standard normal are there as text.
  for (const char* label : {">-2<", ">0<", ">2<"}) EXPECT_TRUE(svg.contains(label)) << label;
  // The copy has no cursor either.
  form->Density->XEdit->setFocus();
  QApplication::processEvents();
  form->CopyGraph();
  EXPECT_TRUE(form->Density->XEdit->hasFocus());

  // The cdf page has the same axis.
  form->Pages->setCurrentIndex(1);
  QApplication::processEvents();
  names = {Path("cdf.svg").toStdString()};
  form->ActionSaveGraph->trigger();
  QFile c(Path("cdf.svg"));
  ASSERT_TRUE(c.open(QIODevice::ReadOnly));
  const QByteArray cdf = c.readAll();
  for (const char* label : {">-2<", ">0<", ">2<"}) EXPECT_TRUE(cdf.contains(label)) << label;
  EXPECT_TRUE(errors.empty());
}

TEST(SpreadBoxes, KeepsOrderAndRoom) {
  struct Case {
    std::array<int, 3> centres;
    int width, total;
  } cases[] = {{{50, 300, 550}, 60, 600},
               {{300, 300, 300}, 60, 600},
               {{0, 5, 10}, 60, 600},
               {{590, 595, 600}, 60, 600}};
  for (const Case& c : cases) {
    const auto l = SpreadBoxes(c.centres, c.width, c.total, 4);
    EXPECT_GE(l[0], 0);
    EXPECT_LE(l[2] + c.width, c.total);
    EXPECT_GE(l[1], l[0] + c.width + 4);
    EXPECT_GE(l[2], l[1] + c.width + 4);
  }
  // Room enough: each box centred where asked.
  const auto l = SpreadBoxes({100, 300, 500}, 60, 600, 4);
  EXPECT_EQ(l[0], 70);
  EXPECT_EQ(l[1], 270);
  EXPECT_EQ(l[2], 470);
}

}  // namespace
}  // namespace vokt::ui
