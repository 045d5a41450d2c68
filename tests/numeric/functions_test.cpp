// The special functions against 50-digit mpmath values
// (tests/data/functions_reference.csv, made by functions_reference.py): both
// tails of the incomplete gamma and beta functions at tiny and huge shapes,
// the normal tails to 1e-4900, log-gamma and Loader's helpers; the inverses
// recover the arguments from both tails.
#include "numeric/functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace vokt {
namespace {

struct Row {
  std::string name;
  Real a, b, x, value;
  std::string text;
};

std::vector<Row> ReadTable() {
  std::ifstream in(std::string(VOKT_TEST_DATA) + "/functions_reference.csv");
  std::vector<Row> rows;
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::stringstream ss(line);
    std::string f[5];
    for (auto& s : f) std::getline(ss, s, ',');
    rows.push_back({f[0], std::strtold(f[1].c_str(), nullptr), std::strtold(f[2].c_str(), nullptr),
                    std::strtold(f[3].c_str(), nullptr), std::strtold(f[4].c_str(), nullptr),
                    line});
  }
  return rows;
}

const std::vector<Row>& Table() {
  static const std::vector<Row> rows = ReadTable();
  return rows;
}

Real RelErr(Real got, Real want) {
  if (got == want) return 0;
  return std::fabs(got - want) / std::fabs(want);
}

using Fn = std::function<Real(const Row&)>;

const std::map<std::string, std::pair<Fn, Real>>& Functions() {
  // Function and its relative tolerance.  Values that are themselves
  // differences of logarithms (Bd0, the log weights) carry the absolute
  // rounding of their terms; the probabilities are held to 1e-16.
  static const std::map<std::string, std::pair<Fn, Real>> f = {
      {"LogGamma", {[](const Row& r) { return LogGamma(r.x); }, 1e-17L}},
      {"LogGammaRatio", {[](const Row& r) { return LogGammaRatio(r.a, r.b); }, 1e-15L}},
      {"LogChoose", {[](const Row& r) { return LogChoose(r.a, r.b); }, 1e-16L}},
      {"GammaLower", {[](const Row& r) { return GammaLower(r.a, r.x); }, 5e-16L}},
      {"GammaUpper", {[](const Row& r) { return GammaUpper(r.a, r.x); }, 5e-16L}},
      {"BetaLower", {[](const Row& r) { return BetaLower(r.a, r.b, r.x); }, 5e-16L}},
      {"BetaUpper", {[](const Row& r) { return BetaUpper(r.a, r.b, r.x); }, 5e-16L}},
      {"NormalLower", {[](const Row& r) { return NormalLower(r.x); }, 1e-16L}},
      {"NormalUpper", {[](const Row& r) { return NormalUpper(r.x); }, 1e-16L}},
      {"NormalDensity", {[](const Row& r) { return NormalDensity(r.x); }, 1e-16L}},
      {"Erf", {[](const Row& r) { return Erf(r.x); }, 1e-17L}},
      {"Erfc", {[](const Row& r) { return Erfc(r.x); }, 1e-16L}},
      {"Bd0", {[](const Row& r) { return Bd0(r.a, r.b); }, 1e-16L}},
      // Added to logarithms: 3e-18 absolute at its largest values.
      {"StirlingError", {[](const Row& r) { return StirlingError(r.x); }, 5e-16L}},
      {"LogPoissonWeight", {[](const Row& r) { return LogPoissonWeight(r.a, r.b); }, 1e-16L}},
      {"LogBinomialWeight",
       {[](const Row& r) { return LogBinomialWeight(r.x, r.a, r.b, 1 - r.b); }, 1e-15L}},
      {"Log1pmx", {[](const Row& r) { return Log1pmx(r.x); }, 1e-17L}},
  };
  return f;
}

TEST(SpecialTest, TableHasEveryFunction) {
  std::map<std::string, int> count;
  for (const Row& r : Table()) ++count[r.name];
  ASSERT_GT(Table().size(), 400u);
  for (const auto& [name, fn] : Functions()) EXPECT_GT(count[name], 0) << name;
  for (const auto& [name, n] : count) EXPECT_TRUE(Functions().count(name)) << name;
}

TEST(SpecialTest, MatchesMpmath) {
  int failures = 0;
  for (const Row& r : Table()) {
    auto it = Functions().find(r.name);
    if (it == Functions().end()) continue;
    const Real got = it->second.first(r);
    const Real err = RelErr(got, r.value);
    Real tol = it->second.second;
    // Boost's incomplete gamma at shapes of 1e4 and more (Temme's uniform
    // expansion) holds about 5e-15 in the far tails.
    if ((r.name == "GammaLower" || r.name == "GammaUpper") && r.a >= 1e4L) tol = 1e-14L;
    if (!(err <= tol)) {
      ++failures;
      ADD_FAILURE() << r.text << "\n  got " << static_cast<double>(got) << " relative error "
                    << static_cast<double>(err);
    }
  }
  EXPECT_EQ(failures, 0);
}

// The inverses give back the argument from either tail wherever the tail
// determines it well (the condition number x f(x) / p is not huge).
TEST(SpecialTest, InversesRecoverArguments) {
  for (const Row& r : Table()) {
    try {
      if (r.value < 1e-4000L || r.value > 0.5L) continue;
      Real x = r.x, got = 0, cond = 0;
      if (r.name == "GammaLower" || r.name == "GammaUpper") {
        got = r.name == "GammaLower" ? GammaLowerInv(r.a, r.value) : GammaUpperInv(r.a, r.value);
        // d ln p / d ln x = x^a e^-x / (Gamma(a) p)
        cond = std::exp(r.a * std::log(x) - x - LogGamma(r.a)) / r.value;
      } else if (r.name == "BetaLower" || r.name == "BetaUpper") {
        got = r.name == "BetaLower" ? BetaLowerInv(r.a, r.b, r.value)
                                    : BetaUpperInv(r.a, r.b, r.value);
        cond = std::exp(r.a * std::log(x) + r.b * std::log1p(-x) + LogGamma(r.a + r.b) -
                        LogGamma(r.a) - LogGamma(r.b)) /
               (1 - x) / r.value;
      } else if (r.name == "NormalLower" || r.name == "NormalUpper") {
        got = r.name == "NormalLower" ? NormalLowerInv(r.value) : NormalUpperInv(r.value);
        cond = std::fabs(x) * NormalDensity(x) / r.value;
      } else {
        continue;
      }
      // A relative error e in p moves x by e / cond relatively; the table's
      // p carries 1e-19 and the inverse a few units more.
      const Real tol = 2e-15L * std::max<Real>(1, 1 / std::max<Real>(cond, 1e-300L));
      if (x == 0 || std::fabs(x) < 1e-290L) continue;
      EXPECT_LE(RelErr(got, x), tol) << r.text << " got " << static_cast<double>(got);
    } catch (const std::exception& e) {
      ADD_FAILURE() << r.text << ": " << e.what();
    }
  }
}

TEST(SpecialTest, EndsAndDomain) {
  const Real inf = std::numeric_limits<Real>::infinity();
  EXPECT_EQ(GammaLower(2, 0), 0);
  EXPECT_EQ(GammaUpper(2, 0), 1);
  EXPECT_EQ(GammaLower(2, inf), 1);
  EXPECT_EQ(GammaUpper(2, inf), 0);
  EXPECT_EQ(BetaLower(2, 3, 0), 0);
  EXPECT_EQ(BetaUpper(2, 3, 1), 0);
  EXPECT_EQ(NormalLower(-inf), 0);
  EXPECT_EQ(NormalUpper(-inf), 1);
  EXPECT_EQ(NormalDensity(inf), 0);
  EXPECT_EQ(NormalLowerInv(0), -inf);
  EXPECT_EQ(NormalUpperInv(0), inf);
  EXPECT_EQ(GammaUpperInv(3, 0), inf);
  Real c = -1;
  EXPECT_EQ(BetaLowerInv(2, 3, 1, &c), 1);
  EXPECT_EQ(c, 0);
  // The complement of the inverse keeps the digits 1 - x loses:
  // I_c(b, a) = 1 - I_x(a, b).
  const Real x = BetaUpperInv(2, 3, 1e-30L, &c);
  EXPECT_LT(RelErr(BetaLower(3, 2, c), 1e-30L), 1e-15L);
  EXPECT_LT(c, 1e-6L);
  EXPECT_GT(x, 0.999999L);
  // The smallest positive long double as a probability.
  const Real tiny = std::numeric_limits<Real>::denorm_min();
  EXPECT_TRUE(std::isfinite(NormalLowerInv(tiny)));
  EXPECT_LT(NormalLowerInv(tiny), -100);
  EXPECT_GT(GammaUpperInv(2, tiny), 11000);
  const Real nan = std::numeric_limits<Real>::quiet_NaN();
  EXPECT_THROW(GammaLower(0, 1), std::exception);
  EXPECT_THROW(GammaLower(1, nan), std::exception);
  EXPECT_THROW(BetaLower(-1, 1, 0.5L), std::exception);
  EXPECT_THROW(NormalLowerInv(1.5L), std::exception);
  EXPECT_THROW(LogGamma(-1), std::exception);
}

// The object with its shape constants made once gives what the free
// functions give, the exchanged shapes give the complement at 1 - x, and the
// inverses return to x from either tail, for shapes on both sides of the
// region the own continued fraction serves (1/2 to 100) and through its
// switch point (a+1)/(a+b+2).
TEST(SpecialTest, BetaFunctionObject) {
  struct Case {
    Real a, b;
  };
  const Case cases[] = {{0.5L, 0.5L},  {2.5L, 0.5L}, {0.5L, 2.5L}, {2.5L, 2.5L}, {5, 5},
                        {12.5L, 2.5L}, {99, 60},     {0.3L, 4},    {150, 3},     {1e4L, 1e4L}};
  const Real xs[] = {1e-30L, 1e-6L, 0.01L, 0.2L, 0.5L, 0.7L, 0.95L, 1 - 1e-9L};
  for (const Case& c : cases) {
    const BetaFunction f(c.a, c.b), g = f.Swapped();
    for (Real x : xs) {
      SCOPED_TRACE(::testing::Message()
                   << "a " << static_cast<double>(c.a) << " b " << static_cast<double>(c.b) << " x "
                   << static_cast<double>(x));
      const Real lower = f.Lower(x), upper = f.Upper(x);
      EXPECT_EQ(lower, BetaLower(c.a, c.b, x));
      EXPECT_EQ(upper, BetaUpper(c.a, c.b, x));
      EXPECT_LE(std::fabs(lower + upper - 1), 4e-18L);
      // 1 - x is exact from 1/2 on.
      if (x >= 0.5L) {
        EXPECT_LE(RelErr(g.Upper(1 - x), lower), 1e-17L);
        EXPECT_LE(RelErr(g.Lower(1 - x), upper), 1e-17L);
      }
      for (bool upperTail : {false, true}) {
        const Real p = upperTail ? upper : lower;
        if (!(p > 1e-4000L && p < 1)) continue;
        Real y = -1;
        const Real back = upperTail ? f.UpperInv(p, &y) : f.LowerInv(p, &y);
        // The tail at the result is p again (to the tail's own accuracy), and
        // the complement is 1 - x without cancellation.
        const Real again = upperTail ? f.Upper(back) : f.Lower(back);
        // A rounding of x moves the tail by its condition x f(x) / p, taken
        // from a step of 1e-9 in x; Boost's inverse at shapes of 1e4 leaves
        // some 20 units of the last place in x.
        const Real moved = upperTail ? f.Upper(back * (1 + 1e-9L)) : f.Lower(back * (1 + 1e-9L));
        const Real cond = std::fabs(std::log(moved / again)) / 1e-9L;
        EXPECT_LE(RelErr(again, p), 1e-15L + 4e-18L * cond) << (upperTail ? "upper" : "lower");
        EXPECT_LE(std::fabs(back + y - 1), 1e-18L);
      }
    }
  }
}

// Inverses at the ends of (0, 1) and from a start on the wrong side of the
// mean: every answer lies in [0, 1] and gives the probability back.
TEST(SpecialTest, BetaInverseFarTails) {
  struct Case {
    Real a, b, p;
    bool upper;
  };
  const Case cases[] = {
      {2.5L, 2.5L, 1e-300L, false},  {2.5L, 2.5L, 1e-300L, true}, {0.5L, 2.5L, 1e-4000L, true},
      {2.5L, 0.5L, 1e-4000L, false}, {5, 5, 0.5L, false},         {5, 5, 1 - 1e-19L, true},
      {0.6L, 0.6L, 1e-10L, false},   {99, 0.5L, 1e-20L, true},    {0.5L, 99, 0.999L, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << static_cast<double>(c.a) << ", " << static_cast<double>(c.b) << ", p "
                 << static_cast<double>(c.p));
    const BetaFunction f(c.a, c.b);
    Real y = -1;
    const Real x = c.upper ? f.UpperInv(c.p, &y) : f.LowerInv(c.p, &y);
    ASSERT_GE(x, 0);
    ASSERT_LE(x, 1);
    // Above 1/2 the complement carries the digits (x itself may round to 1):
    // I_y(b, a) = 1 - I_x(a, b).
    const BetaFunction g = f.Swapped();
    const Real back =
        x <= 0.5L ? (c.upper ? f.Upper(x) : f.Lower(x)) : (c.upper ? g.Lower(y) : g.Upper(y));
    EXPECT_LE(RelErr(back, c.p), 1e-14L);
    EXPECT_LE(std::fabs(x + y - 1), 1e-18L);
  }
}

// A quantile below the smallest positive long double (the power law puts
// I_x(0.52, 2.2) = 5e-4845 near x = 1e-9300) ends at the smallest one, on
// either side of 1/2, and never at a point whose tail is far from p.
TEST(SpecialTest, BetaInverseBelowTheRange) {
  struct Case {
    Real a, b, p;
    bool upper;
  };
  const Case cases[] = {{0.52281L, 2.22512L, 5e-4845L, false},
                        {0.516947L, 0.558039L, 7.7e-3827L, true},
                        {49.0652L, 0.507624L, 3.3e-4869L, true}};
  const Real tiny = std::numeric_limits<Real>::denorm_min();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << static_cast<double>(c.a) << ", " << static_cast<double>(c.b));
    const BetaFunction f(c.a, c.b);
    Real y = -1;
    const Real x = c.upper ? f.UpperInv(c.p, &y) : f.LowerInv(c.p, &y);
    EXPECT_LE(c.upper ? y : x, tiny);
    EXPECT_EQ(c.upper ? x : y, 1);
  }
}

}  // namespace
}  // namespace vokt
