// Non-central chi-square, beta, F and t distributions: values against an
// independent high-precision computation, the parameter protocol, moments,
// symmetries and special points, and robustness at large non-centralities.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "distrib/catalogue.h"
#include "distrib/noncentral_chi2_beta.h"
#include "distrib/noncentral_f_t.h"
#include "numeric/functions.h"
#include "numeric/uniform.h"

namespace vokt {
namespace {

struct Value {
  int type;
  Real p1, p2, p3;
  const char* op;
  Real x, expected;
};

// Computed at 40 digits with mpmath: Poisson sums of the regularized
// incomplete gamma and beta functions over 14 standard deviations of the
// Poisson weights for chi-square, beta and F, and for the t the integral of
// Phi(x s - delta) (or s phi(x s - delta)) over the law of ln s, s = sqrt(V / nu),
// with nodes every 0.1.  The t rows far left of 0 (down to 1e-551) check the
// integrals that replace the cancelling series there.
const Value kValues[] = {
    {923, 5, 1000, 0, "cdf", 500, 4.957247751055926021059021e-21L},
    {923, 5, 1000, 0, "cdf", 1005, 0.5062955091818926841012619L},
    {923, 5, 1000, 0, "pdf", 1005, 0.006297611770462523108200698L},
    {923, 5, 1000, 0, "pdf", 700, 8.48072212418556608276651e-9L},
    {923, 5, 50, 0, "cdf", 1, 7.817483324856425126884342e-12L},
    {923, 5, 50, 0, "pdf", 1, 3.397089643231700954349965e-11L},
    {923, 5, 50, 0, "cdf", 200, 0.9999999999968963109896644L},
    {923, 2000, 50, 0, "cdf", 2050, 0.5042016134717452851134987L},
    {923, 1, 1, 0, "pdf", 0.001L, 7.65178552813760877354994L},
    {923, 1, 1, 0, "cdf", 0.001L, 0.01530357207622192087633596L},
    {923, 5, 10000, 0, "cdf", 9700, 0.06281367180500259915595199L},
    {923, 5, 10000, 0, "pdf", 10005, 0.001994387358767872732834105L},
    {923, 3, 1e-9L, 0, "cdf", 2, 0.4275932953907510002148429L},
    {932, 5, 5, 200, "cdf", 0.9L, 0.01583697363161392389978577L},
    {932, 5, 5, 200, "pdf", 0.97L, 19.75073646268128601479925L},
    {932, 0.5L, 0.5L, 50, "cdf", 0.01L, 1.049320957075063415163794e-12L},
    {932, 0.5L, 0.5L, 50, "pdf", 0.99L, 21.96956447338696785219964L},
    {932, 2000, 3, 50, "cdf", 0.998L, 0.2300077649249328094220656L},
    {932, 2000, 3, 50, "pdf", 0.998L, 289.1753626664767416061323L},
    {932, 5, 5, 10000, "cdf", 0.999L, 0.4389153438677157174722713L},
    {932, 5, 5, 10000, "pdf", 0.999L, 877.3305379175912711286696L},
    {924, 5, 5, 50, "cdf", 10, 0.3818673378616619256063297L},
    {924, 5, 5, 50, "pdf", 10, 0.05561946936387758281784842L},
    {924, 2000, 5, 1, "cdf", 1.2L, 0.5255562043893450890324594L},
    {924, 5, 2000, 1, "pdf", 1.2L, 0.5139427524650481868603082L},
    {924, 3, 7, 5, "cdf", 300, 0.9999984550781062288011755L},
    {924, 5, 5, 10000, "cdf", 2000, 0.41569719486026004411429L},
    {925, 5, 1, 0, "cdf", -5, 0.0001671837132856297061316226L},
    {925, 5, 1, 0, "pdf", -5, 0.0001502574599744100720816893L},
    {925, 5, 1, 0, "cdf", -100, 6.847134711172974099316061e-11L},
    {925, 5, 1, 0, "pdf", -100, 3.422570822258991595689e-12L},
    {925, 10, -2, 0, "cdf", 0.5L, 0.9932996155208739906215622L},
    {925, 0.5L, 3, 0, "cdf", -10, 0.0001583215325860235514358105L},
    {925, 0.5L, 3, 0, "pdf", 10, 0.02045060123097931947101641L},
    {925, 5, 10, 0, "pdf", -1, 5.449436753201393001156394e-26L},
    {925, 10, 50, 0, "pdf", -0.5L, 8.57923109840501444680231e-551L},
    {925, 10, 8, 0, "cdf", -2, 6.38441644422225618325375e-21L},
    {925, 3, 20, 0, "cdf", -0.2L, 1.750922109098901611979317e-90L},
    {925, 0.01L, 5, 0, "cdf", -3, 2.70786654252307898837427720616e-7L},
    {925, 2000, 50, 0, "cdf", 49, 0.2131354745986990914773708L},
    {925, 2000, 50, 0, "pdf", 51, 0.2287425513083236885507097L},
    {925, 5, 100, 0, "cdf", 100, 0.4159411559279203453596077L},
    {925, 1, -3, 0, "pdf", 2, 0.00007263519600900710065599248L},
};

std::unique_ptr<Distribution> Make(int type, Real p1, Real p2, Real p3) {
  auto d = CreateDistribution(static_cast<uint16_t>(type));
  d->SetParameters(p1, p2, p3);
  return d;
}

std::string Message(const std::function<void()>& f) {
  try {
    f();
  } catch (const ArgumentError& e) {
    return e.what();
  }
  return "";
}

TEST(NonCentral, AgreesWithHighPrecisionValues) {
  for (const Value& v : kValues) {
    auto d = Make(v.type, v.p1, v.p2, v.p3);
    const bool cdf = std::string(v.op) == "cdf";
    const Real got = cdf ? d->Cdf(v.x) : d->Density(v.x);
    EXPECT_NEAR(got / v.expected, 1, 1e-13L)
        << v.type << " (" << (double)v.p1 << ", " << (double)v.p2 << ", " << (double)v.p3 << ") "
        << v.op << " " << (double)v.x;
  }
}

// The 50-digit table of tests/data/noncentral_closed_form_reference.csv
// (generator: tests/data/gen_noncentral_closed_form.py, mpmath): every family
// of this group, both tails, densities and both quantiles, far into the tails.
// Relative error at most 1e-15 for probabilities and densities (1e-13 for
// the non-central chi-square, beta and F) wherever the value is above 1e-300
// (non-central: 1e-4900), and 1e-14 for quantiles (1e-13 non-central; the
// non-central t's far quantiles, |x| up to 1e3993, 2e-15); smaller values
// within 1e-10.
TEST(ReferenceTable, FiftyDigitValuesOfEveryFamilyHere) {
  std::ifstream in(std::string(VOKT_TEST_DATA) + "/noncentral_closed_form_reference.csv");
  ASSERT_TRUE(in.good());
  std::string line;
  std::getline(in, line);  // header
  int rows = 0;
  while (std::getline(in, line)) {
    std::stringstream ss(line);
    std::string f[7];
    for (auto& field : f) std::getline(ss, field, ',');
    const int type = std::stoi(f[0]);
    const Real p1 = std::strtold(f[1].c_str(), nullptr), p2 = std::strtold(f[2].c_str(), nullptr),
               p3 = std::strtold(f[3].c_str(), nullptr);
    const Real x = std::strtold(f[5].c_str(), nullptr);
    const Real want = std::strtold(f[6].c_str(), nullptr);
    const std::string& op = f[4];
    auto d = Make(type, p1, p2, p3);
    Real got;
    if (op == "cdf")
      got = d->Cdf(x);
    else if (op == "sf")
      got = d->UpperTail(x);
    else if (op == "pdf")
      got = d->Density(x);
    else if (op == "quantile") {
      Real p = x;
      got = d->Quantile(p).X;
    } else {
      got = d->UpperQuantile(x);
    }
    const bool nc = type == 923 || type == 924 || type == 925 || type == 932;
    const bool quantile = op == "quantile" || op == "isf";
    Real tol = nc ? 1e-13L : (quantile ? 1e-14L : 1e-15L);
    if (type == 925) tol = quantile ? 2e-15L : 1e-15L;
    if (!quantile && std::fabs(want) < (nc ? 1e-4900L : 1e-300L)) tol = 1e-10L;
    const Real err = want == 0 ? std::fabs(got) : std::fabs(got / want - 1);
    EXPECT_LE(err, tol) << line << "  got " << std::setprecision(21) << got;
    ++rows;
  }
  EXPECT_GT(rows, 200);
}

TEST(NonCentral, ParameterChecks) {
  struct Case {
    int type;
    Real p1, p2, p3;
    const char* message;  // "" when accepted
  };
  const Case cases[] = {
      {923, 2.5L, 0, 0, ""},  // the central path takes a real nu
      {923, 2.5L, 1, 0, "Value should be integer."},
      {923, 0, 1, 0, "Value should be greater than 0"},
      {923, 0, 0, 0, "Value should be greater than 0"},
      {923, 3, -1, 0, "Second parameter should be greater than -0.000000000005"},
      {923, 3, 2e7L, 0, "Numbers too large."},
      {923, 3, NAN, 0, "Second parameter should be greater than -0.000000000005"},
      {932, 2, 3, -1, "Third parameter should be greater than -0.00000000001"},
      {932, 0, 3, 0, "Value should be greater than 0"},
      {932, 2, 3, 1e300L, "Numbers too large."},
      {932, 2, 3, 2e7L, "Numbers too large."},
      {924, 5, 5, 0, ""},
      {924, 5, 5, -1, "Third parameter should be greater than -0.000000000005"},
      {924, 5, 0, 0, "Second parameter should be greater than 0"},
      {924, 5, 5, 2e7L, "Numbers too large."},
      {925, 0, 1, 0, "Value should be greater than 0"},
      {925, 0, 0, 0, "Value should be greater than 0"},
      {925, 5, -3001, 0, "Numbers too large."},
      {925, 5, INFINITY, 0, "Numbers too large."},
      {924, 5, INFINITY, 1, "Numbers too large."},
      {925, 5, -1e6L, 0, "Numbers too large."},
      {925, 1e300L, 0, 0, ""},  // any finite value the mathematics allows
      {923, 1e300L, 0, 0, ""},
      {924, 1e300L, 1e300L, 2, ""},
  };
  for (const Case& c : cases) {
    auto d = CreateDistribution(static_cast<uint16_t>(c.type));
    std::string m = Message([&] { d->SetParameters(c.p1, c.p2, c.p3); });
    EXPECT_EQ(m, c.message) << c.type << " (" << (double)c.p1 << ", " << (double)c.p2 << ", "
                            << (double)c.p3 << ")";
    // A refusal on the central path leaves every parameter in the grid.
    EXPECT_EQ(d->ParCount(), c.type == 923 || c.type == 925 ? 2 : 3) << c.type;
  }
}

TEST(NonCentral, ZeroNonCentralityIsTheCentralFamily) {
  NoncentralChiSquareDistribution chi(2.5L, 0);
  EXPECT_EQ(chi.Par()[1].Value, 2.5L);
  EXPECT_FALSE(chi.Par()[1].IsInteger);
  EXPECT_EQ(chi.Par()[2].Value, 0);
  NoncentralBetaDistribution beta(2, 3, 0);
  NoncentralFDistribution f(4, 9, 0);
  NoncentralTDistribution t(6, 0);
  // The central paths are the kernel's functions, both tails.
  for (Real x : {0.05L, 0.3L, 0.7L, 1.5L, 4.0L, 12.0L}) {
    EXPECT_NEAR(chi.Cdf(x), GammaLower(1.25L, x / 2), 1e-18L);
    EXPECT_NEAR(chi.UpperTail(x), GammaUpper(1.25L, x / 2), 1e-18L * GammaUpper(1.25L, x / 2));
    EXPECT_NEAR(f.Cdf(x), BetaLower(2, 4.5L, 4 * x / (4 * x + 9)), 1e-18L);
    const Real tu = BetaLower(3, 0.5L, 6 / (x * x + 6)) / 2;
    EXPECT_NEAR(t.UpperTail(x), tu, 1e-17L * tu);
    EXPECT_NEAR(t.Cdf(-x), tu, 1e-17L * tu);
    EXPECT_NEAR(t.Cdf(x), 1 - tu, 1e-18L);
    if (x < 1) {
      EXPECT_NEAR(beta.Cdf(x), BetaLower(2, 3, x), 1e-18L);
      EXPECT_NEAR(beta.UpperTail(x), BetaUpper(2, 3, x), 1e-17L * BetaUpper(2, 3, x));
    }
  }
  // A tiny non-centrality runs the series and lands on the same numbers.
  NoncentralBetaDistribution nearly(2, 3, 1e-9L);
  for (Real x : {0.1L, 0.5L, 0.9L}) EXPECT_NEAR((double)nearly.Cdf(x), (double)beta.Cdf(x), 1e-9);
  EXPECT_EQ(Make(925, 6, 0, 0)->Density(0), Make(925, 6, 0, 0)->Density(-0.0L));
}

TEST(NonCentral, Moments) {
  NoncentralChiSquareDistribution chi(4, 2);
  EXPECT_EQ(chi.Mean(), 6);
  EXPECT_EQ(chi.Variance(), 16);
  EXPECT_EQ(chi.Density(0), 0);
  // The non-central beta's moments are those of the mixture: check them
  // against the integrals of x f(x) and x^2 f(x) (Simpson on a fine grid).
  for (Real lambda : {0.0L, 1.0L, 50.0L, 400.0L}) {
    NoncentralBetaDistribution b(2, 3, lambda);
    const int n = 20000;
    Real m1 = 0, m2 = 0;
    for (int i = 0; i <= n; ++i) {
      const Real x = Real(i) / n, w = (i == 0 || i == n) ? 1 : (i % 2 ? 4 : 2);
      const Real f = b.Density(x);
      m1 += w * x * f;
      m2 += w * x * x * f;
    }
    m1 /= 3 * n;
    m2 /= 3 * n;
    EXPECT_NEAR((double)b.Mean(), (double)m1, 1e-9) << (double)lambda;
    EXPECT_NEAR((double)b.Variance(), (double)(m2 - m1 * m1), 1e-9) << (double)lambda;
  }
  NoncentralBetaDistribution b0(2, 3, 0);
  EXPECT_NEAR((double)b0.Mean(), 0.4, 1e-18);
  EXPECT_NEAR((double)b0.Variance(), 0.04, 1e-18);

  NoncentralFDistribution f2(3, 2, 1), f3(3, 3, 1), f9(4, 9, 2);
  EXPECT_FALSE(f2.HasMean());
  EXPECT_TRUE(f3.HasMean());
  EXPECT_FALSE(f3.HasVariance());
  EXPECT_NEAR((double)f9.Mean(), 6.0 * 9 / (7 * 4), 1e-15);
  EXPECT_NEAR((double)f9.Variance(), 2 * (81.0 / 16) * (36 + 8 * 7) / (49.0 * 5), 1e-14);

  NoncentralTDistribution t(10, 1);
  const double mean = std::sqrt(5.0) * std::exp(std::lgamma(4.5) - std::lgamma(5.0));
  EXPECT_NEAR((double)t.Mean(), mean, 1e-15);
  EXPECT_NEAR((double)t.Variance(), 2 * 10.0 / 8 - mean * mean, 1e-14);
  EXPECT_FALSE(NoncentralTDistribution(1, 1).HasMean());
  EXPECT_FALSE(NoncentralTDistribution(2, 1).HasVariance());
}

TEST(NonCentral, TSymmetryAndSpecialPoints) {
  for (Real nu : {0.7L, 3.0L, 30.0L})
    for (Real delta : {0.5L, 2.0L, 9.0L}) {
      NoncentralTDistribution pos(nu, delta), neg(nu, -delta), central(nu, 0);
      for (Real x : {-7.0L, -1.0L, 0.0L, 0.4L, 2.0L, 15.0L}) {
        EXPECT_NEAR((double)neg.Cdf(x), (double)(1 - pos.Cdf(-x)), 1e-18);
        EXPECT_EQ(neg.Density(x), pos.Density(-x));
      }
      EXPECT_NEAR((double)pos.Cdf(0), 0.5 * std::erfc(delta / std::sqrt(2.0L)), 1e-17);
      // The central density's constant comes from the kernel's log-gamma.
      EXPECT_NEAR((double)pos.Density(0),
                  (double)(std::exp(-delta * delta / 2) * central.Density(0)),
                  1e-10 * (double)central.Density(0));
    }
}

TEST(NonCentral, SupportEnds) {
  NoncentralBetaDistribution b(1, 3, 2);
  EXPECT_FALSE(b.InSupport(0));
  EXPECT_FALSE(b.InSupport(1));
  EXPECT_EQ(b.Density(0), 0);
  EXPECT_EQ(b.Cdf(0), 0);
  EXPECT_EQ(b.Cdf(1), 1);
  NoncentralFDistribution m1(1, 5, 2), m15(1.5L, 5, 2), m2(2, 5, 2), m2c(2, 5, 0);
  EXPECT_FALSE(m1.InSupport(0));
  EXPECT_TRUE(m15.InSupport(0));
  EXPECT_EQ(m15.Density(0), 0);
  // The F(2, n) density starts at e^(-lambda/2), 1 for the central F.
  EXPECT_NEAR((double)m2.Density(0), std::exp(-1.0), 1e-18);
  EXPECT_EQ(m2c.Density(0), 1);
  EXPECT_NEAR((double)m2.Density(1e-9L), std::exp(-1.0), 1e-8);
  NoncentralChiSquareDistribution chi2(2, 3);
  EXPECT_NEAR((double)chi2.Density(0), std::exp(-1.5) / 2, 1e-18);
  EXPECT_NEAR((double)chi2.Density(1e-12L), std::exp(-1.5) / 2, 1e-12);
  EXPECT_EQ(m1.Label(1, 2), "@n_21^");
  EXPECT_EQ(m1.Label(2, 2), "@n_22^");
  EXPECT_EQ(m1.Label(3, 2), "@l_2^");
  EXPECT_EQ(m1.Label(3, 0), "@l");
}

// Large non-centralities: the distribution functions stay monotone within
// [0, 1], the densities are their derivatives, and quantiles invert them.
TEST(NonCentral, LargeNonCentralities) {
  struct Set {
    int type;
    Real p1, p2, p3;
  };
  const Set sets[] = {{923, 3, 1e7L, 0}, {932, 2, 5, 1e7L}, {924, 4, 30, 1e6L},
                      {925, 8, 3000, 0}, {925, 8, -400, 0}, {923, 1, 1e-8L, 0}};
  for (const Set& s : sets) {
    auto d = Make(s.type, s.p1, s.p2, s.p3);
    const GraphRange r = d->Range();
    Real prev = 0;
    for (int i = 0; i <= 40; ++i) {
      const Real x = r.Left + (r.Right - r.Left) * i / 40;
      const Real c = d->Cdf(x);
      ASSERT_TRUE(c >= 0 && c <= 1) << s.type << " x=" << (double)x;
      EXPECT_GE(c, prev - 1e-15L) << s.type << " x=" << (double)x;
      prev = c;
    }
    for (Real p : {0.01L, 0.5L, 0.99L}) {
      Real q = p;
      const Real x = d->Quantile(q).X;
      EXPECT_NEAR((double)d->Cdf(x), (double)p, 1e-9) << s.type;
      const Real h = std::min(d->StdDev() * 1e-3L, (x - d->SupportLow()) / 1000);
      const Real d1 = d->Cdf(x + h) - d->Cdf(x - h), d2 = d->Cdf(x + 2 * h) - d->Cdf(x - 2 * h);
      const Real deriv = (8 * d1 - d2) / (12 * h);
      EXPECT_NEAR((double)deriv, (double)d->Density(x), 1e-5 * (double)d->Density(x)) << s.type;
    }
  }
}

// The direct generators against the series cdfs (Kolmogorov-Smirnov at the
// 0.1% level), over every branch: k >= 1 and the Poisson mixture below 1,
// tiny and large non-centralities, t with nu < 1 and negative delta.
TEST(NonCentral, RandomValuesFollowTheCdf) {
  struct Set {
    int type;
    Real p1, p2, p3;
  };
  const Set sets[] = {{923, 1, 3, 0},     {923, 7, 1e4L, 0},   {923, 2.5L, 0, 0},
                      {932, 0.3L, 2, 5},  {932, 4, 0.7L, 300}, {932, 2, 3, 1e-6L},
                      {924, 0.6L, 4, 20}, {924, 5, 30, 2},     {925, 0.5L, 2, 0},
                      {925, 12, -3, 0},   {925, 3, 40, 0},     {924, 3, 1500, 1}};
  RandomEngine engine(4711);
  const int n = 20000;
  for (const Set& s : sets) {
    auto d = Make(s.type, s.p1, s.p2, s.p3);
    std::vector<Real> xs(n);
    for (Real& x : xs) x = d->RandomValue(engine);
    std::sort(xs.begin(), xs.end());
    Real dmax = 0;
    for (int i = 0; i < n; ++i) {
      const Real c = d->Cdf(xs[i]);
      dmax = std::max({dmax, c - Real(i) / n, Real(i + 1) / n - c});
    }
    EXPECT_LT((double)dmax, 1.9495 / std::sqrt((double)n))
        << s.type << " (" << (double)s.p1 << ", " << (double)s.p2 << ", " << (double)s.p3 << ")";
  }
}

}  // namespace
}  // namespace vokt

namespace vokt {
namespace {

// Evaluating changes nothing a reader sees: the density maximum of a family
// that gives no mode is searched once and kept aside, the records stay, and a
// parameter change starts the search afresh.
TEST(NonCentral, EvaluationLeavesTheDistributionAsItWas) {
  struct Case {
    Real p1, p2, next1, next2;
  };
  for (const Case c : {Case{4, 2, 10, 5}, Case{6, 1, 30, 100}}) {
    NoncentralChiSquareDistribution d(c.p1, c.p2);
    const Real mode = d.Mode(), maxDens = d.MaxDens();
    const Real height = d.MaxDensity();
    EXPECT_EQ(d.Mode(), mode);
    EXPECT_EQ(d.MaxDens(), maxDens);
    EXPECT_EQ(d.MaxDensity(), height);
    // The mode found is the highest point of the search.
    const Real m = d.ModeValue();
    ASSERT_TRUE(d.InSupport(m)) << (double)c.p1;
    EXPECT_NEAR((double)d.Density(m), (double)height, 1e-12 * (double)height);
    EXPECT_LT(d.Density(m + 0.5L), height);
    EXPECT_LT(d.Density(m - 0.5L), height);
    // A quantile neither writes into its argument nor into the object.
    const Real p = 0.3L;
    const QuantileResult q = d.Quantile(p);
    EXPECT_EQ(q.Probability, p);
    EXPECT_NEAR((double)d.Cdf(q.X), 0.3, 1e-15);
    d.SetParameters(c.next1, c.next2, 0);
    const Real next = d.MaxDensity();
    EXPECT_NE(next, height);
    EXPECT_NEAR((double)d.Density(d.ModeValue()), (double)next, 1e-12 * (double)next);
  }
}

// Far out the non-central t's tails follow a power law, P(T > x) ~ C x^(-nu)
// (and P(T <= -x) likewise): one decade further out divides a tail by
// 10^nu.  Both sides of |x| = 1e2400, where the lower tail's integral takes
// its limit form, up to 1e4900 and infinity: no error, both tails summing to
// 1, the power law wherever both tails are representable.
TEST(NoncentralT, PowerLawTailsFarOut) {
  const Real nus[] = {0.1L, 0.5L, 1, 2.5L, 7, 1e3L, 1e6L};
  const Real deltas[] = {-40, -3, -0.5L, 0.5L, 3, 40};
  const Real xs[] = {1e300L, 1e2000L, 1e2399L, 1e2401L, 1e2466L, 1e2500L, 1e4000L, 1e4900L};
  for (Real nu : nus) {
    for (Real delta : deltas) {
      NoncentralTDistribution t(nu, delta);
      for (Real ax : xs) {
        for (Real x : {ax, -ax}) {
          SCOPED_TRACE(::testing::Message() << "nu " << (double)nu << " delta " << (double)delta
                                            << " x " << std::setprecision(6) << x);
          Real cdf = -1, sf = -1, far = -1;
          ASSERT_NO_THROW(cdf = t.Cdf(x));
          ASSERT_NO_THROW(sf = t.UpperTail(x));
          ASSERT_NO_THROW(t.Density(x));
          EXPECT_NEAR(cdf + sf, 1, 2e-18L);
          // The tail beyond x and the one a decade further out.
          const Real tail = x > 0 ? sf : cdf;
          ASSERT_NO_THROW(far = x > 0 ? t.UpperTail(10 * x) : t.Cdf(10 * x));
          if (tail > 1e-4890L && far > 1e-4890L) {
            EXPECT_NEAR(far / tail * std::pow(10.0L, nu), 1, 1e-14L);
          }
        }
      }
      for (Real x : {-INFINITY, INFINITY}) {
        EXPECT_EQ(t.Cdf(x), x > 0 ? 1 : 0);
        EXPECT_EQ(t.UpperTail(x), x > 0 ? 0 : 1);
      }
    }
  }
}

// Quantiles the solver once lost: the density the tail's sums give on the
// way stopped with the tail's terms and came out 1e-880 times too small,
// and the Newton step went to -1e881 (the first row); the lower tail's
// integral lost its peak far out for small nu (the others).  The tail
// reached must be the one asked for.
TEST(NoncentralT, QuantilesFarIntoTheTails) {
  struct Case {
    Real nu, delta, p;
    bool upper;
  };
  const Case cases[] = {
      {1948.28L, -35.564L, 1.3264e-286L, true},
      {1948.28L, 35.564L, 1.3264e-286L, false},
      {1e6L, 35.564L, 1e-280L, true},
      {1e6L, 50, 1e-300L, true},
      {0.5L, -3, 1e-2000L, true},
      {0.5L, 3, 1e-2000L, false},
      {0.3L, -3, 1e-600L, true},
      {0.3L, 3, 1e-700L, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "nu " << (double)c.nu << " delta " << (double)c.delta
                                      << " p " << (double)c.p << (c.upper ? " upper" : " lower"));
    NoncentralTDistribution t(c.nu, c.delta);
    Real x = 0;
    ASSERT_NO_THROW(x = c.upper ? t.UpperQuantile(c.p) : t.InverseCdf(c.p));
    ASSERT_TRUE(std::isfinite(x));
    const Real reached = c.upper ? t.UpperTail(x) : t.Cdf(x);
    EXPECT_NEAR(reached / c.p, 1, 1e-15L);
  }
}

// Just left of 0 the lower tail is Phi(-delta) less |x| phi(delta) E[s]: at
// |x| = 1e-300 it is Phi(-delta) to every digit, for small nu too (where the
// integral's walk once ended at its peak and lost eight digits).
TEST(NoncentralT, LowerTailJustLeftOfZero) {
  const Real nus[] = {0.1L, 0.3L, 2, 30, 1948.28L};
  const Real deltas[] = {3, 10, 35.564L, 50};
  for (Real nu : nus) {
    for (Real delta : deltas) {
      NoncentralTDistribution t(nu, delta);
      const Real want = NormalUpper(delta);
      EXPECT_NEAR(t.Cdf(-1e-300L) / want, 1, 1e-17L) << (double)nu << " " << (double)delta;
      NoncentralTDistribution mirror(nu, -delta);
      EXPECT_NEAR(mirror.UpperTail(1e-300L) / want, 1, 1e-17L)
          << (double)nu << " " << (double)delta;
    }
  }
}

}  // namespace
}  // namespace vokt
