// The computation driver without widgets: a recording view stands in for the
// window, so the dispatch and the formatting by input mode are checked alone.
#include <gtest/gtest.h>

#include <map>

#include "distrib/catalogue.h"
#include "resources/strings.h"
#include "ui/calculator.h"

namespace vokt::ui {
namespace {

class FakeView : public DriverView {
 public:
  std::map<EditId, std::string> texts;
  std::string caption;
  PageId page = PageId::Pdf;
  int gridRows = 0, selectedRow = -1, beeps = 0, densityRepaints = 0, cdfRepaints = 0;
  EditId focused = EditId::xValue;
  int checkedX = -1, markerPx = -1;
  bool thin = false;
  Real cdfHeight = -1;

  std::string EditText(EditId id) const override {
    auto it = texts.find(id);
    return it == texts.end() ? std::string() : it->second;
  }
  void SetEditText(EditId id, const std::string& t) override { texts[id] = t; }
  void FocusEdit(EditId id) override { focused = id; }
  void SetButtonCaption(const std::string& t) override { caption = t; }
  PageId ActivePage() const override { return page; }
  void SetGridRowCount(int rows) override { gridRows = rows; }
  void GridTextsChanged() override {}
  void RestartGridEditor() override {}
  void SelectGridRow(int row) override { selectedRow = row; }
  void CheckXDecimalsItem(int d) override { checkedX = d; }
  Rect DensityBoxRect() const override { return {0, 0, 400, 200}; }
  Rect CdfBoxRect() const override { return {0, 0, 400, 200}; }
  void PlaceDensityMarker(int px, bool t) override {
    markerPx = px;
    thin = t;
  }
  void PlaceCdfMarker(int px, Real cdf) override {
    markerPx = px;
    cdfHeight = cdf;
  }
  void RepaintDensity() override { ++densityRepaints; }
  void RepaintCdf() override { ++cdfRepaints; }
  void ShowPageContents(PageId) override {}
  void RefreshActivePage() override {}
  void Beep() override { ++beeps; }
};

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    normal = CreateDistribution(901);
    driver.Current = normal.get();
    driver.ParameterTexts = {"", "0", "1", "1"};
    driver.Mode = InputMode::Parameters;
    driver.MainButtonClicked();
  }
  FakeView view;
  Calculator driver{view};
  std::unique_ptr<Distribution> normal;
};

TEST_F(DriverTest, ApplyStartsAtTheMeanWithTheDistributionsDecimals) {
  EXPECT_EQ(view.gridRows, 3);
  EXPECT_EQ(driver.CurrentX, 0);
  EXPECT_EQ(driver.XValueDecimals, 3);
  EXPECT_EQ(view.checkedX, 3);
  EXPECT_EQ(driver.Mode, InputMode::DensityX);
  EXPECT_EQ(view.caption, "Compute Probabilities");
  EXPECT_EQ(view.markerPx, 200);  // the mean in the middle of -4..4
  EXPECT_TRUE(view.thin);
  EXPECT_EQ(view.texts[EditId::ProbCentral], " ");
}

TEST_F(DriverTest, FormatsByTheInputLastEntered) {
  struct Case {
    int mode;
    EditId edit;
    std::string typed;
    std::string x, left, right;
  };
  const std::vector<Case> cases = {
      // an x: x in full, probabilities with 4 decimals
      {4, EditId::xValue, "1.959963984540054", "1.95996398454", "0.975", "0.025"},
      // a probability: x with 3 decimals, probabilities in full
      {5, EditId::ProbLeft, "0.3", "-0.524", "0.3", "0.7"},
      {7, EditId::ProbRight, "0.3", "0.524", "0.7", "0.3"},
  };
  for (const Case& c : cases) {
    view.texts[c.edit] = c.typed;
    driver.NumberEditClicked(c.edit);
    driver.MainButtonClicked();
    EXPECT_EQ(view.texts[EditId::xValue], c.x) << c.mode;
    EXPECT_EQ(view.texts[EditId::ProbLeft], c.left) << c.mode;
    EXPECT_EQ(view.texts[EditId::ProbRight], c.right) << c.mode;
  }
  EXPECT_EQ(view.beeps, 0);
}

TEST_F(DriverTest, CdfPageComputesPAtMostX) {
  view.page = PageId::Cdf;
  view.texts[EditId::xcdF] = "-1";
  driver.NumberEditClicked(EditId::xcdF);
  driver.MainButtonClicked();
  EXPECT_EQ(view.texts[EditId::cdF], "0.1587");
  EXPECT_NEAR(static_cast<double>(view.cdfHeight), 0.158655, 1e-6);
  EXPECT_EQ(view.cdfRepaints, 1);
  view.texts[EditId::cdF] = "0.5";
  driver.NumberEditClicked(EditId::cdF);
  driver.MainButtonClicked();
  EXPECT_EQ(driver.CurrentX, 0);
  EXPECT_EQ(view.focused, EditId::cdF);
}

TEST_F(DriverTest, TheReadOnlyCentralEditComputesNothing) {
  const auto before = view.texts;
  driver.Mode = InputMode::CentralProbability;
  driver.MainButtonClicked();
  EXPECT_EQ(view.texts, before);
  EXPECT_EQ(view.beeps, 0);
}

TEST_F(DriverTest, IncompleteParametersComputeButShowNothing) {
  auto fresh = CreateDistribution(901);  // every parameter unset
  driver.Current = fresh.get();
  EXPECT_FALSE(driver.ParametersComplete());
  view.texts.clear();
  driver.UpdateDensityPage(true);
  EXPECT_TRUE(view.texts.empty());
  EXPECT_EQ(view.densityRepaints, 1);  // from the apply in SetUp only
  driver.ParameterTexts = {"", "1", "", ""};
  driver.Mode = InputMode::Parameters;
  driver.MainButtonClicked();
  EXPECT_EQ(view.selectedRow, 1);
  EXPECT_FALSE(driver.ParametersComplete());
  driver.Current = normal.get();
}

// A uniform distribution on (0, a) that counts its parameter changes and,
// for a above 5, accepts the parameter but cannot give its decimals.
class CountingFamily : public ContinuousDistribution {
 public:
  CountingFamily() { SetParameters(1, 0, 0); }
  void SetParameters(Real p1, Real p2, Real p3) override {
    ++changes;
    parCount_ = 1;
    DefineParameter(1, 0, 100, false, "a");
    ContinuousDistribution::SetParameters(p1, p2, p3);
    supportLow_ = 0;
    supportHigh_ = p1;
    mean_ = p1 / 2;
    variance_ = p1 * p1 / 12;
  }
  Real Density(Real x) const override { return InSupport(x) ? 1 / supportHigh_ : 0; }
  Real Cdf(Real x) const override { return x <= 0 ? 0 : x >= supportHigh_ ? 1 : x / supportHigh_; }
  int XDecimals() const override {
    if (par_[1].Value > 5) RaiseMessage(msgTooLarge);
    return 2;
  }
  int changes = 0;
};

TEST_F(DriverTest, RefusedOrUnshowableParametersLeaveTheOldOnesInUse) {
  CountingFamily d;
  d.MarkUnset(1, true);
  driver.Current = &d;
  const struct {
    const char* text;
    const char* message;
    int changes;  // parameter changes made by the apply
    bool unset;   // the first record still unapplied afterwards
  } cases[] = {
      {"-1", "Value should be greater than 0", 1, true},  // refused: never applied again
      {"6", "Numbers too large.", 2, true},               // accepted, not shown: the old ones
      {"2", "", 1, false},
      {"200", "Value should be less than 100", 1, false},
      {"7", "Numbers too large.", 2, false},
  };
  Real mean = d.Mean(), value = d.Par()[1].Value;
  for (const auto& c : cases) {
    driver.ParameterTexts = {"", c.text, "", ""};
    driver.Mode = InputMode::Parameters;
    const int before = d.changes;
    std::string message;
    try {
      driver.MainButtonClicked();
    } catch (const std::exception& e) {
      message = e.what();
    }
    EXPECT_EQ(message, c.message) << c.text;
    EXPECT_EQ(d.changes - before, c.changes) << c.text;
    EXPECT_EQ(d.Par()[1].Unset, c.unset) << c.text;
    if (message.empty()) {
      mean = d.Mean();
      value = d.Par()[1].Value;
    }
    EXPECT_EQ(d.Par()[1].Value, value) << c.text;
    EXPECT_EQ(d.Mean(), mean) << c.text;
  }
  driver.Current = normal.get();
}

}  // namespace
}  // namespace vokt::ui
