#include "formula/qt/hint_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>

#include "formula/markup.h"
#include "formula/qt/painter_surface.h"

namespace vokt {
namespace {

QApplication& App() { return *static_cast<QApplication*>(QCoreApplication::instance()); }

// Sends the tooltip request Qt sends when the mouse rests at pos of w.
void RequestHint(QWidget* w, QPoint pos) {
  QHelpEvent e(QEvent::ToolTip, pos, w->mapToGlobal(pos));
  QApplication::sendEvent(w, &e);
}

class MixedHints : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallMixedFontHints(App());
    window = MixedFontHintWindow();
    window->HideHint();
  }
  void TearDown() override { window->HideHint(); }
  HintWindow* window = nullptr;
};

// The rows of an image that hold ink (pixels not transparent): first and last.
std::pair<int, int> InkRows(const QImage& image) {
  int first = -1, last = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return {first, last};
}

// Superscripts and subscripts stay inside the window: the caption drawn as
// the window draws it, on a taller canvas, has its ink within the window's
// rows.
TEST_F(MixedHints, RaisedAndLoweredPartsStayInsideTheWindow) {
  const char* captions[] = {"@s^2_ > 0", "n_1^ = 0, 1, 2, ...", "e^x^2__ > 0", "x_i_j^^ > 0"};
  for (const char* caption : captions) {
    QLabel label("p");
    label.setToolTip(QString::fromUtf8(caption));
    label.show();
    RequestHint(&label, {2, 2});
    ASSERT_TRUE(window->isVisible()) << caption;
    constexpr int kMargin = 20;
    QImage image(window->width(), window->height() + 2 * kMargin, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
      QPainter painter(&image);
      QPainterSurface surface(painter, image.rect(), window->palette());
      surface.SetFont(ToFontSpec(window->font()));
      TextExtent extent;
      MixedTextOut(surface, 1, kMargin + window->TextTop(), extent, true,
                   HintWindow::PaddedText(caption));
    }
    const auto [first, last] = InkRows(image);
    ASSERT_GE(first, 0) << caption;
    EXPECT_GE(first, kMargin) << caption;
    EXPECT_LT(last, kMargin + window->height()) << caption;
    window->HideHint();
  }
}

TEST_F(MixedHints, PlainHintIsLeftToQt) {
  QLabel label("type");
  label.setToolTip("distribution type");
  label.show();
  RequestHint(&label, {2, 2});
  EXPECT_FALSE(window->isVisible());
}

TEST_F(MixedHints, MarkupHintIsDrawnInAWindowAsWideAsThePlainText) {
  QLabel label("lambda");
  label.setToolTip("@l > 0");
  label.show();
  RequestHint(&label, {2, 2});
  ASSERT_TRUE(window->isVisible());
  EXPECT_EQ(window->Caption(), "@l > 0");
  EXPECT_EQ(window->Owner(), &label);
  const QFontMetrics fm(window->font());
  EXPECT_EQ(window->width(), fm.horizontalAdvance(" l > 0   "));
  EXPECT_FALSE(window->grab().isNull());

  // Leaving the control hides it.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&label, &leave);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(MixedHints, OnlyMarkupStillGetsTheBlanks) {
  QLabel label("x");
  label.setToolTip("@");
  label.show();
  RequestHint(&label, {1, 1});
  ASSERT_TRUE(window->isVisible());
  EXPECT_GE(window->width(), QFontMetrics(window->font()).horizontalAdvance("    "));
}

TEST(HintText, PaddingAndPlainText) {
  EXPECT_EQ(HintWindow::PaddedText("@l > 0"), " @l > 0   ");
  EXPECT_EQ(HintWindow::PlainText(" @s^2_ > 0   "), " s2 > 0   ");
  EXPECT_EQ(HintWindow::PlainText(" $x @¬ Drag @®  "), " x ¬ Drag ®  ");
  EXPECT_TRUE(HintWindow::HasMarkup(" @¬ Drag @®  "));
  EXPECT_FALSE(HintWindow::HasMarkup("distribution type"));
}

TEST_F(MixedHints, GridHintFollowsTheCell) {
  QTableWidget grid(3, 2);
  const char* hints[] = {"@s^2_ > 0", "@m", "number of trials"};
  for (int r = 0; r < 3; ++r) {
    auto* item = new QTableWidgetItem("1");
    item->setToolTip(hints[r]);
    grid.setItem(r, 1, item);
  }
  grid.resize(300, 200);
  grid.show();
  auto centre = [&](int r) { return grid.visualItemRect(grid.item(r, 1)).center(); };

  RequestHint(grid.viewport(), centre(0));
  ASSERT_TRUE(window->isVisible());
  EXPECT_EQ(window->Caption(), "@s^2_ > 0");
  RequestHint(grid.viewport(), centre(1));
  ASSERT_TRUE(window->isVisible());
  EXPECT_EQ(window->Caption(), "@m");
  // A plain cell: the markup window gives way to Qt's tooltip.
  RequestHint(grid.viewport(), centre(2));
  EXPECT_FALSE(window->isVisible());
  // A cell without a hint shows nothing of ours either.
  RequestHint(grid.viewport(), grid.visualRect(grid.model()->index(0, 0)).center());
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace vokt
