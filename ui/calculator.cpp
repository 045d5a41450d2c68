#include "ui/calculator.h"

#include <algorithm>
#include <cmath>

#include "distrib/family.h"
#include "distrib/tails.h"
#include "numeric/checks.h"
#include "plot/graph.h"
#include "resources/strings.h"

namespace vokt::ui {

namespace {
constexpr int kApplyCaption = 876;
constexpr int kProbabilitiesCaption = 877;
constexpr int kQuantileCaption = 878;

// The quoted text of a conversion error is cut so that a pasted page of
// digits does not make a screen-filling message box.
std::string Quoted(const std::string& text) {
  constexpr size_t kMax = 40;
  if (text.size() <= kMax) return "'" + text + "'";
  return "'" + text.substr(0, kMax) + "...'";
}

// p with n decimals; when it shows as "1 − d" the distance to 1 is the
// complement computed directly (1 - p has lost its digits when p lies
// within a few units of the last place of 1: P(Z < 9) = 1 − 1.1286e-19).
std::string ShowProbability(int n, Real p, Real complement) {
  std::string s = FormatProbability(n, p);
  if (s.rfind("1 \u2212 ", 0) == 0 && complement > 0 && complement < 0.5L)
    return "1 \u2212 " + FormatProbability(n, complement);
  return s;
}
}  // namespace

Calculator::Calculator(DriverView& view) : view_(view) {}

std::string Calculator::CaptionFor(InputMode mode) {
  switch (mode) {
    case InputMode::DensityX:
    case InputMode::CdfX:
      return LoadString(kProbabilitiesCaption);
    case InputMode::LowerProbability:
    case InputMode::UpperProbability:
    case InputMode::CdfProbability:
      return LoadString(kQuantileCaption);
    default:
      return LoadString(kApplyCaption);
  }
}

Real Calculator::ParameterValue(const std::string& text) {
  Real v;
  if (!ParseNumber(text, v))
    throw ArgumentError(Quoted(text) + " is not a valid floating point value");
  return v;
}

Real Calculator::EditNumber(EditId id) const { return ParameterValue(view_.EditText(id)); }

void Calculator::CheckProbability(Real p) {
  CheckValue(msgAtLeast, p, 0);
  CheckValue(msgNotGreaterThan, p, 1);
}

bool Calculator::ParametersComplete() const {
  if (!Current) return false;
  for (int i = 1; i <= Current->ParCount() && i <= 3; ++i) {
    Parameter r;
    Current->GetParameter(i, r);
    if (r.Unset) return false;
  }
  return true;
}

void Calculator::NumberEditClicked(EditId id) {
  Mode = static_cast<InputMode>(id);
  view_.SetButtonCaption(CaptionFor(Mode));
}

void Calculator::FillParameterTexts() {
  if (!Current) return;
  const int n = Current->ParCount();
  if (static_cast<int>(ParameterTexts.size()) < n + 1) ParameterTexts.resize(n + 1);
  for (int i = 1; i <= n; ++i) {
    Parameter r;
    Current->GetParameter(i, r);
    ParameterTexts[i] = r.Unset ? std::string() : FormatNumber(r.Value);
  }
}

void Calculator::SetEditText(int row, const std::string& text) {
  ParameterRow = row + 1;
  if (static_cast<int>(ParameterTexts.size()) < row + 2) ParameterTexts.resize(row + 2);
  ParameterTexts[row + 1] = text;
  if (Current && FamilyOf(*Current).SpreadPair && !text.empty() && (row == 1 || row == 2)) {
    // Variance and standard deviation follow each other.  A text that is not
    // (yet) a number, such as "1e" while typing "1e-3", leaves the companion
    // row alone; the apply reports it.
    Real v;
    if (ParseNumber(text, v)) {
      if (row == 1 && v >= 0) {
        ParameterTexts[3] = FormatNumber(std::sqrt(v));
      } else if (row == 2) {
        const Real sq = v * v;
        if (std::isfinite(sq)) ParameterTexts[2] = FormatNumber(sq);
      }
    }
    view_.GridTextsChanged();
  }
}

void Calculator::MainButtonClicked() {
  if (!Current) return;
  if (AppliesParameters(Mode)) {
    if (FamilyOf(*Current).IsRankTest() && RankTestApply)
      RankTestApply(*this);
    else
      ApplyParameters();
    return;
  }
  EditId source = EditId::xValue;
  try {
    switch (Mode) {
      case InputMode::DensityX:
        source = EditId::xValue;
        // A rank-test statistic typed to a few decimals is the table's value.
        CurrentX = SnapToTable(*Current, view_.EditText(source), EditNumber(source));
        UpdateDensityPage(true);
        break;
      case InputMode::CdfX:
        source = EditId::xcdF;
        CurrentX = SnapToTable(*Current, view_.EditText(source), EditNumber(source));
        UpdateCdfPage();
        break;
      case InputMode::LowerProbability:
        source = EditId::ProbLeft;
        ProbLeft = EditNumber(source);
        CheckProbability(ProbLeft);
        {
          const QuantileResult q = Current->Quantile(ProbLeft);
          CurrentX = q.X;
          ProbLeft = q.Probability;
        }
        UpdateDensityPage(true);
        break;
      case InputMode::UpperProbability:
        source = EditId::ProbRight;
        ProbRight = EditNumber(source);
        CheckProbability(ProbRight);
        // Solved on the upper tail, so that a tiny upper probability keeps
        // its digits.
        CurrentX = Current->UpperQuantile(ProbRight);
        UpdateDensityPage(true);
        break;
      case InputMode::CdfProbability:
        source = EditId::cdF;
        ProbLeft = EditNumber(source);
        CheckProbability(ProbLeft);
        {
          const QuantileResult q = Current->Quantile(ProbLeft);
          CurrentX = q.X;
          ProbLeft = q.Probability;
        }
        ProbCentral = Current->PointProb(CurrentX);
        view_.RefreshActivePage();
        view_.FocusEdit(EditId::cdF);
        break;
      default:
        break;
    }
  } catch (const std::exception& e) {
    view_.FocusEdit(source);
    view_.Beep();
    view_.ShowRefusal(e.what());
  }
}

void Calculator::ApplyParameters() {
  const int n = std::min<int>(Current->ParCount(), 3);
  if (static_cast<int>(ParameterTexts.size()) < n + 1) ParameterTexts.resize(n + 1);
  int k = 1;
  while (k <= n && !ParameterTexts[k].empty()) ++k;
  if (k <= n) {
    view_.RestartGridEditor();
    view_.SelectGridRow(k - 1);
    return;
  }
  Real p[4] = {0, 1, 1, 1};
  for (int i = 1; i <= n; ++i) p[i] = ParameterValue(ParameterTexts[i]);

  // A refused set leaves the distribution as it was; the caller reports it.
  const std::array<Parameter, 4> saved = Current->Par();
  Current->SetParameters(p[1], p[2], p[3]);
  try {
    ShowDistribution();
  } catch (...) {
    // Parameters the distribution accepts but cannot show (a quantile or a
    // spread beyond the extended range): the old ones are applied again, as
    // a parameter change of their own, with the grid's unapplied rows as
    // they were; the caller reports the error.
    try {
      Current->SetParameters(saved[1].Value, saved[2].Value, saved[3].Value);
      for (size_t i = 1; i < saved.size(); ++i)
        Current->MarkUnset(static_cast<int>(i), saved[i].Unset);
    } catch (...) {
    }
    try {
      ShowDistribution();
    } catch (...) {
    }
    throw;
  }
  view_.RefreshActivePage();
  Mode = view_.ActivePage() == PageId::Cdf ? InputMode::CdfX : InputMode::DensityX;
}

void Calculator::ShowDistribution() {
  if (!Current) return;
  if (FamilyOf(*Current).Apply == ApplyStyle::GroupSizes && RankTestRows) {
    RankTestRows(*this);
  } else {
    view_.SetGridRowCount(Current->ParCount());
    FillParameterTexts();
    view_.RestartGridEditor();
    view_.GridTextsChanged();
  }
  if (ParametersComplete()) {
    ProbLeft = 0.5L;
    if (Current->HasMean()) {
      CurrentX = Current->Mean();
    } else {
      const QuantileResult q = Current->Quantile(ProbLeft);
      CurrentX = q.X;
      ProbLeft = q.Probability;
    }
    XValueDecimals = Current->XDecimals();
    view_.CheckXDecimalsItem(std::clamp(XValueDecimals, 0, 12));
  }
  switch (view_.ActivePage()) {
    case PageId::Pdf:
      UpdateDensityPage(true);
      view_.FocusEdit(EditId::xValue);
      NumberEditClicked(EditId::xValue);
      break;
    case PageId::Cdf:
      view_.ShowPageContents(PageId::Cdf);
      view_.FocusEdit(EditId::xcdF);
      NumberEditClicked(EditId::xcdF);
      break;
    default:
      break;
  }
}

void Calculator::UpdateDensityPage(bool repaint) {
  if (!Current) return;
  if (view_.ActivePage() == PageId::Pdf && ParametersComplete())
    view_.ShowPageContents(PageId::Pdf);
  Current->Probabilities(CurrentX, ProbLeft, ProbCentral, ProbRight);
  if (!ParametersComplete()) return;

  const bool fromX = Mode == InputMode::DensityX || Mode == InputMode::CdfX;
  view_.SetEditText(EditId::xValue,
                    fromX ? FormatNumber(CurrentX) : FormatDecimals(XValueDecimals, CurrentX));
  const int n = fromX ? ProbabilityDecimals : 12;
  view_.SetEditText(EditId::ProbLeft, ShowProbability(n, ProbLeft, ProbCentral + ProbRight));
  view_.SetEditText(EditId::ProbCentral, ShowProbability(n, ProbCentral, ProbLeft + ProbRight));
  view_.SetEditText(EditId::ProbRight, ShowProbability(n, ProbRight, ProbLeft + ProbCentral));
  const int px = XToPixel(Current->Range(), view_.DensityBoxRect(), CurrentX);
  const bool thin = view_.EditText(EditId::ProbCentral) == "0";
  if (thin) view_.SetEditText(EditId::ProbCentral, " ");
  view_.PlaceDensityMarker(px, thin);
  if (repaint) view_.RepaintDensity();
}

void Calculator::UpdateCdfPage() {
  if (!Current) return;
  const int px = XToPixel(Current->Range(), view_.CdfBoxRect(), CurrentX);
  view_.ShowPageContents(PageId::Cdf);
  view_.SetEditText(EditId::xcdF, (Mode == InputMode::DensityX || Mode == InputMode::CdfX)
                                      ? FormatNumber(CurrentX)
                                      : FormatDecimals(XValueDecimals, CurrentX));
  ProbLeft = Current->Cdf(CurrentX);
  ProbCentral = Current->PointProb(CurrentX);
  view_.SetEditText(EditId::cdF,
                    ShowProbability(ProbabilityDecimals, ProbLeft, Current->UpperTail(CurrentX)));
  view_.PlaceCdfMarker(px, ProbLeft);
  view_.RepaintCdf();
}

}  // namespace vokt::ui
