// The main window test fixture: a window with a test die added, keys into
// the real widgets, and the error box and the beep recorded instead of
// shown.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "distrib/distribution.h"
#include "ui/main_window.h"
#include "ui/messages.h"
#include "ui/parameter_grid.h"

namespace vokt::ui {

// Enters an edit with the mouse, replaces its text and presses Enter.
inline void TypeInto(QLineEdit* e, const QString& text) {
  QTest::mouseClick(e, Qt::LeftButton);
  e->setFocus();
  QApplication::processEvents();
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Delete);
  if (!text.isEmpty()) QTest::keyClicks(e, text);
  QTest::keyClick(e, Qt::Key_Return);
  QApplication::processEvents();
}

// Types text into the value cell of grid row r (0-based), pressing Enter
// when asked.
inline void TypeIntoGrid(MainWindow& form, int row, const QString& text, bool enter = false) {
  form.Grid->setCurrentCell(row, 1);
  QLineEdit* e = form.Grid->Editor();
  ASSERT_NE(e, nullptr);
  e->setFocus();
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Delete);
  QTest::keyClicks(e, text);
  if (enter) QTest::keyClick(e, Qt::Key_Return);
  QApplication::processEvents();
}

// A fair die with n faces: a discrete type for the rules that depend on
// discreteness, independent of which discrete families are built.
class TestDie : public DiscreteDistribution {
 public:
  TestDie() {
    SetParameters(6, 1, 1);
    par_[1].Unset = true;
    par_[1].RangeHint = "n = 1, 2, ...";
  }
  void Name(std::string& s) const override { s = "test die"; }
  void SetParameters(Real p1, Real p2, Real p3) override {
    parCount_ = 1;
    DefineParameter(1, 1, 1000, true, "n");
    DiscreteDistribution::SetParameters(p1, p2, p3);
    N = p1;
    supportLow_ = 1;
    supportHigh_ = N;
    mean_ = (N + 1) / 2;
    variance_ = (N * N - 1) / 12;
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

  void TypeInto(QLineEdit* e, const QString& text) { ui::TypeInto(e, text); }
  void TypeIntoGrid(int row, const QString& text, bool enter = false) {
    ui::TypeIntoGrid(*form, row, text, enter);
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

}  // namespace vokt::ui
