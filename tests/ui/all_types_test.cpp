// Every type of the catalogue through the window: its defaults apply, bad
// parameter texts are refused with one message and change nothing, and
// extreme numbers in the edits end in numbers or a beep, never in a crash,
// a hang, a message box or "nan" on the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <cmath>
#include <memory>

#include "distrib/catalogue.h"
#include "numeric/checks.h"
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

class AllTypesTest : public ::testing::TestWithParam<uint16_t> {
 protected:
  void SetUp() override {
    oldError_ = SetErrorHook([this](const std::string& t) { errors.push_back(t); });
    oldBeep_ = SetBeepHook([this] { ++beeps; });
    form = std::make_unique<MainWindow>();
    form->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    form.reset();
    SetErrorHook(oldError_);
    SetBeepHook(oldBeep_);
  }
  void Press(InputMode mode) {
    form->Calc().Mode = mode;
    form->MainButtonClicked();
  }
  static bool Sane(const QString& s) {
    return !s.contains("nan", Qt::CaseInsensitive) && !s.contains("inf", Qt::CaseInsensitive);
  }

  std::unique_ptr<MainWindow> form;
  std::vector<std::string> errors;
  int beeps = 0;

 private:
  ErrorHook oldError_;
  BeepHook oldBeep_;
};

TEST_P(AllTypesTest, DefaultsApplyAndBadInputIsRefused) {
  const uint16_t type = GetParam();
  auto reference = CreateDistribution(type);
  ASSERT_TRUE(form->ChooseType(QString::fromStdString(reference->NameText())));
  Distribution* d = form->Current();
  ASSERT_EQ(d->NameId(), type);
  std::vector<std::string> defaults(form->Calc().ParameterTexts.size());
  if (type == 929) {
    defaults = {"", "2", "3", ""};
    form->Grid->setCurrentCell(form->Grid->rowCount() - 1, 1);
  } else {
    defaults.resize(std::max<size_t>(defaults.size(), reference->ParCount() + 1));
    for (int i = 1; i <= reference->ParCount(); ++i)
      defaults[i] = FormatNumber(reference->Par()[i].Value);
  }
  form->Calc().ParameterTexts = defaults;
  Press(InputMode::Parameters);
  ASSERT_TRUE(errors.empty()) << errors[0];
  ASSERT_TRUE(form->Calc().ParametersComplete());
  const auto applied = d->Par();
  const Real mean = d->Mean();

  // Not numbers, or beyond the long double range (about 1.19e4932); any
  // finite value within it may be a valid parameter.
  const std::vector<std::string> bad = {
      "abc", "nan", "-", ".", "1e5000", std::string(5000, '9'), "-1e5000", "inf", "-inf", "1e4933"};
  for (const std::string& text : bad) {
    errors.clear();
    auto texts = defaults;
    texts[1] = text;
    form->Calc().ParameterTexts = texts;
    Press(InputMode::Parameters);
    ASSERT_EQ(errors.size(), 1u) << text.substr(0, 10);
    // The message names the text refused (929's first field counts).
    // The message names the text refused, a long one cut after 40 characters
    // (929's first field counts).
    const std::string shown = text.size() > 40 ? text.substr(0, 40) + "..." : text;
    const std::string named = "'" + shown + "' is not a valid " +
                              (type == 929 ? "integer" : "floating point") + " value.";
    EXPECT_TRUE(errors[0] == named || (type == 929 && errors[0] == "Range check error."))
        << errors[0].substr(0, 80);
    for (int i = 1; i <= 3; ++i) {
      EXPECT_EQ(d->Par()[i].Value, applied[i].Value) << text.substr(0, 10);
      EXPECT_EQ(d->Par()[i].Unset, applied[i].Unset) << text.substr(0, 10);
    }
    if (!std::isnan(mean)) {
      EXPECT_EQ(d->Mean(), mean);
    }
  }
  errors.clear();

  // Below the first parameter's lower bound: refused with a range message.
  if (type != 929 && std::isfinite(reference->Par()[1].Low)) {
    const Real below = reference->Par()[1].Low - 1 - std::fabs(reference->Par()[1].Low);
    auto texts = defaults;
    texts[1] = FormatNumber(below);
    form->Calc().ParameterTexts = texts;
    Press(InputMode::Parameters);
    ASSERT_EQ(errors.size(), 1u) << texts[1];
    EXPECT_EQ(errors[0].find("is not a valid floating point value."), std::string::npos)
        << errors[0];
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(d->Par()[i].Value, applied[i].Value) << texts[1];
    errors.clear();
  }

  const std::vector<std::pair<EditId, QString>> edits = {
      {EditId::xValue, "1e300"},
      {EditId::xValue, "-1e300"},
      {EditId::xValue, "0"},
      {EditId::xValue, "1e-300"},
      {EditId::ProbLeft, "0"},
      {EditId::ProbLeft, "1"},
      {EditId::ProbLeft, "1e-300"},
      {EditId::ProbRight, "1e-12"},
      {EditId::ProbLeft, "0.999999999999"},
      {EditId::xcdF, "1e300"},
      {EditId::cdF, "1e-300"},
      {EditId::cdF, "1"},
  };
  for (const auto& [id, text] : edits) {
    QLineEdit* e = id == EditId::xValue      ? form->Density->XEdit
                   : id == EditId::ProbLeft  ? form->Density->ProbabilityEditLeft
                   : id == EditId::ProbRight ? form->Density->ProbabilityEditRight
                   : id == EditId::xcdF      ? form->Cdf->XEdit
                                             : form->Cdf->ProbabilityEdit;
    e->setText(text);
    Press(static_cast<InputMode>(id));
    EXPECT_TRUE(errors.empty()) << text.toStdString();
    for (QLineEdit* shown :
         {form->Density->XEdit, form->Density->ProbabilityEditLeft,
          form->Density->ProbabilityEditCentral, form->Density->ProbabilityEditRight,
          form->Cdf->XEdit, form->Cdf->ProbabilityEdit})
      EXPECT_TRUE(Sane(shown->text()))
          << text.toStdString() << " -> " << shown->text().toStdString();
  }
}

std::vector<uint16_t> Types() {
  std::vector<uint16_t> r;
  for (uint16_t t : AvailableTypes())
    if (t != 931) r.push_back(t);  // Friedman's grid rows are the treatments and blocks
  return r;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, AllTypesTest, ::testing::ValuesIn(Types()),
                         [](const ::testing::TestParamInfo<uint16_t>& param_info) {
                           return std::to_string(param_info.param);
                         });

}  // namespace
}  // namespace vokt::ui
