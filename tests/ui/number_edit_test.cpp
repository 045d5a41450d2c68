// The number edit's placeholder "...?" and the order in which the owner sees
// the focus changes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "ui/number_edit.h"

namespace vokt::ui {
namespace {

TEST(NumEdit, PlaceholderComesAndGoesWithTheFocus) {
  QWidget w;
  auto* layout = new QVBoxLayout(&w);
  auto* edit = new NumberEdit(&w, 5);
  auto* other = new NumberEdit(&w, 4);
  auto* readOnly = new NumberEdit(&w, 6);
  readOnly->setReadOnly(true);
  layout->addWidget(edit);
  layout->addWidget(other);
  layout->addWidget(readOnly);
  QStringList seen;
  QObject::connect(edit, &NumberEdit::Entered, [&](NumberEdit* s) { seen << "in:" + s->text(); });
  QObject::connect(edit, &NumberEdit::Exited, [&](NumberEdit* s) { seen << "out:" + s->text(); });
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

  struct Case {
    QString before, typed, after;
  };
  // The text left behind after entering, typing and leaving.
  const std::vector<Case> cases = {
      {"", "", "...?"},      // left empty: placeholder
      {"...?", "", "...?"},  // placeholder removed on entry, back on exit
      {"...?", "2", "2"},    // typed over the placeholder
      {"0.5", "", "0.5"},    // a number is untouched
      {"abc", "", "abc"},    // so is a wrong one
  };
  for (const Case& c : cases) {
    other->setFocus();
    QApplication::processEvents();
    edit->setText(c.before);
    seen.clear();
    edit->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), c.before == "...?" ? QString() : c.before);
    if (!c.typed.isEmpty()) QTest::keyClicks(edit, c.typed);
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), c.after) << c.before.toStdString();
    ASSERT_EQ(seen.size(), 2);
    // The owner sees the text before the placeholder is removed or written.
    EXPECT_EQ(seen[0], "in:" + c.before);
    EXPECT_EQ(seen[1], "out:" + (c.after == "...?" ? QString() : c.after));
  }

  readOnly->setText("...?");
  readOnly->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(readOnly->text(), "");
  other->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(readOnly->text(), "...?");
  EXPECT_EQ(edit->Tag(), 5);
}

}  // namespace
}  // namespace vokt::ui
