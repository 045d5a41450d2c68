// The window's parts as a user meets them: boxes wide enough for their
// numbers, whole type names, a grid that keeps its labels, markers that stay
// whole at the graph's ends, and the settings kept between runs.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "ui/cdf_page.h"
#include "ui/density_page.h"
#include "ui/main_window.h"
#include "ui/marker.h"
#include "ui/messages.h"
#include "ui/number_edit.h"
#include "ui/parameter_grid.h"
#include "ui/settings.h"
#include "ui/tail_view.h"

namespace vokt::ui {
namespace {

class WindowParts : public ::testing::Test {
 protected:
  void SetUp() override {
    oldError_ = SetErrorHook([this](const std::string& t) { errors.push_back(t); });
    oldBeep_ = SetBeepHook([this] { ++beeps; });
    Open();
  }
  void TearDown() override {
    form.reset();
    SetErrorHook(oldError_);
    SetBeepHook(oldBeep_);
  }
  void Open() {
    form = std::make_unique<MainWindow>();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
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
  void ChooseDecimals(QActionGroup* group, int n) {
    for (QAction* a : group->actions())
      if (a->data().toInt() == n) a->trigger();
    QApplication::processEvents();
  }
  // A line edit shows text whole when its contents are as wide as the text.
  static bool ShowsWhole(const QLineEdit* e) {
    const QRect inner = e->contentsRect().marginsRemoved(e->textMargins());
    return inner.width() >= e->fontMetrics().horizontalAdvance(e->text());
  }
  // Drags a marker by dx pixels.
  static void DragBy(QWidget* marker, int dx) {
    const int start = marker->width() / 2;
    QTest::mousePress(marker, Qt::LeftButton, {}, QPoint(start, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(start + dx, 5),
                     marker->mapToGlobal(QPointF(start + dx, 5)), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(marker, &move);
    QTest::mouseRelease(marker, Qt::LeftButton, {}, QPoint(start + dx, 5));
    QApplication::processEvents();
  }

  std::unique_ptr<MainWindow> form;
  std::vector<std::string> errors;
  int beeps = 0;

 private:
  ErrorHook oldError_;
  BeepHook oldBeep_;
};

// Every number box shows its whole text at every number of decimals:
// "0.95001" at five, twelve decimals, an x with many digits.
TEST_F(WindowParts, NumberBoxesShowTheirWholeText) {
  struct Case {
    int probabilityDecimals, xDecimals;
    const char* x;
  };
  const Case cases[] = {{5, 3, "1.645"}, {8, 6, "-1.959964"}, {12, 12, "0.123456789012"}};
  for (const Case& c : cases) {
    ChooseDecimals(form->ProbabilityDecimalsGroup, c.probabilityDecimals);
    ChooseDecimals(form->XDecimalsGroup, c.xDecimals);
    form->Pages->setCurrentIndex(0);
    QApplication::processEvents();
    TypeInto(form->Density->XEdit, c.x);
    for (QLineEdit* e : {static_cast<QLineEdit*>(form->Density->XEdit),
                         static_cast<QLineEdit*>(form->Density->ProbabilityEditLeft),
                         static_cast<QLineEdit*>(form->Density->ProbabilityEditRight)}) {
      EXPECT_FALSE(e->text().trimmed().isEmpty()) << c.x;
      EXPECT_TRUE(ShowsWhole(e)) << e->text().toStdString() << " at " << c.probabilityDecimals;
    }
    // The marker holds its box.
    EXPECT_LE(form->Density->XEdit->width(), form->Density->XMarker->width());
    form->Pages->setCurrentIndex(1);
    QApplication::processEvents();
    TypeInto(form->Cdf->XEdit, c.x);
    for (QLineEdit* e : {static_cast<QLineEdit*>(form->Cdf->XEdit),
                         static_cast<QLineEdit*>(form->Cdf->ProbabilityEdit)})
      EXPECT_TRUE(ShowsWhole(e)) << e->text().toStdString();
  }
  // The middle box of a discrete type and the boxes of the tail views.
  Apply("binomial", {"40", "0.37"});
  form->Pages->setCurrentIndex(0);
  QApplication::processEvents();
  ChooseDecimals(form->ProbabilityDecimalsGroup, 12);
  for (TailView view : {TailView::Three, TailView::TwoSided, TailView::Between}) {
    form->Density->Tails->SetView(view);
    TypeInto(form->Density->XEdit, "13");
    for (QLineEdit* e : {static_cast<QLineEdit*>(form->Density->ProbabilityEditLeft),
                         static_cast<QLineEdit*>(form->Density->ProbabilityEditCentral),
                         static_cast<QLineEdit*>(form->Density->ProbabilityEditRight)}) {
      if (!e->isVisible()) continue;
      EXPECT_GE(e->text().size(), 12) << static_cast<int>(view);
      EXPECT_TRUE(ShowsWhole(e)) << e->text().toStdString() << " view " << static_cast<int>(view);
    }
  }
  EXPECT_EQ(beeps, 0);
  EXPECT_TRUE(errors.empty());
}

// The grid's value column holds a full-format value: the standard deviation
// of variance 2 is 1.41421356...
TEST_F(WindowParts, GridValueColumnHoldsAFullFormatValue) {
  // Variance 2 typed in the grid: the standard deviation row follows.
  form->Calc().SetEditText(1, "2");
  form->Calc().Mode = InputMode::Parameters;
  form->MainButtonClicked();
  QApplication::processEvents();
  const std::string sd = form->Calc().ParameterTexts[3];
  ASSERT_GE(sd.size(), 10u) << sd;
  const QFontMetrics fm(form->Grid->font());
  for (int row = 0; row < form->Grid->rowCount(); ++row) {
    const QString text = QString::fromStdString(form->Calc().ParameterTexts[row + 1]);
    EXPECT_GE(form->Grid->columnWidth(1), fm.horizontalAdvance(text) + 4) << text.toStdString();
  }
  EXPECT_LE(form->Grid->columnWidth(0) + form->Grid->columnWidth(1),
            form->Grid->viewport()->width());
}

// The type list shows every name whole ("Wilcoxon signed rank").
TEST_F(WindowParts, TypeListShowsWholeNames) {
  QComboBox* box = form->TypeBox;
  const QFontMetrics fm(box->font());
  int widest = 0;
  for (int i = 0; i < box->count(); ++i)
    widest = std::max(widest, fm.horizontalAdvance(box->itemText(i)));
  ASSERT_GT(box->findText("Wilcoxon signed rank"), -1);
  EXPECT_GE(box->width(), box->sizeHint().width());
  EXPECT_GE(box->width(), widest);
}

// After a Kruskal-Wallis count with more than three groups the grid keeps
// its columns in view: no sideways scrolling, every label with its n.
TEST_F(WindowParts, KruskalWallisGridKeepsItsLabels) {
  ASSERT_TRUE(form->ChooseType("Kruskal-Wallis"));
  for (int r = 0; r < 4; ++r) {
    form->Grid->setCurrentCell(r, 1);
    QLineEdit* e = form->Grid->Editor();
    ASSERT_NE(e, nullptr);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, "4");
  }
  form->MainButtonClicked();
  QApplication::processEvents();
  ASSERT_TRUE(form->Calc().ParametersComplete());
  ASSERT_GE(form->Grid->rowCount(), 5);
  form->Grid->setCurrentCell(form->Grid->rowCount() - 1, 1);
  QApplication::processEvents();
  ParameterGrid* grid = form->Grid;
  EXPECT_EQ(grid->horizontalScrollBar()->value(), 0);
  EXPECT_LE(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());
  const QFontMetrics fm(grid->font());
  for (int r = 0; r < grid->rowCount(); ++r) {
    const QString label = QStringLiteral("n%1 =").arg(r + 1);
    EXPECT_GE(grid->columnWidth(0), fm.horizontalAdvance(label)) << r;
  }
  EXPECT_TRUE(errors.empty());
}

// A marker dragged to either end of the graph stays whole on the page and
// leaves the end labels uncovered.
TEST_F(WindowParts, MarkersAtTheEndsStayWholeBesideTheLabels) {
  struct Page {
    int index;
    Marker* marker;
    QWidget* strip;
    QLabel* low;
    QLabel* high;
  };
  const Page pages[] = {
      {0, form->Density->XMarker, form->Density->Strip, form->Density->LowLabel,
       form->Density->HighLabel},
      {1, form->Cdf->XMarker, form->Cdf->Strip, form->Cdf->LowLabel, form->Cdf->HighLabel}};
  Apply("binomial", {"10", "0.3"});
  for (const Page& p : pages) {
    form->Pages->setCurrentIndex(p.index);
    QApplication::processEvents();
    for (int direction : {-1, 1}) {
      DragBy(p.marker, direction * 3 * form->width());
      const QRect m = p.marker->geometry();
      EXPECT_GE(m.left(), 0) << p.index << " " << direction;
      EXPECT_LE(m.right(), p.strip->width() - 1) << p.index << " " << direction;
      for (QLabel* l : {p.low, p.high}) {
        if (l->isVisible()) {
          EXPECT_FALSE(l->geometry().intersects(m)) << l->text().toStdString();
        }
      }
      EXPECT_TRUE((direction < 0 ? p.low : p.high)->isVisible()) << p.index;
    }
  }
  EXPECT_TRUE(errors.empty());
}

// The window's geometry, both decimals, the type and its parameters come
// back at the next start; Restore Defaults forgets them.
TEST_F(WindowParts, SettingsComeBackAndRestoreDefaultsForgetsThem) {
  Apply("Cauchy", {"1", "2.5"});
  ChooseDecimals(form->ProbabilityDecimalsGroup, 6);
  ChooseDecimals(form->XDecimalsGroup, 1);
  form->resize(form->width() - 40, form->height() - 30);
  QApplication::processEvents();
  const QSize size = form->size();
  ASSERT_TRUE(form->close());
  form.reset();
  Open();
  EXPECT_EQ(form->size(), size);
  EXPECT_EQ(form->Calc().ProbabilityDecimals, 6);
  EXPECT_EQ(form->Calc().XValueDecimals, 1);
  EXPECT_EQ(form->ProbabilityDecimalsGroup->checkedAction()->data().toInt(), 6);
  EXPECT_EQ(form->XDecimalsGroup->checkedAction()->data().toInt(), 1);
  EXPECT_EQ(form->TypeBox->currentText(), "Cauchy");
  ASSERT_TRUE(form->Calc().ParametersComplete());
  EXPECT_EQ(form->Calc().ParameterTexts[1], "1");
  EXPECT_EQ(form->Calc().ParameterTexts[2], "2.5");
  EXPECT_EQ(form->MainButton->text(), "Apply New Distribution");

  form->ActionRestoreDefaults->trigger();
  QApplication::processEvents();
  EXPECT_EQ(form->TypeBox->currentText(), "normal");
  EXPECT_EQ(form->Calc().ParameterTexts[1], "0");
  EXPECT_EQ(form->Calc().ParameterTexts[2], "1");
  EXPECT_EQ(form->Calc().ProbabilityDecimals, 4);
  EXPECT_EQ(form->Calc().XValueDecimals, 3);
  EXPECT_EQ(form->size(), form->DefaultSize());
  form.reset();  // no close: nothing stored since
  Open();
  EXPECT_EQ(form->TypeBox->currentText(), "normal");
  EXPECT_EQ(form->Calc().ProbabilityDecimals, 4);
  EXPECT_EQ(form->size(), form->DefaultSize());
  EXPECT_TRUE(errors.empty());
}

// Settings that do not apply any more (a type that is gone, parameters out
// of range, numbers out of range) leave the start-up's own choices.
TEST_F(WindowParts, UnusableSettingsLeaveTheDefaults) {
  struct Case {
    const char* type;
    QStringList params;
    int probabilityDecimals;
  };
  const Case cases[] = {
      {"no such type", {"1"}, 40}, {"binomial", {"-3", "2"}, -1}, {"normal", {"x", "y"}, 0}};
  for (const Case& c : cases) {
    form.reset();
    WindowSettings s;
    s.TypeName = c.type;
    s.Parameters = c.params;
    s.ProbabilityDecimals = c.probabilityDecimals;
    StoreSettings(s);
    errors.clear();
    Open();
    EXPECT_TRUE(form->Calc().ParametersComplete()) << c.type;
    EXPECT_EQ(form->Calc().ProbabilityDecimals, 4) << c.type;
    EXPECT_EQ(form->Density->ProbabilityEditLeft->text(), "0.5") << c.type;
  }
}

}  // namespace
}  // namespace vokt::ui
