#include "distrib/family.h"

#include <algorithm>

#include "distrib/beta.h"
#include "distrib/binomial.h"
#include "distrib/closed_form.h"
#include "distrib/discrete_uniform.h"
#include "distrib/gamma.h"
#include "distrib/hypergeometric.h"
#include "distrib/inverse_gaussian.h"
#include "distrib/kruskal_friedman.h"
#include "distrib/lognormal.h"
#include "distrib/negative_binomial.h"
#include "distrib/noncentral_chi2_beta.h"
#include "distrib/noncentral_f_t.h"
#include "distrib/normal.h"
#include "distrib/poisson.h"
#include "distrib/rank_sums.h"
#include "distrib/t_f.h"

namespace vokt {

namespace {
// A maker that passes the first k parameters to the constructor.
template <class D, int k>
std::unique_ptr<Distribution> MakeFrom(Real p1, Real p2, Real p3) {
  if constexpr (k == 1)
    return std::make_unique<D>(p1);
  else if constexpr (k == 2)
    return std::make_unique<D>(p1, p2);
  else
    return std::make_unique<D>(p1, p2, p3);
}

// One row a type, in id order.  The Kruskal-Wallis and Friedman rows start
// from the smallest tables (their sizes come from the grid when applied).
// clang-format off
const std::vector<Family> kFamilies = {
    {.Id = 901, .Kind = FamilyKind::Continuous, .ParameterCount = 3, .Defaults = {0, 1, 1}, .SpreadPair = true, .Make = MakeFrom<NormalDistribution, 2>},
    {.Id = 902, .Kind = FamilyKind::Continuous, .ParameterCount = 1, .Defaults = {5, 5, 5}, .Make = MakeFrom<ExponentialDistribution, 1>},
    {.Id = 903, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {0, 5, 5}, .Make = MakeFrom<UniformDistribution, 2>},
    {.Id = 904, .Kind = FamilyKind::Discrete, .ParameterCount = 1, .Defaults = {0.5L, 5, 5}, .Make = MakeFrom<BernoulliDistribution, 1>},
    {.Id = 905, .Kind = FamilyKind::Discrete, .ParameterCount = 2, .Defaults = {5, 0.5L, 5}, .Make = MakeFrom<BinomialDistribution, 2>},
    {.Id = 906, .Kind = FamilyKind::Discrete, .ParameterCount = 1, .Defaults = {5, 5, 5}, .Make = MakeFrom<PoissonDistribution, 1>},
    {.Id = 907, .Kind = FamilyKind::Continuous, .ParameterCount = 1, .Defaults = {5, 5, 5}, .Make = MakeFrom<ChiSquareDistribution, 1>},
    {.Id = 908, .Kind = FamilyKind::Continuous, .ParameterCount = 1, .Defaults = {5, 5, 5}, .Make = MakeFrom<StudentTDistribution, 1>},
    {.Id = 909, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<FDistribution, 2>},
    {.Id = 910, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<BetaDistribution, 2>},
    {.Id = 911, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<GammaDistribution, 2>},
    {.Id = 912, .Kind = FamilyKind::Discrete, .ParameterCount = 3, .Defaults = {10, 5, 3}, .Make = MakeFrom<HypergeometricDistribution, 3>},
    {.Id = 913, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<WeibullDistribution, 2>},
    {.Id = 914, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<LogisticDistribution, 2>},
    {.Id = 915, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<ParetoDistribution, 2>},
    {.Id = 916, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<GumbelDistribution, 2>},
    {.Id = 917, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<CauchyDistribution, 2>},
    {.Id = 918, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<LognormalDistribution, 2>},
    {.Id = 919, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<DoubleExponentialDistribution, 2>},
    {.Id = 920, .Kind = FamilyKind::Discrete, .ParameterCount = 2, .Defaults = {1, 5, 5}, .Make = MakeFrom<DiscreteUniformDistribution, 2>},
    {.Id = 921, .Kind = FamilyKind::Discrete, .ParameterCount = 2, .Defaults = {5, 0.5L, 5}, .Make = MakeFrom<NegativeBinomialDistribution, 2>},
    {.Id = 922, .Kind = FamilyKind::Discrete, .ParameterCount = 1, .Defaults = {0.5L, 5, 5}, .Make = MakeFrom<GeometricDistribution, 1>},
    {.Id = 923, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<NoncentralChiSquareDistribution, 2>},
    {.Id = 924, .Kind = FamilyKind::Continuous, .ParameterCount = 3, .Defaults = {5, 5, 5}, .Make = MakeFrom<NoncentralFDistribution, 3>},
    {.Id = 925, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<NoncentralTDistribution, 2>},
    {.Id = 926, .Kind = FamilyKind::RankTest, .ParameterCount = 1, .Defaults = {5, 5, 5}, .Make = MakeFrom<SignedRankDistribution, 1>},
    {.Id = 927, .Kind = FamilyKind::RankTest, .ParameterCount = 2, .Defaults = {3, 3, 5}, .Make = MakeFrom<MannWhitneyDistribution, 2>},
    {.Id = 928, .Kind = FamilyKind::RankTest, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<RankSumDistribution, 2>},
    {.Id = 929, .Kind = FamilyKind::RankTest, .ParameterCount = 1, .Defaults = {5, 5, 5}, .Apply = ApplyStyle::GroupSizes, .FractionalValues = true, .OneSidedStatistic = true,
     .Make = [](Real, Real, Real) -> std::unique_ptr<Distribution> {
       return std::make_unique<KruskalWallisDistribution>(std::vector<int32_t>{1, 1, 1}, nullptr);
     }},
    {.Id = 930, .Kind = FamilyKind::Continuous, .ParameterCount = 2, .Defaults = {5, 5, 5}, .Make = MakeFrom<InverseGaussianDistribution, 2>},
    {.Id = 931, .Kind = FamilyKind::RankTest, .ParameterCount = 2, .Defaults = {3, 3, 5}, .Apply = ApplyStyle::Blocks, .FractionalValues = true, .OneSidedStatistic = true,
     .Make = [](Real p1, Real p2, Real) -> std::unique_ptr<Distribution> {
       return std::make_unique<FriedmanDistribution>(nullptr, p1, p2);
     }},
    {.Id = 932, .Kind = FamilyKind::Continuous, .ParameterCount = 3, .Defaults = {5, 5, 5}, .Make = MakeFrom<NoncentralBetaDistribution, 3>},
};
// clang-format on
}  // namespace

const std::vector<Family>& Families() { return kFamilies; }

const Family* FindFamily(uint16_t id) {
  const auto it = std::lower_bound(kFamilies.begin(), kFamilies.end(), id,
                                   [](const Family& f, uint16_t v) { return f.Id < v; });
  return it != kFamilies.end() && it->Id == id ? &*it : nullptr;
}

const Family& FamilyOf(const Distribution& d) {
  static const Family blank;
  const Family* f = FindFamily(d.NameId());
  return f ? *f : blank;
}

}  // namespace vokt
