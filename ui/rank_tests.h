// The rank tests in the window: Kruskal-Wallis group sizes and Friedman
// treatments and blocks are read from the grid, and the exact tables are
// counted again (on a worker thread, with Cancel) when they are applied.
#pragma once

#include <cstdint>
#include <functional>

namespace vokt::ui {

class Calculator;
class LongRun;
class ParameterGrid;

class RankTests {
 public:
  // refresh: lays out and refreshes the page shown, after a new table.
  RankTests(Calculator& calc, ParameterGrid& grid, LongRun& run, std::function<void()> refresh);

  // Applies the grid to the current rank test.
  void Apply();
  // The Kruskal-Wallis grid: one row per group and a spare one, with the
  // sizes last applied.
  void ShowGroupRows();

 private:
  void ApplyKruskalWallis();
  void ApplyFriedman();
  // Signed rank, Mann-Whitney and rank sum: a long count runs on the worker
  // thread, then the counts are installed by the usual apply.
  void ApplyRankSums();
  // The integer in grid row k (1-based); a bad text selects the row and
  // raises the conversion error.
  int32_t GridInteger(int k);

  Calculator& calc_;
  ParameterGrid& grid_;
  LongRun& run_;
  std::function<void()> refresh_;
};

}  // namespace vokt::ui
