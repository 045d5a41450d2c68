// The computation driver of the main window: what the main button does for
// the input last entered (apply the grid's parameters, compute the
// probabilities at x, compute a quantile), the state kept about the current x
// and its probabilities, and the formatting of the results.  It talks to the
// widgets only through DriverView, so it runs without any toolkit.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "distrib/distribution.h"

namespace vokt::ui {

// What the main button (and Enter) does: apply the grid's parameters, or
// compute from the number edit last entered.  The edits' modes carry the
// numbers of their EditId.
enum class InputMode : uint8_t {
  Parameters = 0,  // the grid is being edited
  Applied = 3,     // the grid's parameters are in use (the button applies them again)
  DensityX = 4,
  LowerProbability = 5,
  CentralProbability = 6,
  UpperProbability = 7,
  CdfX = 8,
  CdfProbability = 9,
};

// True when the button applies the grid.
inline bool AppliesParameters(InputMode mode) { return mode <= InputMode::Applied; }

// The number edits, numbered by the input mode they set when entered.
enum class EditId : uint8_t {
  xValue = 4,
  ProbLeft = 5,
  ProbCentral = 6,
  ProbRight = 7,
  xcdF = 8,
  cdF = 9,
};

enum class PageId : uint8_t { Pdf, Cdf, Formulas, Sample };

// What the driver needs from the window.
class DriverView {
 public:
  virtual ~DriverView() = default;
  virtual std::string EditText(EditId id) const = 0;
  virtual void SetEditText(EditId id, const std::string& text) = 0;
  virtual void FocusEdit(EditId id) = 0;
  virtual void SetButtonCaption(const std::string& text) = 0;
  virtual PageId ActivePage() const = 0;
  // The grid shows rows 1..rows of the driver's ParameterTexts.
  virtual void SetGridRowCount(int rows) = 0;
  virtual void GridTextsChanged() = 0;
  // Closes the grid's in-place editor and opens it again on the current cell.
  virtual void RestartGridEditor() = 0;
  // Makes 0-based row the current row (value column) and focuses the grid.
  virtual void SelectGridRow(int row) = 0;
  virtual void CheckXDecimalsItem(int decimals) = 0;
  // Client rectangles of the two paint boxes (left/top 0).
  virtual Rect DensityBoxRect() const = 0;
  virtual Rect CdfBoxRect() const = 0;
  // Marker placement: px is the offset of x from the paint box's left edge.
  // thinCentral: the central probability is exactly 0 and its edit shows as
  // a thin line under the marker.
  virtual void PlaceDensityMarker(int px, bool thinCentral) = 0;
  virtual void PlaceCdfMarker(int px, Real cdf) = 0;
  virtual void RepaintDensity() = 0;
  virtual void RepaintCdf() = 0;
  // Makes the contents of a graph page visible (they are hidden while the
  // parameters are incomplete).
  virtual void ShowPageContents(PageId page) = 0;
  // Lays out the active page and refreshes it (ends in UpdateDensityPage or
  // UpdateCdfPage of the driver).
  virtual void RefreshActivePage() = 0;
  virtual void Beep() = 0;
  // A typed x or probability was refused (after the beep): why, in words.
  virtual void ShowRefusal(const std::string& reason) { (void)reason; }
};

class Calculator {
 public:
  explicit Calculator(DriverView& view);

  // State shared with the window.
  Distribution* Current = nullptr;
  InputMode Mode = InputMode::Applied;
  int ParameterRow = 1;
  std::vector<std::string> ParameterTexts = std::vector<std::string>(4);
  Real CurrentX = 0;
  Real ProbLeft = 0;
  Real ProbCentral = 0;
  Real ProbRight = 0;
  int ProbabilityDecimals = 4;
  int XValueDecimals = 3;

  // The rank tests apply their grid by building their exact tables, which
  // may take a while; the window installs that step here (it counts on a
  // worker thread).  Without it they are applied like every other type.
  std::function<void(Calculator&)> RankTestApply;
  // The Kruskal-Wallis grid has one row per group plus a spare row; the
  // window installs the step that shows those rows here.
  std::function<void(Calculator&)> RankTestRows;

  // The main button.  Errors while applying parameters propagate to the
  // caller (the error display); errors in the number edits only beep.
  void MainButtonClicked();
  // Enter handler of the editable number edits.
  void NumberEditClicked(EditId id);
  void ShowDistribution();
  void UpdateDensityPage(bool repaint);
  void UpdateCdfPage();
  bool ParametersComplete() const;
  // The page the window shows.
  PageId ActivePage() const { return view_.ActivePage(); }

  // The button caption for an input mode.
  static std::string CaptionFor(InputMode mode);
  // Reads a parameter text; a text that is not a number raises ArgumentError.
  static Real ParameterValue(const std::string& text);

  // The grid: a changed cell text (0-based row), with the normal
  // distribution's coupling of variance and standard deviation.
  void SetEditText(int row, const std::string& text);
  // Sets the grid's parameters on the current distribution and shows it.
  void ApplyParameters();
  // Refills ParameterTexts 1..ParCount from the current distribution.
  void FillParameterTexts();

 private:
  Real EditNumber(EditId id) const;
  static void CheckProbability(Real p);

  DriverView& view_;
};

}  // namespace vokt::ui
