#include "distrib/catalogue.h"

#include <algorithm>
#include <cctype>

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
#include "resources/strings.h"

namespace vokt {

namespace {
std::unique_ptr<Distribution> Construct(uint16_t t, Real p1, Real p2, Real p3) {
  (void)p3;
  switch (t) {
    case 901:
      return std::make_unique<NormalDistribution>(p1, p2);
    case 902:
      return std::make_unique<ExponentialDistribution>(p1);
    case 903:
      return std::make_unique<UniformDistribution>(p1, p2);
    case 904:
      return std::make_unique<BernoulliDistribution>(p1);
    case 905:
      return std::make_unique<BinomialDistribution>(p1, p2);
    case 906:
      return std::make_unique<PoissonDistribution>(p1);
    case 907:
      return std::make_unique<ChiSquareDistribution>(p1);
    case 908:
      return std::make_unique<StudentTDistribution>(p1);
    case 909:
      return std::make_unique<FDistribution>(p1, p2);
    case 910:
      return std::make_unique<BetaDistribution>(p1, p2);
    case 911:
      return std::make_unique<GammaDistribution>(p1, p2);
    case 912:
      return std::make_unique<HypergeometricDistribution>(p1, p2, p3);
    case 913:
      return std::make_unique<WeibullDistribution>(p1, p2);
    case 914:
      return std::make_unique<LogisticDistribution>(p1, p2);
    case 915:
      return std::make_unique<ParetoDistribution>(p1, p2);
    case 916:
      return std::make_unique<GumbelDistribution>(p1, p2);
    case 917:
      return std::make_unique<CauchyDistribution>(p1, p2);
    case 918:
      return std::make_unique<LognormalDistribution>(p1, p2);
    case 919:
      return std::make_unique<DoubleExponentialDistribution>(p1, p2);
    case 920:
      return std::make_unique<DiscreteUniformDistribution>(p1, p2);
    case 921:
      return std::make_unique<NegativeBinomialDistribution>(p1, p2);
    case 922:
      return std::make_unique<GeometricDistribution>(p1);
    case 923:
      return std::make_unique<NoncentralChiSquareDistribution>(p1, p2);
    case 924:
      return std::make_unique<NoncentralFDistribution>(p1, p2, p3);
    case 925:
      return std::make_unique<NoncentralTDistribution>(p1, p2);
    case 926:
      return std::make_unique<SignedRankDistribution>(p1);
    case 927:
      return std::make_unique<MannWhitneyDistribution>(p1, p2);
    case 928:
      return std::make_unique<RankSumDistribution>(p1, p2);
    case 929:
      return std::make_unique<KruskalWallisDistribution>(std::vector<int32_t>{1, 1, 1}, nullptr);
    case 930:
      return std::make_unique<InverseGaussianDistribution>(p1, p2);
    case 931:
      return std::make_unique<FriedmanDistribution>(nullptr, p1, p2);
    case 932:
      return std::make_unique<NoncentralBetaDistribution>(p1, p2, p3);
    default:
      return nullptr;
  }
}

void Defaults(uint16_t t, Real& p1, Real& p2, Real& p3) {
  p1 = p2 = p3 = 5;
  switch (t) {
    case 901:
      p1 = 0;
      p2 = 1;
      p3 = 1;
      break;
    case 903:
      p1 = 0;
      break;
    case 904:
    case 922:
      p1 = 0.5L;
      break;
    case 905:
    case 921:
      p2 = 0.5L;
      break;
    case 912:
      p1 = 10;
      p2 = 5;
      p3 = 3;
      break;
    case 920:
      p1 = 1;
      break;
    case 927:
    case 931:
      p1 = 3;
      p2 = 3;
      break;
    default:
      break;
  }
}

std::string Canonical(const std::string& s) {
  std::string r;
  for (char c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '-' || c == '_' || c == ' ') {
      if (!r.empty() && r.back() != ' ') r += ' ';
    } else {
      r += static_cast<char>(std::tolower(u));
    }
  }
  while (!r.empty() && r.back() == ' ') r.pop_back();
  return r;
}
}  // namespace

std::unique_ptr<Distribution> CreateDistribution(uint16_t t, const std::array<Parameter, 4>& values,
                                                 bool useDefaults) {
  Real p1, p2, p3;
  if (useDefaults) {
    Defaults(t, p1, p2, p3);
  } else {
    p1 = values[1].Value;
    p2 = values[2].Value;
    p3 = values[3].Value;
  }
  std::unique_ptr<Distribution> d = Construct(t, p1, p2, p3);
  if (!d) return std::make_unique<Distribution>();
  for (int i = 1; i <= d->ParCount; ++i) {
    d->Par[i].Unset = useDefaults ? true : values[i].Unset;
    d->Par[i].RangeHint = LoadString(d->NameId + 1000 + 100 * i);
  }
  return d;
}

std::unique_ptr<Distribution> CreateDistribution(uint16_t t) {
  return CreateDistribution(t, {}, true);
}

bool TypeAvailable(uint16_t t) {
  // Built once: constructing a type runs its tables and enumerations.
  static const std::vector<bool> available = [] {
    std::vector<bool> v(kLastType + 1, false);
    for (uint16_t id = kFirstType; id <= kLastType; ++id) {
      Real p1, p2, p3;
      Defaults(id, p1, p2, p3);
      v[id] = Construct(id, p1, p2, p3) != nullptr;
    }
    return v;
  }();
  return t >= kFirstType && t <= kLastType && available[t];
}

std::vector<uint16_t> AvailableTypes() {
  std::vector<uint16_t> r;
  for (uint16_t t = kFirstType; t <= kLastType; ++t)
    if (TypeAvailable(t)) r.push_back(t);
  return r;
}

uint16_t FindType(const std::string& text) {
  std::string key = Canonical(text);
  if (key.empty()) return 0;
  if (std::all_of(key.begin(), key.end(),
                  [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
    if (key.size() > 4) return 0;
    int id = std::stoi(key);
    return (id >= kFirstType && id <= kLastType && TypeAvailable(static_cast<uint16_t>(id)))
               ? static_cast<uint16_t>(id)
               : 0;
  }
  for (uint16_t t = kFirstType; t <= kLastType; ++t)
    if (Canonical(LoadString(t)) == key && TypeAvailable(t)) return t;
  return 0;
}

}  // namespace vokt
