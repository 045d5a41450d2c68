// The graph pages driven with the mouse: dragging the markers (what is
// recomputed and what is repainted at each step) and saving a graph page as
// PNG or SVG, with the dialogs answered by the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
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

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

class GraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldError_ = SetErrorHook([this](const std::string& t) { errors.push_back(t); });
    oldAsk_ = SetAskHook([this](const std::string& t, bool) {
      questions.push_back(t);
      return answer;
    });
    oldSave_ = SetSaveNameHook([this](const std::string& preset) {
      presets.push_back(preset);
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
    SetAskHook(oldAsk_);
    SetSaveNameHook(oldSave_);
  }

  // A mouse move with the left button held, at x in panel coordinates.
  static void DragTo(QWidget* panel, int x) {
    QMouseEvent move(QEvent::MouseMove, QPointF(x, 5), panel->mapToGlobal(QPointF(x, 5)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(panel, &move);
  }
  static int Centre(QWidget* w) { return w->x() + w->width() / 2; }
  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

  std::unique_ptr<MainWindow> form;
  std::vector<std::string> errors, questions, presets, names;
  Answer answer = Answer::Yes;
  QTemporaryDir dir;

 private:
  ErrorHook oldError_;
  AskHook oldAsk_;
  SaveNameHook oldSave_;
};

TEST_F(GraphTest, PdfDragUpdatesTheNumbersLiveAndTheShadingOnRelease) {
  QWidget* panel = form->Density->XMarker;
  PaintCounter counter(form->Density->Graph);
  const int start = panel->width() / 2;
  QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(start, 5));
  QApplication::processEvents();
  counter.paints = 0;
  Real lastLeft = form->Calc().ProbLeft;
  QString lastText = form->Density->ProbabilityEditLeft->text();
  // Step to the right, a few pixels at a time: P(X < x) grows with every
  // step and its edit follows; the marker follows the pointer.
  for (int step = 1; step <= 5; ++step) {
    DragTo(panel, start + 3 * step);
    QApplication::processEvents();
    EXPECT_GT(form->Calc().ProbLeft, lastLeft) << step;
    EXPECT_NE(form->Density->ProbabilityEditLeft->text(), lastText) << step;
    EXPECT_NEAR(form->Calc().ProbLeft + form->Calc().ProbRight, 1, 1e-15);
    lastLeft = form->Calc().ProbLeft;
    lastText = form->Density->ProbabilityEditLeft->text();
  }
  EXPECT_EQ(counter.paints, 0) << "the shading stays until the release";
  EXPECT_EQ(form->Calc().Mode, InputMode::Applied) << "a drag keeps the input mode";
  QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(panel->width() / 2, 5));
  QApplication::processEvents();
  EXPECT_GT(counter.paints, 0);
  EXPECT_EQ(form->Calc().Mode, InputMode::DensityX);
  EXPECT_TRUE(errors.empty());
}

TEST_F(GraphTest, TheArrowsDragTheMarkerToo) {
  for (QLabel* arrow : {form->Density->XMarker->ArrowLeft, form->Density->XMarker->ArrowRight}) {
    const Real before = form->Calc().CurrentX;
    const int panelBefore = form->Density->XMarker->x();
    QTest::mousePress(arrow, Qt::LeftButton, {}, QPoint(2, 2));
    DragTo(arrow, 2 + 30);  // in the arrow's own coordinates
    EXPECT_GT(form->Calc().CurrentX, before);
    EXPECT_EQ(form->Density->XMarker->x(), panelBefore + 30);
    QTest::mouseRelease(arrow, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(form->Calc().Mode, InputMode::DensityX);
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(GraphTest, CdfDragMovesTheGuideAndTheProbabilityEdit) {
  form->resize(1000, 700);  // room for the steps below to stay inside the graph
  form->Pages->setCurrentIndex(1);
  QApplication::processEvents();
  QWidget* panel = form->Cdf->XMarker;
  PaintBox* box = form->Cdf->Graph;
  PaintCounter counter(box);
  const int start = panel->width() / 2;
  QTest::mousePress(panel, Qt::RightButton, {}, QPoint(start, 5));
  EXPECT_EQ(form->Calc().Mode, InputMode::CdfX) << "a press of any button";
  QTest::mouseRelease(panel, Qt::RightButton, {}, QPoint(start, 5));
  QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(start, 5));
  const QColor highlight = form->palette().color(QPalette::Highlight);
  // The graph fills the box but for the strip of axis labels at its foot.
  const Rect rect{0, 0, box->width(), box->height() - AxisStripHeight(*box)};
  for (int dx : {-60, -20, 30, 90}) {
    counter.paints = 0;
    DragTo(panel, start + dx);
    QApplication::processEvents();
    EXPECT_GT(counter.paints, 0) << "the guide follows at once";
    const Real x = form->Calc().CurrentX;
    const Real f = form->Current()->Cdf(x);
    EXPECT_EQ(form->Cdf->ProbabilityEdit->text().toStdString(),
              FormatDecimals(form->Calc().ProbabilityDecimals, f));
    // The probability edit rides at the height of F(x) on the graph.
    const int yF = YToPixel(rect, f, 1);
    EXPECT_NEAR(Centre(panel), box->x() + XToPixel(form->Current()->Range(), rect, x), 1);
    EXPECT_NEAR(form->Cdf->ProbabilityEdit->y() + form->Cdf->ProbabilityEdit->height() / 2,
                box->y() + yF, 2)
        << static_cast<double>(x);
    // The guide: down from the curve at x to the axis, and across to the
    // left edge at the height of F(x) (checked where the curve is clear of it).
    const QImage image = box->grab().toImage();
    const Rect inner{0, 0, rect.right - 2, rect.bottom};
    const int xF = XToPixel(form->Current()->Range(), inner, x) + 1;
    EXPECT_EQ(image.pixelColor(xF, (yF + rect.bottom) / 2), highlight) << dx;
    const int half = xF / 2;
    ASSERT_GT(
        YToPixel(rect, form->Current()->Cdf(PixelToX(half, form->Current()->Range(), rect)), 1),
        yF + 3);
    EXPECT_EQ(image.pixelColor(half, yF), highlight) << dx;
  }
  // Past the right end: x keeps growing, the marker stays at the edge.
  const int far = start + 2 * box->width();
  DragTo(panel, far);
  const Real x1 = form->Calc().CurrentX;
  DragTo(panel, far + 100);
  EXPECT_GT(form->Calc().CurrentX, x1);
  EXPECT_GT(x1, form->Current()->Range().Right);
  EXPECT_EQ(Centre(panel), box->x() + box->width());
  EXPECT_EQ(form->Cdf->ProbabilityEdit->text().toStdString(),
            FormatDecimals(form->Calc().ProbabilityDecimals, 1));
  QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(start, 5));
  EXPECT_EQ(form->Calc().Mode, InputMode::CdfX);
  EXPECT_TRUE(errors.empty());
}

TEST_F(GraphTest, SaveGraphIsInThePopupMenuWithCopyGraph) {
  EXPECT_TRUE(form->DensityMenu->actions().contains(form->ActionSaveGraph));
  emit form->DensityMenu->aboutToShow();
  EXPECT_TRUE(form->ActionSaveGraph->isEnabled());
  ASSERT_TRUE(form->ChooseType("binomial"));  // its parameters are not given yet
  emit form->DensityMenu->aboutToShow();
  EXPECT_FALSE(form->ActionSaveGraph->isEnabled());
  EXPECT_EQ(form->ActionSaveGraph->isEnabled(), form->ActionCopyGraph->isEnabled());
}

TEST_F(GraphTest, SavesThePdfPageAsPngAndTheCdfPageAsSvg) {
  names = {Path("density").toStdString()};  // no extension: PNG
  form->ActionSaveGraph->trigger();
  ASSERT_EQ(presets.size(), 1u);
  EXPECT_EQ(presets[0], "pdf.png");
  QImage png;
  ASSERT_TRUE(png.load(Path("density.png"), "PNG"));
  EXPECT_EQ(png.size(), form->Density->size());
  EXPECT_EQ(png, form->Density->grab().toImage().convertToFormat(png.format()));

  form->Pages->setCurrentIndex(1);
  QApplication::processEvents();
  names = {Path("F.svg").toStdString()};
  form->ActionSaveGraph->trigger();
  EXPECT_EQ(presets.back(), "cdf.png");
  QFile file(Path("F.svg"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray svg = file.readAll();
  QXmlStreamReader xml(svg);
  while (!xml.atEnd()) xml.readNext();
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  QSvgRenderer renderer(svg);
  ASSERT_TRUE(renderer.isValid());
  EXPECT_EQ(renderer.viewBox(), QRect(QPoint(0, 0), form->Cdf->size()));
  // The curve is a vector path, not a picture of one.
  EXPECT_TRUE(svg.contains("<path") || svg.contains("<polyline"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(GraphTest, SaveGraphRefusesWhatItCannotWrite) {
  // Another page: nothing happens, not even the dialog.
  form->Pages->setCurrentIndex(2);
  names = {Path("formulas.png").toStdString()};
  form->ActionSaveGraph->trigger();
  EXPECT_TRUE(presets.empty());
  EXPECT_FALSE(QFile::exists(Path("formulas.png")));
  form->Pages->setCurrentIndex(0);
  QApplication::processEvents();
  names.clear();

  // A folder that does not exist: an error, and no file.
  names = {Path("missing/graph.png").toStdString()};
  form->ActionSaveGraph->trigger();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Cannot write graph.png.");

  // An extension that is neither .png nor .svg.
  names = {Path("graph.bmp").toStdString()};
  form->ActionSaveGraph->trigger();
  EXPECT_EQ(errors.size(), 2u);
  EXPECT_FALSE(QFile::exists(Path("graph.bmp")));

  // An existing file is overwritten only after a yes; a no asks again.
  QFile old(Path("old.png"));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("keep");
  old.close();
  answer = Answer::No;
  names = {Path("old.png").toStdString()};  // then the dialog is cancelled
  presets.clear();
  form->ActionSaveGraph->trigger();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], "Do you want to overwrite old.png?");
  ASSERT_EQ(presets.size(), 2u);
  EXPECT_EQ(presets[1], Path("old.png").toStdString());
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), "keep");
  old.close();
  answer = Answer::Yes;
  names = {Path("old.png").toStdString()};
  form->ActionSaveGraph->trigger();
  EXPECT_TRUE(QImage(Path("old.png")).size() == form->Density->size());
  EXPECT_EQ(errors.size(), 2u);
}

}  // namespace
}  // namespace vokt::ui
