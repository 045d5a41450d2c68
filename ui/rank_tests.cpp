#include "ui/rank_tests.h"

#include <climits>
#include <cmath>
#include <optional>

#include "distrib/family.h"
#include "distrib/kruskal_friedman.h"
#include "distrib/rank_sums.h"
#include "ui/calculator.h"
#include "ui/long_run.h"
#include "ui/parameter_grid.h"
#include "ui/sample.h"

namespace vokt::ui {

namespace {
// A rank-sum count expected to take longer than this runs on the worker
// thread (the window stays responsive and Cancel stops it).
constexpr double kWorkerSeconds = 0.05;
}  // namespace

RankTests::RankTests(Calculator& calc, ParameterGrid& grid, LongRun& run,
                     std::function<void()> refresh)
    : calc_(calc), grid_(grid), run_(run), refresh_(std::move(refresh)) {}

void RankTests::Apply() {
  if (!calc_.Current) return;
  switch (FamilyOf(*calc_.Current).Apply) {
    case ApplyStyle::GroupSizes:
      ApplyKruskalWallis();
      break;
    case ApplyStyle::Blocks:
      ApplyFriedman();
      break;
    case ApplyStyle::Parameters:
      ApplyRankSums();
      break;
  }
}

void RankTests::ApplyRankSums() {
  auto* rank = dynamic_cast<RankSumBase*>(calc_.Current);
  // Sizes that are not whole numbers within bounds are reported by the
  // usual apply; so are the short counts, which need no worker.
  Real first = 0, second = 0;
  auto size = [&](int row, Real& v) {
    return ParseNumber(calc_.ParameterTexts[static_cast<size_t>(row)], v) && v >= 1 &&
           v <= 100000 && v == std::floor(v);
  };
  const bool two = rank && rank->ParCount() == 2;
  if (!rank || calc_.ParameterTexts.size() < 3 || !size(1, first) || (two && !size(2, second))) {
    calc_.ApplyParameters();
    return;
  }
  const auto m = static_cast<int32_t>(first), n = static_cast<int32_t>(second);
  const RankCost cost = two ? MannWhitneyCost(m, n) : SignedRankCost(m);
  if (cost.Seconds() < kWorkerSeconds) {
    calc_.ApplyParameters();
    return;
  }
  auto counts =
      run_.RunRankBuild(cost.Seconds() > kProgressSeconds, [two, m, n](const RankControl& c) {
        return two ? MannWhitneyCounts(m, n, &c) : SignedRankCounts(m, &c);
      });
  if (!counts) return;  // cancelled: the distribution is as it was
  rank->Prepared = RankSumBase::PreparedCounts{first, second, std::move(*counts)};
  try {
    calc_.ApplyParameters();
  } catch (...) {
    rank->Prepared.reset();
    throw;
  }
  rank->Prepared.reset();
}

int32_t RankTests::GridInteger(int k) {
  const auto& texts = calc_.ParameterTexts;
  const QString text =
      k < static_cast<int>(texts.size()) ? QString::fromStdString(texts[k]) : QString();
  try {
    return static_cast<int32_t>(IntegerValue(text, INT32_MIN, INT32_MAX));
  } catch (...) {
    grid_.RestartQuietly();
    grid_.SelectRow(k - 1);
    throw;
  }
}

void RankTests::ApplyKruskalWallis() {
  auto* kw = dynamic_cast<KruskalWallisDistribution*>(calc_.Current);
  if (!kw) return;
  std::vector<int32_t> rows(1, 0);
  for (int k = 1; k <= grid_.rowCount() - 1; ++k) {
    const auto& texts = calc_.ParameterTexts;
    const bool empty = k >= static_cast<int>(texts.size()) || texts[k].empty();
    rows.push_back(empty ? 0 : GridInteger(k));
  }
  std::vector<int32_t> packed(1, 0);
  for (size_t i = 1; i < rows.size(); ++i)
    if (rows[i] > 0) packed.push_back(rows[i]);
  // Sizes and cost are checked first, changing nothing: a refused size
  // answers at once.
  const RankCost cost = kw->PrepareKruskalWallis(packed);
  std::optional<RankTable> table =
      run_.RunRankBuild(cost.Seconds() > kProgressSeconds, [packed](const RankControl& c) {
        return KruskalWallisDistribution::ComputeKruskalWallis(packed, &c);
      });
  // Cancelled: nothing was changed, the previous distribution stays.
  if (!table) return;
  kw->SetGroupSizes(std::vector<int32_t>(rows.begin() + 1, rows.end()));
  kw->InstallKruskalWallis(packed, std::move(*table));
  calc_.ShowDistribution();
  refresh_();
  calc_.Mode = calc_.ActivePage() == PageId::Cdf ? InputMode::CdfX : InputMode::DensityX;
}

void RankTests::ApplyFriedman() {
  auto* fr = dynamic_cast<FriedmanDistribution*>(calc_.Current);
  if (!fr) return;
  const int32_t t = GridInteger(1);
  const int32_t b = GridInteger(2);
  const RankCost cost = fr->PrepareFriedman(t, b);
  std::optional<RankTable> table = run_.RunRankBuild(
      cost.Seconds() > kProgressSeconds,
      [t, b](const RankControl& c) { return FriedmanDistribution::ComputeFriedman(t, b, &c); });
  if (!table) return;
  fr->InstallFriedman(t, b, std::move(*table));
  calc_.ShowDistribution();
  refresh_();
  calc_.Mode = calc_.ActivePage() == PageId::Cdf ? InputMode::CdfX : InputMode::DensityX;
}

void RankTests::ShowGroupRows() {
  auto* kw = dynamic_cast<KruskalWallisDistribution*>(calc_.Current);
  if (!kw) return;
  const int rows = kw->GroupCount + 1;
  grid_.SetRows(rows);
  auto& texts = calc_.ParameterTexts;
  texts.assign(rows + 1, std::string());
  if (!kw->Par()[1].Unset)
    for (int k = 1; k < rows && k < static_cast<int>(kw->GroupSizes.size()); ++k)
      texts[k] = std::to_string(kw->GroupSizes[static_cast<size_t>(k)]);
  grid_.RestartQuietly();
  grid_.TextsChanged();
}

}  // namespace vokt::ui
