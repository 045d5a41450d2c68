// The sample page's view: every line is shown whole, whatever the first
// line's length, and the model formats lines only when asked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QScrollBar>

#include "ui/sample_view.h"

namespace vokt::ui {
namespace {

TEST(SampleView, LongerLinesThanTheFirstAreShownWhole) {
  SampleView view;
  view.resize(120, 200);
  view.show();
  SampleFormat four;
  four.decimals = 4;
  SampleFormat floating;
  floating.floatingPoint = true;
  view.AppendValues({1, -123456.5L, 2}, four);
  view.AppendLines({"     1     2", "     3     4     5     6     7     8     9    10"});
  view.AppendValues({-1e-300L}, floating);
  QApplication::processEvents();
  const QFontMetrics fm(view.font());
  for (int64_t i = 0; i < view.LineCount(); ++i) {
    const QString text = view.LineText(i);
    const QRect r = view.visualRect(view.model()->index(static_cast<int>(i), 0));
    EXPECT_GE(r.width(), fm.horizontalAdvance(text)) << text.toStdString();
  }
  EXPECT_EQ(view.LineText(1), "-123456.5000");
  EXPECT_EQ(view.LineText(5), "-1.00000000000000000E-0300");
  // Lines wider than the page scroll sideways.
  EXPECT_GT(view.horizontalScrollBar()->maximum(), 0);
}

}  // namespace
}  // namespace vokt::ui
